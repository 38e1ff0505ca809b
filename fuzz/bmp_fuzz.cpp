// Reads arbitrary bytes as a BMP file and expands what the reader accepts.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/bmp_file.h"
#include "core/dib.h"
#include "platform/interaction.h"

namespace {

// Answers every message with its default button and shows nothing.
class SilentInteraction : public Interaction {
public:
    Answer ShowMessage(std::string_view, MessageIcon, MessageButtons buttons) override {
        return DefaultAnswer(buttons);
    }
    std::vector<std::string> ChooseFiles(const FileDialogRequest&) override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("bmp_fuzz", 0);
    if (fd < 0) return 0;
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);

    HeaderBlock header;
    Block bits;
    std::size_t bitsSize = 0;
    if (ReadBmpFile(path.c_str(), &header, &bits, &bitsSize) != ImageOk) return 0;
    SilentInteraction ui;
    if (!ExpandCompressedDib(ui, path.c_str(), &header, &bits, bitsSize)) return 0;
    // Touch every pixel the way the editor would draw it.
    std::uint32_t sum = 0;
    const std::uint32_t rows = DibAbsHeight(header.get());
    for (std::uint32_t y = 0; y < rows && y < 64; ++y)
        for (int x = 0; x < header->biWidth && x < 64; ++x)
            sum += DibGetPixel(header.get(), bits.get(), x, static_cast<int>(y));
    volatile std::uint32_t sink = sum;
    (void)sink;
    return 0;
}
