#include "app/export_command.h"

#include <cctype>
#include <cerrno>
#include <cstring>

#include "app/application.h"
#include "app/report.h"
#include "core/checked_math.h"
#include "core/dib.h"
#include "formats/export/data_export.h"
#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"
#include "platform/system_error.h"

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

}  // namespace

bool ExportItemData(CIconmillApp& app, ExportKind kind) {
    Interaction& ui = app.Ui();
    const int index = app.Items().GetFirstSelected(nullptr);
    const tagILVITEM* item = index >= 0 ? app.Items().Item(index) : nullptr;
    if (!item) return false;
    // A duplicate holds no picture of its own: its reference's is exported.
    const tagILVITEM& image = item->Image();
    if (!image.header || !image.bits) return false;

    const std::size_t imageSize = DibImageSize(image.header);
    Block packed;
    const std::uint8_t* data = image.bits;
    std::size_t length = imageSize;
    if (kind == ExportKind::Dib) {
        const std::size_t headerSize = image.header->biSize + DibColorTableSize(image.header);
        std::optional<std::size_t> total = CheckedAdd(headerSize, imageSize);
        if (total) packed = AllocateBlock(*total);
        if (!packed) {
            ReportOutOfMemory(ui);
            return false;
        }
        std::memcpy(packed.get(), image.header, headerSize);
        std::memcpy(packed.get() + headerSize, image.bits, imageSize);
        data = packed.get();
        length = *total;
    }

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
    ExportResult result;
    int error = 0;
    {
        BusyRequest busy;
        busy.text = LoadStringText(kStrExporting);
        busy.cancellable = true;
        busy.progressRange = 100;
        BusyScope scope(ui, busy);
        result = options ? WriteArraySource(ui, path.c_str(), data, length, *options)
                         : WriteRawData(ui, path.c_str(), data, length);
        error = errno;
    }
    if (result == ExportSystemError) {
        std::string system = SystemErrorText(error);
        ui.ShowMessage(
            system.empty()
                ? PlainMessage(kStrGenericFailure, MessageIcon::Error)
                : MessageRequest{kStrSubjectAndSystemText,
                                 FormatMessageText(LoadStringText(kStrSubjectAndSystemText),
                                                   {path, system}),
                                 MessageIcon::Error, MessageButtons::Ok});
    }
    return result == ExportOk;
}
