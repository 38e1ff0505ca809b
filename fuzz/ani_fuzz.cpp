// Parses arbitrary bytes as an animated cursor and imports what it accepts,
// ignoring or following the sequence by the last byte.
#include <cstddef>
#include <cstdint>

#include "formats/compilation.h"
#include "core/dib.h"
#include "core/item_list.h"
#include "formats/ani/ani_file.h"
#include "silent_interaction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AniContent content;
    AniHeader anih;
    if (ParseAni({data, size}, &content, &anih) != IconOk) return 0;
    CItemList list;
    CAnimatedCursorCompilation compilation("fuzz.ani");
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
