// Paths and scratch files for tests. Every helper here fails the running test
// (by throwing, which GoogleTest reports with the message) when the file system
// refuses it, so a test never goes on with a fixture it did not get.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/test_env.h"

// The shared corpus folder (ICONMILL_SHARED_DIR/corpus), which may be absent.
std::filesystem::path CorpusRoot();

// The shared corpus folder (or one of its sub-folders), or nullopt when this
// clone has no ../shared beside it. Tests that call it are labelled "corpus".
std::optional<std::filesystem::path> CorpusDir(const std::string& subfolder = {});

// Declares `var`, the corpus (sub-)folder, or skips the running test when it is
// absent (fails it under ICONMILL_STRICT=1).
#define REQUIRE_CORPUS(var, subfolder)                                                \
    auto var##_opt = CorpusDir(subfolder);                                            \
    if (!var##_opt) {                                                                 \
        SKIP_OR_FAIL("no shared corpus here: " << (CorpusRoot() / (subfolder)).string()); \
    }                                                                                 \
    const std::filesystem::path var = *var##_opt

// The folder of files committed with the tests (tests/data).
std::filesystem::path TestDataDir();

// A fresh, empty folder removed when the object goes; throws when it cannot be
// made, and adds a failure when it cannot be removed.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The whole file; throws when it cannot be opened or read.
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
// Creates or replaces the file; throws when it cannot be written completely.
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// Makes a file of `size` bytes that holds no data (a hole), for limits on file
// sizes; returns its path.
std::string MakeSparseFile(const ScratchDir& dir, const std::string& name, std::uint64_t size);
