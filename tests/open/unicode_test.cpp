// Shortcut paths that code page 932 cannot spell, given the way the shell
// gives them on NT: in a UTF-16 command line.
#include "app/modes.h"
#include "harness/shellwindows.h"
#include "harness/wine.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

// Each shortcut leads to target.txt in a folder of its own with a plain
// name, so that the folder windows and the exec trace tell them apart.
class UnicodeArguments : public testing::Test {
  protected:
    ScratchDir dir{"tessaro-unicode"};
    std::wstring wideDir = Widen(dir.path());
    std::vector<std::wstring> made; // the harness's code-page calls cannot remove them

    void SetUp() override { CloseFolderWindows(); }
    void TearDown() override {
        CloseFolderWindows();
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            DeleteFileW(it->c_str()) || RemoveDirectoryW(it->c_str());
    }

    std::wstring Link(const std::wstring &name, const std::string &folder) {
        std::string target = dir.Join(folder + "\\target.txt");
        std::string link = dir.Join("made.lnk");
        std::wstring path = wideDir + L"\\" + name;
        made.push_back(path);
        EXPECT_TRUE(MakeDirs(dir.Join(folder)) && WriteFileBytes(target, "x") &&
                    MakeShortcut(link, target) && MoveFileW(Widen(link).c_str(), path.c_str()))
            << folder;
        return path;
    }
};

TEST_F(UnicodeArguments, EachFolderOpensInOrderAndTracesKeepTheCodePage) {
    std::wstring folder = wideDir + L"\\Caf\u00e9"; // é has a look-alike in the code page
    made.push_back(folder);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring links[] = {
        Link(L"Caf\u00e9 \u2603.lnk", "one"),   // ☃ has none: "?"
        Link(Widen("\x95\\\x83\\.lnk"), "two"), // 表ソ: second bytes 0x5C
        Link(L"Caf\u00e9\\x.lnk", "three"),
    };
    std::wstring line = Widen(TessaroExe()) + L" /verb:\"open\"";
    for (const std::wstring &link : links)
        line += L" \"" + link + L"\"";
    ChildRun run = RunDebuggedW(line, 30000, "+exec");
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_EQ(5u, run.traces.size());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ("argv[ " + std::to_string(i + 2) + "]=" + Narrow(links[i]) + "\r\n",
                  run.traces[i + 2]);
    size_t one = run.wineLog.find("\\\\one\""), two = run.wineLog.find("\\\\two\""),
           three = run.wineLog.find("\\\\three\"");
    EXPECT_TRUE(one < two && two < three && three != std::string::npos)
        << run.wineLog.substr(0, 3000);
    for (const char *opened : {"one", "two", "three"})
        EXPECT_EQ(1u, WaitForFolderWindows(opened, 1)) << opened;
}

// Wine's shell waits only a second for a new window before it selects, too
// short where 32-bit code is emulated; a folder already open is used as it is.
TEST_F(UnicodeArguments, SelectFindsTheTarget) {
    std::wstring link = Link(L"Caf\u00e9 \u2603.lnk", "sel");
    ASSERT_TRUE(WriteFileBytes(dir.Join("sel\\other.txt"), "x"));
    ShellExecuteA(nullptr, "open", dir.Join("sel").c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    ASSERT_TRUE(WaitForShellWindow(dir.Join("sel").c_str(), 60000));
    ChildRun run = RunDebuggedW(Widen(TessaroExe()) + L" /select \"" + link + L"\"");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(std::vector<std::string>{"target.txt"}, WaitForSelection("sel", {"target.txt"}));
}

// Best fit spells ¥ as "\", which escapes the quote after it: the code
// page splits "…a¥" "…\b /select" into "…a\" …\b" and an option. Counted
// in one text only, the option is none: the first path opens its folder
// with "open". (The second names nothing the shell parses: a "/" there.)
TEST_F(UnicodeArguments, AnOptionInTheCodePageSplitAloneIsNone) {
    std::wstring yen = Link(L"a\u00a5", "one");
    for (const std::wstring option : {L"/select", L"/verb:explore"}) {
        ChildRun run = RunDebuggedW(Widen(TessaroExe()) + L" \"" + yen + L"\" \"" + wideDir +
                                        L"\\b " + option + L"\"",
                                    30000, "+exec");
        EXPECT_EQ(0u, run.exitCode);
        ASSERT_EQ(3u, run.traces.size());
        EXPECT_EQ("argv[ 2]=" + Narrow(option) + "\r\n", run.traces[2]) << "the code page's split";
        EXPECT_EQ(1u, WaitForFolderWindows("one", 1));
        EXPECT_NE(std::string::npos, run.wineLog.find("verb=L\"open\"")) << run.wineLog;
        EXPECT_EQ(std::string::npos, run.wineLog.find("verb=L\"explore\""));
        CloseFolderWindows();
    }
}

// Lines that do not split alike cannot be matched: the code page's copy is
// used throughout, even where the other holds a name it cannot spell.
TEST_F(UnicodeArguments, LinesThatSplitDifferentlyUseTheCodePage) {
    std::wstring other = Link(L"Caf\u00e9 \u2603.lnk", "one");
    Link(L"plain.lnk", "plain");
    EXPECT_EQ(0, RunTessaro(("t.exe " + Quote(dir.Join("plain.lnk"))).c_str(),
                            (L"t.exe \"" + other + L"\" extra").c_str()));
    EXPECT_EQ(1u, WaitForFolderWindows("plain", 1));
}

} // namespace
