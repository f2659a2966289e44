#include "app/cmdline.h"
#include "assoc/commandline.h"
#include "harness/wine.h"
#include "text/heap.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

std::string ModulePath() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, n);
}

struct VerbCase {
    const char *verb;
    std::string tail; // what follows the quoted program path
};

TEST(BuildCommandLine, QuotesPathAndVerbAndLeavesTheVerbAsItIs) {
    const VerbCase cases[] = {
        {nullptr, " \"%1\""},
        {"explore", " /verb:\"explore\" \"%1\""},
        {"", " /verb:\"\" \"%1\""}, // an empty verb is still a verb
        {"Open", " /verb:\"Open\" \"%1\""},
        {"a\"b c", " /verb:\"a\"b c\" \"%1\""},
        {"表示", " /verb:\"表示\" \"%1\""},
    };
    for (const VerbCase &c : cases) {
        SCOPED_TRACE(c.verb ? c.verb : "(none)");
        char out[1025];
        memset(out, 'X', sizeof out);
        EXPECT_TRUE(BuildCommandLine(out, c.verb));
        EXPECT_EQ("\"" + ModulePath() + "\"" + c.tail, out);
    }
}

TEST(BuildCommandLine, SplitsBackIntoPathVerbOptionAndTheFile) {
    char out[1025];
    ASSERT_TRUE(BuildCommandLine(out, "explore"));
    // What the shell runs: %1 replaced by the file chosen.
    std::string line = out;
    line.replace(line.find("%1"), 2, "C:\\リンク\\a.lnk");
    int argc = 0;
    char **argv = SplitCommandLine(line.c_str(), &argc);
    ASSERT_NE(nullptr, argv);
    ASSERT_EQ(3, argc);
    EXPECT_EQ(ModulePath(), argv[0]);
    EXPECT_STREQ("/verb:explore", argv[1]);
    EXPECT_STREQ("C:\\リンク\\a.lnk", argv[2]);
    MemFree(argv);
}

TEST(BuildCommandLine, CutsAtTheCapacity) {
    std::string verb(2000, 'v');
    char out[1100];
    memset(out, 'X', sizeof out);
    EXPECT_TRUE(BuildCommandLine(out, verb.c_str()));
    std::string whole = "\"" + ModulePath() + "\" /verb:\"" + verb + "\" \"%1\"";
    EXPECT_EQ(whole.substr(0, 1024), std::string(out));
    EXPECT_EQ('X', out[1025]) << "written past 1025 bytes";
}

// Run in a copy of this binary that lies at a path of a chosen length.
TEST(BuildCommandLineChild, DISABLED_TracesItsCommandLine) {
    char out[1025];
    BuildCommandLine(out, "explore");
    OutputDebugStringA((std::string("command line:") + out).c_str());
}

size_t Characters(const std::string &text) {
    return static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0) - 1);
}

// The system starts no program whose path has more than 259 characters,
// and 259 characters of code page 932 are at most 518 bytes: the 522-byte
// path buffer never fills for a program that runs, so the empty command
// line for a cut path cannot be shown here. What can: the longest path
// there is, nearly all double-byte, reaches the command line whole (a
// buffer of MAX_PATH bytes would cut it).
TEST(BuildCommandLine, TakesTheLongestProgramPathWhole) {
    ScratchDir dir("tessaro-cmdline");
    const std::string file = "\\t.exe";
    const size_t kMostCharacters = MAX_PATH - 1;
    std::string folder = dir.path();
    while (Characters(folder + file) < kMostCharacters) {
        size_t room = kMostCharacters - Characters(folder + file) - 1;
        if (room == 0) {
            folder += "d"; // no room for a separator and a character after it
            continue;
        }
        folder += "\\";
        for (size_t i = 0; i < room && i < 80; ++i)
            folder += "表";
    }
    std::string exe = folder + file;
    ASSERT_EQ(kMostCharacters, Characters(exe));
    ASSERT_GT(exe.size(), 400u); // far past MAX_PATH bytes
    ASSERT_TRUE(MakeDirs(folder));
    ASSERT_TRUE(CopyFileA(ModulePath().c_str(), exe.c_str(), FALSE));

    ChildRun run = RunDebugged("\"" + exe +
                               "\" --gtest_also_run_disabled_tests "
                               "--gtest_filter=BuildCommandLineChild.*");
    ASSERT_TRUE(run.finished);
    std::string expected = "command line:\"" + exe + "\" /verb:\"explore\" \"%1\"";
    bool seen = false;
    for (const std::string &trace : run.traces)
        seen = seen || trace == expected;
    EXPECT_TRUE(seen) << "expected " << expected << " among " << run.traces.size() << " lines";
    DeleteFileA(exe.c_str());
}

} // namespace
