#include "support/test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

[[noreturn]] void Refused(const std::string& what, const std::filesystem::path& path, int error) {
    throw std::runtime_error(what + " " + path.string() + ": " + std::strerror(error));
}

}  // namespace

std::filesystem::path CorpusRoot() {
    return std::filesystem::path(ICONMILL_SHARED_DIR) / "corpus";
}

std::optional<std::filesystem::path> CorpusDir(const std::string& subfolder) {
    ExpectLabelled("corpus", "the shared corpus");
    std::filesystem::path dir = CorpusRoot();
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
    if (!mkdtemp(pattern.data())) Refused("cannot make the scratch folder", pattern, errno);
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
    if (error) ADD_FAILURE() << "cannot remove the scratch folder " << path_ << ": " << error.message();
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Refused("cannot open", path, errno);
    std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) Refused("cannot read", path, errno);
    return bytes;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) Refused("cannot create", path, errno);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) Refused("cannot write", path, errno);
}

std::string MakeSparseFile(const ScratchDir& dir, const std::string& name, std::uint64_t size) {
    const std::string path = dir.File(name);
    WriteBytes(path, {});
    std::filesystem::resize_file(path, size);
    return path;
}
