// SVG and compressed SVG documents rendered into 32-bit pictures (librsvg).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "platform/block.h"

enum [[nodiscard]] SvgResult : int {
    SvgOk = 0,
    SvgInvalidArg = 1,
    SvgBadFormat = 2,    // not a document librsvg can read, or a broken gzip stream
    SvgTooLarge = 3,     // the text, once inflated, or the picture exceeds its limit
    SvgOutOfMemory = 4,
    SvgRenderFailed = 5,  // the renderer gave up on the document
};

// The most bytes of document text read (after inflating .svgz).
constexpr std::size_t kMaxSvgTextBytes = std::size_t{64} << 20;
// The largest side rendered: the drawing library's own limit. The image size
// limit bounds the area (a square of 16384 x 16384 at most).
constexpr int kMaxSvgSide = 32767;

// What a render may use besides the picture, and how long it may take.
constexpr std::size_t kSvgRenderMemory = std::size_t{512} << 20;
constexpr int kSvgRenderSeconds = 30;

// A parsed document. It refers to nothing outside its own bytes: it is loaded
// without a base location, so images, styles and other documents it names by
// file or network address are never fetched (the renderer leaves them out);
// data: addresses inside the document still work.
class SvgDocument {
public:
    ~SvgDocument();
    SvgDocument(const SvgDocument&) = delete;
    SvgDocument& operator=(const SvgDocument&) = delete;

    // Parses the bytes of a .svg or .svgz file (gzip is recognised by its
    // signature). SvgBadFormat for anything that is not a readable document (also
    // an XML entity bomb, which the parser refuses), SvgTooLarge for text beyond
    // kMaxSvgTextBytes.
    static SvgResult Load(std::span<const std::uint8_t> bytes, std::unique_ptr<SvgDocument>* out);

    // The document's own size in pixels (96 per inch; its viewBox when it gives
    // no absolute size, 256 x 256 without either), each side rounded up and held
    // to 1 .. kMaxSvgSide.
    int OwnWidth() const { return width_; }
    int OwnHeight() const { return height_; }

    // Renders the whole document into a width x height picture, scaled to fit
    // and centred as its preserveAspectRatio says, over transparency: a 40-byte
    // 32-bit header (rows bottom-up) and straight-alpha BGRA rows. SvgInvalidArg
    // for a missing out-slot or a side outside 1 .. kMaxSvgSide, SvgTooLarge for a
    // picture beyond the image size limit, SvgOutOfMemory, SvgRenderFailed.
    //
    // The drawing runs in a child process, because a document can make the
    // renderer decode embedded pictures of any size (a data: address holding a
    // PNG that claims 60000 x 60000 pixels) or work for minutes: the child may
    // map only kSvgRenderMemory bytes beyond the picture and what it inherits,
    // and is stopped after kSvgRenderSeconds, or as soon as `keepWaiting`
    // (asked about every 20 ms) says no. A child that fails, dies or is stopped
    // gives SvgRenderFailed.
    SvgResult Render(int width, int height, HeaderBlock* outHeader, Block* outBits,
                     const std::function<bool()>& keepWaiting = {}) const;

private:
    struct Handle;
    SvgDocument(std::unique_ptr<Handle> handle, int width, int height);

    std::unique_ptr<Handle> handle_;
    int width_;
    int height_;
};
