#include "support/test_files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::optional<std::filesystem::path> CorpusDir(const std::string& subfolder) {
    std::filesystem::path dir = std::filesystem::path(ICONMILL_SHARED_DIR) / "corpus";
    if (!subfolder.empty()) dir /= subfolder;
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) return std::nullopt;
    return dir;
}

std::filesystem::path TestDataDir() {
    return ICONMILL_TEST_DATA_DIR;
}

ScratchDir::ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "iconmill-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::string MakeSparseFile(const ScratchDir& dir, const std::string& name, std::uint64_t size) {
    const std::string path = dir.File(name);
    WriteBytes(path, {});
    std::filesystem::resize_file(path, size);
    return path;
}
