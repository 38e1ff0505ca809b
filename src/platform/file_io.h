// POSIX file access for the readers and writers. None of these functions
// restores errno; the public file functions do that with LastErrorScope.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/block.h"

// An open file descriptor, closed when the object goes.
class File {
public:
    File() = default;
    explicit File(int fd) : fd_(fd) {}
    File(File&& other) noexcept : fd_(other.Release()) {}
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    // Opens an existing file for reading; an invalid File (errno set) on failure.
    static File OpenForReading(const char* path);

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    int Release() noexcept;

    // The file's size in bytes, or nullopt (errno set).
    std::optional<std::uint64_t> Size() const;
    // Positions the file at an offset from its beginning; false (errno set) on failure.
    bool Seek(std::uint64_t offset);

private:
    int fd_ = -1;
};

enum class ReadStatus {
    Complete,  // every requested byte was read
    Short,     // the file ended first; *bytesRead tells how many were read
    Failed,    // a system error; errno holds its code
};

// Reads exactly `size` bytes unless the file ends or fails first. Retries
// interrupted and partial reads.
ReadStatus ReadFully(File& file, void* buffer, std::size_t size, std::size_t* bytesRead = nullptr);

enum class LoadStatus {
    Ok,
    SystemError,  // opening, sizing or reading failed; `error` holds the call's errno
    TooLarge,     // the file holds more than the limit; nothing was read
    OutOfMemory,  // no block for the file's bytes
};

// A whole file in memory. `data` is a block of at least one byte when the status
// is Ok (also for an empty file) and null otherwise.
struct LoadFileResult {
    LoadStatus status = LoadStatus::SystemError;
    Block data;
    std::size_t size = 0;
    int error = 0;

    std::span<const std::uint8_t> Bytes() const { return {data.get(), size}; }
};

// Reads the file at `path` into a new block: as many bytes as its size says, or
// fewer when it ends first (a file that shrinks while read gives what was there).
// A file of more than `maxBytes` bytes is TooLarge before anything is allocated.
// errno is kept, except on SystemError, where it holds the failing call's code
// (as `error` does, for callers that make further calls before they report).
LoadFileResult LoadFile(const char* path, std::size_t maxBytes);

// Writes a whole file safely: the bytes go to a temporary file beside the target,
// which replaces the target only when Commit succeeds. Until then, and on every
// failure, the file that was at the target path stays untouched; a writer that is
// destroyed without a successful Commit removes its temporary.
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::string targetPath);
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    ~SafeFileWriter();

    // Creates the temporary; false (errno set) when the folder cannot take it.
    bool Open();
    // Appends bytes; false (errno set, EIO for a write that made no progress) on failure.
    bool Write(const void* data, std::size_t size);
    // Flushes the data to disk, gives the temporary the permissions the target
    // had (or the default ones for a new file) and renames it over the target.
    bool Commit();

private:
    void Discard() noexcept;

    std::string target_path_;
    std::string temp_path_;
    File file_;
    bool committed_ = false;
};
