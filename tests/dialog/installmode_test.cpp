// tessaro.exe without arguments, driven from this process the way a user
// drives it: find the dialog by its caption, tick, press OK; then run the
// command it stored exactly as the shell runs it.
#include "dialog_fixture.h"
#include "harness/wine.h"

namespace {

const char kCaption[] = "tessaro の関連づけ";
const char kVerbKey[] = "lnkfile\\shell\\tessaro";

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The window height of dialog 120 as its template lays it out.
int TemplateWindowHeight() {
    HWND plain = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ASSOCIATION),
                                    nullptr, PlainProc, 0);
    int height = WindowSize(plain).cy;
    DestroyWindow(plain);
    return height;
}

class InstallMode : public testing::Test {
  protected:
    SavedKeys saved{".lnk", "lnkfile"};
    ScratchDir dir{"tessaro-install"};
    void SetUp() override {
        DeleteTree(kVerbKey);
        CloseFolderWindows();
    }
    void TearDown() override { CloseFolderWindows(); }
};

TEST_F(InstallMode, InstallUseAndRemoveTheCommand) {
    SetCursorPos(500, 400);
    Process first(TessaroExe());
    HWND found = WaitForDialog(kCaption);
    ASSERT_NE(nullptr, found);

    // Centred on the cursor at the template's full height, then shrunk
    // from the bottom when the panes closed.
    RECT w;
    GetWindowRect(found, &w);
    EXPECT_LE(abs((w.left + w.right) / 2 - 500), 1) << w.left << ".." << w.right;
    EXPECT_LE(abs(w.top + TemplateWindowHeight() / 2 - 400), 1) << w.top;

    ChildRun second = RunDebugged(TessaroExe(), 10000);
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(0u, second.exitCode);
    EXPECT_EQ(found, FindWindowA("#32770", kCaption));

    SendDlgItemMessageA(found, IDC_LNK_CHECK, BM_CLICK, 0, 0);
    SendDlgItemMessageA(found, IDOK, BM_CLICK, 0, 0);
    EXPECT_EQ(0u, first.Wait());

    EXPECT_EQ(GetDefault(kVerbKey), std::string("リンク先を探す(&F)"));
    std::optional<std::string> command = GetDefault(std::string(kVerbKey) + "\\command");
    ASSERT_TRUE(command);
    EXPECT_EQ(TessaroExe() + " \"%1\"", *command);

    // The shell's way: "%1" replaced by the shortcut's path.
    std::string folder = dir.Join("\x95\\\x8E\xA6");
    ASSERT_TRUE(MakeDirs(folder));
    ASSERT_TRUE(WriteFileBytes(folder + "\\t.txt", "x"));
    std::string link = dir.Join("\x83\\.lnk");
    ASSERT_TRUE(MakeShortcut(link, folder + "\\t.txt"));
    std::string line = *command;
    line.replace(line.find("%1"), 2, link);
    ChildRun run = RunDebugged(line);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(1u, WaitForFolderWindows(LastComponent(folder), 1));

    Process again(TessaroExe());
    found = WaitForDialog(kCaption);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(found, IDC_LNK_CHECK, BM_GETCHECK, 0, 0));
    SendDlgItemMessageA(found, IDC_LNK_CHECK, BM_CLICK, 0, 0);
    SendDlgItemMessageA(found, IDOK, BM_CLICK, 0, 0);
    EXPECT_EQ(0u, again.Wait());
    EXPECT_FALSE(KeyExists(kVerbKey));
    EXPECT_TRUE(KeyExists("lnkfile\\shell")) << "the shell key is never removed";
}

} // namespace
