#include "assoc/classes_root.h"
#include "assoc/registry.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include <string.h>

namespace {

const char kScratch[] = "tessaro.test.registry";

class RegistryPrimitives : public testing::Test {
  protected:
    SavedKeys saved_{kScratch};
};

std::string Bytes(const char *text, size_t n) {
    return std::string(text, n);
}

struct ReadCase {
    const char *what;
    DWORD type;
    std::string stored;
    DWORD size;
    bool ok;
    const char *text;
};

TEST_F(RegistryPrimitives, DefaultValueReadsAlwaysLeaveATerminatedText) {
    const DWORD dword = 7;
    const ReadCase cases[] = {
        {"terminated", REG_SZ, Bytes("abc", 4), 8, true, "abc"},
        {"unterminated, room left", REG_SZ, Bytes("abc", 3), 8, true, "abc"},
        {"unterminated, one byte short", REG_SZ, Bytes("abcdefg", 7), 8, true, "abcdefg"},
        {"unterminated, fills the buffer", REG_SZ, Bytes("abcdefgh", 8), 8, true, "abcdefg"},
        {"terminated, fills the buffer", REG_SZ, Bytes("abcdefg", 8), 8, true, "abcdefg"},
        {"one byte too long", REG_SZ, Bytes("abcdefgh", 9), 8, false, ""},
        {"far too long", REG_SZ, std::string(600, 'a') + '\0', 8, false, ""},
        {"no data", REG_SZ, "", 8, true, ""},
        {"empty text", REG_SZ, Bytes("", 1), 8, true, ""},
        {"expandable, not expanded", REG_EXPAND_SZ, Bytes("%TEMP%", 7), 8, true, "%TEMP%"},
        {"double-byte, fits", REG_SZ, Bytes("表示", 5), 5, true, "表示"},
        {"double-byte, one short", REG_SZ, Bytes("表示", 5), 4, false, ""},
        {"number", REG_DWORD, Bytes(reinterpret_cast<const char *>(&dword), 4), 8, false, ""},
        {"binary that looks like text", REG_BINARY, Bytes("abc", 4), 8, false, ""},
        {"string list", REG_MULTI_SZ, Bytes("a\0b\0", 5), 8, false, ""},
        {"binary, too long", REG_BINARY, std::string(20, 'b'), 8, false, ""},
    };
    // Where UTF-8 is the ANSI code page: あ is E3 81 82.
    const ReadCase utf8[] = {
        {"UTF-8, unterminated, fills the buffer", REG_SZ, Bytes("a\xE3\x81\x82", 4), 4, true, "a"}};
    for (const ReadCase &c : GetACP() == CP_UTF8 ? std::vector<ReadCase>(utf8, std::end(utf8))
                                                 : std::vector<ReadCase>(cases, std::end(cases))) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(SetRawDefault(kScratch, c.type, c.stored));
        HKEY key;
        ASSERT_TRUE(OpenRegKey(HKEY_CLASSES_ROOT, kScratch, &key));
        DWORD stored = 0;
        RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &stored);
        ASSERT_EQ(c.stored.size(), stored) << "the value is not stored as given";
        char buffer[32];
        memset(buffer, 'X', sizeof buffer);
        EXPECT_EQ(c.ok, ReadRegDefaultValue(key, buffer, c.size));
        CloseRegKey(key);
        EXPECT_STREQ(c.text, buffer);
        for (size_t i = c.size; i < sizeof buffer; ++i)
            ASSERT_EQ('X', buffer[i]) << "written past the buffer at " << i;
    }
}

TEST_F(RegistryPrimitives, MissingDefaultValueLeavesTheBufferAsItWas) {
    ASSERT_TRUE(MakeKey(kScratch));
    HKEY key;
    ASSERT_TRUE(OpenRegKey(HKEY_CLASSES_ROOT, kScratch, &key));
    char buffer[16] = "kept";
    EXPECT_FALSE(ReadRegDefaultValue(key, buffer, 8));
    CloseRegKey(key);
    EXPECT_STREQ("kept", buffer);
}
} // namespace
