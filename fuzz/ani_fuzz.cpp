// Reads arbitrary bytes as an animated cursor and imports what it accepts,
// ignoring or following the sequence by the first byte.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/compilation.h"
#include "core/dib.h"
#include "core/item_list.h"
#include "formats/ani/ani_file.h"
#include "platform/interaction.h"

namespace {

class SilentInteraction : public Interaction {
public:
    Answer ShowMessage(std::string_view, MessageIcon, MessageButtons buttons) override {
        return DefaultAnswer(buttons);
    }
    std::vector<std::string> ChooseFiles(const FileDialogRequest&) override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("ani_fuzz", 0);
    if (fd < 0) return 0;
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);

    AniContent content;
    AniHeader anih;
    if (ReadAniFile(path.c_str(), &content, &anih) != IconOk) return 0;
    SilentInteraction ui;
    CItemList list;
    CAnimatedCursorCompilation compilation(path);
    const int setting = size > 0 && (data[size - 1] & 1) ? 2 : 1;
    ImportAniContent({ui, list, compilation, setting}, path.c_str(), anih, content);
    std::uint32_t sum = 0;
    for (int i = 0; i < list.Count() && i < 8; ++i) {
        const tagILVITEM& image = list.Item(i)->Image();
        sum += DibGetPixel(image.header, image.bits, 0, 0) + list.Item(i)->frameInfo.delay;
    }
    volatile std::uint32_t sink = sum;
    (void)sink;
    return 0;
}
