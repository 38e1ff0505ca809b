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

enum Family { Image, Icon, Png, Psd, Export };

void Report(ScriptedInteraction& ui, Family family, bool withName, int code, int error) {
    switch (family) {
        case Image:
            return ReportImageResult(ui, withName, static_cast<ImageResult>(code), error,
                                     "/p/x.bin");
        case Icon:
            return ReportIconResult(ui, withName, static_cast<IconResult>(code), error, "/p/x.bin");
        case Png:
            return ReportPngResult(ui, withName, static_cast<PngResult>(code), error, "/p/x.bin");
        case Psd:
            return ReportPsdResult(ui, static_cast<PsdResult>(code), error, "/p/x.bin");
        case Export:
            return ReportExportResult(ui, static_cast<ExportResult>(code), error, "/p/x.bin");
    }
}

}  // namespace

TEST(Report, EveryCodeOfEveryFamilyHasItsMessageAndIcon) {
    constexpr MessageIcon kWarn = MessageIcon::Exclamation;
    constexpr MessageIcon kErr = MessageIcon::Error;
    const struct {
        Family family;
        int code;
        bool withName;
        int id;
        const char* text;
        MessageIcon icon;
    } cases[] = {
        {Image, ImageOk, true, kStrGenericFailure, kGeneric, kWarn},
        {Image, ImageNoSurface, true, kStrGenericFailure, kGeneric, kWarn},
        {Image, ImageInvalidArg, true, kStrGenericFailure, kGeneric, kWarn},
        {Image, ImageSystemError, true, kStrSubjectAndSystemText, kSystem, kWarn},
        {Image, ImageBadFormat, true, kStrBadFormatNamed, kBadNamed, kWarn},
        {Image, ImageBadFormat, false, kStrBadFormat, kBad, kWarn},
        {Image, ImageUnsupported, true, kStrCannotRead, kCannotRead, kWarn},
        {Image, ImageOutOfMemory, true, kStrOutOfMemory, kMemory, kErr},
        {Image, 7, true, kStrGenericFailure, kGeneric, kWarn},
        {Icon, IconOk, true, kStrGenericFailure, kGeneric, kWarn},
        {Icon, IconStopped, true, kStrGenericFailure, kGeneric, kWarn},  // = IconEncodeFailed
        {Icon, IconInvalidArg, true, kStrGenericFailure, kGeneric, kWarn},
        {Icon, IconBadFormat, true, kStrBadFormatNamed, kBadNamed, kWarn},
        {Icon, IconBadFormat, false, kStrBadFormat, kBad, kWarn},
        {Icon, IconUnsupported, true, kStrCannotRead, kCannotRead, kWarn},
        {Icon, IconSystemError, true, kStrSubjectAndSystemText, kSystem, kWarn},
        {Icon, IconOutOfMemory, true, kStrOutOfMemory, kMemory, kErr},
        {Icon, 7, true, kStrGenericFailure, kGeneric, kWarn},
        {Png, PngOk, true, kStrGenericFailure, kGeneric, kWarn},
        {Png, PngFailed, true, kStrGenericFailure, kGeneric, kWarn},
        {Png, PngInvalidArg, true, kStrGenericFailure, kGeneric, kWarn},
        {Png, PngSystemError, true, kStrSubjectAndSystemText, kSystem, kWarn},
        {Png, PngNotPng, true, kStrCannotRead, kCannotRead, kWarn},
        {Png, PngBadCrc, true, kStrCorrupted, kCorrupted, kWarn},
        {Png, PngBadFormat, true, kStrBadFormatNamed, kBadNamed, kWarn},
        {Png, PngBadFormat, false, kStrBadFormat, kBad, kWarn},
        {Png, 7, true, kStrCannotRead, kCannotRead, kWarn},
        {Png, PngOutOfMemory, true, kStrOutOfMemory, kMemory, kErr},
        {Png, 9, true, kStrGenericFailure, kGeneric, kWarn},
        {Psd, PsdOk, false, kStrGenericFailure, kGeneric, kWarn},
        {Psd, PsdNullPath, false, kStrGenericFailure, kGeneric, kWarn},
        {Psd, PsdBadFormat, false, kStrBadFormatNamed, kBadNamed, kWarn},
        {Psd, PsdSystemError, false, kStrSubjectAndSystemText, kSystem, kWarn},
        {Psd, PsdOutOfMemory, false, kStrOutOfMemory, kMemory, kErr},
        {Psd, PsdUnsupportedMode, false, kStrPsdUnsupportedMode,
         "Unfortunately, this mode of the PSD file is not supported yet. Only RGB/8 and Indexed "
         "modes are supported.",
         kWarn},
        {Psd, PsdNoLayer, false, kStrPsdNoLayer, "The PSD file contains no layer.", kWarn},
        {Psd, PsdUnsupportedCompression, false, kStrPsdUnsupportedCompression,
         "The PSD file is compressed in unsupported method.", kWarn},
        {Psd, 1, false, kStrGenericFailure, kGeneric, kWarn},
        {Export, ExportSystemError, false, kStrSubjectAndSystemText, kSystem, kErr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "family " << c.family << " code " << c.code);
        ScriptedInteraction ui;
        Report(ui, c.family, c.withName, c.code, ENOENT);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].id, c.id);
        EXPECT_EQ(ui.messages[0].text, c.text);
        EXPECT_EQ(ui.messages[0].icon, c.icon);
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
    }
}

TEST(Report, AnExportThatEndedWellOrWasCancelledShowsNothing) {
    for (ExportResult result : {ExportOk, ExportCancelled}) {
        ScriptedInteraction ui;
        ReportExportResult(ui, result, ENOENT, "/p/x.bin");
        EXPECT_TRUE(ui.messages.empty()) << result;
    }
}

TEST(Report, TheSystemTextIsTheValuePassedNotTheCurrentErrno) {
    ScriptedInteraction ui;
    errno = ENOENT;
    ReportImageResult(ui, true, ImageSystemError, EACCES, nullptr);  // no subject: the text alone
    ReportImageResult(ui, true, ImageSystemError, 0, "/p/x.bin");    // no code: nothing to explain
    ReportExportResult(ui, ExportSystemError, 0, "/p/x.bin");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].id, kStrNone);
    EXPECT_EQ(ui.messages[0].text, "Permission denied");
    EXPECT_EQ(ui.messages[1].id, kStrGenericFailure);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ui.messages[2].id, kStrGenericFailure);
    EXPECT_EQ(ui.messages[2].icon, MessageIcon::Error);
}
