// Reads arbitrary bytes as an animated cursor and imports what it accepts,
// ignoring or following the sequence by the first byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/compilation.h"
#include "core/dib.h"
#include "core/item_list.h"
#include "formats/ani/ani_file.h"
#include "fuzz_input.h"
#include "platform/door/interaction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = StoreFuzzInput(data, size);
    if (!path) return 0;

    AniContent content;
    AniHeader anih;
    if (ReadAniFile(path, &content, &anih) != IconOk) return 0;
    CItemList list;
    CAnimatedCursorCompilation compilation(path);
    const bool follow = size > 0 && (data[size - 1] & 1);
    ImportAniContent({list, compilation}, anih, content, follow);
    std::uint32_t sum = 0;
    for (int i = 0; i < list.Count() && i < 8; ++i) {
        const tagILVITEM& image = list.Item(i)->Image();
        sum += DibGetPixel(image.header, image.bits, 0, 0) + list.Item(i)->frameInfo.delay;
    }
    volatile std::uint32_t sink = sum;
    (void)sink;
    return 0;
}
