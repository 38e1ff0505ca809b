// The layout of a C source export: one plain record, so that any interface can
// ask for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Element types of the arrays: unsigned integers of 1, 2, 4 or 8 bytes.
enum CArrayElementType : int {
    CArrayUInt8 = 0,
    CArrayUInt16 = 1,
    CArrayUInt32 = 2,
    CArrayUInt64 = 3,
};

constexpr std::size_t kMaxCArrayNameLength = 64;
constexpr std::uint32_t kMaxCArraySplitCount = 2147483647;
constexpr int kMaxCArrayElementsPerLine = 256;

struct CArrayOptions {
    std::string variableName = "dataChunk";  // trimmed, not empty, at most 64 characters
    int elementType = CArrayUInt32;
    std::uint32_t splitCount = kMaxCArraySplitCount;  // largest number of elements per array
    int elementsPerLine = 8;                          // 1 to 256
    bool reverseBytes = false;  // the first byte of an element is its most significant
};
