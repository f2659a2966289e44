// Command lines at and past what anyone would type: the longest a process
// can get, thousands of arguments, unbalanced quotes, lone lead bytes.
// Real starts of tessaro.exe show what a process receives; lone lead bytes
// only reach tessaro intact in-process, where the line ends at a page that
// is followed by an inaccessible one, so a read past its end faults.
#include "app/cmdline.h"
#include "app/modes.h"
#include "reliability/shell_watch.h"
#include "text/heap.h"
#include "text/trace.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

namespace {

// The longest command line CreateProcess takes, terminator included.
const size_t kMaxLine = 32767;

std::string TraceLine(int index, const std::string &argument) {
    char head[32];
    snprintf(head, sizeof head, "argv[%2d]=", index);
    return head + argument + "\r\n";
}

std::vector<std::string> TraceLines(const std::vector<std::string> &argv) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < argv.size(); ++i)
        lines.push_back(TraceLine(static_cast<int>(i), argv[i]));
    return lines;
}

ChildRun Start(const std::string &arguments) {
    std::string line = TessaroExe() + " " + arguments;
    ChildRun run = RunDebugged(line, 60000);
    EXPECT_TRUE(run.finished);
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(0u, run.exitCode);
    return run;
}

TEST(LongCommandLines, ThousandsOfArgumentsAreEachTracedOnce) {
    struct Case {
        const char *unit, *argument;
    } cases[] = {{"a ", "a"}, {"\"\"\t", ""}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.unit);
        std::string arguments;
        std::vector<std::string> argv = {InstalledExe()};
        while (TessaroExe().size() + 1 + arguments.size() + strlen(c.unit) < kMaxLine) {
            arguments += c.unit;
            argv.push_back(c.argument);
        }
        ASSERT_GT(argv.size(), 8000u);
        EXPECT_EQ(TraceLines(argv), Start(arguments).traces);
    }
}

TEST(LongCommandLines, AShortcutAmongThousandsOfOptionsOpensOnceWithTheLastVerb) {
    ScratchDir dir{"tessaro-lines"};
    ASSERT_TRUE(MakeDirs(dir.Join("folder")));
    ASSERT_TRUE(WriteFileBytes(dir.Join("folder\\t.txt"), "x"));
    std::string link = dir.Join("t.lnk");
    ASSERT_TRUE(MakeShortcut(link, dir.Join("folder\\t.txt")));
    CloseFolderWindows();
    std::string arguments = Quote(link);
    int options = 0;
    while (arguments.size() + 40 + TessaroExe().size() < kMaxLine)
        arguments += " /verb:v" + std::to_string(options++);
    arguments += " /VERB:\"Explore\"";
    OpenRun run = RunOpenMode(arguments);
    EXPECT_TRUE(run.child.finished);
    EXPECT_FALSE(run.child.crashed);
    EXPECT_EQ(0u, run.child.exitCode);
    EXPECT_EQ(static_cast<size_t>(options) + 3, run.child.traces.size());
    ASSERT_EQ(1u, run.executed.size()) << options << " options";
    EXPECT_EQ("Explore", run.executed[0].verb);
    EXPECT_EQ(dir.Join("folder"), run.executed[0].folder);
    WaitForFolderWindows("folder", 1);
    CloseFolderWindows();
}

TEST(LongCommandLines, OneArgumentAsLongAsAProcessCanGet) {
    // 表 ends in 0x5C: none of them may escape the quote after it. In bytes
    // the line is longer than the 32767 characters it has.
    const std::string hyou = "\x95\\";
    struct Case {
        const char *what;
        std::string unit;
        size_t characters; // of the unit
        std::string quote, expected;
    } cases[] = {
        {"double-byte characters", hyou, 1, "", hyou},
        {"double-byte, escaped quotes", hyou + "\\\"", 3, "\"", hyou + "\""},
        {"backslash runs", "\\\\\\\\\\\"", 6, "\"", "\\\\\""},
        {"blanks inside quotes", " \t", 2, "\"", " \t"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string arguments = c.quote, argument;
        size_t characters = TessaroExe().size() + 3;
        while (characters + c.characters < kMaxLine - 1) {
            arguments += c.unit;
            argument += c.expected;
            characters += c.characters;
        }
        arguments += c.quote;
        ASSERT_GE(arguments.size(), 32000u);
        ChildRun run = Start(arguments);
        ASSERT_EQ(2u, run.traces.size());
        // The trace cuts at 1023 bytes; each case's units end on a whole
        // character there.
        EXPECT_EQ(TraceLine(1, argument).substr(0, 1023), run.traces[1]);
    }
}

TEST(CommandLines, UnbalancedQuotesRunToTheEnd) {
    struct Case {
        std::string arguments;
        std::vector<std::string> argv;
    } cases[] = {
        {"\"a b\tc", {"a b\tc"}}, {"a\"b c", {"ab c"}},          {"\"\"\"", {"\""}},
        {"x \"", {"x", ""}},      {"\\\" \\\\\"", {"\"", "\\"}}, {"\"a\"\" b", {"a\"", "b"}},
        {"\"\\\"", {"\""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        std::vector<std::string> argv = {InstalledExe()};
        argv.insert(argv.end(), c.argv.begin(), c.argv.end());
        EXPECT_EQ(TraceLines(argv), Start(c.arguments).traces);
    }

    // An unclosed quote around a real shortcut still names it.
    ScratchDir dir{"tessaro-quotes"};
    ASSERT_TRUE(MakeDirs(dir.Join("unclosed")));
    ASSERT_TRUE(WriteFileBytes(dir.Join("unclosed\\t.txt"), "x"));
    std::string link = dir.Join("t.lnk");
    ASSERT_TRUE(MakeShortcut(link, dir.Join("unclosed\\t.txt")));
    OpenRun run = RunOpenMode("/verb:\"open\" \"" + link);
    EXPECT_EQ(0u, run.child.exitCode);
    ASSERT_EQ(1u, run.executed.size());
    EXPECT_EQ(dir.Join("unclosed"), run.executed[0].folder);
    WaitForFolderWindows("unclosed", 1);
    CloseFolderWindows();
}

TEST(CommandLines, LoneLeadBytesArriveAsWholeCharacters) {
    // The command line reaches a process as UTF-16: on the way, Wine turns a
    // lead byte and the byte after it, whatever that is, into one ・ (81 45),
    // and drops one that ends the line. A blank or quote after a lone lead
    // byte is gone before tessaro splits.
    const std::string dot = "\x81\x45";
    struct Case {
        std::string arguments;
        std::vector<std::string> argv;
    } cases[] = {
        {"a\x81", {"a"}},
        {"a\x81 b", {"a" + dot + "b"}},
        {"\x81\"x y", {dot + "x", "y"}},
        {"\"\x95\\\x81\" z", {"\x95\\" + dot + " z"}},
        {"\x81\x81\x81", {"\x81\x81"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        std::vector<std::string> argv = {InstalledExe()};
        argv.insert(argv.end(), c.argv.begin(), c.argv.end());
        EXPECT_EQ(TraceLines(argv), Start(c.arguments).traces);
    }
}

// A text whose terminator is the last readable byte before a page that
// cannot be read.
class GuardedText {
  public:
    explicit GuardedText(const std::string &text) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        size_t page = info.dwPageSize, size = text.size() + 1;
        size_t readable = (size + page - 1) / page * page;
        base_ = static_cast<char *>(
            VirtualAlloc(nullptr, readable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + readable, page, PAGE_NOACCESS, &old);
        text_ = base_ + readable - size;
        memcpy(text_, text.c_str(), size);
    }
    ~GuardedText() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedText(const GuardedText &) = delete;
    GuardedText &operator=(const GuardedText &) = delete;
    const char *c_str() const { return text_; }

  private:
    char *base_;
    char *text_;
};

size_t traced = 0;

int CountTrace(const char *, ...) {
    ++traced;
    return 0;
}

TEST(CommandLines, RawLeadBytesAtTheEndAreNeverReadPast) {
    struct Case {
        std::string line;
        std::vector<std::string> argv;
    } cases[] = {
        {"t.exe \x81", {"t.exe", "\x81"}},
        {"t.exe a\x81", {"t.exe", "a\x81"}},
        {"t.exe \x81 b", {"t.exe", "\x81 b"}}, // lead byte and blank: one character
        {"t.exe \x81\"x y", {"t.exe", "\x81\"x", "y"}},
        {"t.exe \"\x81", {"t.exe", "\x81"}},
        {"t.exe \\\x81", {"t.exe", "\\\x81"}},
        {"t.exe \"a", {"t.exe", "a"}},
        {"t.exe a\\\\", {"t.exe", "a\\\\"}},
        {"t.exe x\t\x81", {"t.exe", "x", "\x81"}},
        {"\"t.ex\x81 z", {"t.ex\x81 z"}},
        {"t.ex\x81", {"t.ex\x81"}},
        {"t.exe " + std::string(70000, '\x81'), {"t.exe", std::string(70000, '\x81')}},
    };
    TraceSinkFn saved = TraceSink;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.substr(0, 40));
        GuardedText line(c.line);
        int argc = 0;
        char **argv = SplitCommandLine(line.c_str(), &argc);
        ASSERT_NE(nullptr, argv);
        std::vector<std::string> got(argv, argv + argc);
        EXPECT_EQ(nullptr, argv[argc]);
        MemFree(argv);
        EXPECT_EQ(c.argv, got);
        if (c.argv.size() < 2)
            continue; // InstallMode would show the dialog
        // The whole program on the same text: OpenMode finds nothing to
        // open and ends with 0.
        traced = 0;
        TraceSink = CountTrace;
        EXPECT_EQ(0, RunTessaro(line.c_str()));
        TraceSink = saved;
        EXPECT_EQ(c.argv.size(), traced);
    }
}

} // namespace
