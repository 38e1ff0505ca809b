#pragma once

// The result of the PSD parser.
enum [[nodiscard]] PsdResult : int{
    PsdOk = 0,
    PsdNullPath = 2,
    PsdBadFormat = 3,    // a header, section or record rule is broken, or a read came back short
    PsdSystemError = 4,  // the file cannot be opened or read; errno holds the system's code
    PsdOutOfMemory = 5,  // an allocation failed, or an image would exceed kMaxImageBytes
    PsdUnsupportedMode = 6,         // not RGB or Indexed at 8 bits per channel
    PsdNoLayer = 7,                 // an RGB document without layers
    PsdUnsupportedCompression = 8,  // ZIP-compressed channel data
};
