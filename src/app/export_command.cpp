#include "app/export_command.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <functional>

#include "app/application.h"
#include "app/report.h"
#include "core/checked_math.h"
#include "core/dib.h"
#include "formats/export/data_export.h"
#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"

const char* const kExportFileFilter =
    "C, C++ Source File (*.c; *.cpp)|*.cpp;*.c|Raw Data File (*.*)|*.*||";

namespace {

constexpr int kFilterSource = 1;
constexpr int kFilterRaw = 2;

// The filter a chosen name implies when the dialog does not say which it used.
int FilterForName(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return kFilterRaw;
    std::string extension = path.substr(dot);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".c" || extension == ".cpp" ? kFilterSource : kFilterRaw;
}

// The busy state's side of the writers' progress: the bar moves in whole
// percents (set only when the value changes), and ESC is polled before every byte.
class BusyProgress {
public:
    explicit BusyProgress(Interaction& ui) : ui_(ui) {}
    bool operator()(std::size_t done, std::size_t total) {
        const double left = double(total - done) / double(total);
        const int percent = static_cast<int>(100.0 - left * 100.0);
        if (percent != shown_) {
            shown_ = percent;
            ui_.SetBusyProgress(percent);
        }
        return !ui_.PollBusyCancelled();
    }

private:
    Interaction& ui_;
    int shown_ = -1;
};

}  // namespace

std::string CArrayOptionsFailureText(CArrayOptionsField field) {
    switch (field) {
        case CArrayOptionsField::VariableName:
            return LoadStringText(kStrVariableNameEmpty);
        case CArrayOptionsField::SplitCount:
            return FormatMessageText(LoadStringText(kStrValueRange),
                                     {1, int(kMaxCArraySplitCount)});
        case CArrayOptionsField::ElementsPerLine:
            return FormatMessageText(LoadStringText(kStrValueRange),
                                     {1, kMaxCArrayElementsPerLine});
    }
    return {};
}

namespace {

// The bytes an export writes: the picture's rows, or a packed copy of header,
// colour table and rows.
struct ExportData {
    Block packed;
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
};

// The first selected item's bytes for `kind`; nullopt when nothing is selected,
// or after reporting that memory ran out.
std::optional<ExportData> PrepareExport(CIconmillApp& app, ExportKind kind) {
    const int index = app.Items().GetFirstSelected(nullptr);
    const tagILVITEM* item = index >= 0 ? app.Items().Item(index) : nullptr;
    if (!item) return std::nullopt;
    // A duplicate holds no picture of its own: its reference's is exported.
    const tagILVITEM& image = item->Image();
    if (!image.header || !image.bits) return std::nullopt;

    const std::size_t imageSize = DibImageSize(image.header);
    ExportData out;
    out.data = image.bits;
    out.length = imageSize;
    if (kind == ExportKind::Dib) {
        const std::size_t headerSize = image.header->biSize + DibColorTableSize(image.header);
        std::optional<std::size_t> total = CheckedAdd(headerSize, imageSize);
        if (total) out.packed = AllocateBlock(*total);
        if (!out.packed) {
            ReportOutOfMemory(app.Ui());
            return std::nullopt;
        }
        std::memcpy(out.packed.get(), image.header, headerSize);
        std::memcpy(out.packed.get() + headerSize, image.bits, imageSize);
        out.data = out.packed.get();
        out.length = *total;
    }
    return out;
}

// Writes the bytes in the cancellable busy state and reports a failure.
bool WriteExport(Interaction& ui, const ExportData& bytes, const std::string& path,
                 const std::optional<CArrayOptions>& options) {
    ExportResult result;
    int error = 0;
    {
        BusyRequest busy;
        busy.text = LoadStringText(kStrExporting);
        busy.cancellable = true;
        busy.progressRange = 100;
        BusyScope scope(ui, busy);
        // One object for the whole write: it remembers the percent last shown.
        BusyProgress busyProgress(ui);
        const ExportProgress progress = std::ref(busyProgress);
        result = options
                     ? WriteArraySource(path.c_str(), bytes.data, bytes.length, *options, progress)
                     : WriteRawData(path.c_str(), bytes.data, bytes.length, progress);
        if (result == ExportSystemError) error = errno;
    }
    ReportExportResult(ui, result, error, path.c_str());
    return result == ExportOk;
}

}  // namespace

bool ExportItemData(CIconmillApp& app, ExportKind kind) {
    Interaction& ui = app.Ui();
    const std::optional<ExportData> bytes = PrepareExport(app, kind);
    if (!bytes) return false;

    FileDialogRequest request;
    request.save = true;
    request.title = "Export As";
    request.filter = kExportFileFilter;
    request.defaultExtension = "cpp";
    int filter = 0;
    request.chosenFilter = &filter;
    const std::vector<std::string> paths = ui.ChooseFiles(request);
    if (paths.empty()) return false;
    const std::string& path = paths.front();
    if (filter != kFilterSource && filter != kFilterRaw) filter = FilterForName(path);

    std::optional<CArrayOptions> options;
    if (filter == kFilterSource) {
        options = ui.ChooseCArrayOptions(CArrayOptions{});
        if (!options) return false;  // no file is created
    }
    return WriteExport(ui, *bytes, path, options);
}

bool ExportItemDataTo(CIconmillApp& app, ExportKind kind, const std::string& path,
                      const std::optional<CArrayOptions>& layout) {
    const std::optional<ExportData> bytes = PrepareExport(app, kind);
    return bytes && WriteExport(app.Ui(), *bytes, path, layout);
}
