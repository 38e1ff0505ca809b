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
    const bool wasModified = IsModified();
    compilation_ = std::move(compilation);
    if (!listener_) return;
    listener_->OnCompilationReplaced();
    if (wasModified != IsModified()) listener_->OnModifiedChanged();
}

void CIconmillApp::SetModifiedFlag(bool modified) {
    if (compilation_->modified_ == modified) return;
    compilation_->modified_ = modified;
    if (listener_) listener_->OnModifiedChanged();
}

void CIconmillApp::NotifySelectionChanged() {
    if (listener_) listener_->OnSelectionChanged();
}

void CIconmillApp::NotifyViewChanged() {
    if (listener_) listener_->OnViewChanged();
}

void CIconmillApp::NotifyPicturesChanged() {
    if (listener_) listener_->OnLayoutChanged(true);
}

bool CIconmillApp::ReadImageFile(const char* path, ImageFileFormat* outFormat) {
    // Every item added marks the compilation, also when the file fails later.
    const int countBefore = items_.Count();
    const bool read = ReadImageFileItems(path, outFormat);
    if (items_.Count() > countBefore) SetModified();
    return read;
}

bool CIconmillApp::ReadImageFileItems(const char* path, ImageFileFormat* outFormat) {
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
            return true;
        }
        case FormatIco:
        case FormatCur: {
            IconResult result = ReadIconFile(path, [this](IconImage& image) {
                return AddIconImage(items_, image);
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
            return ImportPsdDocument(ui_, parser, items_, &settings.psdImportSelection, &added);
        }
        default:
            // Formats whose readers are not part of this build yet.
            ReportCannotRead(ui_, path);
            return false;
    }
}

bool CIconmillApp::AskContinueReading() {
    return ui_.ShowMessage(PlainMessage(kStrContinueReading, MessageIcon::Exclamation,
                                        MessageButtons::YesNo)) == Answer::Yes;
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
        ClearModified();
        if (compilation_->Type() == CompilationAnimatedPng && items_.Count() <= 1)
            ReplaceCompilation(MakeCompilation(CompilationNone));
    }
    return result;
}

bool CIconmillApp::OpenStartupFile(const char* path) {
    if (!path) return false;
    ReplaceCompilation(MakeCompilation(CompilationTypeForStartup(ImageFileFormatOf(path)), path));
    if (ReadImageFile(path)) {
        ClearModified();
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
    if (items_.Count() == 0 || !IsModified()) return true;
    std::string name;
    if (const std::string* path = compilation_->Path()) name = DisplayName(*path);
    if (name.empty()) name = LoadStringText(kStrUntitled);
    Answer answer =
        ui_.ShowMessage({kStrSaveChangesQuestion,
                         FormatMessageText(LoadStringText(kStrSaveChangesQuestion), {name}),
                         MessageIcon::Exclamation, MessageButtons::YesNoCancel});
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    return Save();
}

bool CIconmillApp::Save() {
    return SaveCompilation(*this);
}

void CIconmillApp::OnItemRemoving(int index) {
    SetModified();
    if (listener_) listener_->OnItemRemoving(index);
}

void CIconmillApp::OnOrderChanged() {
    SetModified();
    if (listener_) listener_->OnOrderChanged();
}

void CIconmillApp::OnLayoutChanged(bool repaint) {
    if (listener_) listener_->OnLayoutChanged(repaint);
}

void CIconmillApp::OnResetPositions(bool anchorToo) {
    if (listener_) listener_->OnResetPositions(anchorToo);
}
