// Feeds arbitrary bytes to the PSD parser through a file in memory, so that the
// parser's own buffered file reads are exercised.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/psd/psd_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("psd_fuzz", 0);
    if (fd < 0) return 0;
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    CPSDParser parser;
    (void)parser.ParseFile(path.c_str());
    return 0;
}
