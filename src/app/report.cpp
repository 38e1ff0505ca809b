#include "app/report.h"

#include <cerrno>
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
            std::string system = SystemErrorText(systemError != 0 ? systemError : errno);
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

Message ImageMessage(int code) {
    switch (code) {
        case 3:
            return Message::SystemText;
        case 4:
            return Message::BadFormat;
        case 5:
            return Message::CannotRead;
        case 6:
            return Message::OutOfMemory;
        default:
            return Message::Generic;
    }
}

Message IconMessage(int code) {
    switch (code) {
        case 3:
            return Message::BadFormat;
        case 4:
            return Message::CannotRead;
        case 5:
            return Message::SystemText;
        case 6:
            return Message::OutOfMemory;
        default:
            return Message::Generic;
    }
}

Message PngMessage(int code) {
    switch (code) {
        case 3:
            return Message::SystemText;
        case 4:
            return Message::CannotRead;
        case 5:
            return Message::Corrupted;
        case 6:
            return Message::BadFormat;
        case 7:
            return Message::CannotRead;
        case 8:
            return Message::OutOfMemory;
        default:
            return Message::Generic;
    }
}

Message PsdMessage(int code) {
    switch (code) {
        case 3:
            return Message::BadFormatNamed;
        case 4:
            return Message::SystemText;
        case 5:
            return Message::OutOfMemory;
        case 6:
            return Message::PsdUnsupportedMode;
        case 7:
            return Message::PsdNoLayer;
        case 8:
            return Message::PsdUnsupportedCompression;
        default:
            return Message::Generic;
    }
}

}  // namespace

void ReportImageResult(Interaction& ui, bool withName, int code, int systemError,
                       const char* subject) {
    ShowMessageFor(ui, ImageMessage(code), withName, systemError, subject);
}

void ReportIconResult(Interaction& ui, bool withName, int code, int systemError,
                      const char* subject) {
    ShowMessageFor(ui, IconMessage(code), withName, systemError, subject);
}

void ReportPngResult(Interaction& ui, bool withName, int code, int systemError,
                     const char* subject) {
    ShowMessageFor(ui, PngMessage(code), withName, systemError, subject);
}

void ReportPsdResult(Interaction& ui, int code, int systemError, const char* subject) {
    ShowMessageFor(ui, PsdMessage(code), true, systemError, subject);
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
