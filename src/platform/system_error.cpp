#include "platform/system_error.h"

#include <cstring>

std::string SystemErrorText(int code) {
    if (code == 0) return {};
    char buffer[1024];
    // The GNU strerror_r returns the text, which may or may not be in the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return text ? text : "";
}
