#include "platform/door/memory_clipboard.h"

#include <cstring>

bool MemoryClipboard::IsFormatAvailable(std::string_view format) {
    return formats.find(format) != formats.end();
}

bool MemoryClipboard::SetData(std::span<const ClipboardFormatData> data) {
    if (refuseAccess) return false;
    ++setCount;
    formats.clear();
    for (const ClipboardFormatData& entry : data)
        formats[std::string(entry.format)].assign(entry.bytes.begin(), entry.bytes.end());
    return true;
}

bool MemoryClipboard::GetData(std::string_view format, ClipboardBlock* out) {
    if (!out || refuseAccess) return false;
    auto it = formats.find(format);
    if (it == formats.end()) return false;
    Block block = AllocateBlock(it->second.size());
    if (!block) return false;
    if (!it->second.empty()) std::memcpy(block.get(), it->second.data(), it->second.size());
    out->data = std::move(block);
    out->size = it->second.size();
    return true;
}
