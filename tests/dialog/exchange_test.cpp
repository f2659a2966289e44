// What the dialog reads, shows and writes: verb lists, OK, Cancel, reset.
#include "dialog_fixture.h"
#include "assoc/commandline.h"
#include "dialog/assocdlg.h"
#include "dialog/selectoption.h"

#include <commctrl.h>

namespace {

const char kVerbKey[] = "lnkfile\\shell\\tessaro";
const char kPifVerbKey[] = "piffile\\shell\\tessaro";

std::string Command(const char *verb) {
    char line[1025];
    BuildCommandLine(line, verb);
    return line;
}

void InstallLnk(const std::string &menu, const std::string &command) {
    SetDefault(kVerbKey, menu);
    SetDefault(std::string(kVerbKey) + "\\command", command);
}

// Wine has no ".pif" at all: give it a class the way Windows has one.
void MakePifClass() {
    SetDefault(".pif", "piffile");
    MakeKey("piffile");
}

class Exchange : public DialogTest {
  protected:
    void SetUp() override {
        DeleteTree(kVerbKey);
        DeleteTree(".pif");
        DeleteTree("piffile");
        RegisterFolderVerbs({"explore", "find", "open"});
    }
    void DoubleClick(int listId) {
        NMHDR header = {Item(listId), static_cast<UINT_PTR>(listId), static_cast<UINT>(NM_DBLCLK)};
        SendMessageA(dialog, WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&header));
    }
    void Select(int listId, int index) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendMessageA(Item(listId), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    }
};

TEST_F(Exchange, VerbListsShowTheFolderVerbsNewestFirst) {
    Open();
    for (int id : {IDC_LNK_VERBS, IDC_PIF_VERBS}) {
        HWND list = Item(id);
        EXPECT_EQ((std::vector<std::string>{"open", "find", "explore"}), ListVerbs(list));
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        EXPECT_EQ(2, SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        EXPECT_TRUE(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
        EXPECT_TRUE(SelectedVerbs(list).empty()) << "nothing installed names a verb";
    }
}

TEST_F(Exchange, VerbsWithoutACommandAreLeftOut) {
    MakeKey("Folder\\shell\\properties");
    MakeKey("Folder\\shell\\print\\command"); // no value
    Open();
    EXPECT_EQ((std::vector<std::string>{"open", "find", "explore"}),
              ListVerbs(Item(IDC_LNK_VERBS)));
}

TEST_F(Exchange, InstalledVerbIsSelectedByExactSpelling) {
    InstallLnk("menu", "\"C:\\t.exe\" /verb:\"explore\" \"%1\"");
    Open();
    EXPECT_EQ((std::vector<std::string>{"explore"}), SelectedVerbs(Item(IDC_LNK_VERBS)));
    Close();
    InstallLnk("menu", "\"C:\\t.exe\" /verb:\"Explore\" \"%1\"");
    Open();
    EXPECT_TRUE(SelectedVerbs(Item(IDC_LNK_VERBS)).empty()) << "verbs compare case-sensitively";
}

TEST_F(Exchange, DoubleClickBuildsTheCommandLine) {
    Open();
    Select(IDC_LNK_VERBS, 0);
    DoubleClick(IDC_LNK_VERBS);
    EXPECT_EQ(Command("open"), ItemText(dialog, IDC_LNK_CMD));
    EXPECT_EQ(Command(nullptr), ItemText(dialog, IDC_PIF_CMD)) << "the other row is untouched";
    Select(IDC_PIF_VERBS, 2);
    DoubleClick(IDC_PIF_VERBS);
    EXPECT_EQ(Command("explore"), ItemText(dialog, IDC_PIF_CMD));

    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(Item(IDC_LNK_VERBS), LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&none));
    DoubleClick(IDC_LNK_VERBS);
    EXPECT_EQ(Command(nullptr), ItemText(dialog, IDC_LNK_CMD));
}

TEST_F(Exchange, NoFolderVerbsKeyGivesEmptyLists) {
    DeleteTree("Folder\\shell");
    Open();
    HWND list = Item(IDC_LNK_VERBS);
    EXPECT_TRUE(ListVerbs(list).empty());
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(2, SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    SetDlgItemTextA(dialog, IDC_LNK_CMD, "edited");
    DoubleClick(IDC_LNK_VERBS);
    EXPECT_EQ(Command(nullptr), ItemText(dialog, IDC_LNK_CMD));
}

TEST_F(Exchange, CheckBoxesEnableTheirRows) {
    Open();
    EXPECT_FALSE(ItemEnabled(dialog, IDC_LNK_MENU));
    EXPECT_TRUE(ItemEnabled(dialog, IDC_LNK_DETAILS)) << "details stay usable";
    Click(dialog, IDC_LNK_CHECK);
    for (int id : {IDC_LNK_MENU, IDC_LNK_CMD, IDC_LNK_VERBS, IDC_LNK_GROUP, IDC_LNK_SELECT})
        EXPECT_TRUE(ItemEnabled(dialog, id)) << id;
    EXPECT_FALSE(ItemEnabled(dialog, IDC_PIF_MENU));
}

TEST_F(Exchange, OkWritesOnlyWhatChanged) {
    InstallLnk("menu", Command("open"));
    MakePifClass();
    std::vector<std::string> before = ListTree("");
    Open();
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(before, ListTree("")) << "nothing edited, nothing written";
    Close();

    Open();
    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    Click(dialog, IDC_PIF_CHECK);
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    std::vector<std::string> after = ListTree("");
    // The class had no "shell" key: installing creates it, and nothing else.
    for (const std::string &line : Missing(after, before))
        EXPECT_NE(std::string::npos, line.find("piffile\\shell")) << "outside .pif: " << line;
    EXPECT_EQ(GetDefault(std::string(kPifVerbKey) + "\\command"), Command(nullptr));
    EXPECT_EQ(GetDefault(kPifVerbKey), std::string("リンク先を探す(&F)"));
    EXPECT_TRUE(Missing(before, after).empty()) << "the .lnk entry stays as it was";
    Close();

    // What is typed into the edits is what gets stored.
    Open();
    SetDlgItemTextA(dialog, IDC_LNK_MENU, "編集した(&E)");
    SetDlgItemTextA(dialog, IDC_LNK_CMD, Command("explore").c_str());
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ("編集した(&E)", GetDefault(kVerbKey).value_or("(missing)"));
    EXPECT_EQ(Command("explore"),
              GetDefault(std::string(kVerbKey) + "\\command").value_or("(missing)"));
}

TEST_F(Exchange, CancelEscapeAndCloseWriteNothing) {
    std::vector<std::string> before = ListTree("");
    auto editAndTick = [&] {
        Click(dialog, IDC_LNK_CHECK);
        SetDlgItemTextA(dialog, IDC_LNK_MENU, "edited");
    };
    Open();
    editAndTick();
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    Close();
    Open();
    editAndTick();
    SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    Close();
    Open();
    editAndTick();
    SetFocus(Item(IDC_LNK_MENU));
    MSG msg = {};
    msg.hwnd = Item(IDC_LNK_MENU);
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_ESCAPE;
    IsDialogMessageA(dialog, &msg);
    Pump();
    Close();
    EXPECT_EQ(before, ListTree(""));
}

TEST_F(Exchange, HiddenTickedPifBoxStillInstalls) {
    MakePifClass();
    Open();
    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    Click(dialog, IDC_PIF_CHECK);
    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    ASSERT_FALSE(ItemVisible(dialog, IDC_PIF_CHECK));
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(KeyExists(std::string(kPifVerbKey) + "\\command"));
}

TEST_F(Exchange, ResetRestoresWhatWasLoadedWithoutReadingAgain) {
    InstallLnk("loaded menu", "\"C:\\t.exe\" /verb:\"find\" \"%1\"");
    MakePifClass();
    SetDefault(kPifVerbKey, "pif menu");
    SetDefault(std::string(kPifVerbKey) + "\\command", Command("open"));
    Open();
    Click(dialog, IDC_LNK_DETAILS);
    ASSERT_TRUE(ItemVisible(dialog, IDC_PIF_CHECK)) << ".pif installed: its row shows";

    Click(dialog, IDC_LNK_CHECK);
    SetDlgItemTextA(dialog, IDC_LNK_MENU, "edited");
    Select(IDC_LNK_VERBS, 0);
    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    ASSERT_FALSE(ItemVisible(dialog, IDC_PIF_CHECK));
    InstallLnk("changed behind the dialog", Command(nullptr));

    SendMessageA(dialog, WM_SYSCOMMAND, ID_RESET_SETTINGS, 0);
    EXPECT_EQ("loaded menu", ItemText(dialog, IDC_LNK_MENU));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_LNK_CHECK));
    EXPECT_TRUE(ItemEnabled(dialog, IDC_LNK_MENU));
    EXPECT_EQ((std::vector<std::string>{"find"}), SelectedVerbs(Item(IDC_LNK_VERBS)));
    EXPECT_TRUE(ItemVisible(dialog, IDC_PIF_CHECK));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_PIF_CHECK));
    EXPECT_EQ("<< 詳細", ItemText(dialog, IDC_LNK_DETAILS)) << "the open pane stays open";
}

TEST_F(Exchange, SelectBoxFollowsAndEditsTheCommandLine) {
    const std::string loaded = "\"C:\\t.exe\" /select /verb:\"open\"\t\"/SELECT\" \"%1\"";
    InstallLnk("menu", loaded);
    Open();
    auto ticked = [&] { return IsDlgButtonChecked(dialog, IDC_LNK_SELECT) == BST_CHECKED; };
    EXPECT_TRUE(ticked());
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_PIF_SELECT)) << "the default line";
    Click(dialog, IDC_LNK_DETAILS);
    Click(dialog, IDC_LNK_SELECT);
    EXPECT_EQ("\"C:\\t.exe\" /verb:\"open\" \"%1\"", ItemText(dialog, IDC_LNK_CMD)) << "every one";
    Click(dialog, IDC_LNK_SELECT);
    EXPECT_EQ("\"C:\\t.exe\" /verb:\"open\" /select \"%1\"", ItemText(dialog, IDC_LNK_CMD));
    Select(IDC_LNK_VERBS, 2);
    DoubleClick(IDC_LNK_VERBS);
    std::string verb = Command("explore");
    EXPECT_EQ(verb.insert(verb.size() - 5, " /select"), ItemText(dialog, IDC_LNK_CMD));

    // Typed by hand at the end of the line, it ticks the box; reset restores.
    Click(dialog, IDC_LNK_SELECT);
    int end = GetWindowTextLengthA(Item(IDC_LNK_CMD));
    SendDlgItemMessageA(dialog, IDC_LNK_CMD, EM_SETSEL, end, end);
    for (char c : std::string(" /Select"))
        SendDlgItemMessageA(dialog, IDC_LNK_CMD, WM_CHAR, static_cast<BYTE>(c), 0);
    EXPECT_TRUE(ticked());
    Click(dialog, IDC_LNK_SELECT);
    SendMessageA(dialog, WM_SYSCOMMAND, ID_RESET_SETTINGS, 0);
    EXPECT_EQ(loaded, ItemText(dialog, IDC_LNK_CMD));
    EXPECT_TRUE(ticked());

    char line[1025] = "\"C:\\t.exe\"";
    EXPECT_TRUE(EditSelectOption(line, kSelectAdd)) << "no \"%1\": at the end";
    EXPECT_STREQ("\"C:\\t.exe\" /select", line);
    std::string full = "\"" + std::string(1015, 'x') + "\" \"%1\"";
    lstrcpyA(line, full.c_str());
    EXPECT_FALSE(EditSelectOption(line, kSelectAdd));
    EXPECT_EQ(full, line) << "too long: left as it was";
}

// ShowAssociationDialog runs modally: another thread ends it.
struct Ender {
    WPARAM command;
    static DWORD WINAPI Run(void *param) {
        const Ender *self = static_cast<const Ender *>(param);
        for (int i = 0; i < 200; ++i) {
            HWND found = FindWindowA("#32770", "tessaro の関連づけ");
            if (found && IsWindowVisible(found)) {
                PostMessageA(found, WM_COMMAND, self->command, 0);
                return 0;
            }
            Sleep(50);
        }
        return 1;
    }
};

TEST_F(Exchange, ShowAssociationDialogReportsOk) {
    for (WPARAM command : {static_cast<WPARAM>(IDOK), static_cast<WPARAM>(IDCANCEL)}) {
        Ender ender = {command};
        HANDLE thread = CreateThread(nullptr, 0, Ender::Run, &ender, 0, nullptr);
        bool result = ShowAssociationDialog();
        WaitForSingleObject(thread, INFINITE);
        DWORD found = 1;
        GetExitCodeThread(thread, &found);
        CloseHandle(thread);
        EXPECT_EQ(0u, found);
        EXPECT_EQ(command == IDOK, result);
    }
}

} // namespace
