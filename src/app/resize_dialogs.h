// The forms behind the Image Resize and Canvas Resize dialogs: the texts they
// show, the aspect link, the relative mode, the anchors and the checks of OK
// and Preview. The dialogs only show what these say; on OK they call
// ApplyImageResize or ApplyCanvasResize (app/image_commands.h) with the values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/dialog_entry.h"
#include "platform/block.h"

class CIconmillApp;
class Interaction;
struct DibHeader;

// The picture a dialog opens on.
struct ResizePicture {
    int width = 0;
    int height = 0;  // absolute
    unsigned bitCount = 0;
};

// The item Image Resize and Canvas Resize open on: the first selected one, or -1
// with nothing selected, or -1 after "You can not perform this operation on
// duplicated (shadow) item. ..." when it is a duplicate (no dialog opens).
int ResizeCommandTarget(CIconmillApp& app);
// The picture of a header.
ResizePicture ResizePictureOf(const DibHeader* header);

// "Current Size: 1.2 KB": the pixel data size (row stride x height).
std::string CurrentSizeText(const ResizePicture& picture);
// "New Size: ..." for a size at the picture's depth, or "New Size: --" without one.
std::string NewSizeText(unsigned bitCount, std::optional<int> width, std::optional<int> height);
// "1 pixel", "2 pixels" (an "s" for numbers greater than 1).
std::string PixelCountText(int count);

// Both edits start with the current width and absolute height and take whole
// numbers from 1 to 2147483647.
enum class ResizeField { Width, Height };
constexpr int kResizeEditLimit = 9;  // characters per edit

// Image Resize. While "&Maintain aspect ratio" is checked, an edit of one field
// rewrites the other: height = trunc(width / r), width = trunc(r x height) with
// r = current width / current height, in single precision; an invalid entry
// empties the other field. The form's own writes into the edits must not be
// taken as edits: the dialog makes them inside a WriteGuard.
class ImageResizeForm {
public:
    explicit ImageResizeForm(const ResizePicture& picture);

    const std::string& WidthText() const { return width_; }
    const std::string& HeightText() const { return height_; }
    bool MaintainAspect() const { return maintainAspect_; }

    // The user changed an edit: the form takes the text and returns the text the
    // other edit must now show, if it changes (to be written under a WriteGuard).
    // Ignored, returning nullopt, while a guard is alive.
    std::optional<std::string> WidthEdited(std::string_view text);
    std::optional<std::string> HeightEdited(std::string_view text);
    // Checking resets both edits to the current size; unchecking changes nothing.
    void SetMaintainAspect(bool checked);

    class WriteGuard {
    public:
        explicit WriteGuard(ImageResizeForm& form) : form_(form), was_(form.writing_) {
            form_.writing_ = true;
        }
        ~WriteGuard() { form_.writing_ = was_; }
        WriteGuard(const WriteGuard&) = delete;
        WriteGuard& operator=(const WriteGuard&) = delete;

    private:
        ImageResizeForm& form_;
        bool was_;
    };

    std::string CurrentSizeLabel() const { return CurrentSizeText(picture_); }
    std::string NewSizeLabel() const;

    // OK and Preview: the width first, then the height; the first invalid one gets
    // the range message and the focus. On success the size is stored.
    std::optional<FieldRejection<ResizeField>> Accept(int* width, int* height) const;

private:
    ResizePicture picture_;
    std::string width_;
    std::string height_;
    bool maintainAspect_ = true;
    bool writing_ = false;
};

// The nine anchors of the 3 x 3 grid: rows top, middle, bottom; columns left,
// centre, right. The centre one is checked at the start.
enum class AnchorRow { Top = 0, Middle = 1, Bottom = 2 };
enum class AnchorColumn { Left = 0, Center = 1, Right = 2 };
// The placement code of ResizeImage for a grid button.
std::uint32_t CanvasAnchorCode(AnchorRow row, AnchorColumn column);

// Canvas Resize. With "&Relative" checked the entries are signed numbers added to
// the current size; the resulting size must lie from 1 to 2147483647.
class CanvasResizeForm {
public:
    explicit CanvasResizeForm(const ResizePicture& picture);

    const std::string& WidthText() const { return width_; }
    const std::string& HeightText() const { return height_; }
    bool Relative() const { return relative_; }

    void SetWidthText(std::string_view text) { width_ = std::string(text); }
    void SetHeightText(std::string_view text) { height_ = std::string(text); }
    // Checking sets both edits to "0"; unchecking back to the current size.
    void SetRelative(bool checked);

    // The resulting size of an entry (after adding in relative mode), or nullopt
    // when it is not a number or the result is outside 1 to 2147483647.
    std::optional<int> ResultWidth() const;
    std::optional<int> ResultHeight() const;

    std::string CurrentSizeLabel() const { return CurrentSizeText(picture_); }
    std::string NewSizeLabel() const;

    // OK and Preview, as for Image Resize, on the resulting size.
    std::optional<FieldRejection<ResizeField>> Accept(int* width, int* height) const;

private:
    std::optional<int> Result(const std::string& text, int current) const;

    ResizePicture picture_;
    std::string width_;
    std::string height_;
    bool relative_ = false;
};

// The Preview of both dialogs: the picture, and its mask when it has one, made
// width x height with ResizeImage's `placement` (stretch or an anchor code) and
// `fill`; the mask's border is opaque. A failure of the picture is reported with
// "(Build Preview)" and gives false; a failure of the mask shows the mask
// message and the preview goes on without one.
struct ResizePreview {
    HeaderBlock header;
    Block bits;
    Block mask;  // null without one
};
// With `smooth` (stretching only) the picture is blended as Image Resize's OK
// does it (SmoothResizeImage); the mask still takes the nearest pixel.
bool BuildResizePreview(Interaction& ui, const DibHeader* header, const std::uint8_t* bits,
                        const std::uint8_t* mask, int width, int height, std::uint32_t placement,
                        std::uint32_t fill, ResizePreview* out, bool smooth = false);
