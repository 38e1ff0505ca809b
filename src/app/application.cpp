#include "app/application.h"

#include <cerrno>

#include "app/report.h"
#include "app/save_flows.h"
#include "core/bmp_file.h"
#include "formats/ani/ani_file.h"
#include "formats/icon/icon_file.h"
#include "formats/png/png_import.h"
#include "formats/psd/psd_import.h"
#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"

const char* const kOpenFileFilter =
    "All Supported Formats|*.bmp;*.dib;*.png;*.psd;*.ico;*.cur;*.ani|Bitmap Files (*.bmp, "
    "*.dib)|*.bmp;*.dib|PNG Files (*.png)|*.png|Photoshop PSD Files (*.psd)|*.psd|Icon Files "
    "(*.ico)|*.ico|Cursor Files (*.cur)|*.cur|Animated Cursor Files (*.ani)|*.ani||";

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

}  // namespace

CIconmillApp::CIconmillApp(Interaction& ui)
    : ui_(ui), compilation_(MakeCompilation(CompilationNone)) {
    items_.SetListener(this);
}

CIconmillApp::~CIconmillApp() {
    items_.SetListener(nullptr);
}

void CIconmillApp::ReplaceCompilation(std::unique_ptr<CCompilation> compilation) {
    compilation_ = std::move(compilation);
    if (onTitleChanged) onTitleChanged();
}

bool CIconmillApp::ReadImageFile(const char* path, ImageFileFormat* outFormat) {
    if (!path) return false;
    ImageFileFormat format = ImageFileFormatOf(path);
    if (outFormat) *outFormat = format;
    switch (format) {
        case FormatBmp:
        case FormatDib: {
            HeaderBlock header;
            Block bits;
            std::size_t bitsSize = 0;
            ImageResult result = ReadBmpFile(path, &header, &bits, &bitsSize);
            if (result != ImageOk) {
                ReportImageResult(ui_, true, result, result == ImageSystemError ? errno : 0, path);
                return false;
            }
            if (!ExpandCompressedDib(ui_, path, &header, &bits, bitsSize)) return false;
            NewItem item;
            item.header = std::move(header);
            item.bits = std::move(bits);
            items_.AddItem(std::move(item));
            SetModified();
            return true;
        }
        case FormatIco:
        case FormatCur: {
            IconResult result = ReadIconFile(path, [this](IconImage& image) {
                return AddIconImage(items_, *compilation_, image);
            });
            if (result != IconOk) {
                // Images read before the failure stay in the list.
                ReportIconResult(ui_, true, result, result == IconSystemError ? errno : 0, path);
                return false;
            }
            return true;
        }
        case FormatAni: {
            AniContent content;
            AniHeader anih;
            IconResult result = ReadAniFile(path, &content, &anih);
            if (result != IconOk) {
                // What was read is dropped with the content, not imported.
                ReportIconResult(ui_, true, result, result == IconSystemError ? errno : 0, path);
                return false;
            }
            return ImportAniContent({ui_, items_, *compilation_, settings.animatedCursorSequence},
                                    path, anih, content);
        }
        case FormatPng: {
            PngReadContext context;
            PngResult result = ReadPngFile(path, &context);
            if (result != PngOk) {
                ReportPngResult(ui_, true, result, result == PngSystemError ? errno : 0, path);
                return false;
            }
            return ImportPngContent(ui_, items_, *compilation_, context);
        }
        case FormatPsd: {
            CPSDParser parser;
            PsdResult result = parser.ParseFile(path);
            if (result != PsdOk) {
                ReportPsdResult(ui_, result, result == PsdSystemError ? errno : 0, path);
                return false;
            }
            int added = 0;
            bool imported =
                ImportPsdDocument(ui_, parser, items_, &settings.psdImportSelection, &added);
            if (added > 0) SetModified();
            return imported;
        }
        default:
            // Formats whose readers are not part of this build yet.
            ReportCannotRead(ui_, path);
            return false;
    }
}

bool CIconmillApp::AskContinueReading() {
    return ui_.ShowMessage(LoadStringText(kStrContinueReading), MessageIcon::Exclamation,
                           MessageButtons::YesNo) == Answer::Yes;
}

bool CIconmillApp::OpenFiles(bool add) {
    if (!add && !QuerySaveChanges()) return false;

    FileDialogRequest request;
    request.multiSelect = true;
    request.filter = kOpenFileFilter;
    if (add) request.title = "Add";
    const std::vector<std::string> paths = ui_.ChooseFiles(request);
    if (paths.empty()) return false;

    if (!add) items_.RemoveAllItems();
    bool result = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        if (!add) {
            if (paths.size() == 1)
                ReplaceCompilation(
                    MakeCompilation(CompilationTypeForOpen(ImageFileFormatOf(path.c_str())), path));
            else
                ReplaceCompilation(MakeCompilation(CompilationNone));
        }
        if (ReadImageFile(path.c_str()) || i + 1 == paths.size()) continue;
        if (!AskContinueReading()) {
            if (!add) ReplaceCompilation(MakeCompilation(CompilationNone));
            result = false;
            break;
        }
    }
    if (!add) {
        compilation_->modified = false;
        if (compilation_->Type() == CompilationAnimatedPng && items_.Count() <= 1)
            ReplaceCompilation(MakeCompilation(CompilationNone));
    }
    return result;
}

bool CIconmillApp::OpenStartupFile(const char* path) {
    if (!path) return false;
    ReplaceCompilation(MakeCompilation(CompilationTypeForStartup(ImageFileFormatOf(path)), path));
    if (ReadImageFile(path)) {
        compilation_->modified = false;
        return true;
    }
    ReplaceCompilation(MakeCompilation(CompilationNone));
    return false;
}

void CIconmillApp::NewCompilation() {
    if (!QuerySaveChanges()) return;
    items_.RemoveAllItems();
    ReplaceCompilation(MakeCompilation(CompilationNone));
}

void CIconmillApp::DropFiles(const std::vector<std::string>& paths) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (paths[i].empty()) continue;
        if (ReadImageFile(paths[i].c_str()) || i + 1 == paths.size()) continue;
        if (!AskContinueReading()) break;
    }
}

bool CIconmillApp::QuerySaveChanges() {
    if (items_.Count() == 0 || !compilation_->modified) return true;
    std::string name;
    if (const std::string* path = compilation_->Path()) name = DisplayName(*path);
    if (name.empty()) name = LoadStringText(kStrUntitled);
    Answer answer =
        ui_.ShowMessage(FormatMessageText(LoadStringText(kStrSaveChangesQuestion), {name}),
                        MessageIcon::Exclamation, MessageButtons::YesNoCancel);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    return Save();
}

bool CIconmillApp::Save() {
    return SaveCompilation(*this);
}

void CIconmillApp::OnItemRemoving(int index) {
    SetModified();
    if (viewListener) viewListener->OnItemRemoving(index);
}

void CIconmillApp::OnOrderChanged() {
    SetModified();
    if (viewListener) viewListener->OnOrderChanged();
}

void CIconmillApp::OnLayoutChanged(bool repaint) {
    if (viewListener) viewListener->OnLayoutChanged(repaint);
}

void CIconmillApp::OnResetPositions(bool anchorToo) {
    if (viewListener) viewListener->OnResetPositions(anchorToo);
}
