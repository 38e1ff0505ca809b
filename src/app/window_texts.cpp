#include "app/window_texts.h"

#include <cstdio>

#include "formats/compilation.h"
#include "platform/door/string_table.h"

namespace {

const char* TitlePattern(CompilationType type) {
    switch (type) {
        case CompilationIcon:
            return "[Icon: %s] - %s";
        case CompilationCursor:
            return "[Cursor: %s] - %s";
        case CompilationAnimatedPng:
            return "[Animated PNG: %s] - %s";
        case CompilationAnimatedCursor:
            return "[Animated Cursor: %s] - %s";
        case CompilationNone:
            break;
    }
    return nullptr;
}

}  // namespace

std::string WindowTitle(const CCompilation& compilation) {
    const std::string app = LoadStringText(kStrAppTitle);
    const char* pattern = TitlePattern(compilation.Type());
    const std::string* path = compilation.Path();
    if (!pattern || !path || path->empty()) return app;
    const std::size_t slash = path->rfind('/');
    // The file title, at most 260 characters, as the title bar always had it.
    const std::string file = path->substr(slash == std::string::npos ? 0 : slash + 1).substr(0, 260);
    const int size = std::snprintf(nullptr, 0, pattern, file.c_str(), app.c_str());
    std::string title(static_cast<std::size_t>(size), '\0');
    std::snprintf(title.data(), title.size() + 1, pattern, file.c_str(), app.c_str());
    return title;
}

std::string ItemCountText(int count) {
    return std::to_string(count) + (count > 1 ? " items" : " item");
}

std::string ItemCaption(int width, int height, unsigned bitCount) {
    return std::to_string(width) + "x" + std::to_string(height) + ", " +
           std::to_string(bitCount) + "-bit";
}
