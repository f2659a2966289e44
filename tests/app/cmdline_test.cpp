#include "app/cmdline.h"
#include "text/heap.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <windows.h>
#include <string>
#include <vector>

namespace {

struct Split {
    int argc = -1;
    std::vector<std::string> args;
};

// Checks the block layout while it reads the result: argc + 1 pointers,
// the last null, and the texts packed right behind them in order.
testing::AssertionResult SplitChecked(const char *line, Split *out) {
    int argc = -1;
    char **argv = SplitCommandLine(line, &argc);
    if (!argv)
        return testing::AssertionFailure() << "no block";
    if (argc < 1) {
        MemFree(argv);
        return testing::AssertionFailure() << "argc " << argc;
    }
    bool ok = argv[argc] == nullptr;
    const char *expect = reinterpret_cast<const char *>(argv + argc + 1);
    for (int i = 0; i < argc && ok; ++i) {
        ok = argv[i] == expect;
        expect += strlen(argv[i]) + 1;
        out->args.push_back(argv[i]);
    }
    size_t blockSize = HeapSize(GetProcessHeap(), 0, argv);
    size_t used = static_cast<size_t>(expect - reinterpret_cast<const char *>(argv));
    out->argc = argc;
    MemFree(argv);
    if (!ok)
        return testing::AssertionFailure() << "pointer table does not match the packed texts";
    if (blockSize != used)
        return testing::AssertionFailure()
               << "block of " << blockSize << " bytes, texts end at " << used;
    return testing::AssertionSuccess();
}

struct SplitCase {
    const char *line;
    std::vector<std::string> expected;
};

std::vector<std::wstring> SplitWide(const std::wstring &line) {
    int argc = -1;
    wchar_t **argv = SplitCommandLine(line.c_str(), &argc);
    if (!argv)
        return {L"(no block)"};
    std::vector<std::wstring> args(argv, argv + argc);
    EXPECT_EQ(nullptr, argv[argc]);
    EXPECT_EQ(reinterpret_cast<wchar_t *>(argv + argc + 1), argv[0]);
    MemFree(argv);
    return args;
}

std::wstring Widen(const std::string &ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Lines without double-byte characters split alike in UTF-16.
void ExpectSplits(const SplitCase *cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(testing::Message() << "line [" << cases[i].line << "]");
        Split got;
        ASSERT_TRUE(SplitChecked(cases[i].line, &got));
        EXPECT_EQ(cases[i].expected, got.args);
        EXPECT_EQ(static_cast<int>(cases[i].expected.size()), got.argc);
        // The spans that the same scan walks: each one, split on its own,
        // gives its argument again.
        std::vector<std::string> spans;
        const char *begin = nullptr;
        for (const char *end = NextArgumentSpan(cases[i].line, true, &begin); end;
             end = NextArgumentSpan(end, false, &begin)) {
            Split alone;
            std::string text = (spans.empty() ? "" : "x ") + std::string(begin, end);
            ASSERT_TRUE(SplitChecked(text.c_str(), &alone));
            spans.push_back(alone.args.back());
        }
        EXPECT_EQ(cases[i].expected, spans);
        std::string line = cases[i].line;
        if (std::all_of(line.begin(), line.end(), [](char c) { return c > 0; })) {
            std::vector<std::wstring> expected;
            for (const std::string &arg : cases[i].expected)
                expected.push_back(Widen(arg));
            EXPECT_EQ(expected, SplitWide(Widen(line)));
        }
    }
}

TEST(SplitCommandLine, WorkedResults) {
    const SplitCase cases[] = {
        {R"("C:\Tools\tool.exe" /verb:"explore" "C:\Desktop\Editor.lnk")",
         {R"(C:\Tools\tool.exe)", "/verb:explore", R"(C:\Desktop\Editor.lnk)"}},
        {R"(tool.exe a\\\"b)", {"tool.exe", R"(a\"b)"}},
        {R"(tool.exe "a\\" b)", {"tool.exe", R"(a\)", "b"}},
        {R"(tool.exe a\b)", {"tool.exe", R"(a\b)"}},
        {R"(tool.exe "a""b")", {"tool.exe", R"(a"b)"}},
        {R"(tool.exe "a"" b")", {"tool.exe", R"(a")", "b"}},
        {R"(tool.exe "")", {"tool.exe", ""}},
        {R"("C:\dir\"x)", {R"(C:\dir\)", "x"}},
        {"", {""}},
    };
    ExpectSplits(cases, sizeof cases / sizeof cases[0]);
}

TEST(SplitCommandLine, BlanksBackslashesAndQuotes) {
    const SplitCase cases[] = {
        {" tool.exe", {"", "tool.exe"}}, // a leading blank: empty program name
        {"tool.exe a  \t ", {"tool.exe", "a"}},
        {"tool.exe\ta\tb", {"tool.exe", "a", "b"}},
        {"tool.exe \"a\tb c\"", {"tool.exe", "a\tb c"}},
        {R"(tool.exe a\\\\b\)", {"tool.exe", R"(a\\\\b\)"}},
        // 2k backslashes: k of them, and the quote opens a stretch.
        {R"(tool.exe \\\\"a b")", {"tool.exe", R"(\\a b)"}},
        // 2k + 1: k of them and a literal quote.
        {R"(tool.exe \\\\\"a b)", {"tool.exe", R"(\\"a)", "b"}},
        {R"(tool.exe "unclosed  stretch )", {"tool.exe", "unclosed  stretch "}},
        {R"("C:\a b\t.exe"next)", {R"(C:\a b\t.exe)", "next"}},
        {R"("C:\unclosed name)", {R"(C:\unclosed name)"}},
        {R"(a"b c)", {R"(a"b)", "c"}}, // no quoting in an unquoted name
        {R"(tool.exe """")", {"tool.exe", R"(")"}},
    };
    ExpectSplits(cases, sizeof cases / sizeof cases[0]);
}

TEST(SplitCommandLine, DoubleByteCharactersStayWhole) {
    // 表 ソ 能 all end in 0x5C; none of them may escape a quote or be cut.
    const SplitCase cases[] = {
        {"tool.exe \"C:\\\x95\\\" b", {"tool.exe", "C:\\\x95\\", "b"}},
        {"tool.exe \x83\\\"x y\"", {"tool.exe", "\x83\\x y"}},
        {"\"C:\\\x94\\\\\" a", {"C:\\\x94\\\\", "a"}},
        {"\x94\\ \x95\\", {"\x94\\", "\x95\\"}},
        // A second byte in the blank range stays inside its character.
        {"tool.exe \x81\x40\x81\x40", {"tool.exe", "\x81\x40\x81\x40"}},
        // A lone lead byte at the very end is the last byte of the last
        // argument; nothing after the terminator is read.
        {"tool.exe ab\x95", {"tool.exe", "ab\x95"}},
        {"tool.exe \x95", {"tool.exe", "\x95"}},
    };
    ExpectSplits(cases, sizeof cases / sizeof cases[0]);

    // UTF-16 has none: é is U+00E9, and 0xE9 would be a lead byte.
    EXPECT_EQ((std::vector<std::wstring>{L"t.exe", L"Caf\u00e9", L"x"}),
              SplitWide(L"t.exe \"Caf\u00e9\" x"));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\Caf\u00e9", L"\u8868\\", L"\u2603"}),
              SplitWide(L"\"C:\\Caf\u00e9\"\u8868\\ \u2603"));
}

TEST(SplitCommandLine, LongLinesAndManyArguments) {
    std::string line = "tool.exe";
    for (int i = 0; i < 4000; ++i)
        line += " \"\x95\\" + std::to_string(i) + "\"";
    Split got;
    ASSERT_TRUE(SplitChecked(line.c_str(), &got));
    ASSERT_EQ(4001, got.argc);
    EXPECT_EQ("\x95\\"
              "3999",
              got.args.back());

    std::string big(32 * 1024, 'x');
    Split one;
    ASSERT_TRUE(SplitChecked(("t " + big).c_str(), &one));
    ASSERT_EQ(2, one.argc);
    EXPECT_EQ(big, one.args[1]);
}

} // namespace
