#include "platform/file_io.h"

#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/system_error.h"
#include "support/test_files.h"

namespace {

std::vector<std::uint8_t> Bytes(const char* text) {
    return {text, text + std::strlen(text)};
}

std::size_t EntryCount(const std::filesystem::path& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

}  // namespace

TEST(SafeFileWriter, ReplacesTheTargetOnlyOnCommit) {
    ScratchDir dir;
    std::string target = dir.File("out.bin");
    WriteBytes(target, Bytes("old"));
    ::chmod(target.c_str(), 0640);
    {
        SafeFileWriter writer(target);
        ASSERT_TRUE(writer.Open());
        ASSERT_TRUE(writer.Write("new data", 8));
        EXPECT_EQ(ReadBytes(target), Bytes("old"));  // not yet replaced
        ASSERT_TRUE(writer.Commit());
    }
    EXPECT_EQ(ReadBytes(target), Bytes("new data"));
    struct stat info;
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // the old file's permissions are kept
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(SafeFileWriter, AbandonedWriteLeavesTheOldFileAndNoTemporary) {
    ScratchDir dir;
    std::string target = dir.File("out.bin");
    WriteBytes(target, Bytes("old"));
    {
        SafeFileWriter writer(target);
        ASSERT_TRUE(writer.Open());
        ASSERT_TRUE(writer.Write("partial", 7));
    }
    EXPECT_EQ(ReadBytes(target), Bytes("old"));
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(SafeFileWriter, MissingFolderFailsWithErrno) {
    ScratchDir dir;
    SafeFileWriter writer(dir.File("missing/out.bin"));
    errno = 0;
    EXPECT_FALSE(writer.Open());
    EXPECT_EQ(errno, ENOENT);
}

TEST(SafeFileWriter, WritesThroughASymbolicLink) {
    ScratchDir dir;
    std::string real = dir.File("real.bin");
    std::string link = dir.File("link.bin");
    WriteBytes(real, Bytes("old"));
    std::filesystem::create_symlink(real, link);
    SafeFileWriter writer(link);
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("new", 3));
    ASSERT_TRUE(writer.Commit());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), Bytes("new"));
}

TEST(ReadFully, ReportsShortReadsAndFolders) {
    ScratchDir dir;
    WriteBytes(dir.File("f"), Bytes("abc"));
    File file = File::OpenForReading(dir.File("f").c_str());
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Size(), 3u);
    char buffer[8];
    std::size_t got = 0;
    EXPECT_EQ(ReadFully(file, buffer, 8, &got), ReadStatus::Short);
    EXPECT_EQ(got, 3u);
    EXPECT_FALSE(File::OpenForReading(dir.Path().c_str()).IsOpen());
    EXPECT_EQ(errno, EISDIR);
}

TEST(SystemErrorText, EmptyForNoErrorAndTheSystemTextOtherwise) {
    EXPECT_EQ(SystemErrorText(0), "");
    EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
}

TEST(LoadFile, GivesTheBytesUpToTheLimitAndRefusesMore) {
    ScratchDir dir;
    WriteBytes(dir.File("empty"), {});
    WriteBytes(dir.File("four"), Bytes("abcd"));
    struct Case {
        const char* name;
        std::size_t maxBytes;
        LoadStatus status;
        std::size_t size;
    };
    const Case cases[] = {
        {"empty", 0, LoadStatus::Ok, 0},
        {"four", 4, LoadStatus::Ok, 4},  // exactly the limit
        {"four", 3, LoadStatus::TooLarge, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " within " + std::to_string(c.maxBytes));
        errno = EDOM;
        LoadFileResult loaded = LoadFile(dir.File(c.name).c_str(), c.maxBytes);
        EXPECT_EQ(errno, EDOM);  // kept on every result but a system error
        EXPECT_EQ(loaded.status, c.status);
        EXPECT_EQ(loaded.size, c.size);
        EXPECT_EQ(loaded.data != nullptr, c.status == LoadStatus::Ok);
        if (c.status == LoadStatus::Ok) {
            EXPECT_EQ(std::vector<std::uint8_t>(loaded.Bytes().begin(), loaded.Bytes().end()),
                      ReadBytes(dir.File(c.name)));
        }
    }
}

TEST(LoadFile, SystemErrorsCarryTheFailingCallsCode) {
    ScratchDir dir;
    struct Case {
        std::string path;
        int error;
    };
    const Case cases[] = {{dir.File("missing"), ENOENT}, {dir.Path().string(), EISDIR}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        errno = 0;
        LoadFileResult loaded = LoadFile(c.path.c_str(), 100);
        EXPECT_EQ(loaded.status, LoadStatus::SystemError);
        EXPECT_EQ(loaded.error, c.error);
        EXPECT_EQ(errno, c.error);
        EXPECT_EQ(loaded.data, nullptr);
    }
}
