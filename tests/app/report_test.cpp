#include "app/report.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "support/scripted_interaction.h"

namespace {

const char* const kCannotRead =
    "/p/x.bin\nIconmill cannot read this file.\nThis is not a valid file, or its format is not "
    "currently supported.";
const char* const kBadNamed =
    "/p/x.bin\nBad file format, contains illegal values or it is corrupted.";
const char* const kBad = "Bad file format, contains illegal values.";
const char* const kCorrupted = "/p/x.bin\nThe file is corrupted.";
const char* const kMemory = "Not enough memory available to perform the operation.";
const char* const kGeneric = "Failed to perform the operation. Some things wrong.";
const char* const kSystem = "/p/x.bin\nNo such file or directory";

enum Family { Image, Icon, Png, Psd };

void Report(ScriptedInteraction& ui, Family family, bool withName, int code) {
    switch (family) {
        case Image:
            return ReportImageResult(ui, withName, code, ENOENT, "/p/x.bin");
        case Icon:
            return ReportIconResult(ui, withName, code, ENOENT, "/p/x.bin");
        case Png:
            return ReportPngResult(ui, withName, code, ENOENT, "/p/x.bin");
        case Psd:
            return ReportPsdResult(ui, code, ENOENT, "/p/x.bin");
    }
}

}  // namespace

TEST(Report, EveryCodeOfEveryFamilyHasItsMessageAndIcon) {
    const struct {
        Family family;
        int code;
        bool withName;
        const char* text;
    } cases[] = {
        {Image, 0, true, kGeneric},
        {Image, 1, true, kGeneric},
        {Image, 2, true, kGeneric},
        {Image, 3, true, kSystem},
        {Image, 4, true, kBadNamed},
        {Image, 4, false, kBad},
        {Image, 5, true, kCannotRead},
        {Image, 6, true, kMemory},
        {Image, 7, true, kGeneric},
        {Icon, 3, true, kBadNamed},
        {Icon, 3, false, kBad},
        {Icon, 4, true, kCannotRead},
        {Icon, 5, true, kSystem},
        {Icon, 6, true, kMemory},
        {Icon, 7, true, kGeneric},
        {Icon, 8, true, kGeneric},
        {Png, 3, true, kSystem},
        {Png, 4, true, kCannotRead},
        {Png, 5, true, kCorrupted},
        {Png, 6, true, kBadNamed},
        {Png, 6, false, kBad},
        {Png, 7, true, kCannotRead},
        {Png, 8, true, kMemory},
        {Png, 9, true, kGeneric},
        {Psd, 3, false, kBadNamed},
        {Psd, 4, false, kSystem},
        {Psd, 5, false, kMemory},
        {Psd, 6, false,
         "Unfortunately, this mode of the PSD file is not supported yet. Only RGB/8 and Indexed "
         "modes are supported."},
        {Psd, 7, false, "The PSD file contains no layer."},
        {Psd, 8, false, "The PSD file is compressed in unsupported method."},
        {Psd, 2, false, kGeneric},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "family " << c.family << " code " << c.code);
        ScriptedInteraction ui;
        Report(ui, c.family, c.withName, c.code);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, c.text);
        EXPECT_EQ(ui.messages[0].icon,
                  c.text == kMemory ? MessageIcon::Error : MessageIcon::Exclamation);
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
    }
}

TEST(Report, SystemTextFallsBackToErrnoAndToTheGenericMessage) {
    ScriptedInteraction ui;
    errno = EACCES;
    ReportImageResult(ui, true, 3, 0, nullptr);  // no value passed: the current errno
    errno = 0;
    ReportImageResult(ui, true, 3, 0, "/p/x.bin");  // no system text at all
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Permission denied");
    EXPECT_EQ(ui.messages[1].text, kGeneric);
}
