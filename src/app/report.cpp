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

void Show(Interaction& ui, std::string text, MessageIcon icon) {
    if (text.empty()) text = LoadStringText(kStrGenericFailure);
    ui.ShowMessage(text, icon, MessageButtons::Ok);
}

void ShowMessageFor(Interaction& ui, Message message, bool withName, int systemError,
                    const char* subject) {
    switch (message) {
        case Message::SystemText: {
            std::string system = SystemErrorText(systemError != 0 ? systemError : errno);
            // Without a system text there is nothing to explain: the generic message.
            if (system.empty()) return Show(ui, {}, MessageIcon::Exclamation);
            if (!subject) return Show(ui, system, MessageIcon::Exclamation);
            return Show(ui,
                        FormatMessageText(LoadStringText(kStrSubjectAndSystemText),
                                          {Subject(subject), system}),
                        MessageIcon::Exclamation);
        }
        case Message::BadFormat:
            if (!withName) return Show(ui, LoadStringText(kStrBadFormat), MessageIcon::Exclamation);
            [[fallthrough]];
        case Message::BadFormatNamed:
            return Show(ui,
                        FormatMessageText(LoadStringText(kStrBadFormatNamed), {Subject(subject)}),
                        MessageIcon::Exclamation);
        case Message::CannotRead:
            return Show(ui, FormatMessageText(LoadStringText(kStrCannotRead), {Subject(subject)}),
                        MessageIcon::Exclamation);
        case Message::Corrupted:
            return Show(ui, FormatMessageText(LoadStringText(kStrCorrupted), {Subject(subject)}),
                        MessageIcon::Exclamation);
        case Message::OutOfMemory:
            return Show(ui, LoadStringText(kStrOutOfMemory), MessageIcon::Error);
        case Message::PsdUnsupportedMode:
            return Show(ui, LoadStringText(kStrPsdUnsupportedMode), MessageIcon::Exclamation);
        case Message::PsdNoLayer:
            return Show(ui, LoadStringText(kStrPsdNoLayer), MessageIcon::Exclamation);
        case Message::PsdUnsupportedCompression:
            return Show(ui, LoadStringText(kStrPsdUnsupportedCompression),
                        MessageIcon::Exclamation);
        case Message::Generic:
            return Show(ui, {}, MessageIcon::Exclamation);
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
    Show(ui, LoadStringText(kStrOutOfMemory), MessageIcon::Error);
}

void ReportGenericFailure(Interaction& ui) {
    ui.ShowMessage(LoadStringText(kStrGenericFailure), MessageIcon::None, MessageButtons::Ok);
}

void ReportCannotRead(Interaction& ui, const char* path) {
    ShowMessageFor(ui, Message::CannotRead, true, 0, path);
}
