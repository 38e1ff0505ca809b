#pragma once

// The format of a file, chosen by its extension.
enum ImageFileFormat : int {
    FormatUnknown = -1,
    FormatBmp = 0,
    FormatDib = 1,
    FormatPng = 2,
    FormatAnimatedPng = 3,  // a save target only; no extension maps here
    FormatPsd = 4,
    FormatIco = 5,
    FormatCur = 6,
    FormatAni = 7,
    FormatSvg = 8,  // .svg and .svgz
};

// The extension is the text from the last "." of the whole path, compared
// without regard to case; a path without "." is FormatUnknown.
ImageFileFormat ImageFileFormatOf(const char* path);
