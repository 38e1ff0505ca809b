#include "app/image_file_format.h"

#include <strings.h>

#include <cstring>

ImageFileFormat ImageFileFormatOf(const char* path) {
    if (!path) return FormatUnknown;
    const char* dot = std::strrchr(path, '.');
    if (!dot) return FormatUnknown;
    static constexpr struct {
        const char* extension;
        ImageFileFormat format;
    } kExtensions[] = {
        {".bmp", FormatBmp}, {".dib", FormatDib}, {".png", FormatPng}, {".ico", FormatIco},
        {".cur", FormatCur}, {".psd", FormatPsd}, {".ani", FormatAni}, {".svg", FormatSvg},
        {".svgz", FormatSvg},
    };
    for (const auto& entry : kExtensions)
        if (strcasecmp(dot, entry.extension) == 0) return entry.format;
    return FormatUnknown;
}
