#include "app/color_mask_commands.h"

#include <cstdlib>
#include <cstring>

#include "app/application.h"
#include "app/report.h"
#include "core/dib.h"
#include "ops/alpha_compositing.h"
#include "ops/mask_edit.h"
#include "platform/door/interaction.h"
#include "platform/door/string_table.h"

namespace {

// The original at `index`, or null.
tagILVITEM* OriginalAt(CIconmillApp& app, int index) {
    tagILVITEM* item = app.Items().Item(index);
    return item && !item->IsDuplicate() ? item : nullptr;
}

void MarkChanged(CIconmillApp& app) {
    app.SetModified();
    app.NotifyPicturesChanged();
}

void ReportFailure(CIconmillApp& app, ImageResult result, const char* subject) {
    if (result == ImageOutOfMemory)
        ReportOutOfMemory(app.Ui());
    else
        ReportImageResult(app.Ui(), false, result, 0, subject);
}

}  // namespace

int ImageDialogItem(CIconmillApp& app) {
    const int index = app.Items().GetFirstSelected(nullptr);
    const tagILVITEM* item = app.Items().Item(index);
    if (!item) return -1;
    if (item->IsDuplicate()) {
        app.Ui().ShowMessage(PlainMessage(kStrDuplicateRefused, MessageIcon::Exclamation));
        return -1;
    }
    return index;
}

bool ApplyGrayscale(CIconmillApp& app, int index, const GrayscaleChoice& choice) {
    tagILVITEM* item = OriginalAt(app, index);
    if (!item) return false;
    HeaderBlock header;
    Block bits;
    const ImageResult result = GrayscaleImage(item->header, item->bits, choice, &header, &bits);
    if (result != ImageOk) {
        ReportFailure(app, result, "(Grayscale)");
        return false;
    }
    // The new blocks have the sizes of the item's own, which stay in place.
    std::memcpy(item->header, header.get(), item->header->biSize + DibColorTableSize(item->header));
    std::memcpy(item->bits, bits.get(), DibImageSize(item->header));
    MarkChanged(app);
    return true;
}

bool ApplyAlphaCompositing(CIconmillApp& app, int index, std::span<const std::uint8_t> work,
                           bool changed) {
    tagILVITEM* item = OriginalAt(app, index);
    if (!changed || !item || item->header->biBitCount != 32 ||
        work.size() != DibImageSize(item->header))
        return false;
    std::memcpy(item->bits, work.data(), work.size());
    MarkChanged(app);
    return true;
}

bool ApplyAlphaOptionToItem(CIconmillApp& app, int index, int option, int value) {
    const tagILVITEM* item = OriginalAt(app, index);
    if (!item || item->header->biBitCount != 32) return false;
    if (option == kAlphaBaseOnMask && !item->mask) return false;
    const std::size_t size = DibImageSize(item->header);
    Block work = AllocateImageBlock(size);
    if (!work) {
        ReportOutOfMemory(app.Ui());
        return false;
    }
    std::memcpy(work.get(), item->bits, size);
    const ImageResult result =
        ApplyAlphaOption(item->header, item->bits, item->mask, work.get(), option, value);
    if (result != ImageOk) {
        ReportFailure(app, result, "(Alpha Compositing)");
        return false;
    }
    return ApplyAlphaCompositing(app, index, {work.get(), size}, option != kAlphaPencil);
}

bool ApplyMaskEdit(CIconmillApp& app, int index, std::span<const std::uint8_t> work, bool changed) {
    tagILVITEM* item = OriginalAt(app, index);
    if (!changed || !item) return false;
    const std::size_t size = MaskBlockSize(item->header);
    if (!size || work.size() != size) return false;
    Block mask = AllocateBlock(size);
    if (!mask) {
        // The old mask is kept: losing it would lose the user's data for nothing.
        ReportOutOfMemory(app.Ui());
        return false;
    }
    std::memcpy(mask.get(), work.data(), size);
    std::free(item->mask);
    item->mask = mask.release();
    MarkChanged(app);
    return true;
}

bool ApplyMaskToolToItem(CIconmillApp& app, int index, MaskTool tool, ColorRef color) {
    const tagILVITEM* item = OriginalAt(app, index);
    if (!item) return false;
    const std::size_t size = MaskBlockSize(item->header);
    Block work = NewMask(item->header);
    if (!work) {
        if (size) ReportOutOfMemory(app.Ui());
        return false;
    }
    if (item->mask) std::memcpy(work.get(), item->mask, size);
    ImageResult result = ImageInvalidArg;
    switch (tool) {
        case MaskTool::Pick:
            result = ApplyColorSample(item->header, item->bits, work.get(), color, kSampleReplace);
            break;
        case MaskTool::AddToSample:
            result = ApplyColorSample(item->header, item->bits, work.get(), color, kSampleAdd);
            break;
        case MaskTool::SubtractFromSample:
            result = ApplyColorSample(item->header, item->bits, work.get(), color, kSampleSubtract);
            break;
        case MaskTool::Invert:
            result = InvertMask(item->header, work.get());
            break;
    }
    if (result != ImageOk) {
        ReportFailure(app, result, "(Mask Editor)");
        return false;
    }
    return ApplyMaskEdit(app, index, {work.get(), size}, true);
}

int DeleteSelectedMasks(CIconmillApp& app) {
    CItemList& list = app.Items();
    int deleted = 0;
    {
        CItemList::UpdateBatch redrawOff(list);
        for (int i = 0; i < list.Count(); ++i) {
            tagILVITEM* item = list.Item(i);
            if (!item->IsSelected() || item->IsDuplicate() || !item->mask) continue;
            std::free(item->mask);
            item->mask = nullptr;
            ++deleted;
        }
    }
    if (deleted) app.SetModified();
    app.NotifyPicturesChanged();
    return deleted;
}
