#pragma once

// The result of the DIB toolkit, the BMP functions and the image operations.
enum [[nodiscard]] ImageResult : int{
    ImageOk = 0,
    ImageNoSurface = 1,    // a drawing surface the operation needs could not be made
    ImageInvalidArg = 2,   // a required pointer is null, or the depths do not fit
    ImageSystemError = 3,  // a file call failed; errno holds the system's code
    ImageBadFormat = 4,    // not a valid image of the expected kind
    ImageUnsupported = 5,  // a valid image the operation does not handle
    ImageOutOfMemory = 6,
};
