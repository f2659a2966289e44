// Reads the resources of the built tessaro.exe back, byte by byte where the
// resource compiler has a say (template words, class ordinals, the font's
// character set), and through the platform where the program relies on it
// (the dialog created from the template, the menu, the icons, the version
// queries of the about box).
#include "harness/wine.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// Classes as the dialog manager's ordinals; the list view has only a name.
enum : WORD { kNamed = 0, kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082 };
const char kListView[] = "SysListView32";

struct ExpectedControl {
    int id;
    WORD classOrdinal; // kNamed: kListView
    const char *text;  // CP932
    DWORD style;
    short x, y, cx, cy;
};

// IDs as numbers: the header's names reach the template through the script,
// so a wrong name shows up here as a wrong ID in its place.
const ExpectedControl kDialog120[] = {
    {1100, kButton, "*.lnk ファイルに関連づける", 0x50010003, 7, 9, 93, 10},
    {1106, kButton, "<< 詳細", 0x50010000, 104, 7, 28, 14},
    {1101, kButton, "", 0x50000007, 7, 25, 125, 144},
    {1122, kStatic, "登録先", 0x50020002, 23, 41, 22, 8},
    {1102, kEdit, "", 0x50800880, 49, 37, 73, 14},
    {1123, kStatic, "メニュー", 0x50020002, 20, 59, 25, 8},
    {1103, kEdit, "", 0x50810080, 49, 54, 73, 14},
    {1124, kStatic, "ｺﾏﾝﾄﾞﾗｲﾝ", 0x50020002, 15, 77, 30, 8},
    {1104, kEdit, "", 0x50810080, 49, 73, 73, 14},
    {1107, kButton, "リンク先を選択する", 0x50010003, 49, 92, 73, 10},
    {1125, kStatic, "動詞", 0x50020002, 30, 111, 15, 8},
    {1105, kNamed, "", 0x5081080D, 49, 107, 73, 54},
    {1200, kButton, "*.pif ファイルに関連づける", 0x50010003, 7, 179, 92, 10},
    {1206, kButton, "<< 詳細", 0x50010000, 104, 177, 28, 14},
    {1201, kButton, "", 0x50000007, 7, 193, 125, 144},
    {1222, kStatic, "登録先", 0x50020002, 23, 209, 22, 8},
    {1202, kEdit, "", 0x50800880, 49, 205, 73, 14},
    {1223, kStatic, "メニュー", 0x50020002, 20, 227, 25, 8},
    {1203, kEdit, "", 0x50810080, 49, 222, 73, 14},
    {1224, kStatic, "ｺﾏﾝﾄﾞﾗｲﾝ", 0x50020002, 15, 245, 30, 8},
    {1204, kEdit, "", 0x50810080, 49, 241, 73, 14},
    {1207, kButton, "リンク先を選択する", 0x50010003, 49, 260, 73, 10},
    {1225, kStatic, "動詞", 0x50020002, 30, 279, 15, 8},
    {1205, kNamed, "", 0x5081080D, 49, 275, 73, 54},
    {1, kButton, "OK", 0x50010001, 32, 345, 50, 14},
    {2, kButton, "キャンセル", 0x50010000, 82, 345, 50, 14},
};

const ExpectedControl kDialog119[] = {
    {1, kButton, "OK", 0x50010001, 7, 55, 50, 14},
    {2, kButton, "キャンセル", 0x50010000, 58, 55, 50, 14},
    {1100, kButton, "*.lnk ファイルに関連づける", 0x50010003, 7, 26, 93, 10},
    {1200, kButton, "*.pif ファイルに関連づける", 0x50010003, 7, 40, 92, 10},
    {1000, kEdit, "", 0x50810080, 34, 7, 74, 14},
    {-1, kStatic, "ﾒﾆｭｰ名", 0x50020000, 7, 10, 23, 8},
};

const char kCaption[] = "tessaro の関連づけ";
const char kFontFace[] = "ＭＳ Ｐゴシック";

std::wstring Widen932(const char *text) {
    int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (n <= 0)
        return L"<not CP932>";
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text, -1, &wide[0], n);
    wide.resize(n - 1);
    return wide;
}

std::string Hex(const std::string &bytes) {
    std::string out;
    char two[4];
    for (unsigned char c : bytes) {
        snprintf(two, sizeof two, "%02X ", c);
        out += two;
    }
    return out;
}

std::string HexWord(DWORD word) {
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(word));
    return text;
}

std::string HexW(const std::wstring &text) {
    std::string out;
    char four[8];
    for (wchar_t c : text) {
        snprintf(four, sizeof four, "%04X ", static_cast<unsigned>(c));
        out += four;
    }
    return out;
}

struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring name;
};

// A bounds-checked cursor over a resource; reading past the end sets
// failed() and yields zeros, so a short resource fails the comparisons.
class Cursor {
  public:
    Cursor(const BYTE *data, size_t size) : data_(data), size_(size) {}
    bool failed() const { return failed_; }
    size_t offset() const { return pos_; }
    void Seek(size_t pos) { pos_ = pos; }

    BYTE Byte() {
        if (pos_ + 1 > size_) {
            failed_ = true;
            return 0;
        }
        return data_[pos_++];
    }
    WORD Word() {
        BYTE lo = Byte();
        return static_cast<WORD>(lo | Byte() << 8);
    }
    DWORD Dword() {
        WORD lo = Word();
        return lo | static_cast<DWORD>(Word()) << 16;
    }
    short Short() { return static_cast<short>(Word()); }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0 && !failed_; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    NameOrOrdinal NameOrOrd() {
        NameOrOrdinal n;
        size_t start = pos_;
        if (Word() == 0xFFFF) {
            n.isOrdinal = true;
            n.ordinal = Word();
        } else {
            pos_ = start;
            n.name = String();
        }
        return n;
    }
    // Resources begin DWORD-aligned, so offsets from the start will do.
    void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }

  private:
    const BYTE *data_;
    size_t size_;
    size_t pos_ = 0;
    bool failed_ = false;
};

struct DialogItem {
    DWORD helpId = 0, exStyle = 0, style = 0, id = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal cls, text;
    WORD extraBytes = 0;
};

struct DialogTemplate {
    bool extended = false;
    DWORD helpId = 0, exStyle = 0, style = 0;
    WORD count = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu, cls;
    std::wstring caption;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::wstring face;
    std::vector<DialogItem> items;
};

// Both layouts: DLGTEMPLATEEX / DLGITEMTEMPLATEEX (signature 0xFFFF) and the
// classic DLGTEMPLATE / DLGITEMTEMPLATE.
bool ParseDialog(const BYTE *data, size_t size, DialogTemplate *out) {
    Cursor c(data, size);
    DialogTemplate &d = *out;
    d.extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    if (d.extended) {
        c.Dword(); // version and signature
        d.helpId = c.Dword();
        d.exStyle = c.Dword();
        d.style = c.Dword();
    } else {
        d.style = c.Dword();
        d.exStyle = c.Dword();
    }
    d.count = c.Word();
    d.x = c.Short();
    d.y = c.Short();
    d.cx = c.Short();
    d.cy = c.Short();
    d.menu = c.NameOrOrd();
    d.cls = c.NameOrOrd();
    d.caption = c.String();
    if (d.style & DS_SETFONT) {
        d.pointSize = c.Word();
        if (d.extended) {
            d.weight = c.Word();
            d.italic = c.Byte();
            d.charset = c.Byte();
        }
        d.face = c.String();
    }
    for (WORD i = 0; i < d.count && !c.failed(); ++i) {
        c.AlignDword();
        DialogItem item;
        if (d.extended) {
            item.helpId = c.Dword();
            item.exStyle = c.Dword();
            item.style = c.Dword();
        } else {
            item.style = c.Dword();
            item.exStyle = c.Dword();
        }
        item.x = c.Short();
        item.y = c.Short();
        item.cx = c.Short();
        item.cy = c.Short();
        item.id = d.extended ? c.Dword() : c.Word();
        item.cls = c.NameOrOrd();
        item.text = c.NameOrOrd();
        item.extraBytes = c.Word();
        c.Seek(c.offset() + item.extraBytes);
        d.items.push_back(item);
    }
    return !c.failed();
}

testing::AssertionResult ItemMatches(const DialogItem &item, const ExpectedControl &e,
                                     bool extended) {
    DWORD id = extended ? static_cast<DWORD>(e.id) : static_cast<WORD>(e.id);
    if (item.id != id)
        return testing::AssertionFailure() << "id " << item.id << ", expected " << id;
    if (e.classOrdinal != kNamed) {
        if (!item.cls.isOrdinal || item.cls.ordinal != e.classOrdinal)
            return testing::AssertionFailure()
                   << "class " << (item.cls.isOrdinal ? "ordinal " : "name ")
                   << (item.cls.isOrdinal ? item.cls.ordinal : 0) << HexW(item.cls.name)
                   << ", expected ordinal " << e.classOrdinal;
    } else {
        // windres stores every class name in upper case, as it does
        // resource names; the platform looks classes up regardless of case.
        std::wstring expected = Widen932(kListView);
        if (item.cls.isOrdinal ||
            CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, item.cls.name.c_str(), -1,
                           expected.c_str(), -1) != CSTR_EQUAL)
            return testing::AssertionFailure()
                   << "class " << HexW(item.cls.name) << ", expected " << kListView;
    }
    std::wstring text = Widen932(e.text);
    if (item.text.isOrdinal || item.text.name != text)
        return testing::AssertionFailure() << "text " << HexW(item.text.name) << ", expected "
                                           << HexW(text) << "(" << e.text << ")";
    if (item.style != e.style)
        return testing::AssertionFailure()
               << "style " << HexWord(item.style) << ", expected " << HexWord(e.style);
    if (item.exStyle != 0 || item.helpId != 0 || item.extraBytes != 0)
        return testing::AssertionFailure()
               << "exstyle " << HexWord(item.exStyle) << " help " << item.helpId << " extra "
               << item.extraBytes << ", expected all 0";
    if (item.x != e.x || item.y != e.y || item.cx != e.cx || item.cy != e.cy)
        return testing::AssertionFailure()
               << "rectangle " << item.x << "," << item.y << " " << item.cx << "x" << item.cy
               << ", expected " << e.x << "," << e.y << " " << e.cx << "x" << e.cy;
    return testing::AssertionSuccess();
}

void ExpectItems(const DialogTemplate &d, const ExpectedControl *expected, size_t count) {
    ASSERT_EQ(count, d.count);
    ASSERT_EQ(count, d.items.size());
    for (size_t i = 0; i < count; ++i)
        EXPECT_TRUE(ItemMatches(d.items[i], expected[i], d.extended))
            << "control #" << i << " (ID " << expected[i].id << ")";
}

struct Bytes {
    const BYTE *data = nullptr;
    DWORD size = 0;
};

class ExeResources : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryExA(TESSARO_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(nullptr, module_) << TESSARO_EXE << " " << GetLastError(); }

    // Every resource of tessaro is Japanese; a lookup in another language
    // fails, so the LANGUAGE statement is checked along the way.
    static Bytes Find(LPCSTR type, int id) {
        Bytes b;
        HRSRC info = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), kJapanese);
        HGLOBAL loaded = info ? LoadResource(module_, info) : nullptr;
        if (loaded) {
            b.data = static_cast<const BYTE *>(LockResource(loaded));
            b.size = SizeofResource(module_, info);
        }
        return b;
    }

    static HMODULE module_;
};
HMODULE ExeResources::module_ = nullptr;

// Every resource the executable carries, as "type:name/language": nothing
// left over, nothing in another language (a lookup by language would fall
// back to a neutral one and hide it).
BOOL CALLBACK AddLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR out) {
    char entry[64] = "named resource";
    if (IS_INTRESOURCE(type) && IS_INTRESOURCE(name))
        snprintf(entry, sizeof entry, "%u:%u/%04x", LOWORD(type), LOWORD(name), language);
    reinterpret_cast<std::vector<std::string> *>(out)->push_back(entry);
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR out) {
    EnumResourceLanguagesA(module, type, name, AddLanguage, out);
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR out) {
    EnumResourceNamesA(module, type, AddName, out);
    return TRUE;
}

std::vector<std::string> ResourceInventory(HMODULE module) {
    std::vector<std::string> found;
    EnumResourceTypesA(module, AddType, reinterpret_cast<LONG_PTR>(&found));
    std::sort(found.begin(), found.end());
    return found;
}

TEST_F(ExeResources, CarriesExactlyItsJapaneseResources) {
    std::vector<std::string> expected = {
        "3:1/0411",   "3:2/0411",   "3:3/0411",   "3:4/0411", // the icon group's four images
        "5:119/0411", "5:120/0411", "4:122/0411", "14:121/0411", "16:1/0411", "24:1/0411",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, ResourceInventory(module_));
}

TEST_F(ExeResources, AssociationDialogTemplateMatchesTheTable) {
    Bytes res = Find(RT_DIALOG, 120);
    ASSERT_NE(nullptr, res.data);
    DialogTemplate d;
    ASSERT_TRUE(ParseDialog(res.data, res.size, &d)) << "template ends early";
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(0x84CC0040u, d.style) << HexWord(d.style);
    EXPECT_EQ(0u, d.exStyle);
    EXPECT_EQ(0u, d.helpId);
    EXPECT_EQ(0, d.x);
    EXPECT_EQ(0, d.y);
    EXPECT_EQ(139, d.cx);
    EXPECT_EQ(364, d.cy);
    EXPECT_TRUE(!d.menu.isOrdinal && d.menu.name.empty()) << "no menu";
    EXPECT_TRUE(!d.cls.isOrdinal && d.cls.name.empty()) << "default class";
    EXPECT_EQ(Widen932(kCaption), d.caption) << HexW(d.caption);
    EXPECT_EQ(9, d.pointSize);
    EXPECT_EQ(0, d.weight);
    EXPECT_EQ(0, d.italic);
    EXPECT_EQ(0, d.charset) << "ANSI_CHARSET, not windres's default 1";
    EXPECT_EQ(Widen932(kFontFace), d.face) << HexW(d.face);
    ExpectItems(d, kDialog120, sizeof kDialog120 / sizeof kDialog120[0]);
}

TEST_F(ExeResources, SmallDialogTemplateIsTheClassicForm) {
    Bytes res = Find(RT_DIALOG, 119);
    ASSERT_NE(nullptr, res.data);
    DialogTemplate d;
    ASSERT_TRUE(ParseDialog(res.data, res.size, &d)) << "template ends early";
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(0x80C800C0u, d.style) << HexWord(d.style);
    EXPECT_EQ(0u, d.exStyle);
    EXPECT_EQ(115, d.cx);
    EXPECT_EQ(76, d.cy);
    EXPECT_TRUE(!d.menu.isOrdinal && d.menu.name.empty()) << "no menu";
    EXPECT_TRUE(!d.cls.isOrdinal && d.cls.name.empty()) << "default class";
    EXPECT_EQ(Widen932(kCaption), d.caption);
    EXPECT_EQ(9, d.pointSize);
    EXPECT_EQ(Widen932(kFontFace), d.face);
    ExpectItems(d, kDialog119, sizeof kDialog119 / sizeof kDialog119[0]);
}

TEST_F(ExeResources, MenuHoldsTheThreeSystemCommands) {
    HMENU menu = LoadMenuA(module_, MAKEINTRESOURCEA(122));
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(1, GetMenuItemCount(menu));
    char text[128];
    ASSERT_GT(GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION), 0);
    EXPECT_STREQ("システムメニュー", text) << Hex(text);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);

    struct Item {
        UINT id;
        const char *text;
    };
    const Item items[] = {
        {40006, "About(&A)"},
        {40005, "設定を初期値に戻す(&D)"},
        {40007, "それでも *.pif ファイルに関連付ける"},
    };
    ASSERT_EQ(3, GetMenuItemCount(popup));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(testing::Message() << "item " << i);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_TYPE | MIIM_STATE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &info));
        EXPECT_EQ(items[i].id, info.wID);
        EXPECT_EQ(static_cast<UINT>(MFT_STRING), info.fType);
        EXPECT_EQ(0u, info.fState) << "neither checked nor greyed";
        EXPECT_EQ(nullptr, info.hSubMenu);
        EXPECT_STREQ(items[i].text, text) << Hex(text);
    }
    DestroyMenu(menu);
}

// Share of the mask's transparent pixels and the number of colours used
// by the opaque ones: an icon left blank or drawn in one colour fails.
struct IconStats {
    int transparent = 0, opaque = 0, colours = 0;
};

IconStats CountIconPixels(const BYTE *image, int size) {
    const BYTE *colour = image + sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD);
    int colourStride = (size * 4 + 31) / 32 * 4;
    const BYTE *mask = colour + colourStride * size;
    int maskStride = (size + 31) / 32 * 4;
    IconStats stats;
    bool used[16] = {};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            bool clear = mask[y * maskStride + x / 8] & (0x80 >> (x % 8));
            BYTE pair = colour[y * colourStride + x / 2];
            int index = x % 2 ? pair & 0x0F : pair >> 4;
            if (clear) {
                ++stats.transparent;
            } else {
                ++stats.opaque;
                used[index] = true;
            }
        }
    }
    for (bool u : used)
        stats.colours += u;
    return stats;
}

// 96 DPI first, then the sizes of 150 per cent.
TEST_F(ExeResources, IconGroupHoldsSixteenColourImagesForEachScale) {
    Bytes group = Find(RT_GROUP_ICON, 121);
    ASSERT_NE(nullptr, group.data);
    Cursor c(group.data, group.size);
    EXPECT_EQ(0, c.Word());
    EXPECT_EQ(1, c.Word()) << "icons, not cursors";
    WORD count = c.Word();
    const int sizes[] = {32, 16, 48, 24};
    ASSERT_EQ(4, count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(testing::Message() << sizes[i] << " x " << sizes[i]);
        BYTE width = c.Byte(), height = c.Byte(), colours = c.Byte();
        c.Byte();
        WORD planes = c.Word(), bits = c.Word();
        DWORD bytes = c.Dword();
        WORD iconId = c.Word();
        ASSERT_FALSE(c.failed());
        EXPECT_EQ(sizes[i], width);
        EXPECT_EQ(sizes[i], height);
        EXPECT_EQ(16, colours);
        EXPECT_EQ(1, planes);
        EXPECT_EQ(4, bits);

        Bytes image = Find(RT_ICON, iconId);
        ASSERT_NE(nullptr, image.data);
        EXPECT_EQ(bytes, image.size);
        const int size = sizes[i];
        const DWORD expectedSize = sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD) +
                                   (size * 4 + 31) / 32 * 4 * size + (size + 31) / 32 * 4 * size;
        ASSERT_EQ(expectedSize, image.size);
        BITMAPINFOHEADER header;
        memcpy(&header, image.data, sizeof header);
        EXPECT_EQ(sizeof header, header.biSize);
        EXPECT_EQ(size, header.biWidth);
        EXPECT_EQ(2 * size, header.biHeight) << "colour rows and mask rows";
        EXPECT_EQ(4, header.biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);

        IconStats stats = CountIconPixels(image.data, size);
        EXPECT_GT(stats.transparent, 0);
        EXPECT_GT(stats.opaque, size * size / 2);
        EXPECT_GE(stats.colours, 4);

        HICON icon = CreateIconFromResourceEx(const_cast<BYTE *>(image.data), image.size, TRUE,
                                              0x00030000, size, size, 0);
        ASSERT_NE(nullptr, icon);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bm;
        GetObjectA(info.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(size, bm.bmWidth);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    // The shell shows the first icon group for the executable: there is
    // exactly one.
    EXPECT_EQ(1u, ExtractIconExA(TESSARO_EXE, -1, nullptr, nullptr, 0));
}

// The manifest: the five systems and the trust section in the form XP
// reads, no Common Controls 6; run as invoker and DPI-aware as Wine reads it.
TEST_F(ExeResources, ManifestAsksForNoElevationAndDeclaresDpiAwareness) {
    Bytes res = Find(RT_MANIFEST, 1);
    std::string text(reinterpret_cast<const char *>(res.data), res.size);
    for (const char *part :
         {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
          "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
          "<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">"})
        EXPECT_NE(std::string::npos, text.find(part)) << part;
    EXPECT_EQ(std::string::npos, text.find("Common-Controls"));
    ACTCTXA context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = TESSARO_EXE;
    context.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE actctx = CreateActCtxA(&context);
    ASSERT_NE(INVALID_HANDLE_VALUE, actctx) << GetLastError();
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
    WCHAR value[8] = L"";
    QueryActCtxW(0, actctx, nullptr, RunlevelInformationInActivationContext, &level, sizeof level,
                 nullptr);
    QueryActCtxSettingsW(0, actctx, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                         L"dpiAware", value, 8, nullptr);
    EXPECT_EQ(ACTCTX_RUN_LEVEL_AS_INVOKER, level.RunLevel);
    EXPECT_STREQ(L"true", value);
    ReleaseActCtx(actctx);
}

// The version block as the about box reads it: through version.dll and the
// translation it names.
class VersionInfo : public testing::Test {
  protected:
    void SetUp() override {
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(TESSARO_EXE, &handle);
        ASSERT_GT(size, 0u);
        block_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(TESSARO_EXE, 0, size, block_.data()));
    }
    bool Query(const char *path, void **value, UINT *length) {
        return VerQueryValueA(block_.data(), path, value, length);
    }
    std::vector<BYTE> block_;
};

TEST_F(VersionInfo, FixedPartSaysApplicationZeroZeroZeroNine) {
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(Query("\\", reinterpret_cast<void **>(&fixed), &length));
    ASSERT_EQ(sizeof *fixed, length);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(0x00000000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000009u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00000000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000009u, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileFlags);
}

TEST_F(VersionInfo, OneJapaneseUnicodeTableWithoutProductName) {
    DWORD *translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        Query("\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translation), &length));
    ASSERT_EQ(4u, length) << "exactly one language and code page pair";
    EXPECT_EQ(0x04B00411u, *translation) << HexWord(*translation);

    struct Value {
        const char *name;
        const char *text; // nullptr: must be absent
    };
    const Value values[] = {
        {"FileDescription", "tessaro"},
        {"FileVersion", "0.09"},
        {"ProductVersion", "0.09"},
        {"ProductName", nullptr},
        // Free text, but in Japanese: it proves the script's code page
        // reaches the included version script.
        {"Comments", "ショートカットのリンク先のフォルダーを開きます"},
    };
    for (const Value &v : values) {
        SCOPED_TRACE(v.name);
        // The about box's own query: the table named by the translation.
        char path[128];
        snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", LOWORD(*translation),
                 HIWORD(*translation), v.name);
        char *text = nullptr;
        bool found = Query(path, reinterpret_cast<void **>(&text), &length);
        if (!v.text) {
            EXPECT_FALSE(found) << text;
            continue;
        }
        ASSERT_TRUE(found);
        EXPECT_STREQ(v.text, text) << Hex(text);
    }
}

// The raw block: one StringFileInfo holding one table, "041104b0".
TEST_F(ExeResources, VersionResourceHasOneStringTable) {
    Bytes res = Find(RT_VERSION, 1);
    ASSERT_NE(nullptr, res.data);
    // Each node: length, value length, type, key, padding, value, padding,
    // then its children up to its length.
    struct Node {
        size_t start, end, children;
        std::wstring key;
    };
    Cursor c(res.data, res.size);
    auto readNode = [&c](size_t start) {
        c.Seek(start);
        Node n;
        n.start = start;
        n.end = start + c.Word();
        WORD valueLength = c.Word();
        WORD type = c.Word();
        n.key = c.String();
        c.AlignDword();
        c.Seek(c.offset() + (type == 1 ? 2 * valueLength : valueLength));
        c.AlignDword();
        n.children = c.offset();
        return n;
    };
    Node root = readNode(0);
    ASSERT_EQ(L"VS_VERSION_INFO", root.key);
    std::vector<std::wstring> tables;
    for (size_t at = root.children; at < root.end && !c.failed();) {
        Node child = readNode(at);
        if (child.key == L"StringFileInfo") {
            for (size_t t = child.children; t < child.end && !c.failed();) {
                Node table = readNode(t);
                tables.push_back(table.key);
                t = (table.end + 3) & ~static_cast<size_t>(3);
            }
        }
        at = (child.end + 3) & ~static_cast<size_t>(3);
    }
    ASSERT_FALSE(c.failed());
    ASSERT_EQ(1u, tables.size());
    EXPECT_EQ(L"041104b0", tables[0]);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

const char *RuntimeClass(WORD ordinal) {
    switch (ordinal) {
    case kButton:
        return "Button";
    case kEdit:
        return "Edit";
    case kStatic:
        return "Static";
    }
    return kListView;
}

// The template as the dialog manager builds it, from the executable's own
// module handle, the way the program opens it (never shown here).
TEST_F(ExeResources, AssociationDialogCreatesItsControls) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    HWND dialog = CreateDialogParamA(module_, MAKEINTRESOURCEA(120), nullptr, QuietDialogProc, 0);
    ASSERT_NE(nullptr, dialog) << GetLastError();

    char text[256];
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(kCaption, text) << Hex(text);
    RECT client;
    GetClientRect(dialog, &client);
    RECT full = {0, 0, 139, 364};
    MapDialogRect(dialog, &full);
    EXPECT_EQ(full.right, client.right);
    EXPECT_EQ(full.bottom, client.bottom);
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(kFontFace, font.lfFaceName) << Hex(font.lfFaceName);

    // Z order is creation order, which is also the tab order.
    size_t i = 0;
    const size_t count = sizeof kDialog120 / sizeof kDialog120[0];
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ASSERT_LT(i, count) << "more than " << count << " children";
        const ExpectedControl &e = kDialog120[i++];
        SCOPED_TRACE(testing::Message() << "control #" << i - 1 << " (ID " << e.id << ")");
        EXPECT_EQ(e.id, GetDlgCtrlID(child));
        char cls[64];
        GetClassNameA(child, cls, sizeof cls);
        EXPECT_STREQ(RuntimeClass(e.classOrdinal), cls);
        if (e.classOrdinal != kNamed) { // a list view has no window text
            GetDlgItemTextA(dialog, e.id, text, sizeof text);
            EXPECT_STREQ(e.text, text) << Hex(text);
        }
        ExpectAtDialogUnits(dialog, child, e.x, e.y, e.cx, e.cy);
    }
    EXPECT_EQ(count, i);

    // The bytes themselves, independent of how the compiler encodes the
    // table's literals.
    GetDlgItemTextA(dialog, 1106, text, sizeof text);
    EXPECT_EQ("3C 3C 20 8F DA 8D D7 ", Hex(text));
    GetDlgItemTextA(dialog, 1124, text, sizeof text);
    EXPECT_EQ("BA CF DD C4 DE D7 B2 DD ", Hex(text));
    DestroyWindow(dialog);
}

} // namespace
