#include "app/view_commands.h"

#include <cmath>
#include <cstdio>

#include "app/application.h"
#include "app/commands.h"
#include "platform/door/interaction.h"

namespace {

constexpr double kZoomLevels[] = {12.5, 25, 50, 100, 200, 300, 400, 500, 600, 700, 800};

void FollowWithZoomMark(CIconmillApp& app, double percent) {
    for (int i = 0; i < static_cast<int>(std::size(kZoomLevels)); ++i)
        if (kZoomLevels[i] == percent) app.view.zoomMark = kCmdZoom12 + i;
}

}  // namespace

int ZoomPositionOf(double percent) {
    for (int p = 0; p < kZoomPositions; ++p)
        if (kZoomTable[p] == percent) return p;
    return kZoomPositions - 1;
}

int ZoomInPosition(int position) {
    for (int p = position + 1; p < kZoomPositions; ++p)
        if (kZoomTable[p] != 0) return p;
    return position;
}

int ZoomOutPosition(int position) {
    for (int p = position - 1; p >= 0; --p)
        if (kZoomTable[p] != 0) return p;
    return position;
}

int SnapZoomPosition(int position, int lastValidPosition) {
    if (position < 0 || position >= kZoomPositions) return lastValidPosition;
    if (kZoomTable[position] != 0) return position;
    return lastValidPosition < 7 ? 2 : 7;
}

std::string ZoomLabel(double percent) {
    char text[32];
    if (percent != std::floor(percent))
        std::snprintf(text, sizeof text, "%.1f%%", percent);
    else
        std::snprintf(text, sizeof text, "%.0f%%", percent);
    return text;
}

void SetZoomPosition(CIconmillApp& app, int position) {
    if (position < 0 || position >= kZoomPositions) return;
    CViewState& view = app.view;
    view.zoomPosition = position;
    const double percent = kZoomTable[position];
    if (percent >= 12.5 && percent <= 800 && percent != view.zoom * 100) view.zoom = percent / 100;
    FollowWithZoomMark(app, percent);
    app.NotifyViewChanged();
}

void ZoomIn(CIconmillApp& app) {
    const int next = ZoomInPosition(app.view.zoomPosition);
    if (next != app.view.zoomPosition) SetZoomPosition(app, next);
}

void ZoomOut(CIconmillApp& app) {
    const int next = ZoomOutPosition(app.view.zoomPosition);
    if (next != app.view.zoomPosition) SetZoomPosition(app, next);
}

void SetZoomLevel(CIconmillApp& app, int levelCommand) {
    const int level = levelCommand - kCmdZoom12;
    if (level < 0 || level >= static_cast<int>(std::size(kZoomLevels))) return;
    SetZoomPosition(app, ZoomPositionOf(kZoomLevels[level]));
}

void OnViewZoomed(CIconmillApp& app, double zoom) {
    app.view.zoom = zoom;
    SetZoomPosition(app, ZoomPositionOf(zoom * 100));
}

void SetAlignment(CIconmillApp& app, int alignment) {
    if (alignment < ListAlignmentAuto || alignment > ListAlignmentVertical) return;
    app.settings.alignment = alignment;
    app.NotifyViewChanged();
}

void SortItemsBy(CIconmillApp& app, SortKey key) {
    app.Items().SortItems(key, !app.view.sortAscending);
    app.NotifySelectionChanged();
}

void SetSortAscending(CIconmillApp& app, bool ascending) {
    app.view.sortAscending = ascending;
    app.NotifyViewChanged();
}

void SetBackground(CIconmillApp& app, int kind) {
    if (kind < ViewBackgroundBlack || kind > ViewBackgroundTransparent) return;
    app.settings.background = kind;
    app.view.customColor = 0;
    app.NotifyViewChanged();
}

bool ChooseCustomBackground(CIconmillApp& app) {
    const std::optional<std::uint32_t> color = app.Ui().ChooseColor(0);
    if (!color) return false;
    app.settings.background = ViewBackgroundCustom;
    app.settings.customBackground = static_cast<std::int32_t>(*color);
    app.view.customColor = *color;
    app.NotifyViewChanged();
    return true;
}

void ToggleBoundingBox(CIconmillApp& app) {
    app.settings.showBoundingBox = app.settings.showBoundingBox ? 0 : 1;
    app.NotifyViewChanged();
}

void TogglePreview(CIconmillApp& app, unsigned previewFlag) {
    app.view.previewFlags ^= previewFlag;
    app.NotifyViewChanged();
}

void ToggleQuickInfo(CIconmillApp& app) {
    app.settings.displayQuickInfo = app.settings.displayQuickInfo ? 0 : 1;
    app.NotifyViewChanged();
}

void ToggleToolbar(CIconmillApp& app, int toolbarCommand) {
    CViewState& view = app.view;
    switch (toolbarCommand) {
        case kCmdToolbarStandard:
            view.standardToolbar = !view.standardToolbar;
            break;
        case kCmdToolbarImageEditor:
            view.imageEditorToolbar = !view.imageEditorToolbar;
            break;
        case kCmdToolbarType:
            view.typeToolbar = !view.typeToolbar;
            break;
        default:
            return;
    }
    app.NotifyViewChanged();
}
