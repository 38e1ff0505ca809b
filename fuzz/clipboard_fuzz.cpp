// Reads arbitrary bytes as every clipboard format another program can offer:
// the private item data (parsed, then pasted), a BMP file and a PNG stream.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "app/application.h"
#include "app/clipboard_images.h"
#include "app/edit_commands.h"
#include "fuzz_input.h"
#include "platform/door/memory_clipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    // The parse must only describe bytes inside the input.
    const ClipboardItemParse parse = ParseClipboardItems(bytes);
    std::uint32_t sum = 0;
    for (const ClipboardItemRecord& record : parse.records)
        for (std::span<const std::uint8_t> part : {record.header, record.bits, record.mask})
            if (!part.empty()) sum += part.front() + part.back();

    SilentInteraction ui;
    CIconmillApp app(ui);
    MemoryClipboard clipboard;
    clipboard.formats[std::string(kItemClipboardFormat)].assign(data, data + size);
    (void)PasteItems(app, clipboard);

    // The images other programs offer, each pasted as a packed DIB.
    ClipboardBlock dib;
    for (bool png : {false, true}) {
        const bool ok = png ? PackedDibFromPng(bytes, &dib) : PackedDibFromBmpFile(bytes, &dib);
        if (!ok) continue;
        MemoryClipboard other;
        other.formats[std::string(kDibClipboardFormat)].assign(dib.data.get(),
                                                               dib.data.get() + dib.size);
        (void)PasteItems(app, other);
    }
    volatile std::uint32_t sink = sum;
    (void)sink;
    return 0;
}
