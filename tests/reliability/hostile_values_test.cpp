// Registry values of every type and size under every key tessaro reads,
// shown by the real association dialog (created from its resource in this
// process, and once from tessaro.exe): each text it shows is terminated and
// no longer than its buffer, and OK writes exactly the types that changed.
#include "dialog/dialog_fixture.h"
#include "harness/wine.h"
#include "text/capacity.h"

#include <commctrl.h>
#include <algorithm>
#include <functional>
#include <optional>

namespace {

const char kLnkVerb[] = "lnkfile\\shell\\tessaro";
const char kLnkCommand[] = "lnkfile\\shell\\tessaro\\command";
const char kInstalledMenu[] = "探す(&S)";
const char kInstalledCommand[] = "\"C:\\t\\tessaro.exe\" /verb:\"open\" \"%1\"";
const char kDefaultMenu[] = "リンク先を探す(&F)";
// 表 ends in 0x5C; across a cut, its first byte would be left alone.
const char kHyou[] = "\x95\\";
const size_t kLongestKeyName = 255;
const char kAcrossTheCut[] = "double-byte character across the cut";

struct Value {
    std::string what;
    DWORD type;
    std::string bytes;
    bool wide = false; // stored through RegSetValueExW, bytes as given
};

std::string Pad(const std::string &text, size_t size) {
    std::string out = text;
    while (out.size() < size)
        out += static_cast<char>('a' + out.size() % 26);
    return out.substr(0, size);
}

std::string Bytes(const char *text, size_t n) {
    return std::string(text, n);
}

// Values that put `text` in front of a reader of `capacity` bytes in every
// shape a registry value can take.
std::vector<Value> ValuesOf(const std::string &text, size_t capacity) {
    const std::string nul(1, '\0');
    const std::string mib(1 << 20, 'm');
    const DWORD number = 0x4C4E4B;
    const unsigned long long wide = 0x0067006E0069006BULL;
    return {
        {"terminated", REG_SZ, text + nul},
        {"unterminated", REG_SZ, text},
        {"text, terminator, more", REG_SZ, text + nul + "junk" + nul},
        {"no data", REG_SZ, ""},
        {"line breaks and controls", REG_SZ, "\r\n" + text + "\r\n\t\x01\x1B" + nul},
        {"only the terminator", REG_SZ, nul},
        {"expandable", REG_EXPAND_SZ, text + nul},
        {"fills the buffer with its terminator", REG_SZ, Pad(text, capacity - 1) + nul},
        {"fills the buffer, unterminated", REG_SZ, Pad(text, capacity)},
        {"one byte too long", REG_SZ, Pad(text, capacity) + nul},
        {kAcrossTheCut, REG_SZ, Pad(text, capacity - 2) + kHyou},
        {"double-byte character past the end", REG_SZ, Pad(text, capacity - 1) + kHyou},
        {"a mebibyte", REG_SZ, mib + nul},
        {"string list", REG_MULTI_SZ, text + nul + text + nul + nul},
        {"binary holding the text", REG_BINARY, text + nul},
        {"binary, a mebibyte", REG_BINARY, mib},
        {"number", REG_DWORD, Bytes(reinterpret_cast<const char *>(&number), 4)},
        {"number, no data", REG_DWORD, ""},
        {"big-endian number", REG_DWORD_BIG_ENDIAN,
         Bytes(reinterpret_cast<const char *>(&number), 4)},
        {"64-bit number", REG_QWORD, Bytes(reinterpret_cast<const char *>(&wide), 8)},
        {"no type", REG_NONE, text + nul},
        {"link", REG_LINK, text + nul},
        {"resource list", REG_RESOURCE_LIST, text + nul},
        {"unknown type", 0x7FFF, text + nul},
        {"UTF-16, odd length", REG_SZ, Bytes("l\0n\0k\0f", 7), true},
        {"UTF-16, lone surrogate", REG_SZ,
         Bytes("a\0\x00\xD8"
               "b\0\0\0",
               8),
         true},
    };
}

const Value &Named(const std::vector<Value> &values, const std::string &what) {
    for (const Value &value : values)
        if (value.what == what)
            return value;
    ADD_FAILURE() << "no value " << what;
    return values[0];
}

bool Store(const std::string &path, const Value &value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    // A guard byte: a count that leaves out a terminator must stay exact.
    std::string guarded = value.bytes + 'Z';
    const BYTE *data = reinterpret_cast<const BYTE *>(guarded.data());
    DWORD size = static_cast<DWORD>(value.bytes.size());
    LONG status = value.wide ? RegSetValueExW(key, nullptr, 0, value.type, data, size)
                             : RegSetValueExA(key, nullptr, 0, value.type, data, size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// The text a reader of `capacity` bytes may show for the value as the A
// call hands it out: a string that fits, up to its first terminator, cut
// to capacity - 1 bytes and then to whole characters; nothing otherwise.
std::optional<std::string> ShownText(const std::string &path, size_t capacity) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0, size = 0;
    std::string data;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE *>(&data[0]), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || data.size() > capacity)
        return std::nullopt;
    std::string text = data.substr(0, data.find('\0'));
    if (text.size() < capacity)
        return text;
    text.resize(capacity - 1);
    size_t whole = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && ++i == text.size())
            break;
        whole = i + 1;
    }
    return text.substr(0, whole);
}

// Asked of the control itself, which works across processes too.
std::string WindowText(HWND window) {
    LRESULT n = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(n + 1, '\0');
    text.resize(SendMessageA(window, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(&text[0])));
    return text;
}

std::string ListItemText(HWND list, int index, int subItem) {
    char text[4096] = "";
    LVITEMA item = {};
    item.iSubItem = subItem;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

// Everything the dialog may touch; a write anywhere else in the classes
// tree is looked for once per key by the whole-tree comparisons.
std::vector<std::string> Watched() {
    std::vector<std::string> lines;
    for (const char *path : {".lnk", "lnkfile", ".pif", "piffile", "Folder", "vclass"}) {
        std::vector<std::string> tree = ListTree(path);
        lines.insert(lines.end(), tree.begin(), tree.end());
    }
    return lines;
}

// A folder verb made relative to Folder\shell and removed the same way:
// Wine refuses key paths over 260 characters (ERROR_MORE_DATA), and the
// full-path helpers would never get rid of it.
class FolderVerb {
  public:
    explicit FolderVerb(const std::string &name) : name_(name) {
        HKEY verb, command;
        EXPECT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExA(HKEY_CLASSES_ROOT, "Folder\\shell", 0, KEY_ALL_ACCESS, &shell_));
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(shell_, name.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &verb, nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(verb, "command", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &command, nullptr));
        RegSetValueExA(command, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>("x \"%1\""), 7);
        RegCloseKey(command);
        RegCloseKey(verb);
    }
    ~FolderVerb() {
        HKEY verb;
        if (RegOpenKeyExA(shell_, name_.c_str(), 0, KEY_ALL_ACCESS, &verb) == ERROR_SUCCESS) {
            RegDeleteKeyA(verb, "command");
            RegCloseKey(verb);
        }
        RegDeleteKeyA(shell_, name_.c_str());
        RegCloseKey(shell_);
    }
    FolderVerb(const FolderVerb &) = delete;
    FolderVerb &operator=(const FolderVerb &) = delete;

  private:
    std::string name_;
    HKEY shell_ = nullptr;
};

class HostileValues : public DialogTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(DeleteTree("lnkfile\\shell") && DeleteTree(".pif") && DeleteTree("piffile"));
        ASSERT_TRUE(SetDefault(".pif", "piffile") && MakeKey("piffile"));
        RegisterFolderVerbs({"explore", "open"});
        ASSERT_TRUE(SetDefault(kLnkVerb, kInstalledMenu) &&
                    SetDefault(kLnkCommand, kInstalledCommand));
    }
    void TearDown() override {
        Close();
        DeleteTree("vclass");
    }

    // Each value under `path`; `check` looks at the open dialog. Then OK
    // with nothing edited must leave every watched key as it was.
    void ForEachValue(const std::string &path, const std::string &text, size_t capacity,
                      const std::function<void(const std::optional<std::string> &)> &check) {
        int tried = 0;
        for (const Value &value : ValuesOf(text, capacity)) {
            SCOPED_TRACE(path + ": " + value.what);
            ASSERT_TRUE(Store(path, value));
            std::vector<std::string> before = Watched();
            Open();
            check(ShownText(path, capacity));
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            EXPECT_EQ(before, Watched()) << "OK with nothing edited wrote something";
            Close();
            ++tried;
        }
        RecordProperty(path + " values", tried);
    }

    // Ticks .pif and presses OK: only its verb may appear.
    void InstallPifAndCompare() {
        std::vector<std::string> before = ListTree("");
        Open();
        SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
        Click(dialog, IDC_PIF_CHECK);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        Close();
        std::vector<std::string> after = ListTree("");
        EXPECT_TRUE(Missing(before, after).empty());
        for (const std::string &line : Missing(after, before))
            EXPECT_TRUE(line.rfind("K piffile\\shell", 0) == 0 ||
                        line.rfind("V piffile\\shell", 0) == 0)
                << "written outside the .pif verb: " << line.substr(0, 200);
        EXPECT_TRUE(KeyExists("piffile\\shell\\tessaro\\command"));
        DeleteTree("piffile\\shell");
    }
};

TEST_F(HostileValues, MenuTextOfTheVerbKey) {
    ForEachValue(kLnkVerb, kInstalledMenu, kMenuTextCapacity,
                 [&](const std::optional<std::string> &shown) {
                     EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_LNK_CHECK));
                     EXPECT_EQ(shown.value_or(""), WindowText(Item(IDC_LNK_MENU)));
                     EXPECT_EQ(kInstalledCommand, WindowText(Item(IDC_LNK_CMD)));
                 });
    ASSERT_TRUE(Store(kLnkVerb, Named(ValuesOf(kInstalledMenu, kMenuTextCapacity), kAcrossTheCut)));
    InstallPifAndCompare();
}

TEST_F(HostileValues, CommandLineOfTheCommandKey) {
    ForEachValue(kLnkCommand, kInstalledCommand, kCommandCapacity,
                 [&](const std::optional<std::string> &shown) {
                     EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_LNK_CHECK));
                     EXPECT_EQ(kInstalledMenu, WindowText(Item(IDC_LNK_MENU)));
                     EXPECT_EQ(shown.value_or(""), WindowText(Item(IDC_LNK_CMD)));
                     // The verb it names is selected when the text survives whole.
                     std::vector<std::string> selected = SelectedVerbs(Item(IDC_LNK_VERBS));
                     if (shown == std::string(kInstalledCommand))
                         EXPECT_EQ(std::vector<std::string>{"open"}, selected);
                     else
                         EXPECT_LE(selected.size(), 1u);
                 });
    ASSERT_TRUE(
        Store(kLnkCommand, Named(ValuesOf(kInstalledCommand, kCommandCapacity), kAcrossTheCut)));
    InstallPifAndCompare();
}

TEST_F(HostileValues, ClassNameOfTheExtensionKey) {
    // Only a value that reads as "lnkfile" finds the installed verb; any
    // other makes ".lnk" its own class, where nothing is installed.
    ForEachValue(".lnk", "lnkfile", kPathCapacity, [&](const std::optional<std::string> &shown) {
        bool named = shown == std::string("lnkfile");
        EXPECT_EQ(named ? BST_CHECKED : BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_LNK_CHECK));
        EXPECT_EQ(named ? kInstalledMenu : kDefaultMenu, WindowText(Item(IDC_LNK_MENU)));
    });
    ASSERT_TRUE(Store(".lnk", {"number", REG_DWORD, std::string(4, '\x01')}));
    InstallPifAndCompare();
}

TEST_F(HostileValues, ClassNameOfTheFolderKey) {
    // "vclass" holds verbs of its own; any value that does not name it
    // leaves the verbs under Folder\shell.
    ASSERT_TRUE(SetDefault("vclass\\shell\\alpha\\command", "alpha \"%1\""));
    ForEachValue("Folder", "vclass", kPathCapacity, [&](const std::optional<std::string> &shown) {
        std::vector<std::string> expected = {"open", "explore"};
        if (shown == std::string("vclass"))
            expected = {"alpha"};
        EXPECT_EQ(expected, ListVerbs(Item(IDC_LNK_VERBS)));
        EXPECT_EQ(expected, ListVerbs(Item(IDC_PIF_VERBS)));
    });
}

TEST_F(HostileValues, CommandLinesOfTheFolderVerbs) {
    // A verb is listed only with a command text that fits.
    const std::string verb = "Folder\\shell\\hostile\\command";
    ForEachValue(verb, "hostile \"%1\"", kCommandCapacity,
                 [&](const std::optional<std::string> &shown) {
                     HWND list = Item(IDC_LNK_VERBS);
                     std::vector<std::string> expected = {"open", "hostile", "explore"};
                     if (!shown)
                         expected = {"open", "explore"};
                     ASSERT_EQ(expected, ListVerbs(list));
                     if (shown) {
                         EXPECT_EQ(*shown, ListItemText(list, 1, 1));
                     }
                 });
}

TEST_F(HostileValues, KeysTessaroDoesNotReadStayUntouched) {
    // Every value, as a named value, on every key of the .lnk chain and of
    // the folder verbs; the verb names themselves at the longest a key name
    // may be and with double-byte characters.
    const char *paths[] = {".lnk",      "lnkfile", "lnkfile\\shell", kLnkVerb,
                           kLnkCommand, "Folder",  "Folder\\shell",  "Folder\\shell\\open"};
    for (const char *path : paths) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_ALL_ACCESS, &key));
        int i = 0;
        for (const Value &value : ValuesOf("text", 64)) {
            std::string name = "v" + std::to_string(i++);
            if (!value.wide)
                RegSetValueExA(key, name.c_str(), 0, value.type,
                               reinterpret_cast<const BYTE *>(value.bytes.data()),
                               static_cast<DWORD>(value.bytes.size()));
        }
        RegCloseKey(key);
    }
    const std::string longest(kLongestKeyName, 'v'), wide = "\x93\xAE\x8D\xEC\x95\\";
    FolderVerb longVerb(longest), wideVerb(wide);
    Open();
    EXPECT_EQ(kInstalledMenu, WindowText(Item(IDC_LNK_MENU)));
    std::vector<std::string> verbs = ListVerbs(Item(IDC_LNK_VERBS));
    std::sort(verbs.begin(), verbs.end());
    std::vector<std::string> expected = {"explore", "open", longest, wide};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, verbs);
    Close();
    InstallPifAndCompare();
}

// The same values read by tessaro.exe itself, whose loaded record starts
// out empty: the dialog it shows is read from here through WM_GETTEXT.
TEST_F(HostileValues, TessaroExeShowsAndKeepsThem) {
    std::vector<Value> menus = ValuesOf(kInstalledMenu, kMenuTextCapacity);
    std::vector<Value> commands = ValuesOf(kInstalledCommand, kCommandCapacity);
    ASSERT_TRUE(Store(kLnkVerb, Named(menus, kAcrossTheCut)));
    ASSERT_TRUE(Store(kLnkCommand, Named(commands, "fills the buffer, unterminated")));
    ASSERT_TRUE(Store("Folder", {"number", REG_DWORD, std::string(4, '\x01')}));
    ASSERT_TRUE(Store("Folder\\shell\\hostile\\command", Named(commands, "a mebibyte")));
    std::optional<std::string> menu = ShownText(kLnkVerb, kMenuTextCapacity);
    std::optional<std::string> command = ShownText(kLnkCommand, kCommandCapacity);
    ASSERT_TRUE(menu && command);
    std::vector<std::string> before = ListTree("");

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = TessaroExe();
    ASSERT_TRUE(
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND found = nullptr;
    for (int i = 0; i < 400 && !(found && IsWindowVisible(found)); ++i) {
        Sleep(50);
        found = FindWindowA("#32770", "tessaro の関連づけ");
    }
    EXPECT_NE(nullptr, found);
    if (found) {
        EXPECT_EQ(*menu, WindowText(GetDlgItem(found, IDC_LNK_MENU)));
        EXPECT_EQ(*command, WindowText(GetDlgItem(found, IDC_LNK_CMD)));
        SendDlgItemMessageA(found, IDOK, BM_CLICK, 0, 0);
    }
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(before, ListTree("")) << "OK with nothing edited wrote something";
}

} // namespace
