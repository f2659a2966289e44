#include "text/sjis.h"

#include <gtest/gtest.h>

namespace {

TEST(SjisScan, SecondByteIsNeverAnAsciiCharacter) {
    // 表 = 95 5C, ソ = 83 5C.
    EXPECT_EQ(0u, SpanInSet("\\", "\x95\\\\"));
    EXPECT_EQ(2u, SpanInSet("\\", "\\\\\x95\\"));
    EXPECT_EQ(4u, SpanNotInSet("\"", "\x95\\\x83\\\"x"));
    EXPECT_EQ(2u, SpanNotInSet(" \t", "\x81\x40 "));
    EXPECT_EQ(3u, SpanInSet(" \t", " \t z"));
    EXPECT_EQ(0u, SpanInSet(" ", ""));
    EXPECT_EQ(5u, SpanNotInSet("\"", "abcde"));
}

TEST(SjisScan, CharCodeAndNextChar) {
    const char text[] = "\x95\\a\x95";
    EXPECT_EQ(0x955Cu, GetCharCode(text));
    EXPECT_EQ(text + 2, NextChar(text));
    EXPECT_EQ('a', static_cast<int>(GetCharCode(text + 2)));
    // A lead byte right before the terminator stands for itself.
    EXPECT_EQ(0x95u, GetCharCode(text + 3));
    EXPECT_EQ(text + 4, NextChar(text + 3));
    EXPECT_EQ(text + 4, NextChar(text + 4)) << "NextChar must not leave the terminator";
    EXPECT_EQ(0xFFu, GetCharCode("\xFF"));
}

TEST(SjisScan, CaseFoldingIsAsciiOnly) {
    EXPECT_TRUE(CharEqualNoCase('A', 'a'));
    EXPECT_TRUE(CharEqualNoCase('z', 'Z'));
    EXPECT_FALSE(CharEqualNoCase('a', 'b'));
    EXPECT_FALSE(CharEqualNoCase(0xC0, 0xE0)) << "bytes from 0x80 up never fold";
    // Full-width Ａ (82 60) and ａ (82 81) are different characters.
    EXPECT_FALSE(CharEqualNoCase(0x8260, 0x8281));
    EXPECT_FALSE(CharEqualNoCase(0x8260, 0x60));
}

TEST(SjisScan, Finders) {
    const char text[] = "\x83/a/B:\x95:";
    EXPECT_EQ(text + 3, FindCharNoCase(text, '/')) << "83 2F is no slash";
    EXPECT_EQ(text + 4, FindCharNoCase(text, 'b'));
    EXPECT_EQ(nullptr, FindCharNoCase(text, 'q'));
    EXPECT_EQ(text + 5, FindColon(text));
    EXPECT_EQ(nullptr, FindColon(text + 6)) << "95 3A is one character";
    EXPECT_EQ(nullptr, FindColon("\x81:")) << "81 3A is one character";
}

TEST(VerbOption, MatchesOnlyAtTheStartInAnyCase) {
    struct {
        const char *arg;
        bool expected;
    } cases[] = {
        {"/verb:", true}, {"/verb:explore", true}, {"/VERB:open", true},   {"/Verb:\x95\\", true},
        {"/verb", false}, {"/verbs:x", false},     {"x/verb:open", false}, {" /verb:open", false},
        {"", false},      {"/ver", false},         {"\x83/verb:", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.expected, IsVerbOption(c.arg)) << "[" << c.arg << "]";

    const char text[] = "a/v/VeRb:x";
    EXPECT_EQ(text + 3, FindVerbOption(text));
    EXPECT_EQ(nullptr, FindVerbOption("/ver/b:"));
    EXPECT_TRUE(MatchVerbPrefix("/v", 0));
    EXPECT_TRUE(MatchVerbPrefix("/vX", 2));
    EXPECT_FALSE(MatchVerbPrefix("/vX", 3));
    EXPECT_FALSE(MatchVerbPrefix("/v", 6)) << "a short text does not match the whole prefix";
}

} // namespace
