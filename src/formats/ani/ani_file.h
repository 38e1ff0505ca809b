// Animated cursors (.ani): RIFF files of form type "ACON" whose frames are
// complete cursor files. Reading parses the file into an AniContent, which the
// import turns into items (following or ignoring the file's step sequence);
// writing takes image records grouped into frames, per-step display rates and an
// optional sequence, which MapItemsToAniInputs prepares from the item list.
//
// Display rates are jiffies (1/60 s); item delays are milliseconds. Both
// conversions use single precision with the constant 16.6666 and truncate, so
// 600 ms is written as 36 jiffies and read back as 599 ms.
//
// The names and artists stored in files are Windows-1252 text: a stored string
// holding a byte that code page leaves undefined reads as empty, and characters
// it cannot hold are written as '?'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ani/ani_save_options.h"
#include "formats/icon/icon_file.h"
#include "formats/icon/icon_result.h"

class CAnimatedCursorCompilation;
class CCompilation;
class CItemList;

// The 36-byte "anih" record, as stored.
struct AniHeader {
    std::uint32_t headerSize = 0;  // 36
    std::uint32_t frameCount = 0;
    std::uint32_t stepCount = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t planes = 0;
    std::uint32_t displayRate = 0;  // default jiffies per step
    std::uint32_t flags = 0;
};
static_assert(sizeof(AniHeader) == 36);

constexpr std::uint32_t kAniHeaderSize = 36;
constexpr std::uint32_t kAniFlagIcon = 1;      // frames are icon resources
constexpr std::uint32_t kAniFlagSequence = 2;  // a "seq " chunk is present

// The jiffy conversions of the display rates.
std::uint32_t JiffiesToMilliseconds(std::uint32_t jiffies);
std::uint32_t MillisecondsToJiffies(std::uint32_t milliseconds);

// What the reader hands to its sink.
enum AniPieceKind : int {
    AniPieceName = 0,      // text: the "INAM" string
    AniPieceArtist = 1,    // text: the "IART" string
    AniPieceRates = 2,     // values: a "rate" chunk
    AniPieceSequence = 3,  // values: a "seq " chunk
    AniPieceImage = 4,     // image: one entry of an "icon" chunk
};

struct AniPiece {
    AniPieceKind kind = AniPieceName;
    std::string_view text;                  // Windows-1252, without the terminating zero
    std::span<const std::uint32_t> values;  // jiffies or frame numbers
    IconImage* image = nullptr;             // the sink may move its blocks out, whatever it returns
};

// Called once per piece, in file order; true to go on, false to stop the reader.
// The text and values are views into the parsed bytes, valid during the call.
using AniSink = std::function<bool(AniPiece& piece)>;

// What the open pipeline reads from a file. Owns the blocks of its images until
// the import hands them to the item list.
class AniContent {
public:
    AniContent() = default;
    AniContent(const AniContent&) = delete;
    AniContent& operator=(const AniContent&) = delete;

    std::string name;    // UTF-8
    std::string artist;  // UTF-8
    // One record per entry of every non-empty "icon" chunk, in file order; the
    // frame index is the number of the chunk it came from.
    std::vector<IconImage> images;
    std::vector<std::uint32_t> rates;     // from the first valid "rate" chunk
    std::vector<std::uint32_t> sequence;  // from the first valid "seq " chunk
};

// The open pipeline's sink: strings are converted to UTF-8 (empty when they do
// not convert), rates and sequence are kept only while the array is empty, and
// images are appended. Always true.
AniSink AniContentSink(AniContent& content);

// Parses the bytes of an animated cursor, handing its pieces to the sink and the
// "anih" record as read to *anih (when not null); no I/O. Top-level chunks may
// come in any order; the file must hold one "anih" chunk and a "LIST" "fram"
// list. IconUnsupported for a RIFX file or an "anih" without the icon flag,
// IconBadFormat for every other fault (a chunk or entry outside the file or its
// chunk, a second "anih", an image that does not decode), IconOutOfMemory,
// IconStopped when the sink stops. Pieces handed out before a failure stay with
// the sink.
IconResult ParseAni(std::span<const std::uint8_t> file, const AniSink& sink, AniHeader* anih);
// The same into an AniContent (IconInvalidArg when null).
IconResult ParseAni(std::span<const std::uint8_t> file, AniContent* content, AniHeader* anih);

// Loads the file at `path` and parses it as ParseAni does. IconInvalidArg for a
// null path, IconSystemError when the file cannot be opened or read (errno left
// set), IconBadFormat for a file over kMaxImageFileBytes. errno is kept on every
// other result.
IconResult ReadAniFile(const char* path, const AniSink& sink, AniHeader* anih);
// The same into an AniContent.
IconResult ReadAniFile(const char* path, AniContent* content, AniHeader* anih);

// Where an import puts its items.
struct AniImportTarget {
    CItemList& list;
    CCompilation& compilation;
};

// Whether the file's step sequence can be followed: a sequence of one frame
// number per step of the "anih" record, and rates (when present) one per step.
bool AniSequenceUsable(const AniHeader& anih, const AniContent& content);

// Adds the content's images as items: once each, or, when `followSequence` and
// the sequence is usable, following the sequence, where every step adds the
// images of the frame it names, as duplicates of the items already holding
// them. Takes over the blocks it adds; fills an animated cursor compilation's
// name, artist, individual-rates option and images per icon directory from the
// content. Marking the compilation modified is the caller's part.
void ImportAniContent(const AniImportTarget& target, const AniHeader& anih, AniContent& content,
                      bool followSequence);

// The writer's inputs prepared from the item list.
struct AniWriteInputs {
    std::vector<tagICON_IMAGE_INFO> records;  // borrowed from the items
    std::size_t imagesPerFrame = 1;
    std::uint32_t defaultRate = 0;
    std::vector<std::uint32_t> rates;     // empty: no "rate" chunk
    std::vector<std::uint32_t> sequence;  // empty: no "seq " chunk
    std::size_t stepCount = 0;
    std::string name;    // Windows-1252; empty: absent
    std::string artist;  // Windows-1252; empty: absent
};

enum [[nodiscard]] AniInputsResult : int{
    AniInputsOk = 0,
    AniInputsNothing = 1,     // no item (no selected item) to write, or no output
    AniInputsImageCount = 2,  // the item count is not a multiple of the images per directory
};

// Prepares the ANI save of all items (or the selected ones) with the
// compilation's options into *out. With N images per directory (at least 1) the
// item count must be a multiple of N. A sequence is written when all items are
// saved one image per frame: duplicates then add steps, not images.
AniInputsResult MapItemsToAniInputs(const CItemList& list, bool selectionOnly,
                                    const AniSaveOptions& options, AniWriteInputs* out);

// Writes an animated cursor of `recordCount` images, `imagesPerFrame` to a frame
// ("icon" chunk), every image as a DIB entry. `rates` (or null) holds one rate
// per step when a sequence is given, else one per frame; `sequence` (or null)
// holds `stepCount` frame numbers. `name` and `artist` are Windows-1252 text or
// null. The new file replaces the old one only when every byte is written.
// IconInvalidArg for null arguments or counts that do not fit, the code of an
// image that cannot be built, IconSystemError (errno left set).
IconResult WriteAniFile(const char* path, const tagICON_IMAGE_INFO* records,
                        std::size_t recordCount, std::size_t imagesPerFrame,
                        std::uint32_t defaultRate, const std::uint32_t* rates,
                        const std::uint32_t* sequence, std::size_t stepCount, const char* name,
                        const char* artist);
// The same with prepared inputs.
IconResult WriteAniFile(const char* path, const AniWriteInputs& inputs);
