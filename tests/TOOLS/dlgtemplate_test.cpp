#include "TOOLS/dlgtemplate.h"

#include "TOOLS/aboutbox.h"
#include "TOOLS/toolwind.h"
#include "harness/wine.h"
#include "text/heap.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <vector>

namespace {

typedef std::vector<uint16_t> Words;

const char16_t kEmpty[] = u"";
const char16_t kFace[] = u"ＭＳ Ｐゴシック";

// The about box's description.
DialogDesc AboutDesc() {
    DialogDesc desc = {};
    desc.style = 0x90C820C2;
    desc.count = 5;
    desc.cx = 38;
    desc.cy = 56;
    desc.fontName = kFace;
    desc.pointSize = 9;
    return desc;
}

const DialogItemDesc kAboutItems[] = {
    {0x0082, TemplateString(kEmpty), 0x50000003, 0, 7, 7, 20, 21, 100},
    {0x0082, TemplateString(kEmpty), 0x50000000, 0, 30, 7, 1, 8, 101},
    {0x0082, TemplateString(kEmpty), 0x50000000, 0, 30, 16, 1, 8, 102},
    {0x0082, TemplateString(kEmpty), 0x50000000, 0, 30, 25, 1, 8, 103},
    {0x0080, TemplateString(u"OK"), 0x50020001, 0, 45, 35, 45, 14, 1},
};

// The same template, word by word, written out by hand.
const Words kAboutWords = {
    // header at byte 0: style, exStyle, count, x, y, cx, cy
    0x20C2, 0x90C8, 0, 0, 5, 0, 0, 38, 56,
    // menu, class, title, point size, typeface
    0, 0, 0, 9, 0xFF2D, 0xFF33, 0x0020, 0xFF30, 0x30B4, 0x30B7, 0x30C3, 0x30AF, 0,
    // byte 44: style, exStyle, x, y, cx, cy, id, class, text, creation data, padding
    0x0003, 0x5000, 0, 0, 7, 7, 20, 21, 100, 0xFFFF, 0x0082, 0, 0, 0,
    // byte 72
    0x0000, 0x5000, 0, 0, 30, 7, 1, 8, 101, 0xFFFF, 0x0082, 0, 0, 0,
    // byte 100
    0x0000, 0x5000, 0, 0, 30, 16, 1, 8, 102, 0xFFFF, 0x0082, 0, 0, 0,
    // byte 128
    0x0000, 0x5000, 0, 0, 30, 25, 1, 8, 103, 0xFFFF, 0x0082, 0, 0, 0,
    // byte 156
    0x0001, 0x5002, 0, 0, 45, 35, 45, 14, 1, 0xFFFF, 0x0080, 'O', 'K', 0, 0, 0};

Words ReadWords(const void *block, size_t bytes) {
    const unsigned char *p = static_cast<const unsigned char *>(block);
    Words words(bytes / 2);
    for (size_t k = 0; k < words.size(); ++k)
        words[k] = static_cast<uint16_t>(p[2 * k] | p[2 * k + 1] << 8);
    return words;
}

// Fills a patterned buffer and returns the words of the size reported.
Words Written(const DialogDesc &desc, const DialogItemDesc *items) {
    size_t size = WriteDialogTemplate(&desc, nullptr, 0, items);
    std::vector<unsigned char> buffer(size, 0xEE);
    EXPECT_EQ(size, WriteDialogTemplate(&desc, buffer.data(), size, items));
    return ReadWords(buffer.data(), size);
}

TEST(DialogTemplate, AboutBoxIsByteExact) {
    DialogDesc desc = AboutDesc();
    EXPECT_EQ(188u, WriteDialogTemplate(&desc, nullptr, 0, kAboutItems));
    EXPECT_EQ(44u, WriteDialogHeader(nullptr, 0, 0, &desc) * 2);

    void *block = BuildDialogTemplate(&desc, kAboutItems);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(188u, HeapSize(GetProcessHeap(), 0, block)) << "one allocation of the exact size";
    Words words = ReadWords(block, 188);
    EXPECT_EQ(kAboutWords, words);
    const size_t offsets[] = {44, 72, 100, 128, 156};
    for (size_t k = 0; k < 5; ++k)
        EXPECT_EQ(kAboutItems[k].id, words[offsets[k] / 2 + 8]) << "control " << k;
    MemFree(block);

    // The description the about box itself gives gets the same bytes.
    block = BuildAboutTemplate();
    ASSERT_NE(nullptr, block);
    ASSERT_EQ(188u, HeapSize(GetProcessHeap(), 0, block));
    EXPECT_EQ(kAboutWords, ReadWords(block, 188));
    MemFree(block);
}

TEST(DialogTemplate, NameOrOrdinalRules) {
    const struct {
        const char *what;
        NameRule rule;
        NameOrOrdinal value;
        Words expected;
    } cases[] = {
        {"header field 0", kZeroIsEmpty, 0, {0}},
        {"item class 0", kZeroIsOrdinal, 0, {0xFFFF, 0}},
        {"ordinal 1", kZeroIsEmpty, 1, {0xFFFF, 1}},
        {"item class ordinal", kZeroIsOrdinal, 0x0082, {0xFFFF, 0x0082}},
        {"largest ordinal", kZeroIsEmpty, 0xFFFF, {0xFFFF, 0xFFFF}},
        {"string", kZeroIsOrdinal, TemplateString(u"Ab"), {'A', 'b', 0}},
        {"empty string", kZeroIsEmpty, TemplateString(kEmpty), {0}},
        {"double-byte text", kZeroIsEmpty, TemplateString(u"表示"), {0x8868, 0x793A, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected.size(), WriteNameOrOrdinal(nullptr, 0, 1, c.rule, c.value));
        unsigned char buffer[16];
        memset(buffer, 0xEE, sizeof buffer);
        EXPECT_EQ(c.expected.size(), WriteNameOrOrdinal(buffer, sizeof buffer, 1, c.rule, c.value));
        Words words = ReadWords(buffer, sizeof buffer);
        EXPECT_EQ(0xEEEE, words[0]) << "written before index 1";
        EXPECT_EQ(c.expected, Words(words.begin() + 1, words.begin() + 1 + c.expected.size()));
        EXPECT_EQ(0xEEEE, words[1 + c.expected.size()]) << "written past the field";
    }
}

TEST(DialogTemplate, FieldsTakeTheirOwnRules) {
    const DialogItemDesc zeros[] = {{0, 0, 0x1, 0x2, 1, 2, 3, 4, 5}};
    const DialogItemDesc named[] = {{TemplateString(u"Edit"), 7, 0, 0, -1, -2, 3, 4, 0xFFFF}};
    const struct {
        const char *what;
        DialogDesc desc;
        const DialogItemDesc *items;
        Words expected;
    } cases[] = {
        {"zeros",
         {0x80000000, 0x8, 1, 10, 20, 30, 40, 0, nullptr, 0, nullptr, 0},
         zeros,
         {// header: menu, class and title one zero word each
          0, 0x8000, 8, 0, 1, 10, 20, 30, 40, 0, 0, 0,
          // item class 0 is an ordinal, item text 0 is empty; padding
          1, 0x4000, 2, 0, 1, 2, 3, 4, 5, 0xFFFF, 0, 0, 0, 0}},
        {"ordinals and strings",
         {0, 0, 1, 0, 0, 0, 0, TemplateString(u"Dc"), u"T", 3, nullptr, 0},
         named,
         {// menu 3, class "Dc", title "T": 16 words, no padding
          0, 0, 0, 0, 1, 0, 0, 0, 0, 0xFFFF, 3, 'D', 'c', 0, 'T', 0,
          // class "Edit", text ordinal 7, no creation data, padding
          0, 0x4000, 0, 0, 0xFFFF, 0xFFFE, 3, 4, 0xFFFF, 'E', 'd', 'i', 't', 0, 0xFFFF, 7, 0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, Written(c.desc, c.items));
    }
}

TEST(DialogTemplate, FontFieldsOnlyWithAFontName) {
    const uint32_t kDsSetFont = 0x40;
    const struct {
        const char *what;
        uint32_t style;
        const char16_t *fontName;
        Words expected;
    } cases[] = {
        {"DS_SETFONT without a name", kDsSetFont, nullptr, {0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"a name without DS_SETFONT", 0, u"A", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 'A', 0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        DialogDesc desc = {};
        desc.style = c.style;
        desc.fontName = c.fontName;
        desc.pointSize = 9;
        EXPECT_EQ(c.expected, Written(desc, nullptr));
    }
}

TEST(DialogTemplate, NoControlsGiveTheHeaderAndItsPadding) {
    DialogDesc desc = {};
    EXPECT_EQ(24u, WriteDialogTemplate(&desc, nullptr, 0, nullptr)) << "12 words, no padding";
    desc.title = u"A";
    EXPECT_EQ(28u, WriteDialogTemplate(&desc, nullptr, 0, nullptr)) << "13 words and padding";
    Words words = Written(desc, nullptr);
    ASSERT_EQ(14u, words.size());
    EXPECT_EQ('A', words[11]);
    EXPECT_EQ(0, words[12]);
    EXPECT_EQ(0, words[13]);
}

TEST(DialogTemplate, FillingWritesEveryByteOfTheMeasuredSize) {
    const DialogItemDesc odd[] = {
        {TemplateString(u"Abc"), TemplateString(u"xy"), 0, 0, 0, 0, 1, 1, 1},
        {0x0080, 9, 0, 0, 0, 0, 1, 1, 2},
    };
    DialogDesc oddDesc = {0, 0, 2, 0, 0, 0, 0, 0, u"title", 0, u"face", 8};
    const struct {
        DialogDesc desc;
        const DialogItemDesc *items;
    } cases[] = {{AboutDesc(), kAboutItems}, {oddDesc, odd}};
    for (const auto &c : cases) {
        size_t size = WriteDialogTemplate(&c.desc, nullptr, 0, c.items);
        ASSERT_EQ(0u, size % 4);
        // A byte left unwritten would keep the pattern and differ between the two.
        std::vector<unsigned char> zeros(size + 8, 0x00), ones(size + 8, 0xFF);
        EXPECT_EQ(size, WriteDialogTemplate(&c.desc, zeros.data(), size, c.items));
        EXPECT_EQ(size, WriteDialogTemplate(&c.desc, ones.data(), size, c.items));
        EXPECT_EQ(0, memcmp(zeros.data(), ones.data(), size));
        for (size_t k = size; k < size + 8; ++k) {
            EXPECT_EQ(0x00, zeros[k]) << "past the end at " << k;
            EXPECT_EQ(0xFF, ones[k]) << "past the end at " << k;
        }
    }
}

TEST(DialogTemplate, SmallerCapacitiesStayInsideTheBuffer) {
    DialogDesc desc = AboutDesc();
    const size_t kGuard = 32;
    for (size_t capacity = 0; capacity <= 188; ++capacity) {
        SCOPED_TRACE(testing::Message() << "capacity " << capacity);
        std::vector<unsigned char> buffer(capacity + kGuard, 0xA5);
        size_t size = WriteDialogTemplate(&desc, buffer.data(), capacity, kAboutItems);
        EXPECT_LE(size, capacity);
        for (size_t k = capacity; k < buffer.size(); ++k)
            ASSERT_EQ(0xA5, buffer[k]) << "written past the capacity at " << k;
        // Where the capacity ends on a part's boundary, the parts before it
        // are whole and the rest is skipped.
        for (size_t boundary : {44, 72, 100, 128, 156, 188}) {
            if (capacity != boundary)
                continue;
            EXPECT_EQ(capacity, size);
            Words words = ReadWords(buffer.data(), capacity);
            EXPECT_EQ(Words(kAboutWords.begin(), kAboutWords.begin() + capacity / 2), words);
        }
    }

    // A skipped write counts nothing, and the smaller writes after it go on
    // from the same index: at 60 bytes the first item's fixed part is left
    // out, its class, text and creation data move up, and so do the second's.
    std::vector<unsigned char> buffer(60 + kGuard, 0xA5);
    EXPECT_EQ(60u, WriteDialogTemplate(&desc, buffer.data(), 60, kAboutItems));
    Words words = ReadWords(buffer.data(), 60);
    EXPECT_EQ(Words({0xFFFF, 0x0082, 0, 0, 0xFFFF, 0x0082, 0, 0}),
              Words(words.begin() + 22, words.end()));
}

TEST(DialogTemplate, LowerWritersRespectTheCapacity) {
    unsigned char buffer[8];
    memset(buffer, 0xA5, sizeof buffer);
    EXPECT_EQ(1u, WriteWord(buffer, 4, 1, 0x1234));
    EXPECT_EQ(0u, WriteWord(buffer, 4, 2, 0x1234)) << "would end at byte 6";
    EXPECT_EQ(0u, WriteWord(buffer, 5, 2, 0x1234)) << "an odd capacity holds no half word";
    EXPECT_EQ(0u, WriteWideString(buffer, 6, 1, u"ab")) << "needs bytes 2 to 7";
    EXPECT_EQ(1u, AlignToDword(buffer, 4, 1));
    EXPECT_EQ(0u, AlignToDword(buffer, 4, 2));
    EXPECT_EQ(1u, WriteOrdinal(buffer, 6, 2, 7)) << "only the 0xFFFF fits";
    EXPECT_EQ(0u, StoreDlgItemTemplate(buffer, sizeof buffer, 0, 0, 0, 0, 0, 0, 0, 0));
    Words words = ReadWords(buffer, sizeof buffer);
    EXPECT_EQ(Words({0xA5A5, 0, 0xFFFF, 0xA5A5}), words);

    EXPECT_EQ(3u, WriteWideString(nullptr, 0, 1000, u"ab")) << "measuring checks nothing";
    EXPECT_EQ(1u, WriteWideString(nullptr, 0, 0, nullptr)) << "null is the empty string";
    EXPECT_EQ(9u, StoreDlgTemplate(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0));
}

// The template as the dialog manager reads it.
INT_PTR CALLBACK QuietDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

TEST(DialogTemplate, AboutTemplateCreatesItsControls) {
    DialogDesc desc = AboutDesc();
    void *block = BuildDialogTemplate(&desc, kAboutItems);
    ASSERT_NE(nullptr, block);
    HWND dialog =
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(block),
                                   nullptr, QuietDialogProc, 0);
    MemFree(block);
    ASSERT_NE(nullptr, dialog);

    RECT size = {0, 0, 38, 56};
    MapDialogRect(dialog, &size);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(size.right, client.right);
    EXPECT_EQ(size.bottom, client.bottom);

    LOGFONTA font;
    ASSERT_TRUE(GetWindowLogFont(dialog, &font));
    EXPECT_STREQ("ＭＳ Ｐゴシック", font.lfFaceName);
    HDC dc = GetDC(dialog);
    EXPECT_EQ(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), font.lfHeight);
    ReleaseDC(dialog, dc);

    const struct {
        int id;
        const char *cls;
        const char *text;
    } expected[] = {{100, "Static", ""},
                    {101, "Static", ""},
                    {102, "Static", ""},
                    {103, "Static", ""},
                    {1, "Button", "OK"}};
    HWND child = GetWindow(dialog, GW_CHILD);
    for (size_t k = 0; k < 5; ++k, child = GetWindow(child, GW_HWNDNEXT)) {
        SCOPED_TRACE(testing::Message() << "control " << expected[k].id);
        ASSERT_NE(nullptr, child);
        const DialogItemDesc &item = kAboutItems[k];
        EXPECT_EQ(expected[k].id, GetDlgCtrlID(child));
        char text[64];
        GetClassNameA(child, text, sizeof text);
        EXPECT_STRCASEEQ(expected[k].cls, text);
        GetWindowTextA(child, text, sizeof text);
        EXPECT_STREQ(expected[k].text, text);
        EXPECT_EQ(item.style, static_cast<uint32_t>(GetWindowLongA(child, GWL_STYLE)));

        ExpectAtDialogUnits(dialog, child, item.x, item.y, item.cx, item.cy);
    }
    EXPECT_EQ(nullptr, child) << "more than five controls";
    DestroyWindow(dialog);
}

} // namespace
