#include "formats/compilation.h"

#include <gtest/gtest.h>

namespace {

void ExpectFreshFields(const CCompilation& compilation) {
    EXPECT_FALSE(compilation.IsModified());
    EXPECT_TRUE(compilation.askForOptions);
    EXPECT_EQ(compilation.numPlays, 0u);
    EXPECT_FALSE(compilation.firstFrameExcluded);
}

TEST(Compilation, MakeCompilationGivesTheClassOfEachType) {
    struct Case {
        CompilationType type;
        bool typed;
        bool animatedPng;
        bool animatedCursor;
    };
    const Case cases[] = {
        {CompilationNone, false, false, false},         {CompilationIcon, true, false, false},
        {CompilationCursor, true, false, false},        {CompilationAnimatedPng, true, true, false},
        {CompilationAnimatedCursor, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        std::unique_ptr<CCompilation> compilation = MakeCompilation(c.type, "/tmp/a.file");
        ASSERT_NE(compilation, nullptr);
        EXPECT_EQ(compilation->Type(), c.type);
        if (c.typed) {
            ASSERT_NE(compilation->Path(), nullptr);
            EXPECT_EQ(*compilation->Path(), "/tmp/a.file");
        } else {
            EXPECT_EQ(compilation->Path(), nullptr);  // the path is dropped for type none
        }
        EXPECT_EQ(compilation->AsAnimatedPng() != nullptr, c.animatedPng);
        EXPECT_EQ(compilation->AsAnimatedCursor() != nullptr, c.animatedCursor);
        if (c.animatedPng) {
            EXPECT_EQ(static_cast<void*>(compilation->AsAnimatedPng()), compilation.get());
        }
        if (c.animatedCursor) {
            EXPECT_EQ(static_cast<void*>(compilation->AsAnimatedCursor()), compilation.get());
        }
        ExpectFreshFields(*compilation);
    }
}

TEST(Compilation, UnknownTypeGivesTypeNone) {
    std::unique_ptr<CCompilation> compilation =
        MakeCompilation(static_cast<CompilationType>(7), "/tmp/a.file");
    EXPECT_EQ(compilation->Type(), CompilationNone);
    EXPECT_EQ(compilation->Path(), nullptr);
}

TEST(Compilation, TypedOptionsStartAtTheDialogDefaults) {
    std::unique_ptr<CCompilation> png = MakeCompilation(CompilationAnimatedPng, "a.png");
    const CAnimatedPNGCompilation* options = png->AsAnimatedPng();
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(options->png.interlaced);
    EXPECT_FALSE(options->png.grayscale);
    EXPECT_EQ(options->png.filter, PngFilterOptionBest);
    EXPECT_EQ(options->png.compression, PngCompressionDefault);

    std::unique_ptr<CCompilation> ani = MakeCompilation(CompilationAnimatedCursor, "a.ani");
    const CAnimatedCursorCompilation* cursor = ani->AsAnimatedCursor();
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->ani.imagesPerDirectory, 1);
    EXPECT_TRUE(cursor->ani.individualRates);
    EXPECT_TRUE(cursor->ani.name.empty());
    EXPECT_TRUE(cursor->ani.artist.empty());

    const CCompilation plain;
    ExpectFreshFields(plain);
    EXPECT_EQ(plain.Type(), CompilationNone);
}

}  // namespace
