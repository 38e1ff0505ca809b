#include "app/frame_dialogs.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "app/application.h"
#include "app/dialog_number.h"
#include "app/frame_commands.h"

namespace {

constexpr std::uint32_t kLargestPosition = 0x7FFFFFFF;

}  // namespace

std::optional<FramePropertiesForm> FramePropertiesFormOf(const CItemList& list) {
    const int count = list.GetSelectedCount();
    if (count == 0) return std::nullopt;
    FramePropertiesForm form;
    if (count > 1) return form;
    const tagILVITEM& item = *list.Item(list.GetFirstSelected(nullptr));
    const FrameInfo& frame = item.frameInfo;
    form.x = std::to_string(item.x);
    form.y = std::to_string(item.y);
    form.delay = std::to_string(frame.delay / 10);
    form.blendIndex = frame.blendOp >= 0 && frame.blendOp <= 1 ? frame.blendOp : -1;
    form.disposeIndex = frame.disposeOp >= 0 && frame.disposeOp <= 2 ? frame.disposeOp : -1;
    return form;
}

FramePropertiesField AcceptFrameProperties(Interaction& ui, const FramePropertiesForm& form,
                                           FrameEdit* edit) {
    const std::optional<std::uint32_t> x = ReadDialogUnsigned(form.x, kLargestPosition);
    if (!x) {
        ShowIntegerValueMessage(ui);
        return FramePropertiesField::X;
    }
    const std::optional<std::uint32_t> y = ReadDialogUnsigned(form.y, kLargestPosition);
    if (!y) {
        ShowIntegerValueMessage(ui);
        return FramePropertiesField::Y;
    }
    // The milliseconds must fit the frame's delay.
    const std::optional<std::uint32_t> delay = ReadDialogUnsigned(form.delay, 0xFFFFFFFFu / 10);
    if (!delay) {
        ShowIntegerValueMessage(ui);
        return FramePropertiesField::Delay;
    }
    *edit = FrameEdit{};
    edit->position = FrameEdit::Point{static_cast<std::int32_t>(*x), static_cast<std::int32_t>(*y)};
    edit->delay = *delay * 10;
    edit->blendOp = form.blendIndex == 1 ? 1 : 0;
    edit->disposeOp = form.disposeIndex == 0 ? 0 : form.disposeIndex == 2 ? 2 : 1;
    return FramePropertiesField::None;
}

std::optional<HotSpotState> OpenHotSpot(const CIconmillApp& app) {
    tagILVITEM item;
    const int index = app.Items().GetFirstSelected(&item);
    if (index < 0) return std::nullopt;
    return HotSpotState{index, {item.frameInfo.hotspotX, item.frameInfo.hotspotY}, false};
}

std::string HotSpotText(const HotSpotState& state) {
    char text[32];
    std::snprintf(text, sizeof text, "%d, %d", state.hotSpot.x, state.hotSpot.y);
    return text;
}

std::string HotSpotImageLabel(const DibHeader& header) {
    char text[64];
    std::snprintf(text, sizeof text, "%dx%d, %u-bit", header.biWidth, header.biHeight,
                  static_cast<unsigned>(header.biBitCount));
    return text;
}

std::optional<CanvasPixel> CanvasPixelAt(const CanvasView& view, int pointX, int pointY) {
    if (!(view.zoom > 0.0f) || view.imageWidth <= 0 || view.imageHeight <= 0) return std::nullopt;
    // One direction: the pixel coordinate, or nullopt outside the picture or the image.
    const auto axis = [&](int point, int client, int scroll, int size) -> std::optional<int> {
        const double picture = std::floor(static_cast<double>(size) * view.zoom);
        const double edge = picture < client ? std::floor((client - picture) / 2) : 0.0;
        const double shown = picture < client ? picture : static_cast<double>(client);
        if (point < edge || point >= edge + shown) return std::nullopt;
        const double pixel = std::floor((point - edge) / view.zoom + scroll);
        if (pixel < 0 || pixel >= size) return std::nullopt;
        return static_cast<int>(pixel);
    };
    const std::optional<int> x = axis(pointX, view.clientWidth, view.scrollX, view.imageWidth);
    const std::optional<int> y = axis(pointY, view.clientHeight, view.scrollY, view.imageHeight);
    if (!x || !y) return std::nullopt;
    return CanvasPixel{*x, *y};
}

bool PickHotSpot(HotSpotState* state, const CanvasView& view, int pointX, int pointY) {
    const std::optional<CanvasPixel> pixel = CanvasPixelAt(view, pointX, pointY);
    constexpr int kLargest = std::numeric_limits<std::int16_t>::max();
    if (!pixel || pixel->x > kLargest || pixel->y > kLargest) return false;
    state->hotSpot = {static_cast<std::int16_t>(pixel->x), static_cast<std::int16_t>(pixel->y)};
    state->picked = true;
    return true;
}

bool ApplyHotSpot(CIconmillApp& app, const HotSpotState& state) {
    if (!state.picked) return false;
    FrameEdit edit;
    edit.hotSpot = state.hotSpot;
    return ApplyItemFrameEdit(app, state.item, edit);
}
