// Feeds arbitrary bytes to the PSD parser through a file in memory, so that the
// parser's own buffered file reads are exercised.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/psd/psd_parser.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = StoreFuzzInput(data, size);
    if (!path) return 0;
    CPSDParser parser;
    (void)parser.ParseFile(path);
    return 0;
}
