#include "app/resize_dialogs.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "app/application.h"
#include "app/report.h"
#include "app/text_format.h"
#include "core/checked_math.h"
#include "core/dib.h"
#include "ops/mask_edit.h"
#include "ops/resize_image.h"
#include "ops/smooth_resize.h"
#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"

namespace {

constexpr std::int64_t kLargestSide = 2147483647;

std::optional<int> ReadSide(std::string_view text) {
    const auto value = ReadDialogNumber(text, false);
    if (!value || *value < 1 || *value > kLargestSide) return std::nullopt;
    return static_cast<int>(*value);
}

// A number the aspect link writes: the float truncated toward zero, kept within
// 64 bits (an out-of-range float must not reach an integer conversion).
std::string LinkedText(float value) {
    const float truncated = std::trunc(value);
    if (!(truncated < 9.0e18f)) return "9000000000000000000";
    return std::to_string(static_cast<long long>(truncated));
}

std::optional<FieldRejection<ResizeField>> AcceptSides(std::optional<int> width,
                                                       std::optional<int> height, int* outWidth,
                                                       int* outHeight) {
    if (!width) return FieldRejection<ResizeField>{ResizeField::Width,
                                                   ValueRangeMessage(1, kLargestSide)};
    if (!height) return FieldRejection<ResizeField>{ResizeField::Height,
                                                    ValueRangeMessage(1, kLargestSide)};
    *outWidth = *width;
    *outHeight = *height;
    return std::nullopt;
}

}  // namespace

int ResizeCommandTarget(CIconmillApp& app) {
    const int index = app.Items().GetFirstSelected(nullptr);
    if (index < 0) return -1;
    if (app.Items().Item(index)->IsDuplicate()) {
        app.Ui().ShowMessage(PlainMessage(kStrDuplicateRefused, MessageIcon::Exclamation));
        return -1;
    }
    return index;
}

ResizePicture ResizePictureOf(const DibHeader* header) {
    return {std::max(header->biWidth, 0),
            static_cast<int>(std::min<std::uint32_t>(DibAbsHeight(header), 0x7FFFFFFF)),
            header->biBitCount};
}

std::string CurrentSizeText(const ResizePicture& picture) {
    const std::uint64_t stride = RowStride(static_cast<std::uint32_t>(picture.width),
                                           picture.bitCount);
    const auto size = CheckedMul<std::uint64_t>(stride, static_cast<std::uint64_t>(picture.height));
    return FormatMessageText(LoadStringText(kStrCurrentSize), {FormatByteSize(size.value_or(0))});
}

std::string NewSizeText(unsigned bitCount, std::optional<int> width, std::optional<int> height) {
    if (!width || !height || *width < 1 || *height < 1) return LoadStringText(kStrNewSizeInvalid);
    const std::uint64_t stride = RowStride(static_cast<std::uint32_t>(*width), bitCount);
    // 2^31 rows of at most 2^33 bytes stay below 2^64.
    const std::uint64_t size = stride * static_cast<std::uint64_t>(*height);
    return FormatMessageText(LoadStringText(kStrNewSize), {FormatByteSize(size)});
}

std::string PixelCountText(int count) {
    return FormatMessageText(LoadStringText(count > 1 ? kStrPixelsCount : kStrPixelCount),
                             {count});
}

// ---- Image Resize ----

ImageResizeForm::ImageResizeForm(const ResizePicture& picture)
    : picture_(picture),
      width_(std::to_string(picture.width)),
      height_(std::to_string(picture.height)) {}

std::optional<std::string> ImageResizeForm::WidthEdited(std::string_view text) {
    if (writing_) return std::nullopt;
    width_ = std::string(text);
    if (!maintainAspect_ || picture_.height < 1) return std::nullopt;
    const auto value = ReadDialogNumber(text, false);
    const float ratio = static_cast<float>(picture_.width) / static_cast<float>(picture_.height);
    height_ = value ? LinkedText(static_cast<float>(*value) / ratio) : std::string();
    return height_;
}

std::optional<std::string> ImageResizeForm::HeightEdited(std::string_view text) {
    if (writing_) return std::nullopt;
    height_ = std::string(text);
    if (!maintainAspect_ || picture_.height < 1) return std::nullopt;
    const auto value = ReadDialogNumber(text, false);
    const float ratio = static_cast<float>(picture_.width) / static_cast<float>(picture_.height);
    width_ = value ? LinkedText(ratio * static_cast<float>(*value)) : std::string();
    return width_;
}

void ImageResizeForm::SetMaintainAspect(bool checked) {
    if (checked && !maintainAspect_) {
        width_ = std::to_string(picture_.width);
        height_ = std::to_string(picture_.height);
    }
    maintainAspect_ = checked;
}

std::string ImageResizeForm::NewSizeLabel() const {
    return NewSizeText(picture_.bitCount, ReadSide(width_), ReadSide(height_));
}

std::optional<FieldRejection<ResizeField>> ImageResizeForm::Accept(int* width, int* height) const {
    return AcceptSides(ReadSide(width_), ReadSide(height_), width, height);
}

// ---- Canvas Resize ----

std::uint32_t CanvasAnchorCode(AnchorRow row, AnchorColumn column) {
    return (static_cast<std::uint32_t>(row) + 1) << 4 | (static_cast<std::uint32_t>(column) + 1);
}

CanvasResizeForm::CanvasResizeForm(const ResizePicture& picture)
    : picture_(picture),
      width_(std::to_string(picture.width)),
      height_(std::to_string(picture.height)) {}

void CanvasResizeForm::SetRelative(bool checked) {
    if (checked == relative_) return;
    relative_ = checked;
    width_ = checked ? "0" : std::to_string(picture_.width);
    height_ = checked ? "0" : std::to_string(picture_.height);
}

std::optional<int> CanvasResizeForm::Result(const std::string& text, int current) const {
    const auto value = ReadDialogNumber(text, relative_);
    if (!value) return std::nullopt;
    const std::int64_t size = relative_ ? current + *value : *value;
    if (size < 1 || size > kLargestSide) return std::nullopt;
    return static_cast<int>(size);
}

std::optional<int> CanvasResizeForm::ResultWidth() const {
    return Result(width_, picture_.width);
}

std::optional<int> CanvasResizeForm::ResultHeight() const {
    return Result(height_, picture_.height);
}

std::string CanvasResizeForm::NewSizeLabel() const {
    return NewSizeText(picture_.bitCount, ResultWidth(), ResultHeight());
}

std::optional<FieldRejection<ResizeField>> CanvasResizeForm::Accept(int* width,
                                                                    int* height) const {
    return AcceptSides(ResultWidth(), ResultHeight(), width, height);
}

// ---- Preview ----

bool BuildResizePreview(Interaction& ui, const DibHeader* header, const std::uint8_t* bits,
                        const std::uint8_t* mask, int width, int height, std::uint32_t placement,
                        std::uint32_t fill, ResizePreview* out, bool smooth) {
    *out = {};
    errno = 0;
    const ImageResult result =
        smooth && placement == kPlaceStretch
            ? SmoothResizeImage(header, bits, width, height, &out->header, &out->bits)
            : ResizeImage(header, bits, width, height, 0, 0, &out->header, &out->bits, placement,
                          fill);
    if (result != ImageOk) {
        ReportImageResult(ui, false, result, result == ImageSystemError ? errno : 0,
                          "(Build Preview)");
        return false;
    }
    if (mask) {
        const MaskDibHeader maskHeader(*header);
        if (ResizeImage(&maskHeader.header, mask, width, height, 0, 0, nullptr, &out->mask,
                        placement, RgbColor(0, 0, 0)) != ImageOk) {
            out->mask = nullptr;
            ui.ShowMessage(PlainMessage(kStrMaskFailed, MessageIcon::Exclamation));
        }
    }
    return true;
}
