// Paths and scratch files for tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The shared corpus folder (or one of its sub-folders), or nullopt when this
// clone has no ../shared beside it.
std::optional<std::filesystem::path> CorpusDir(const std::string& subfolder = {});

// Skips the running test when the corpus (sub-)folder is absent.
#define REQUIRE_CORPUS(var, subfolder)                          \
    auto var##_opt = CorpusDir(subfolder);                      \
    if (!var##_opt) {                                           \
        GTEST_SKIP() << "no shared corpus here: " << subfolder; \
    }                                                           \
    const std::filesystem::path var = *var##_opt

// The folder of files committed with the tests (tests/data).
std::filesystem::path TestDataDir();

// A fresh, empty folder removed when the object goes.
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

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// Makes a file of `size` bytes that holds no data (a hole), for limits on file
// sizes; returns its path.
std::string MakeSparseFile(const ScratchDir& dir, const std::string& name, std::uint64_t size);
