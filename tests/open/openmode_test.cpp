// tessaro.exe in OpenMode, started the way the shell starts it, against the
// real shell link object and Wine's folder windows.
#include "harness/shellwindows.h"
#include "harness/wine.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <string>
#include <vector>

namespace {

// Nothing appears: checked after a pause long enough for a window that
// would come, since absence cannot be awaited.
size_t FolderWindowsAfterPause() {
    Sleep(3000);
    return FindTopWindows(FOLDER_WINDOW_CLASS).size();
}

class OpenMode : public testing::Test {
  protected:
    // 表 ソ 能 end in 0x5C: a path that splits wrongly fails here.
    ScratchDir dir{"tessaro-open"};
    std::string targetDir = dir.Join("\x95\\\x8E\xA6\\\x83\\\x83t\\\x94\\");
    std::string target = targetDir + "\\\x83\\target.txt";

    void SetUp() override {
        ASSERT_TRUE(MakeDirs(targetDir));
        ASSERT_TRUE(WriteFileBytes(target, "x"));
        CloseFolderWindows();
    }
    void TearDown() override { CloseFolderWindows(); }

    ChildRun Run(const std::string &line) {
        ChildRun run = RunDebugged(line);
        EXPECT_TRUE(run.started) << line;
        EXPECT_TRUE(run.finished) << line;
        EXPECT_FALSE(run.crashed) << line;
        return run;
    }
};

TEST_F(OpenMode, OpensTheFolderThatHoldsTheTarget) {
    std::string link = dir.Join("\x95\\.lnk");
    ASSERT_TRUE(MakeShortcut(link, target));
    std::string line = StoredCommand("open", link);
    ChildRun run = Run(line);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(1u, WaitForFolderWindows(LastComponent(targetDir), 1));

    // Every argument traced once, in order, before anything else.
    ASSERT_GE(run.traces.size(), 3u);
    EXPECT_EQ("argv[ 0]=" + InstalledExe() + "\r\n", run.traces[0]);
    EXPECT_EQ("argv[ 1]=/verb:open\r\n", run.traces[1]);
    BOOL wow64 = FALSE;
    if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
        EXPECT_EQ(0u, InstalledExe().find("C:\\Program Files (x86)\\")) << InstalledExe();
    }
    EXPECT_EQ("argv[ 2]=" + link + "\r\n", run.traces[2]);
}

TEST_F(OpenMode, ShortcutToAFolderOpensTheFolderAbove) {
    std::string link = dir.Join("folder.lnk");
    ASSERT_TRUE(MakeShortcut(link, targetDir));
    Run(StoredCommand("open", link));
    EXPECT_EQ(1u, WaitForFolderWindows("\x83\\\x83t", 1));
}

size_t CountOf(const std::string &text, const std::string &what) {
    size_t count = 0;
    for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size())
        ++count;
    return count;
}

// Counted in the exec trace: a folder already open may be reused for the
// second request, so the windows alone cannot tell.
TEST_F(OpenMode, SameShortcutTwiceOpensTwiceAndEmptyVerbMeansOpen) {
    std::string link = dir.Join("twice.lnk");
    ASSERT_TRUE(MakeShortcut(link, target));
    ChildRun run =
        RunDebugged(TessaroExe() + " /verb: " + Quote(link) + " " + Quote(link), 30000, "+exec");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(2u, CountOf(run.wineLog, "verb=L\"open\"")) << run.wineLog.substr(0, 2000);
    EXPECT_LE(1u, WaitForFolderWindows(LastComponent(targetDir), 1));
}

TEST_F(OpenMode, BrokenArgumentsOpenNothingAndEndWithZero) {
    std::string plain = dir.Join("plain.lnk");
    ASSERT_TRUE(WriteFileBytes(plain, "not a shortcut at all"));
    std::string empty = dir.Join("empty.lnk");
    ASSERT_TRUE(WriteFileBytes(empty, ""));
    std::string truncated = dir.Join("truncated.lnk");
    std::string good = dir.Join("good.lnk");
    ASSERT_TRUE(MakeShortcut(good, target));
    ASSERT_TRUE(WriteFileBytes(truncated, ReadFileBytes(good).substr(0, 40)));

    const std::string lines[] = {
        TessaroExe() + " /verb:\"open\"",
        StoredCommand("open", targetDir),
        StoredCommand("open", dir.Join("missing.lnk")),
        StoredCommand("open", plain),
        StoredCommand("open", empty),
        StoredCommand("open", truncated),
        TessaroExe() + " \"unbalanced \\\"quote \x95",
        // The longest line CreateProcess takes: 32767 characters.
        TessaroExe() + " " + std::string(32766 - TessaroExe().size() - 1, 'a'),
    };
    for (const std::string &line : lines) {
        SCOPED_TRACE(line.substr(0, 200));
        ChildRun run = Run(line);
        EXPECT_EQ(0u, run.exitCode);
    }
    EXPECT_EQ(0u, FolderWindowsAfterPause());
}

// A shortcut to My Computer holds a one-item list; its parent is the desktop.
bool MakeShortcutToMyComputer(const std::string &link) {
    LPITEMIDLIST drives = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives) != S_OK)
        return false;
    IShellLinkA *shell = nullptr;
    bool ok = false;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void **>(&shell)) == S_OK) {
        IPersistFile *file = nullptr;
        if (shell->SetIDList(drives) == S_OK &&
            shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)) == S_OK) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
            ok = file->Save(wide, TRUE) == S_OK;
            file->Release();
        }
        shell->Release();
    }
    CoTaskMemFree(drives);
    return ok;
}

TEST_F(OpenMode, OneItemTargetOpensTheDesktop) {
    std::string link = dir.Join("computer.lnk");
    ASSERT_TRUE(MakeShortcutToMyComputer(link));
    Run(StoredCommand("open", link));
    // Wine's desktop window carries an English title in any locale.
    const char *desktop = IsWine() ? "Desktop" : "\x83\x66\x83\x58\x83\x4E\x83\x67\x83\x62\x83\x76";
    EXPECT_EQ(1u, WaitForFolderWindows(desktop, 1));
}

TEST_F(OpenMode, VerbIsHandedToTheShellForEveryPath) {
    std::string first = dir.Join("first.lnk");
    std::string second = dir.Join("second.lnk");
    ASSERT_TRUE(MakeShortcut(first, target));
    ASSERT_TRUE(MakeDirs(dir.Join("\x95\\")));
    ASSERT_TRUE(MakeShortcut(second, dir.Join("\x95\\")));
    ChildRun run = RunDebugged(
        TessaroExe() + " /verb:\"Explore\" " + Quote(first) + " " + Quote(second), 30000, "+exec");
    EXPECT_EQ(0u, run.exitCode);
    // Wine opens a folder window for any verb it does not know; its exec
    // trace shows what was asked for.
    EXPECT_EQ(2u, CountOf(run.wineLog, "verb=L\"Explore\"")) << run.wineLog.substr(0, 2000);
    EXPECT_NE(std::string::npos, run.wineLog.find("-- idlist="));
    EXPECT_EQ(std::string::npos, run.wineLog.find("SEE_MASK_FLAG_NO_UI"));
    WaitForFolderWindows(LastComponent(targetDir), 1);
}

// Two shortcuts into the folder of `target`, one into another folder and
// one that cannot be loaded, in that order of folders.
class OpenModeSelect : public OpenMode {
  protected:
    std::string other = dir.Join("other");
    std::string args;

    void SetUp() override {
        OpenMode::SetUp();
        ASSERT_TRUE(MakeDirs(other));
        ASSERT_TRUE(WriteFileBytes(other + "\\lone.txt", "x"));
        ASSERT_TRUE(WriteFileBytes(targetDir + "\\second.txt", "x"));
        ASSERT_TRUE(WriteFileBytes(dir.Join("broken.lnk"), "not a shortcut"));
        ASSERT_TRUE(MakeShortcut(dir.Join("a.lnk"), target));
        ASSERT_TRUE(MakeShortcut(dir.Join("b.lnk"), targetDir + "\\second.txt"));
        ASSERT_TRUE(MakeShortcut(dir.Join("lone.lnk"), other + "\\lone.txt"));
        ASSERT_TRUE(MakeShortcut(dir.Join("upper.lnk"), dir.Join("OTHER\\LONE.TXT")));
        ASSERT_TRUE(WriteFileBytes(other + "\\two.txt", "x"));
        ASSERT_TRUE(MakeShortcut(dir.Join("two.lnk"), other + "\\two.txt"));
        for (const char *name : {"a.lnk", "broken.lnk", "lone.lnk", "b.lnk", "upper.lnk"})
            args += " " + Quote(dir.Join(name));
    }
};

// Wine's explorer selects a target only when it is given alone; a folder
// given with several children opens with nothing selected. A second
// selection in a folder reuses its window, so the shell's trace counts the
// calls. Wine's shell selects in a window of the folder that is already
// open, and otherwise waits one second for the window it starts: an
// emulated 32-bit explorer comes up later, so there only the open window's
// selection is checked.
TEST_F(OpenModeSelect, EachFolderOpensOnceWithALoneTargetSelected) {
    ChildRun run = RunDebugged(TessaroExe() + " /SELECT" + args, 30000, "+shell");
    EXPECT_EQ(0u, run.exitCode);
    if (!EmulatedI386()) {
        EXPECT_EQ(std::vector<std::string>{"lone.txt"}, WaitForSelection("other", {"lone.txt"}));
    }
    EXPECT_EQ(1u, WaitForFolderWindows("other", 1));
    EXPECT_EQ(1u, WaitForFolderWindows(LastComponent(targetDir), 1));
    if (IsWine()) {
        EXPECT_EQ(2u, CountOf(run.wineLog, "trace:shell:SHOpenFolderAndSelectItems "));
    }

    // Selected in the window that is open, without starting another.
    ASSERT_TRUE(WaitForShellWindow(other.c_str(), 60000));
    run = RunDebugged(TessaroExe() + " /select " + Quote(dir.Join("two.lnk")), 30000, "+exec");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(std::vector<std::string>{"two.txt"}, WaitForSelection("other", {"two.txt"}));
    if (IsWine()) {
        EXPECT_EQ(0u, CountOf(run.wineLog, "SHELL_execute")) << run.wineLog.substr(0, 2000);
    }
}

// Where the shell lacks the function, each folder opens once, with the verb.
TEST_F(OpenModeSelect, WithoutTheShellsSelectionFoldersOpenWithTheVerb) {
    ChildRun run = RunDebugged(std::string(TESSARO_NOSELECT_EXE) + " /select /verb:Explore" + args,
                               30000, "+exec");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(2u, CountOf(run.wineLog, "verb=L\"Explore\"")) << run.wineLog.substr(0, 2000);
    EXPECT_EQ(1u, WaitForFolderWindows("other", 1));
    EXPECT_EQ(1u, WaitForFolderWindows(LastComponent(targetDir), 1));
}

TEST_F(OpenMode, LongTraceLinesReachTheDebuggerCut) {
    std::string arg(2000, 'q');
    ChildRun run = Run(TessaroExe() + " " + arg);
    ASSERT_EQ(2u, run.traces.size());
    EXPECT_EQ(1023u, run.traces[1].size());
    EXPECT_EQ("argv[ 1]=" + arg.substr(0, 1014), run.traces[1]);
}

} // namespace
