// Parses arbitrary bytes as a Photoshop document.
#include <cstddef>
#include <cstdint>

#include "formats/psd/psd_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CPSDParser parser;
    (void)parser.Parse({data, size});
    return 0;
}
