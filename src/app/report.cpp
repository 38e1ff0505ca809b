#include "app/report.h"

#include <string>

#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"
#include "platform/system_error.h"

namespace {

// What a result code is shown as.
enum class Message {
    SystemText,
    BadFormat,       // names the subject when the caller asks for it
    BadFormatNamed,  // always names the subject
    CannotRead,
    Corrupted,
    OutOfMemory,
    PsdUnsupportedMode,
    PsdNoLayer,
    PsdUnsupportedCompression,
    Generic,
};

std::string Subject(const char* subject) {
    return subject ? subject : "";
}

// Shows `text`, made from string `id`; an empty text shows the generic failure.
void Show(Interaction& ui, int id, std::string text, MessageIcon icon) {
    if (text.empty()) return void(ui.ShowMessage(PlainMessage(kStrGenericFailure, icon)));
    ui.ShowMessage({id, std::move(text), icon, MessageButtons::Ok});
}

void ShowMessageFor(Interaction& ui, Message message, bool withName, int systemError,
                    const char* subject) {
    switch (message) {
        case Message::SystemText: {
            std::string system = SystemErrorText(systemError);
            // Without a system text there is nothing to explain: the generic message.
            if (system.empty()) return Show(ui, kStrGenericFailure, {}, MessageIcon::Exclamation);
            if (!subject) return Show(ui, kStrNone, system, MessageIcon::Exclamation);
            return Show(ui, kStrSubjectAndSystemText,
                        FormatMessageText(LoadStringText(kStrSubjectAndSystemText),
                                          {Subject(subject), system}),
                        MessageIcon::Exclamation);
        }
        case Message::BadFormat:
            if (!withName) return Show(ui, kStrBadFormat, LoadStringText(kStrBadFormat), MessageIcon::Exclamation);
            [[fallthrough]];
        case Message::BadFormatNamed:
            return Show(ui, kStrBadFormatNamed,
                        FormatMessageText(LoadStringText(kStrBadFormatNamed), {Subject(subject)}),
                        MessageIcon::Exclamation);
        case Message::CannotRead:
            return Show(ui, kStrCannotRead, FormatMessageText(LoadStringText(kStrCannotRead), {Subject(subject)}),
                        MessageIcon::Exclamation);
        case Message::Corrupted:
            return Show(ui, kStrCorrupted, FormatMessageText(LoadStringText(kStrCorrupted), {Subject(subject)}),
                        MessageIcon::Exclamation);
        case Message::OutOfMemory:
            return Show(ui, kStrOutOfMemory, LoadStringText(kStrOutOfMemory), MessageIcon::Error);
        case Message::PsdUnsupportedMode:
            return Show(ui, kStrPsdUnsupportedMode, LoadStringText(kStrPsdUnsupportedMode), MessageIcon::Exclamation);
        case Message::PsdNoLayer:
            return Show(ui, kStrPsdNoLayer, LoadStringText(kStrPsdNoLayer), MessageIcon::Exclamation);
        case Message::PsdUnsupportedCompression:
            return Show(ui, kStrPsdUnsupportedCompression, LoadStringText(kStrPsdUnsupportedCompression),
                        MessageIcon::Exclamation);
        case Message::Generic:
            return Show(ui, kStrGenericFailure, {}, MessageIcon::Exclamation);
    }
}

// Each family's switch names every enumerator and has no default, so that a
// code added later is flagged by -Wswitch; a value outside the enumerators falls
// through to the generic failure.
Message ImageMessage(ImageResult result) {
    switch (result) {
        case ImageOk:
        case ImageNoSurface:
        case ImageInvalidArg:
            return Message::Generic;
        case ImageSystemError:
            return Message::SystemText;
        case ImageBadFormat:
            return Message::BadFormat;
        case ImageUnsupported:
            return Message::CannotRead;
        case ImageOutOfMemory:
            return Message::OutOfMemory;
    }
    return Message::Generic;
}

Message IconMessage(IconResult result) {
    switch (result) {
        case IconOk:
        case IconStopped:  // also IconEncodeFailed
        case IconInvalidArg:
            return Message::Generic;
        case IconBadFormat:
            return Message::BadFormat;
        case IconUnsupported:
            return Message::CannotRead;
        case IconSystemError:
            return Message::SystemText;
        case IconOutOfMemory:
            return Message::OutOfMemory;
    }
    return Message::Generic;
}

Message PngMessage(PngResult result) {
    switch (result) {
        case PngOk:
        case PngFailed:
        case PngInvalidArg:
            return Message::Generic;
        case PngSystemError:
            return Message::SystemText;
        case PngNotPng:
            return Message::CannotRead;
        case PngBadCrc:
            return Message::Corrupted;
        case PngBadFormat:
            return Message::BadFormat;
        case PngOutOfMemory:
            return Message::OutOfMemory;
    }
    // 7, which no enumerator names, has always been shown as cannot-read.
    return static_cast<int>(result) == 7 ? Message::CannotRead : Message::Generic;
}

Message PsdMessage(PsdResult result) {
    switch (result) {
        case PsdOk:
        case PsdNullPath:
            return Message::Generic;
        case PsdBadFormat:
            return Message::BadFormatNamed;
        case PsdSystemError:
            return Message::SystemText;
        case PsdOutOfMemory:
            return Message::OutOfMemory;
        case PsdUnsupportedMode:
            return Message::PsdUnsupportedMode;
        case PsdNoLayer:
            return Message::PsdNoLayer;
        case PsdUnsupportedCompression:
            return Message::PsdUnsupportedCompression;
    }
    return Message::Generic;
}

}  // namespace

void ReportImageResult(Interaction& ui, bool withName, ImageResult result, int systemError,
                       const char* subject) {
    ShowMessageFor(ui, ImageMessage(result), withName, systemError, subject);
}

void ReportIconResult(Interaction& ui, bool withName, IconResult result, int systemError,
                      const char* subject) {
    ShowMessageFor(ui, IconMessage(result), withName, systemError, subject);
}

void ReportPngResult(Interaction& ui, bool withName, PngResult result, int systemError,
                     const char* subject) {
    ShowMessageFor(ui, PngMessage(result), withName, systemError, subject);
}

void ReportPsdResult(Interaction& ui, PsdResult result, int systemError, const char* subject) {
    ShowMessageFor(ui, PsdMessage(result), true, systemError, subject);
}

void ReportExportResult(Interaction& ui, ExportResult result, int systemError, const char* path) {
    switch (result) {
        case ExportOk:
        case ExportCancelled:
            return;
        case ExportSystemError: {
            std::string system = SystemErrorText(systemError);
            if (system.empty())
                return void(ui.ShowMessage(PlainMessage(kStrGenericFailure, MessageIcon::Error)));
            ui.ShowMessage({kStrSubjectAndSystemText,
                            FormatMessageText(LoadStringText(kStrSubjectAndSystemText),
                                              {Subject(path), system}),
                            MessageIcon::Error, MessageButtons::Ok});
            return;
        }
    }
}

void ReportOutOfMemory(Interaction& ui) {
    Show(ui, kStrOutOfMemory, LoadStringText(kStrOutOfMemory), MessageIcon::Error);
}

void ReportGenericFailure(Interaction& ui) {
    ui.ShowMessage(PlainMessage(kStrGenericFailure, MessageIcon::None));
}

void ReportCannotRead(Interaction& ui, const char* path) {
    ShowMessageFor(ui, Message::CannotRead, true, 0, path);
}
