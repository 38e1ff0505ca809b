#include "app/open_flows.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/application.h"
#include "app/report.h"
#include "app/save_flows.h"
#include "core/bmp_file.h"
#include "formats/ani/ani_file.h"
#include "formats/icon/icon_file.h"
#include "formats/png/png_import.h"
#include "formats/psd/psd_import.h"
#include "formats/svg/svg_import.h"
#include "platform/file_io.h"
#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"

const char* const kOpenFileFilter =
    "All Supported Formats|*.bmp;*.dib;*.png;*.psd;*.ico;*.cur;*.ani;*.svg;*.svgz|Bitmap Files "
    "(*.bmp, *.dib)|*.bmp;*.dib|PNG Files (*.png)|*.png|Photoshop PSD Files (*.psd)|*.psd|Icon "
    "Files (*.ico)|*.ico|Cursor Files (*.cur)|*.cur|Animated Cursor Files (*.ani)|*.ani|SVG "
    "Drawings (*.svg, *.svgz)|*.svg;*.svgz||";

namespace {

// The compilation a single file chosen in the Open dialog gives.
CompilationType CompilationTypeForOpen(ImageFileFormat format) {
    switch (format) {
        case FormatPng:
            return CompilationAnimatedPng;
        case FormatIco:
            return CompilationIcon;
        case FormatCur:
            return CompilationCursor;
        case FormatAni:
            return CompilationAnimatedCursor;
        default:
            return CompilationNone;
    }
}

// The compilation a file named on the command line gives: a PNG stays untyped.
CompilationType CompilationTypeForStartup(ImageFileFormat format) {
    return format == FormatPng ? CompilationNone : CompilationTypeForOpen(format);
}

// The name a file is known by in the save question: its file name.
std::string DisplayName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr FileReadOutcome kRead{true, false};
constexpr FileReadOutcome kFailed{false, true};

FileReadOutcome ReadBmp(CIconmillApp& app, const char* path) {
    HeaderBlock header;
    Block bits;
    std::size_t bitsSize = 0;
    ImageResult result = ReadBmpFile(path, &header, &bits, &bitsSize);
    if (result != ImageOk) {
        ReportImageResult(app.Ui(), true, result, result == ImageSystemError ? errno : 0, path);
        return kFailed;
    }
    // What is left to fail is a compression that cannot be expanded, or memory.
    result = ExpandCompressedDib(&header, &bits, bitsSize);
    if (result != ImageOk) {
        ReportImageResult(app.Ui(), true, result, 0, path);
        return kFailed;
    }
    NewItem item;
    item.header = std::move(header);
    item.bits = std::move(bits);
    app.Items().AddItem(std::move(item));
    return kRead;
}

FileReadOutcome ReadIcon(CIconmillApp& app, const char* path) {
    CItemList& items = app.Items();
    IconResult result = ReadIconFile(
        path, [&items](IconImage& image) { return AddIconImage(items, image); });
    if (result == IconOk) return kRead;
    // Images read before the failure stay in the list.
    ReportIconResult(app.Ui(), true, result, result == IconSystemError ? errno : 0, path);
    return kFailed;
}

FileReadOutcome ReadAni(CIconmillApp& app, const char* path) {
    AniContent content;
    AniHeader anih;
    IconResult result = ReadAniFile(path, &content, &anih);
    if (result != IconOk) {
        // What was read is dropped with the content, not imported.
        ReportIconResult(app.Ui(), true, result, result == IconSystemError ? errno : 0, path);
        return kFailed;
    }
    // "Animated Cursor Sequence": 0 ask, 1 add each image once, other values follow.
    bool follow = false;
    if (AniSequenceUsable(anih, content)) {
        const int setting = app.settings.animatedCursorSequence;
        if (setting == 0)
            follow = !app.Ui().AskIgnoreAniSequence(
                {kStrAniSequenceQuestion,
                 FormatMessageText(LoadStringText(kStrAniSequenceQuestion), {path}),
                 MessageIcon::Question, MessageButtons::YesNo});
        else
            follow = setting != 1;
    }
    ImportAniContent({app.Items(), app.Compilation()}, anih, content, follow);
    return kRead;
}

FileReadOutcome ReadPng(CIconmillApp& app, const char* path) {
    PngReadContext context;
    PngResult result = ReadPngFile(path, &context);
    if (result != PngOk) {
        ReportPngResult(app.Ui(), true, result, result == PngSystemError ? errno : 0, path);
        return kFailed;
    }
    const PngImportOutcome imported = ImportPngContent(app.Items(), app.Compilation(), context);
    if (imported.outOfMemory) ReportOutOfMemory(app.Ui());
    return {imported.added, imported.outOfMemory};
}

// Shows one out-of-memory message for every image the import could not make.
void ReportPsdImport(Interaction& ui, const PsdImportOutcome& outcome) {
    for (int i = 0; i < outcome.outOfMemory; ++i) ReportOutOfMemory(ui);
}

FileReadOutcome ReadPsd(CIconmillApp& app, const char* path) {
    Interaction& ui = app.Ui();
    CPSDParser parser;
    PsdResult result = parser.ParseFile(path);
    if (result != PsdOk) {
        ReportPsdResult(ui, result, result == PsdSystemError ? errno : 0, path);
        return kFailed;
    }
    PsdImportOutcome outcome;
    if (parser.ColorMode() == kPsdModeIndexed) {
        outcome = ImportPsdMergedImage(parser, app.Items());
        ReportPsdImport(ui, outcome);
    } else {
        std::int32_t& remembered = app.settings.psdImportSelection;
        const std::optional<PsdImportChoice> choice =
            ui.ChoosePsdImport(MakePsdImportRequest(parser, remembered));
        if (!choice) return {};
        remembered = PsdSelectionCodeFromChoice(*choice);
        const std::vector<const CPSDLayer*> layers = ChosenPsdLayers(parser, *choice);
        if (layers.empty()) return kRead;
        BusyRequest busy;
        busy.text = LoadStringText(kStrPleaseWait);
        BusyScope scope(ui, busy);
        outcome = ImportPsdLayers(parser, layers, *choice, app.Items());
        ReportPsdImport(ui, outcome);
    }
    return {outcome.finished, outcome.outOfMemory > 0};
}

// An SVG document rendered at the size the user asks for (remembered), as one
// 32-bit item. Every failure to read or render is the cannot-read message, a
// lack of memory the out-of-memory one; cancelling the size reads nothing.
FileReadOutcome ReadSvg(CIconmillApp& app, const char* path) {
    Interaction& ui = app.Ui();
    const LoadFileResult file = LoadFile(path, kMaxSvgTextBytes);
    if (file.status != LoadStatus::Ok) {
        ReportCannotRead(ui, path);
        return kFailed;
    }
    std::unique_ptr<SvgDocument> document;
    SvgResult result = SvgDocument::Load(file.Bytes(), &document);
    SvgSizeRequest request;
    int side = 0;
    if (result == SvgOk) {
        request.fileName = DisplayName(path);
        request.ownWidth = document->OwnWidth();
        request.ownHeight = document->OwnHeight();
        request.initial = std::clamp(app.settings.svgSize, 0, kMaxSvgSide);
        const std::optional<int> chosen = ui.ChooseSvgSize(request);
        if (!chosen) return {};
        side = std::clamp(*chosen, 0, kMaxSvgSide);
        app.settings.svgSize = side;
    }
    NewItem item;
    if (result == SvgOk) {
        // Rendering may take a while: ESC stops it (the file then counts as unread).
        BusyRequest busy;
        busy.text = LoadStringText(kStrInProgress);
        busy.cancellable = true;
        busy.marquee = true;
        BusyScope scope(ui, busy);
        result = document->Render(side ? side : request.ownWidth, side ? side : request.ownHeight,
                                  &item.header, &item.bits, [&ui] { return !ui.PollBusyCancelled(); });
    }
    if (result == SvgOutOfMemory) {
        ReportOutOfMemory(ui);
        return kFailed;
    }
    if (result != SvgOk || app.Items().AddItem(std::move(item)) < 0) {
        ReportCannotRead(ui, path);
        return kFailed;
    }
    return kRead;
}

FileReadOutcome ReadImageFileItems(CIconmillApp& app, const char* path,
                                   ImageFileFormat* outFormat) {
    if (!path) return {};
    ImageFileFormat format = ImageFileFormatOf(path);
    if (outFormat) *outFormat = format;
    switch (format) {
        case FormatBmp:
        case FormatDib:
            return ReadBmp(app, path);
        case FormatIco:
        case FormatCur:
            return ReadIcon(app, path);
        case FormatAni:
            return ReadAni(app, path);
        case FormatPng:
            return ReadPng(app, path);
        case FormatPsd:
            return ReadPsd(app, path);
        case FormatSvg:
            return ReadSvg(app, path);
        default:
            // Formats whose readers are not part of this build yet.
            ReportCannotRead(app.Ui(), path);
            return kFailed;
    }
}

// Asks whether to go on after a failed file (not asked for the last one).
bool AskContinueReading(Interaction& ui) {
    return ui.ShowMessage(PlainMessage(kStrContinueReading, MessageIcon::Exclamation,
                                       MessageButtons::YesNo)) == Answer::Yes;
}

// The loop of Open, Add and drop. Drop skips empty names (Open reports them as
// unreadable files).
OpenOutcome ReadFiles(CIconmillApp& app, const std::vector<std::string>& paths, bool add,
                      bool skipEmpty) {
    OpenOutcome outcome;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        if (skipEmpty && path.empty()) continue;
        if (!add) {
            if (paths.size() == 1)
                app.ReplaceCompilation(
                    MakeCompilation(CompilationTypeForOpen(ImageFileFormatOf(path.c_str())), path));
            else
                app.ReplaceCompilation(MakeCompilation(CompilationNone));
        }
        const FileReadOutcome read = ReadImageFile(app, path.c_str());
        if (!read.read || read.failed) ++outcome.failedFiles;
        if (!add && read.read) app.recentFiles.Add(path);
        if (read.read || i + 1 == paths.size()) continue;
        if (!AskContinueReading(app.Ui())) {
            if (!add) app.ReplaceCompilation(MakeCompilation(CompilationNone));
            return outcome;
        }
    }
    outcome.completed = true;
    return outcome;
}

}  // namespace

FileReadOutcome ReadImageFile(CIconmillApp& app, const char* path, ImageFileFormat* outFormat) {
    const int countBefore = app.Items().Count();
    const FileReadOutcome outcome = ReadImageFileItems(app, path, outFormat);
    if (app.Items().Count() > countBefore) app.SetModified();
    return outcome;
}

OpenOutcome OpenPaths(CIconmillApp& app, const std::vector<std::string>& paths, bool add) {
    if (paths.empty()) return {};
    if (!add) app.Items().RemoveAllItems();
    const OpenOutcome outcome = ReadFiles(app, paths, add, false);
    if (!add) {
        app.ClearModified();
        if (app.Compilation().Type() == CompilationAnimatedPng && app.Items().Count() <= 1)
            app.ReplaceCompilation(MakeCompilation(CompilationNone));
        app.StartNewHistory();
    }
    return outcome;
}

bool OpenFiles(CIconmillApp& app, bool add) {
    if (!add && !QuerySaveChanges(app)) return false;
    FileDialogRequest request;
    request.multiSelect = true;
    request.filter = kOpenFileFilter;
    if (add) request.title = "Add";
    const std::vector<std::string> paths = app.Ui().ChooseFiles(request);
    if (paths.empty()) return false;
    return OpenPaths(app, paths, add).completed;
}

bool OpenStartupFile(CIconmillApp& app, const char* path) {
    if (!path) return false;
    app.ReplaceCompilation(
        MakeCompilation(CompilationTypeForStartup(ImageFileFormatOf(path)), path));
    if (ReadImageFile(app, path).read) {
        app.ClearModified();
        app.StartNewHistory();
        app.recentFiles.Add(path);
        return true;
    }
    app.ReplaceCompilation(MakeCompilation(CompilationNone));
    app.StartNewHistory();
    return false;
}

bool OpenRecentFile(CIconmillApp& app, const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        ReportCannotRead(app.Ui(), path.c_str());
        app.recentFiles.Remove(path);
        return false;
    }
    if (!QuerySaveChanges(app)) return false;
    return OpenPaths(app, {path}, false).Succeeded();
}

void DropFiles(CIconmillApp& app, const std::vector<std::string>& paths) {
    // A drop adds as Add does, and is taken back as one step.
    HistoryRecorder recorder(app, kCmdAdd);
    (void)ReadFiles(app, paths, true, true);
}

void NewCompilation(CIconmillApp& app) {
    if (!QuerySaveChanges(app)) return;
    app.Items().RemoveAllItems();
    app.ReplaceCompilation(MakeCompilation(CompilationNone));
    app.StartNewHistory();
}

bool QuerySaveChanges(CIconmillApp& app) {
    if (app.Items().Count() == 0 || !app.IsModified()) return true;
    std::string name;
    if (const std::string* path = app.Compilation().Path()) name = DisplayName(*path);
    if (name.empty()) name = LoadStringText(kStrUntitled);
    Answer answer =
        app.Ui().ShowMessage({kStrSaveChangesQuestion,
                              FormatMessageText(LoadStringText(kStrSaveChangesQuestion), {name}),
                              MessageIcon::Exclamation, MessageButtons::YesNoCancel});
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    return SaveCompilation(app);
}
