#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/last_error.h"

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

File File::OpenForReading(const char* path) {
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        // A folder opens for reading on POSIX; reads from it fail, so refuse it here.
        struct stat info;
        if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
            ::close(fd);
            errno = EISDIR;
            return File();
        }
    }
    return File(fd);
}

int File::Release() noexcept {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

std::optional<std::uint64_t> File::Size() const {
    struct stat info;
    if (::fstat(fd_, &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool File::Seek(std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(LLONG_MAX)) {
        errno = EINVAL;
        return false;
    }
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

ReadStatus ReadFully(File& file, void* buffer, std::size_t size, std::size_t* bytesRead) {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    ReadStatus status = ReadStatus::Complete;
    while (done < size) {
        ssize_t n = ::read(file.Descriptor(), out + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            status = ReadStatus::Failed;
            break;
        }
        if (n == 0) {
            status = ReadStatus::Short;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (bytesRead) *bytesRead = done;
    return status;
}

LoadFileResult LoadFile(const char* path, std::size_t maxBytes) {
    LastErrorScope lastError;
    LoadFileResult result;
    auto systemError = [&] {
        lastError.KeepSystemError();
        result.status = LoadStatus::SystemError;
        result.error = errno;
        return std::move(result);
    };
    File file = File::OpenForReading(path);
    if (!file.IsOpen()) return systemError();
    const std::optional<std::uint64_t> size = file.Size();
    if (!size) return systemError();
    if (*size > maxBytes) {
        result.status = LoadStatus::TooLarge;
        return result;
    }
    const auto length = static_cast<std::size_t>(*size);
    Block data = AllocateImageBlock(length);
    if (!data) {
        result.status = LoadStatus::OutOfMemory;
        return result;
    }
    std::size_t got = 0;
    if (ReadFully(file, data.get(), length, &got) == ReadStatus::Failed) return systemError();
    result.status = LoadStatus::Ok;
    result.data = std::move(data);
    result.size = got;
    return result;
}

namespace {

// The path the data really goes to: a symbolic link is followed, so that
// replacing the file keeps the link.
std::string ResolveTarget(const std::string& path) {
    std::vector<char> resolved(PATH_MAX + 1);
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::realpath(path.c_str(), resolved.data()) != nullptr)
        return resolved.data();
    return path;
}

mode_t DefaultFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::string targetPath) : target_path_(ResolveTarget(targetPath)) {}

SafeFileWriter::~SafeFileWriter() {
    if (!committed_) Discard();
}

bool SafeFileWriter::Open() {
    std::string pattern = target_path_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return false;
    file_ = File(fd);
    temp_path_ = name.data();
    return true;
}

bool SafeFileWriter::Write(const void* data, std::size_t size) {
    const auto* in = static_cast<const unsigned char*>(data);
    while (size > 0) {
        ssize_t n = ::write(file_.Descriptor(), in, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        in += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SafeFileWriter::Commit() {
    struct stat existing;
    mode_t mode = ::stat(target_path_.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                               : DefaultFileMode();
    if (::fchmod(file_.Descriptor(), mode) != 0) return false;
    if (::fsync(file_.Descriptor()) != 0) return false;
    if (::close(file_.Release()) != 0) return false;
    if (::rename(temp_path_.c_str(), target_path_.c_str()) != 0) return false;
    committed_ = true;
    return true;
}

void SafeFileWriter::Discard() noexcept {
    int saved = errno;
    file_ = File();
    if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
    errno = saved;
}
