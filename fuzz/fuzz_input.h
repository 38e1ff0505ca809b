// What every fuzz target shares: the input as a file path, and an interaction
// that answers every question with its default and shows nothing.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/door/interaction.h"

// Stores the input in an in-memory file (one per process, rewritten for each
// input) and returns a path the readers can open; null when that fails.
inline const char* StoreFuzzInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("fuzz_input", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0) return nullptr;
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return nullptr;
    return path.c_str();
}

using SilentInteraction = NonInteractive;
