#include "app/shell_integration.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "platform/process.h"
#include "support/peer_tools.h"
#include "support/scripted_interaction.h"

namespace fs = std::filesystem;

namespace {

TEST(CommandLine, SwitchesIgnoreCaseTakeSlashOrDashAndTheLastWins) {
    struct Case {
        std::vector<std::string> arguments;
        std::int32_t action;
        std::string file;
    };
    const Case cases[] = {
        {{"/install"}, kShellActionInstall, ""},
        {{"-Uninstall"}, kShellActionUninstall, ""},
        {{"-UNINSTALL"}, kShellActionUninstall, ""},
        {{"/enableshellintegration", "-DisableShellIntegration"}, kShellActionDisable, ""},
        {{"a.ico", "b.ico"}, kShellActionNone, "a.ico"},
        {{"--verbose", "/home/u/c.cur", "d.ico"}, kShellActionNone, "/home/u/c.cur"},
        {{"-Install", "e.ani"}, kShellActionInstall, "e.ani"},
    };
    for (const Case& c : cases) {
        const CAppCommandLineInfo info = CAppCommandLineInfo::Parse(c.arguments);
        EXPECT_EQ(info.shellAction, c.action) << c.arguments.front();
        EXPECT_EQ(info.fileName, c.file) << c.arguments.front();
    }
}

TEST(Mimeapps, AddingAndRemovingKeepsOtherProgramsLinesAndGroups) {
    const std::string original =
        "# my associations\n"
        "[Default Applications]\n"
        "image/png=viewer.desktop\n"
        "\n"
        "[Added Associations]\n"
        "image/png=gimp.desktop;\n"
        "text/plain=editor.desktop;\n"
        "\n"
        "[Removed Associations]\n"
        "image/bmp=paint.desktop;\n";
    const std::vector<std::string> types = {"image/png", "image/bmp"};
    const std::string added = AddAssociations(original, "Korvath.Iconmill.desktop", types);
    EXPECT_EQ(added,
              "# my associations\n"
              "[Default Applications]\n"
              "image/png=viewer.desktop\n"
              "\n"
              "[Added Associations]\n"
              "image/png=gimp.desktop;Korvath.Iconmill.desktop;\n"
              "text/plain=editor.desktop;\n"
              "image/bmp=Korvath.Iconmill.desktop;\n"
              "\n"
              "[Removed Associations]\n"
              "image/bmp=paint.desktop;\n");
    EXPECT_EQ(AddAssociations(added, "Korvath.Iconmill.desktop", types), added);
    const std::string removed = RemoveAssociations(added, "Korvath.Iconmill.desktop", types);
    EXPECT_EQ(removed,
              "# my associations\n"
              "[Default Applications]\n"
              "image/png=viewer.desktop\n"
              "\n"
              "[Added Associations]\n"
              "image/png=gimp.desktop;\n"
              "text/plain=editor.desktop;\n"
              "\n"
              "[Removed Associations]\n"
              "image/bmp=paint.desktop;\n");
}

TEST(Mimeapps, AFileWithoutTheGroupGetsIt) {
    EXPECT_EQ(AddAssociations("", "x.desktop", {"image/png"}), "[Added Associations]\nimage/png=x.desktop;\n");
    EXPECT_EQ(AddAssociations("[Default Applications]\na/b=c.desktop", "x.desktop", {"image/png"}),
              "[Default Applications]\na/b=c.desktop\n\n[Added Associations]\nimage/png=x.desktop;\n");
}

TEST(DesktopEntry, ExecQuotesReservedCharactersAndDoublesPercent) {
    EXPECT_EQ(DesktopExecArgument("/usr/bin/iconmill"), "/usr/bin/iconmill");
    EXPECT_EQ(DesktopExecArgument("/opt/my apps/iconmill"), "\"/opt/my apps/iconmill\"");
    EXPECT_EQ(DesktopExecArgument("/opt/100%/iconmill"), "/opt/100%%/iconmill");
    EXPECT_EQ(DesktopExecArgument("/opt/a$b/iconmill"), "\"/opt/a\\\\$b/iconmill\"");
    EXPECT_EQ(DesktopExecArgument("/opt/a\nb"), "");
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteAll(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class ShellActions : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("iconmill-shell-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        environment_.folders = {root_ / "data", root_ / "config"};
        environment_.executable = "/opt/iconmill/bin/iconmill";
        environment_.isRunning = [this] { return running_; };
        environment_.refreshCaches = [this](const ShellPaths&) { ++refreshes_; };
        paths_ = ShellPathsOf(environment_.folders);
    }
    void TearDown() override { fs::remove_all(root_); }

    bool Perform(ShellAction action) { return PerformShellAction(action, environment_, door_); }

    fs::path root_;
    ShellEnvironment environment_;
    ShellPaths paths_;
    ScriptedInteraction door_;
    bool running_ = false;
    int refreshes_ = 0;
};

const char kOthers[] =
    "[Default Applications]\n"
    "image/png=viewer.desktop\n"
    "\n"
    "[Added Associations]\n"
    "image/png=gimp.desktop;\n";

TEST_F(ShellActions, InstallDisableEnableUninstallRoundTrip) {
    WriteAll(paths_.mimeapps, kOthers);
    WriteAll(paths_.settings, "[2.0]\nSettings\\Background=1\n");

    ASSERT_TRUE(Perform(kShellActionInstall));
    const std::string entry = ReadAll(paths_.desktopEntry);
    EXPECT_NE(entry.find("\nExec=/opt/iconmill/bin/iconmill %f\n"), std::string::npos);
    EXPECT_NE(entry.find("\nMimeType=image/bmp;image/png;image/vnd.adobe.photoshop;image/vnd.microsoft.icon;"
                         "image/x-win-bitmap;application/x-navi-animation;\n"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(paths_.icon));
    const std::string enabled = ReadAll(paths_.mimeapps);
    EXPECT_NE(enabled.find("image/png=gimp.desktop;Korvath.Iconmill.desktop;\n"), std::string::npos);
    EXPECT_NE(enabled.find("application/x-navi-animation=Korvath.Iconmill.desktop;\n"), std::string::npos);
    EXPECT_NE(enabled.find("[Default Applications]\nimage/png=viewer.desktop\n"), std::string::npos);

    ASSERT_TRUE(Perform(kShellActionDisable));
    EXPECT_EQ(ReadAll(paths_.mimeapps), kOthers);
    EXPECT_TRUE(fs::exists(paths_.desktopEntry));

    ASSERT_TRUE(Perform(kShellActionEnable));
    EXPECT_EQ(ReadAll(paths_.mimeapps), enabled);

    ASSERT_TRUE(Perform(kShellActionUninstall));
    EXPECT_EQ(ReadAll(paths_.mimeapps), kOthers);
    EXPECT_FALSE(fs::exists(paths_.desktopEntry));
    EXPECT_FALSE(fs::exists(paths_.icon));
    EXPECT_FALSE(fs::exists(paths_.settings));
    EXPECT_TRUE(door_.messages.empty());
    EXPECT_EQ(refreshes_, 4);
}

TEST_F(ShellActions, TheWrittenAndTheShippedEntriesPassDesktopFileValidate) {
    REQUIRE_PROGRAM("desktop-file-validate", "desktop-file-utils");
    ASSERT_TRUE(Perform(kShellActionInstall));
    for (const std::string& entry : {paths_.desktopEntry.string(), std::string(ICONMILL_SHIPPED_DESKTOP_ENTRY)}) {
        SCOPED_TRACE(entry);
        // It prints nothing for an entry it accepts.
        EXPECT_EQ(RunTool("desktop-file-validate", "'" + entry + "'", true), "");
    }
}

TEST_F(ShellActions, UninstallWhileAWindowRunsRefusesAndRemovesNothing) {
    ASSERT_TRUE(Perform(kShellActionInstall));
    const std::string mimeapps = ReadAll(paths_.mimeapps);
    WriteAll(paths_.settings, "[2.0]\n");
    running_ = true;
    EXPECT_FALSE(Perform(kShellActionUninstall));
    ASSERT_EQ(door_.messages.size(), 1u);
    EXPECT_EQ(door_.messages[0].text,
              "The application is already running. Please close the application and try again.");
    EXPECT_TRUE(fs::exists(paths_.desktopEntry));
    EXPECT_TRUE(fs::exists(paths_.settings));
    EXPECT_EQ(ReadAll(paths_.mimeapps), mimeapps);
}

TEST(InstanceLock, IsSeenWhileHeldAndGoneAfter) {
    const fs::path path = fs::temp_directory_path() / "iconmill-lock-test.lock";
    fs::remove(path);
    EXPECT_FALSE(IsInstanceLockHeld(path));
    {
        InstanceLock lock(path);
        ASSERT_TRUE(lock.Held());
        EXPECT_TRUE(IsInstanceLockHeld(path));
    }
    EXPECT_FALSE(IsInstanceLockHeld(path));
    fs::remove(path);
}

TEST(XdgFolders, DefaultsAndRelativeValuesIgnored) {
    const XdgFolders set = XdgFoldersFrom("/d", "/c", "/home/u");
    EXPECT_EQ(set.dataHome, "/d");
    EXPECT_EQ(set.configHome, "/c");
    const XdgFolders defaults = XdgFoldersFrom(nullptr, "relative", "/home/u");
    EXPECT_EQ(defaults.dataHome, "/home/u/.local/share");
    EXPECT_EQ(defaults.configHome, "/home/u/.config");
}

}  // namespace
