// The result code of the PNG and animated PNG codec (decoder, encoder, files).
#pragma once

enum [[nodiscard]] PngResult : int{
    PngOk = 0,
    // The sink asked to stop; the compressed data cannot be inflated (zlib
    // reported an error or the stream ended early); the file read came back
    // short; the encoder could not deflate or a chunk would not fit.
    PngFailed = 1,
    PngInvalidArg = 2,   // a null path, data, sink or output
    PngSystemError = 3,  // a file call failed; errno holds the system's code
    PngNotPng = 4,       // empty, shorter than 8 bytes, or a wrong signature
    PngBadCrc = 5,       // a chunk's CRC does not match
    PngBadFormat = 6,    // a structural or header rule is broken
    PngOutOfMemory = 8,  // an allocation failed, or the image exceeds the size limit
};
