#include "formats/ani/ani_file.h"

#include <algorithm>
#include <cstring>

#include "formats/compilation.h"
#include "core/item_list.h"
#include "formats/icon/little_endian.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/last_error.h"

namespace {

constexpr float kMillisecondsPerJiffy = 16.6666f;

bool TagIs(const std::uint8_t* tag, const char* fourCC) {
    return std::memcmp(tag, fourCC, 4) == 0;
}

std::uint64_t Padded(std::uint64_t size) {
    return size + (size & 1);
}

// Reads from the bytes being parsed, each checked against their length first,
// so that no size from the file can reach past them.
class ChunkFile {
public:
    explicit ChunkFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t Size() const { return bytes_.size(); }
    // True when `length` bytes from `offset` lie inside the file.
    bool Holds(std::uint64_t offset, std::uint64_t length) const {
        return offset <= Size() && length <= Size() - offset;
    }

    IconResult Read(std::uint64_t offset, void* buffer, std::size_t length) const {
        std::span<const std::uint8_t> bytes;
        if (IconResult r = View(offset, length, &bytes); r != IconOk) return r;
        std::memcpy(buffer, bytes.data(), length);
        return IconOk;
    }

    // The `length` bytes at `offset`.
    IconResult View(std::uint64_t offset, std::uint64_t length,
                    std::span<const std::uint8_t>* out) const {
        if (!Holds(offset, length)) return IconBadFormat;
        *out = bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
        return IconOk;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

struct ChunkHeader {
    std::uint8_t id[4];
    std::uint32_t size;
};

IconResult ReadChunkHeader(const ChunkFile& file, std::uint64_t offset, ChunkHeader* out) {
    std::uint8_t bytes[8];
    if (IconResult r = file.Read(offset, bytes, sizeof bytes); r != IconOk) return r;
    std::memcpy(out->id, bytes, 4);
    out->size = LoadLe32(bytes + 4);
    // A chunk whose data runs past the end of the file is broken, whatever the
    // sizes around it say.
    return file.Holds(offset + 8, out->size) ? IconOk : IconBadFormat;
}

// Decodes the entries of one "icon" chunk (a complete cursor file) and hands
// them to the sink.
IconResult DecodeIconChunk(std::span<const std::uint8_t> chunk, std::int32_t frameIndex,
                           const AniSink& sink) {
    if (chunk.size() < kIconHeaderSize) return IconBadFormat;
    const std::size_t count = LoadLe16(chunk.data() + 4);
    if (kIconHeaderSize + count * kIconEntrySize > chunk.size()) return IconBadFormat;
    for (std::size_t i = 0; i < count; ++i) {
        const IconDirEntry entry = ParseIconDirEntry(std::span<const std::uint8_t, kIconEntrySize>(
            chunk.data() + kIconHeaderSize + i * kIconEntrySize, kIconEntrySize));
        if (entry.imageOffset > chunk.size() || entry.bytesInRes > chunk.size() - entry.imageOffset)
            return IconBadFormat;
        IconImage image;
        IconResult result =
            DecodeIconImage(entry, chunk.subspan(entry.imageOffset, entry.bytesInRes), &image);
        if (result == IconOutOfMemory) return result;
        if (result != IconOk) return IconBadFormat;
        image.frameIndex = frameIndex;
        AniPiece piece;
        piece.kind = AniPieceImage;
        piece.image = &image;
        if (!sink(piece)) return IconStopped;
    }
    return IconOk;
}

// Walks the sub-chunks of an "INFO" or "fram" list of `listBytes` bytes (after
// the list type) starting at `offset`. *end receives where the walk stopped:
// the chunk after the list begins there, also when the list's stated size is a
// little off either way (files in the wild get it wrong).
IconResult ParseList(const ChunkFile& file, bool frames, std::uint64_t offset,
                     std::uint64_t listBytes, const AniSink& sink, std::int32_t* frameCount,
                     std::uint64_t* end) {
    std::uint64_t consumed = 0;
    std::uint64_t position = offset;
    // A rest shorter than a chunk header holds no sub-chunk.
    while (consumed < listBytes && listBytes - consumed >= 8) {
        ChunkHeader chunk;
        if (IconResult r = ReadChunkHeader(file, position, &chunk); r != IconOk) return r;
        const std::uint64_t data = position + 8;
        if (!frames && chunk.size != 0 && (TagIs(chunk.id, "INAM") || TagIs(chunk.id, "IART"))) {
            std::span<const std::uint8_t> text;
            if (IconResult r = file.View(data, chunk.size, &text); r != IconOk) return r;
            // The string ends at its terminating zero, or before its last byte.
            const char* chars = reinterpret_cast<const char*>(text.data());
            AniPiece piece;
            piece.kind = TagIs(chunk.id, "INAM") ? AniPieceName : AniPieceArtist;
            piece.text = std::string_view(chars, strnlen(chars, chunk.size - 1));
            if (!sink(piece)) return IconStopped;
        } else if (frames && chunk.size != 0 && TagIs(chunk.id, "icon")) {
            std::span<const std::uint8_t> icon;
            if (IconResult r = file.View(data, chunk.size, &icon); r != IconOk) return r;
            IconResult r = DecodeIconChunk(icon, (*frameCount)++, sink);
            if (r != IconOk) return r;
        }
        consumed += 8 + Padded(chunk.size);
        position = data + Padded(chunk.size);
    }
    *end = position;
    return IconOk;
}

// Reads the values of a "rate" or "seq " chunk of a valid size.
IconResult ReadValues(const ChunkFile& file, std::uint64_t offset, std::uint32_t size,
                      std::vector<std::uint32_t>* out) {
    std::span<const std::uint8_t> data;
    if (IconResult r = file.View(offset, size, &data); r != IconOk) return r;
    out->resize(size / 4);
    for (std::size_t i = 0; i < out->size(); ++i) (*out)[i] = LoadLe32(data.data() + 4 * i);
    return IconOk;
}

}  // namespace

std::uint32_t JiffiesToMilliseconds(std::uint32_t jiffies) {
    const float milliseconds = static_cast<float>(jiffies) * kMillisecondsPerJiffy;
    // Rates beyond about 71 days do not fit the delay: they saturate instead of
    // overflowing the conversion.
    if (milliseconds >= 4294967296.0f) return UINT32_MAX;
    return static_cast<std::uint32_t>(milliseconds);
}

std::uint32_t MillisecondsToJiffies(std::uint32_t milliseconds) {
    return static_cast<std::uint32_t>(static_cast<float>(milliseconds) / kMillisecondsPerJiffy);
}

AniSink AniContentSink(AniContent& content) {
    return [&content](AniPiece& piece) {
        switch (piece.kind) {
            case AniPieceName:
            case AniPieceArtist: {
                std::string& target = piece.kind == AniPieceName ? content.name : content.artist;
                target = Windows1252ToUtf8(piece.text).value_or(std::string());
                break;
            }
            case AniPieceRates:
                if (content.rates.empty())
                    content.rates.assign(piece.values.begin(), piece.values.end());
                break;
            case AniPieceSequence:
                if (content.sequence.empty())
                    content.sequence.assign(piece.values.begin(), piece.values.end());
                break;
            case AniPieceImage:
                if (piece.image) content.images.push_back(std::move(*piece.image));
                break;
        }
        return true;
    };
}

IconResult ReadAniFile(const char* path, AniContent* content, AniHeader* anih) {
    if (!content) return IconInvalidArg;
    return ReadAniFile(path, AniContentSink(*content), anih);
}

IconResult ParseAni(std::span<const std::uint8_t> file, AniContent* content, AniHeader* anih) {
    if (!content) return IconInvalidArg;
    return ParseAni(file, AniContentSink(*content), anih);
}

IconResult ReadAniFile(const char* path, const AniSink& sink, AniHeader* anih) {
    return ReadIconFamilyFile(path, [&](std::span<const std::uint8_t> bytes) {
        return ParseAni(bytes, sink, anih);
    });
}

IconResult ParseAni(std::span<const std::uint8_t> fileBytes, const AniSink& sink, AniHeader* anih) {
    const ChunkFile file(fileBytes);
    std::uint8_t riff[12];
    if (IconResult r = file.Read(0, riff, sizeof riff); r != IconOk) return r;
    if (TagIs(riff, "RIFX")) return IconUnsupported;
    if (!TagIs(riff, "RIFF") || !TagIs(riff + 8, "ACON")) return IconBadFormat;
    const std::uint32_t riffSize = LoadLe32(riff + 4);
    const std::uint64_t chunkBytes = riffSize >= 4 ? riffSize - 4 : 0;

    bool haveHeader = false;
    bool haveFrames = false;
    std::int32_t frameCount = 0;
    std::uint64_t total = 0;
    std::uint64_t position = sizeof riff;
    // The RIFF size bounds the walk, and so does the file: many writers state a
    // RIFF size larger than what they wrote.
    while (total < chunkBytes && position < file.Size()) {
        ChunkHeader chunk;
        if (IconResult r = ReadChunkHeader(file, position, &chunk); r != IconOk) return r;
        const std::uint64_t data = position + 8;
        std::uint64_t next = data + Padded(chunk.size);
        if (TagIs(chunk.id, "LIST")) {
            if (chunk.size < 4) return IconBadFormat;
            std::uint8_t type[4];
            if (IconResult r = file.Read(data, type, sizeof type); r != IconOk) return r;
            const bool info = TagIs(type, "INFO");
            const bool frames = TagIs(type, "fram");
            if (info || frames) {
                IconResult r =
                    ParseList(file, frames, data + 4, chunk.size - 4, sink, &frameCount, &next);
                if (r != IconOk) return r;
                haveFrames |= frames;
            }
        } else if (TagIs(chunk.id, "anih")) {
            // A second header would contradict the first; which one holds is anyone's guess.
            if (haveHeader || chunk.size != kAniHeaderSize) return IconBadFormat;
            std::uint8_t bytes[kAniHeaderSize];
            if (IconResult r = file.Read(data, bytes, sizeof bytes); r != IconOk) return r;
            AniHeader header;
            std::uint32_t* fields = &header.headerSize;
            for (std::size_t i = 0; i < kAniHeaderSize / 4; ++i)
                fields[i] = LoadLe32(bytes + 4 * i);
            if (header.headerSize != kAniHeaderSize) return IconBadFormat;
            if (!(header.flags & kAniFlagIcon)) return IconUnsupported;
            if (anih) *anih = header;
            haveHeader = true;
        } else if (TagIs(chunk.id, "rate") || TagIs(chunk.id, "seq ")) {
            if (chunk.size != 0 && chunk.size % 4 == 0) {
                std::vector<std::uint32_t> values;
                if (IconResult r = ReadValues(file, data, chunk.size, &values); r != IconOk)
                    return r;
                AniPiece piece;
                piece.kind = TagIs(chunk.id, "rate") ? AniPieceRates : AniPieceSequence;
                piece.values = values;
                if (!sink(piece)) return IconStopped;
            }
        }
        // The pad byte of an odd-sized chunk counts, or the walk would end early.
        total += 8 + Padded(chunk.size);
        position = next;
    }
    if (!haveHeader || !haveFrames) return IconBadFormat;
    return IconOk;
}

bool AniSequenceUsable(const AniHeader& anih, const AniContent& content) {
    return !content.sequence.empty() && content.sequence.size() == anih.stepCount &&
           (content.rates.empty() || content.rates.size() == anih.stepCount);
}

void ImportAniContent(const AniImportTarget& target, const AniHeader& anih, AniContent& content,
                      bool followSequence) {
    std::vector<IconImage>& images = content.images;
    const bool follow = followSequence && AniSequenceUsable(anih, content);

    auto frameInfoFor = [&](const IconImage& image, std::uint32_t jiffies) {
        FrameInfo info;
        info.delay = JiffiesToMilliseconds(jiffies);
        info.blendOp = 0;
        info.disposeOp = 1;
        info.hotspotX = image.hotspotX;
        info.hotspotY = image.hotspotY;
        return info;
    };
    // Appends an image as a new item, handing its blocks to the list; -1 when
    // the list refused it.
    auto addImage = [&](IconImage& image, const FrameInfo& info) {
        NewItem item;
        item.header = std::move(image.header);
        item.bits = std::move(image.bits);
        item.mask = std::move(image.mask);
        item.frameInfo = info;
        return target.list.AddItem(std::move(item));
    };

    if (!follow) {
        for (IconImage& image : images) {
            if (!image.header || !image.bits) continue;
            const std::size_t frame = static_cast<std::size_t>(image.frameIndex);
            const std::uint32_t jiffies =
                frame < content.rates.size() ? content.rates[frame] : anih.displayRate;
            addImage(image, frameInfoFor(image, jiffies));
        }
    } else {
        // A step names a frame; every image of that frame is shown at that step.
        std::vector<std::vector<std::size_t>> framesImages;
        for (std::size_t i = 0; i < images.size(); ++i) {
            if (!images[i].header || !images[i].bits) continue;
            const std::size_t frame = static_cast<std::size_t>(images[i].frameIndex);
            if (frame >= framesImages.size()) framesImages.resize(frame + 1);
            framesImages[frame].push_back(i);
        }
        std::vector<int> itemOf(images.size(), -1);
        for (std::size_t step = 0; step < content.sequence.size(); ++step) {
            const std::uint32_t frame = content.sequence[step];
            if (frame >= framesImages.size()) continue;
            const std::uint32_t jiffies =
                content.rates.empty() ? anih.displayRate : content.rates[step];
            for (std::size_t i : framesImages[frame]) {
                const FrameInfo info = frameInfoFor(images[i], jiffies);
                if (itemOf[i] >= 0) {
                    (void)target.list.AddDuplicate(info, 0, 0, itemOf[i]);
                } else {
                    itemOf[i] = addImage(images[i], info);
                }
            }
        }
    }

    if (CAnimatedCursorCompilation* ani = target.compilation.AsAnimatedCursor()) {
        ani->ani.name = content.name;
        ani->ani.artist = content.artist;
        ani->ani.individualRates = !content.rates.empty();
        int perDirectory = 0;
        for (const IconImage& image : images) {
            if (image.frameIndex != images.front().frameIndex) break;
            ++perDirectory;
        }
        ani->ani.imagesPerDirectory = std::max(perDirectory, 1);
    }
}

AniInputsResult MapItemsToAniInputs(const CItemList& list, bool selectionOnly,
                                    const AniSaveOptions& options,
                                    AniWriteInputs* out) {
    if (!out) return AniInputsNothing;
    std::vector<const tagILVITEM*> items;
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM* item = list.Item(i);
        if (!selectionOnly || item->IsSelected()) items.push_back(item);
    }
    if (items.empty()) return AniInputsNothing;
    const std::size_t perFrame = static_cast<std::size_t>(std::max(options.imagesPerDirectory, 1));
    if (perFrame > 1 && items.size() % perFrame != 0) return AniInputsImageCount;
    const bool sequenceMode = !selectionOnly && perFrame == 1;

    AniWriteInputs inputs;
    inputs.imagesPerFrame = perFrame;
    std::vector<std::uint32_t> stepRates;
    std::size_t position = 0;
    // The frame number of a regular item: how many regular items come before it.
    std::vector<std::uint32_t> frameOf(static_cast<std::size_t>(list.Count()), 0);
    std::uint32_t regular = 0;
    for (int i = 0; i < list.Count(); ++i) {
        frameOf[static_cast<std::size_t>(i)] = regular;
        if (!list.Item(i)->IsDuplicate()) ++regular;
    }
    for (const tagILVITEM* item : items) {
        const tagILVITEM& image = item->Image();
        if (!item->IsDuplicate() || !sequenceMode) {
            tagICON_IMAGE_INFO record;
            record.header = image.header;
            record.bits = image.bits;
            record.mask = image.mask;
            record.hotspotX = item->frameInfo.hotspotX;
            record.hotspotY = item->frameInfo.hotspotY;
            inputs.records.push_back(record);
        }
        if (position == 0) {
            if (sequenceMode)
                inputs.sequence.push_back(frameOf[static_cast<std::size_t>(list.IndexOf(&image))]);
            stepRates.push_back(MillisecondsToJiffies(item->frameInfo.delay));
        }
        position = (position + 1) % perFrame;
    }
    inputs.stepCount = stepRates.size();
    inputs.name = Utf8ToWindows1252(options.name);
    inputs.artist = Utf8ToWindows1252(options.artist);
    const bool common = std::all_of(stepRates.begin(), stepRates.end(),
                                    [&](std::uint32_t rate) { return rate == stepRates.front(); });
    if (common && !options.individualRates) {
        inputs.defaultRate = stepRates.front();
    } else {
        inputs.rates = std::move(stepRates);
        inputs.defaultRate = 0;
    }
    *out = std::move(inputs);
    return AniInputsOk;
}

namespace {

// Bytes of a chunk of `size` bytes with its header and pad byte.
std::uint64_t ChunkTotal(std::uint64_t size) {
    return 8 + Padded(size);
}

class ChunkWriter {
public:
    explicit ChunkWriter(SafeFileWriter& writer) : writer_(writer) {}
    bool Bytes(const void* data, std::size_t size) { return writer_.Write(data, size); }
    bool Tag(const char* fourCC) { return Bytes(fourCC, 4); }
    bool U16(std::uint16_t value) {
        std::uint8_t bytes[2];
        StoreLe16(bytes, value);
        return Bytes(bytes, 2);
    }
    bool U32(std::uint32_t value) {
        std::uint8_t bytes[4];
        StoreLe32(bytes, value);
        return Bytes(bytes, 4);
    }
    bool Header(const char* fourCC, std::uint64_t size) {
        return Tag(fourCC) && U32(static_cast<std::uint32_t>(size));
    }
    bool PadFor(std::uint64_t size) {
        static const std::uint8_t zero = 0;
        return (size & 1) == 0 || Bytes(&zero, 1);
    }
    bool String(const char* fourCC, const std::string& text) {
        const std::uint64_t size = text.size() + 1;
        return Header(fourCC, size) && Bytes(text.c_str(), text.size() + 1) && PadFor(size);
    }
    bool Values(const char* fourCC, const std::uint32_t* values, std::size_t count) {
        if (!Header(fourCC, 4 * std::uint64_t{count})) return false;
        for (std::size_t i = 0; i < count; ++i)
            if (!U32(values[i])) return false;
        return true;
    }

private:
    SafeFileWriter& writer_;
};

}  // namespace

IconResult WriteAniFile(const char* path, const tagICON_IMAGE_INFO* records,
                        std::size_t recordCount, std::size_t imagesPerFrame,
                        std::uint32_t defaultRate, const std::uint32_t* rates,
                        const std::uint32_t* sequence, std::size_t stepCount, const char* name,
                        const char* artist) {
    LastErrorScope lastError;
    if (!path || !records || recordCount == 0 || imagesPerFrame == 0 ||
        imagesPerFrame > recordCount || recordCount % imagesPerFrame != 0 ||
        imagesPerFrame > 0xFFFF || (sequence && stepCount == 0))
        return IconInvalidArg;
    const std::size_t frameCount = recordCount / imagesPerFrame;
    const std::size_t steps = sequence ? stepCount : frameCount;

    // Every size first: the chunk headers before the frames need them.
    std::vector<std::uint64_t> blockSizes(recordCount);
    for (std::size_t i = 0; i < recordCount; ++i) {
        std::optional<std::size_t> size = IconImageDataSize(records[i].header);
        if (!size || !records[i].bits) {
            // The builder tells what is wrong with the image.
            Block block;
            std::size_t ignored = 0;
            IconResult result = BuildIconImageData(&records[i], &block, &ignored);
            return result != IconOk ? result : IconInvalidArg;
        }
        blockSizes[i] = *size;
    }
    std::vector<std::uint64_t> iconSizes(frameCount);
    std::uint64_t framContent = 4;
    for (std::size_t frame = 0; frame < frameCount; ++frame) {
        std::uint64_t size = kIconHeaderSize + kIconEntrySize * imagesPerFrame;
        for (std::size_t k = 0; k < imagesPerFrame; ++k)
            size += blockSizes[frame * imagesPerFrame + k];
        iconSizes[frame] = size;
        framContent += ChunkTotal(size);
        if (framContent > UINT32_MAX) return IconInvalidArg;
    }
    const bool haveInfo = name || artist;
    const std::string nameText = name ? name : "";
    const std::string artistText = artist ? artist : "";
    const std::uint64_t infoContent =
        4 + ChunkTotal(nameText.size() + 1) + ChunkTotal(artistText.size() + 1);
    std::uint64_t riffSize = 4 + ChunkTotal(kAniHeaderSize) + 8 + framContent;
    if (haveInfo) riffSize += 8 + infoContent;
    if (rates) riffSize += 8 + 4 * std::uint64_t{steps};
    if (sequence) riffSize += 8 + 4 * std::uint64_t{stepCount};
    if (riffSize > UINT32_MAX) return IconInvalidArg;

    SafeFileWriter file(path);
    ChunkWriter out(file);
    auto systemError = [&] {
        lastError.KeepSystemError();
        return IconSystemError;
    };
    if (!file.Open()) return systemError();
    if (!out.Header("RIFF", riffSize) || !out.Tag("ACON")) return systemError();
    if (haveInfo && !(out.Header("LIST", infoContent) && out.Tag("INFO") &&
                      out.String("INAM", nameText) && out.String("IART", artistText)))
        return systemError();
    const std::uint32_t anih[9] = {kAniHeaderSize,
                                   static_cast<std::uint32_t>(frameCount),
                                   static_cast<std::uint32_t>(steps),
                                   0,
                                   0,
                                   0,
                                   0,
                                   defaultRate,
                                   kAniFlagIcon | (sequence ? kAniFlagSequence : 0)};
    if (!out.Values("anih", anih, 9)) return systemError();
    if (!out.Header("LIST", framContent) || !out.Tag("fram")) return systemError();
    for (std::size_t frame = 0; frame < frameCount; ++frame) {
        if (!out.Header("icon", iconSizes[frame]) || !out.U16(0) || !out.U16(kIconTypeCursor) ||
            !out.U16(static_cast<std::uint16_t>(imagesPerFrame)))
            return systemError();
        std::uint64_t offset = kIconHeaderSize + kIconEntrySize * imagesPerFrame;
        for (std::size_t k = 0; k < imagesPerFrame; ++k) {
            const tagICON_IMAGE_INFO& record = records[frame * imagesPerFrame + k];
            const DibHeader* header = record.header;
            const std::uint32_t width = static_cast<std::uint32_t>(header->biWidth);
            const std::uint32_t height = header->biHeight < 0
                                             ? 0u - static_cast<std::uint32_t>(header->biHeight)
                                             : static_cast<std::uint32_t>(header->biHeight);
            IconDirEntry entry;
            entry.width = width <= 255 ? static_cast<std::uint8_t>(width) : 0;
            entry.height = height <= 255 ? static_cast<std::uint8_t>(height) : 0;
            entry.colorCount =
                header->biBitCount < 8 ? static_cast<std::uint8_t>(1u << header->biBitCount)
                                       : std::uint8_t{0};
            entry.planesOrHotspotX = static_cast<std::uint16_t>(record.hotspotX);
            entry.bitCountOrHotspotY = static_cast<std::uint16_t>(record.hotspotY);
            entry.bytesInRes = static_cast<std::uint32_t>(blockSizes[frame * imagesPerFrame + k]);
            entry.imageOffset = static_cast<std::uint32_t>(offset);
            offset += entry.bytesInRes;
            std::uint8_t bytes[kIconEntrySize];
            StoreIconDirEntry(entry, bytes);
            if (!out.Bytes(bytes, sizeof bytes)) return systemError();
        }
        for (std::size_t k = 0; k < imagesPerFrame; ++k) {
            Block block;
            std::size_t size = 0;
            IconResult result =
                BuildIconImageData(&records[frame * imagesPerFrame + k], &block, &size);
            if (result != IconOk) return result;
            if (!out.Bytes(block.get(), size)) return systemError();
        }
        if (!out.PadFor(iconSizes[frame])) return systemError();
    }
    if (rates && !out.Values("rate", rates, steps)) return systemError();
    if (sequence && !out.Values("seq ", sequence, stepCount)) return systemError();
    if (!file.Commit()) return systemError();
    return IconOk;
}

IconResult WriteAniFile(const char* path, const AniWriteInputs& inputs) {
    return WriteAniFile(path, inputs.records.data(), inputs.records.size(), inputs.imagesPerFrame,
                        inputs.defaultRate, inputs.rates.empty() ? nullptr : inputs.rates.data(),
                        inputs.sequence.empty() ? nullptr : inputs.sequence.data(),
                        inputs.stepCount, inputs.name.empty() ? nullptr : inputs.name.c_str(),
                        inputs.artist.empty() ? nullptr : inputs.artist.c_str());
}
