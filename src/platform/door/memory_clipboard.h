// A clipboard that lives in memory, for tests and the command-line tool. Tests
// can make it refuse access to check the commands' messages.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/door/clipboard.h"

class MemoryClipboard : public Clipboard {
public:
    // The content, by format name.
    std::map<std::string, std::vector<std::uint8_t>, std::less<>> formats;
    // When set, SetData and GetData fail as if another program held the clipboard.
    bool refuseAccess = false;
    // Counts the calls of SetData that reached the clipboard.
    int setCount = 0;

    bool IsFormatAvailable(std::string_view format) override;
    bool SetData(std::span<const ClipboardFormatData> data) override;
    bool GetData(std::string_view format, ClipboardBlock* out) override;
};
