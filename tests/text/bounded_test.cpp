#include "text/bounded.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include <string.h>

namespace {

struct CopyCase {
    size_t size;
    const char *source;
    const char *expected;
};

TEST(CopyBounded, KeepsCharactersOfTheCodePageWhole) {
    const CopyCase sjis[] = {
        {1, "abc", ""},
        {4, "abc", "abc"},         // exactly size - 1 bytes: whole
        {4, "ab\x95\x5C", "ab"},   // index 2..3 is one character that does not fit
        {4, "abc\x95\x5C", "abc"}, // a lead byte at size - 1 is just not copied
        {4,
         "a\x95\x5C"
         "d",
         "a\x95\x5C"},
        {3, "\x95\x5C\x95\x5C", "\x95\x5C"},
        {4, "\x95\x5C\x95\x5C", "\x95\x5C"},
        // A lead byte with an invalid second byte is a single byte: copied.
        {3,
         "a\x81\x7F"
         "x",
         "a\x81"},
        // 0x81 0x81 0x40: the middle byte is a second byte, not a lead byte.
        {3, "\x81\x81\x40", "\x81\x81"},
        {8, "", ""},
    };
    // Where UTF-8 is the ANSI code page: あ is E3 81 82, 😀 F0 9F 98 80.
    const CopyCase utf8[] = {{2, "a\xE3\x81\x82", "a"},
                             {4, "a\xE3\x81\x82", "a"},
                             {5, "a\xE3\x81\x82", "a\xE3\x81\x82"},
                             {4, "\xF0\x9F\x98\x80", ""},
                             {5, "\xF0\x9F\x98\x80z", "\xF0\x9F\x98\x80"}};
    bool isUtf8 = GetACP() == CP_UTF8;
    for (const CopyCase &c : isUtf8 ? std::vector<CopyCase>(utf8, std::end(utf8))
                                    : std::vector<CopyCase>(sjis, std::end(sjis))) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " source " << c.source);
        char buffer[16];
        memset(buffer, 'X', sizeof buffer);
        CopyBounded(c.size, buffer, c.source);
        EXPECT_STREQ(c.expected, buffer);
        // strncpy semantics: zeros from the end of the text up to the
        // terminator, whichever of size - 1 or size - 2 that is (a UTF-8
        // cut leaves what follows its terminator); nothing past the buffer
        // is written.
        size_t zeros = isUtf8 ? strlen(c.expected) + 1 : c.size - 1;
        for (size_t i = strlen(c.expected); i < zeros; ++i)
            EXPECT_EQ('\0', buffer[i]) << "at " << i;
        for (size_t i = c.size; i < sizeof buffer; ++i)
            EXPECT_EQ('X', buffer[i]) << "past the end at " << i;
    }
}

TEST(FormatBounded, AlwaysTerminatesAndReportsCuts) {
    char buffer[8];
    memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(-1, FormatBounded(0, buffer, "%s", "abc"));
    EXPECT_EQ('X', buffer[0]) << "size 0 must leave the buffer alone";

    EXPECT_EQ(7, FormatBounded(8, buffer, "%d", 1234567));
    EXPECT_STREQ("1234567", buffer);

    EXPECT_EQ(-1, FormatBounded(8, buffer, "%s", "123456789"));
    EXPECT_STREQ("1234567", buffer);

    EXPECT_EQ(0, FormatBounded(8, buffer, "%s", ""));
    EXPECT_STREQ("", buffer);

    EXPECT_EQ(-1, FormatBounded(1, buffer, "%s", "a"));
    EXPECT_STREQ("", buffer);

    EXPECT_EQ(3, FormatBounded(8, buffer, "%2d.", 5));
    EXPECT_STREQ(" 5.", buffer);
}

TEST(StrEqual, IsByteExact) {
    EXPECT_TRUE(StrEqual("open", "open"));
    EXPECT_FALSE(StrEqual("open", "Open"));
    EXPECT_FALSE(StrEqual("open", "ope"));
    EXPECT_TRUE(StrEqual("", ""));
}

TEST(ZeroFill, ClearsExactlyTheBlock) {
    unsigned char block[6];
    memset(block, 0xAA, sizeof block);
    EXPECT_EQ(block + 4, ZeroFill(4, block));
    const unsigned char expected[6] = {0, 0, 0, 0, 0xAA, 0xAA};
    EXPECT_EQ(0, memcmp(expected, block, sizeof block));
}

} // namespace

namespace {

// The sources are UTF-8; the compiler must hand the program Shift-JIS.
// Each of these ends in the byte 0x5C, the case that breaks naive tools.
TEST(SourceCharset, LiteralsAreCodePage932) {
    const std::string literal = "表ソ能(&F)";
    EXPECT_EQ(std::string("\x95\x5C\x83\x5C\x94\x5C(&F)"), literal);
    WCHAR wide[16] = {};
    ASSERT_EQ(8, MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, literal.c_str(), -1, wide, 16));
    EXPECT_EQ(std::wstring(L"\u8868\u30BD\u80FD(&F)"), std::wstring(wide));
}

} // namespace
