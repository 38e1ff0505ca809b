#include "app/edit_commands.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "app/application.h"
#include "app/report.h"
#include "core/bmp_file.h"
#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"
#include "platform/door/clipboard.h"
#include "platform/door/interaction.h"
#include "platform/door/string_table.h"

namespace {

constexpr std::size_t kRecordHeadSize = 28;
constexpr std::size_t kCountSize = 4;

void ReportClipboardError(Interaction& ui) {
    ui.ShowMessage(PlainMessage(kStrClipboardError, MessageIcon::None));
}

// Bytes of the 1-bit mask rows of a picture.
std::size_t MaskSize(const DibHeader* header) {
    return DibImageSizeFor(header->biWidth, header->biHeight, 1);
}

// Bytes of the header block: the header and its colour table.
std::optional<std::size_t> HeaderBlockSize(const DibHeader* header) {
    return CheckedAdd<std::size_t>(header->biSize, DibColorTableSize(header));
}

// Bytes one item takes in the private format; nullopt when the sum overflows.
std::optional<std::size_t> RecordSize(const tagILVITEM& picture) {
    const DibHeader* header = picture.header;
    std::optional<std::size_t> size = HeaderBlockSize(header);
    if (size) size = CheckedAdd<std::size_t>(*size, kRecordHeadSize);
    if (size) size = CheckedAdd<std::size_t>(*size, DibImageSize(header));
    if (size && picture.mask) size = CheckedAdd<std::size_t>(*size, MaskSize(header));
    return size;
}

template <class T>
void Store(std::uint8_t* at, T value) {
    std::memcpy(at, &value, sizeof value);
}
template <class T>
T Load(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Writes one record at `out`, which has RecordSize bytes of room.
std::uint8_t* WriteRecord(std::uint8_t* out, const tagILVITEM& item) {
    const tagILVITEM& picture = item.Image();
    const DibHeader* header = picture.header;
    Store<std::uint16_t>(out + 0, picture.mask ? 1 : 0);
    Store<std::int16_t>(out + 2, item.frameInfo.hotspotX);
    Store<std::int16_t>(out + 4, item.frameInfo.hotspotY);
    Store<std::uint16_t>(out + 6, 0);
    Store<std::int32_t>(out + 8, item.x);
    Store<std::int32_t>(out + 12, item.y);
    Store<std::uint32_t>(out + 16, item.frameInfo.delay);
    Store<std::int32_t>(out + 20, item.frameInfo.blendOp);
    Store<std::int32_t>(out + 24, item.frameInfo.disposeOp);
    out += kRecordHeadSize;
    const std::size_t headerSize = *HeaderBlockSize(header);
    std::memcpy(out, header, headerSize);
    out += headerSize;
    std::memcpy(out, picture.bits, DibImageSize(header));
    out += DibImageSize(header);
    if (picture.mask) {
        std::memcpy(out, picture.mask, MaskSize(header));
        out += MaskSize(header);
    }
    return out;
}

// The packed DIB of a picture (no mask), or null when no block can be made.
Block BuildPackedDib(const tagILVITEM& picture, std::size_t* outSize) {
    const DibHeader* header = picture.header;
    const std::optional<std::size_t> headerSize = HeaderBlockSize(header);
    const std::optional<std::size_t> size =
        headerSize ? CheckedAdd<std::size_t>(*headerSize, DibImageSize(header)) : std::nullopt;
    if (!size) return nullptr;
    Block block = AllocateBlock(*size);
    if (!block) return nullptr;
    std::memcpy(block.get(), header, *headerSize);
    std::memcpy(block.get() + *headerSize, picture.bits, DibImageSize(header));
    *outSize = *size;
    return block;
}

// A header that describes a picture an item can hold: what every later size
// computation and drawing relies on.
bool IsItemPictureHeader(const DibHeader& header) {
    return header.biSize >= kBitmapInfoHeaderSize && header.biWidth > 0 && header.biHeight != 0 &&
           header.biPlanes == 1 && IsSupportedBitCount(header.biBitCount) &&
           header.biCompression == kBiRgb;
}

// Reads the record at data[offset, size) into *out; false when it does not fit
// or its header is not an item's picture.
bool ParseRecord(std::span<const std::uint8_t> data, std::size_t offset, ClipboardItemRecord* out,
                 std::size_t* recordSize) {
    const std::size_t left = data.size() - offset;
    if (left < kRecordHeadSize + sizeof(DibHeader)) return false;
    const std::uint8_t* record = data.data() + offset;
    // The header may sit at any alignment inside the clipboard data.
    DibHeader header;
    std::memcpy(&header, record + kRecordHeadSize, sizeof header);
    if (!IsItemPictureHeader(header)) return false;

    const bool hasMask = Load<std::uint16_t>(record) == 1;
    const std::optional<std::size_t> headerSize = HeaderBlockSize(&header);
    const std::size_t imageSize = DibImageSize(&header);
    const std::size_t maskSize = hasMask ? MaskSize(&header) : 0;
    std::optional<std::size_t> total =
        headerSize ? CheckedAdd<std::size_t>(*headerSize, kRecordHeadSize) : std::nullopt;
    if (total) total = CheckedAdd(*total, imageSize);
    if (total) total = CheckedAdd(*total, maskSize);
    if (!total || *total > left) return false;

    ClipboardItemRecord r;
    r.hasMask = hasMask;
    r.hotspotX = Load<std::int16_t>(record + 2);
    r.hotspotY = Load<std::int16_t>(record + 4);
    r.x = Load<std::int32_t>(record + 8);
    r.y = Load<std::int32_t>(record + 12);
    r.delay = Load<std::uint32_t>(record + 16);
    r.blendOp = Load<std::int32_t>(record + 20);
    r.disposeOp = Load<std::int32_t>(record + 24);
    const std::span<const std::uint8_t> rest = data.subspan(offset + kRecordHeadSize);
    r.header = rest.first(*headerSize);
    r.bits = rest.subspan(*headerSize, imageSize);
    if (hasMask) r.mask = rest.subspan(*headerSize + imageSize, maskSize);
    *out = r;
    *recordSize = *total;
    return true;
}

// A new item holding copies of a record's blocks; false when memory runs out.
bool MakeItem(const ClipboardItemRecord& record, NewItem* out) {
    NewItem item;
    item.header = AllocateHeaderBlock(record.header.size());
    item.bits = AllocateBlock(record.bits.size());
    if (record.hasMask) item.mask = AllocateBlock(record.mask.size());
    if (!item.header || !item.bits || (record.hasMask && !item.mask)) return false;
    std::memcpy(item.header.get(), record.header.data(), record.header.size());
    std::memcpy(item.bits.get(), record.bits.data(), record.bits.size());
    if (record.hasMask) std::memcpy(item.mask.get(), record.mask.data(), record.mask.size());
    item.frameInfo.hotspotX = record.hotspotX;
    item.frameInfo.hotspotY = record.hotspotY;
    item.x = record.x;
    item.y = record.y;
    item.frameInfo.delay = record.delay;
    item.frameInfo.blendOp = record.blendOp;
    item.frameInfo.disposeOp = record.disposeOp;
    *out = std::move(item);
    return true;
}

bool PastePrivateFormat(CIconmillApp& app, Clipboard& clipboard) {
    Interaction& ui = app.Ui();
    ClipboardBlock block;
    if (!clipboard.GetData(kItemClipboardFormat, &block)) {
        ReportClipboardError(ui);
        return false;
    }
    const ClipboardItemParse parse =
        ParseClipboardItems({block.data.get(), block.data ? block.size : 0});
    CItemList::UpdateBatch batch(app.Items());
    for (const ClipboardItemRecord& record : parse.records) {
        NewItem item;
        if (!MakeItem(record, &item)) {
            ReportOutOfMemory(ui);
            return false;
        }
        if (app.Items().AddItem(std::move(item)) >= 0) app.SetModified();
    }
    if (!parse.complete) {
        ReportGenericFailure(ui);
        return false;
    }
    return true;
}

// The compressions an opened BMP can be expanded from (see ExpandCompressedDib),
// checked first so that a packed DIB it would refuse is refused silently.
bool CanExpandPackedDib(const DibHeader& header) {
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biPlanes != 1 ||
        !IsSupportedBitCount(header.biBitCount))
        return false;
    switch (header.biCompression) {
        case kBiRle8:
            return header.biBitCount == 8 && header.biHeight > 0;
        case kBiRle4:
            return header.biBitCount == 4 && header.biHeight > 0;
        case kBiBitfields:
        case kBiAlphaBitfields:
            return header.biBitCount == 16 || header.biBitCount == 32;
        default:
            return false;
    }
}

// Splits a compressed packed DIB as the BMP reader would hold it: the header
// block keeps the bit-field masks a 40-byte header is followed by, and the rest
// of the data is the compressed pixel data.
bool SplitCompressedDib(const ClipboardBlock& block, const DibHeader& header,
                        HeaderBlock* outHeader, Block* outBits, std::size_t* outBitsSize) {
    std::optional<std::size_t> headerSize =
        CheckedAdd<std::size_t>(header.biSize, BitfieldMaskBytesAfterHeader(&header));
    if (headerSize) headerSize = CheckedAdd(*headerSize, DibColorTableSize(&header));
    if (!headerSize || *headerSize > block.size) return false;
    const std::size_t dataSize = std::min(block.size - *headerSize, kMaxImageBytes);
    HeaderBlock newHeader = AllocateHeaderBlock(*headerSize);
    Block bits = AllocateBlock(dataSize);
    if (!newHeader || !bits) return false;
    std::memcpy(newHeader.get(), block.data.get(), *headerSize);
    std::memcpy(bits.get(), block.data.get() + *headerSize, dataSize);
    *outHeader = std::move(newHeader);
    *outBits = std::move(bits);
    *outBitsSize = dataSize;
    return true;
}

bool PastePackedDib(CIconmillApp& app, Clipboard& clipboard) {
    ClipboardBlock block;
    if (!clipboard.GetData(kDibClipboardFormat, &block)) {
        ReportClipboardError(app.Ui());
        return false;
    }
    if (block.size < sizeof(DibHeader)) return false;
    DibHeader header;
    std::memcpy(&header, block.data.get(), sizeof header);

    NewItem item;
    if (header.biWidth <= 0) return false;
    if (header.biCompression == kBiRgb) {
        if (SplitPackedDib(reinterpret_cast<const DibHeader*>(block.data.get()), block.size,
                           &item.header, &item.bits) != ImageOk)
            return false;
    } else {
        std::size_t bitsSize = 0;
        if (header.biSize < kBitmapInfoHeaderSize || !CanExpandPackedDib(header) ||
            !SplitCompressedDib(block, header, &item.header, &item.bits, &bitsSize))
            return false;
        // The compression was checked above: what is left to fail is memory.
        if (const ImageResult result = ExpandCompressedDib(&item.header, &item.bits, bitsSize);
            result != ImageOk) {
            ReportImageResult(app.Ui(), true, result, 0, "");
            return false;
        }
    }
    if (app.Items().AddItem(std::move(item)) < 0) return false;
    app.SetModified();
    return true;
}

}  // namespace

ClipboardItemParse ParseClipboardItems(std::span<const std::uint8_t> data) {
    ClipboardItemParse parse;
    if (data.size() < kCountSize) return parse;
    const std::uint32_t count = Load<std::uint32_t>(data.data());
    std::size_t offset = kCountSize;
    for (std::uint32_t i = 0; i < count; ++i) {
        ClipboardItemRecord record;
        std::size_t size = 0;
        if (!ParseRecord(data, offset, &record, &size)) {
            parse.failedAt = offset;
            return parse;
        }
        parse.records.push_back(record);
        offset += size;
    }
    parse.complete = true;
    return parse;
}

bool CopyItemsToClipboard(CIconmillApp& app, Clipboard& clipboard) {
    const CItemList& list = app.Items();
    Interaction& ui = app.Ui();
    std::optional<std::size_t> total = kCountSize;
    const tagILVITEM* first = nullptr;
    std::uint32_t count = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM* item = list.Item(i);
        if (!item->IsSelected()) continue;
        if (!first) first = item;
        ++count;
        const std::optional<std::size_t> size = RecordSize(item->Image());
        total = total && size ? CheckedAdd(*total, *size) : std::nullopt;
    }
    if (!first) return false;

    // A selection too large to describe in memory is refused like a failed allocation.
    Block data = total ? AllocateBlock(*total) : nullptr;
    if (!data) {
        ReportGenericFailure(ui);
        return false;
    }
    Store<std::uint32_t>(data.get(), count);
    std::uint8_t* out = data.get() + kCountSize;
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM* item = list.Item(i);
        if (item->IsSelected()) out = WriteRecord(out, *item);
    }

    std::vector<ClipboardFormatData> formats;
    formats.push_back({kItemClipboardFormat, {data.get(), *total}});
    std::size_t dibSize = 0;
    const Block dib = BuildPackedDib(first->Image(), &dibSize);
    if (dib) formats.push_back({kDibClipboardFormat, {dib.get(), dibSize}});
    if (!clipboard.SetData(formats)) {
        ReportClipboardError(ui);
        return false;
    }
    return true;
}

bool CutItems(CIconmillApp& app, Clipboard& clipboard) {
    if (!CopyItemsToClipboard(app, clipboard)) return false;
    CItemList& list = app.Items();
    CItemList::UpdateBatch batch(list);
    for (int i = list.Count() - 1; i >= 0; --i) {
        // An original with duplicates is refused by RemoveItem and stays.
        if (list.Item(i)->IsSelected()) (void)list.RemoveItem(i);
    }
    return true;
}

bool PasteItems(CIconmillApp& app, Clipboard& clipboard) {
    if (clipboard.IsFormatAvailable(kItemClipboardFormat))
        return PastePrivateFormat(app, clipboard);
    if (clipboard.IsFormatAvailable(kDibClipboardFormat)) return PastePackedDib(app, clipboard);
    return false;
}

void DeleteSelectedItems(CIconmillApp& app) {
    CItemList& list = app.Items();
    CItemList::UpdateBatch batch(list);
    int i = list.Count() - 1;
    while (i >= 0) {
        const tagILVITEM* item = list.Item(i);
        if (!item->IsSelected()) {
            --i;
            continue;
        }
        if (item->IsDuplicate() || item->duplicateCount == 0) {
            (void)list.RemoveItem(i);
            --i;
            continue;
        }
        // The original's duplicates go first, wherever they are; then the walk
        // starts again from the new end, reaching the original without duplicates.
        for (int j = list.Count() - 1; j >= 0; --j) {
            if (list.Item(j)->reference == item) (void)list.RemoveItem(j);
        }
        i = list.Count() - 1;
    }
}

int DuplicateSelectedItems(CIconmillApp& app) {
    const int added = DuplicateSelectedItems(app.Items());
    if (added > 0) app.SetModified();
    return added;
}

int DeleteAllDuplications(CIconmillApp& app) {
    return DeleteAllDuplications(app.Items());
}
