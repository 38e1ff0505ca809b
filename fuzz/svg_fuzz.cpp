// Parses arbitrary bytes as an SVG or compressed SVG document and renders it small.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "formats/svg/svg_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<SvgDocument> document;
    if (SvgDocument::Load({data, size}, &document) != SvgOk) return 0;
    HeaderBlock header;
    Block bits;
    (void)document->Render(32, 32, &header, &bits);
    return 0;
}
