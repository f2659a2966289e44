// The about box: in this process from its template (this binary carries
// tessaro's version resource), and in tessaro.exe through the association
// dialog's system menu, driven from outside as a user drives it.
#include "TOOLS/aboutbox.h"
#include "TOOLS/toolwind.h"
#include "dialog/assocdlg.h"
#include "dialog_fixture.h"
#include "harness/wine.h"
#include "text/heap.h"
#include "tests/TOOLS/screen.h"

#include <functional>

namespace {

const std::string kAboutCaption = Narrow(L"tessaro について");
const char kLine[] = "tessaro ver. 0.09";
const std::string kFortyTwo = Narrow(L"システムリソース： 42 ％使用可能");
const int kVersionLine = 101, kLink = 102, kResourcesLine = 103;

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

std::string SystemRsrc32() {
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\rsrc32.dll";
}

// Every top-level window with the box's caption, visible or not.
std::vector<HWND> AboutBoxes() {
    return FindTopWindows("#32770", kAboutCaption);
}

bool WaitUntil(const std::function<bool()> &done, DWORD ms = 10000) {
    DWORD end = GetTickCount() + ms;
    while (!done()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0)
            return false;
        Sleep(50);
    }
    return true;
}

int Width(HWND window) {
    return WindowSize(window).cx;
}

class AboutBox : public testing::Test {
  protected:
    AboutBoxInfo info{SUPPORT_SITE_URL};
    HMODULE module = GetModuleHandleA(nullptr);
    AboutDialogData data{GetModuleIcon(module, false), GetModuleIcon(module, true), &info};
    void *dialogTemplate = BuildAboutTemplate();

    void SetUp() override {
        ASSERT_NE(nullptr, dialogTemplate);
        DeleteFileA(SystemRsrc32().c_str());
    }
    void TearDown() override {
        DeleteFileA(SystemRsrc32().c_str());
        DestroyIcon(data.largeIcon);
        DestroyIcon(data.smallIcon);
        MemFree(dialogTemplate);
    }
    HWND Create(DLGPROC proc) {
        return CreateDialogIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(dialogTemplate),
                                          nullptr, proc, reinterpret_cast<LPARAM>(&data));
    }

    // The box run modally here while `drive` acts on it from a second
    // thread; the dialog's result.
    INT_PTR RunModal(std::function<void(HWND)> drive) {
        struct Driver {
            std::function<void(HWND)> drive;
            static DWORD WINAPI Run(void *self) {
                HWND box = WaitForDialog(kAboutCaption, 10000);
                if (box)
                    static_cast<Driver *>(self)->drive(box);
                else
                    ADD_FAILURE() << "no box";
                return 0;
            }
        } driver{drive};
        HANDLE thread = CreateThread(nullptr, 0, Driver::Run, &driver, 0, nullptr);
        INT_PTR result =
            DialogBoxIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(dialogTemplate), nullptr,
                                    AboutDialogProc, reinterpret_cast<LPARAM>(&data));
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        return result;
    }
};

TEST_F(AboutBox, ShowsVersionLinkAndIconWidenedByTheWidestLine) {
    HWND plain = Create(PlainProc);
    ASSERT_TRUE(plain);
    const int startBox = Width(plain);
    const int startLine = Width(GetDlgItem(plain, kVersionLine));
    DestroyWindow(plain);

    HWND box = Create(AboutDialogProc);
    ASSERT_TRUE(box);
    char caption[64] = "";
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_EQ(kAboutCaption, caption);
    EXPECT_EQ(kLine, ItemText(box, kVersionLine));
    EXPECT_EQ(SUPPORT_SITE_URL, ItemText(box, kLink));
    EXPECT_EQ("", ItemText(box, kResourcesLine)) << "Wine has no free-resources library";
    EXPECT_EQ(reinterpret_cast<LRESULT>(data.largeIcon),
              SendDlgItemMessageA(box, 100, STM_GETICON, 0, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(data.largeIcon),
              SendMessageA(box, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(data.smallIcon),
              SendMessageA(box, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(reinterpret_cast<HANDLE>(&data), GetPropA(box, "PROP_ABOUTDIALOGDATA"));

    // Grown by the largest growth, not by their sum; the empty line keeps
    // its one unit.
    int version = Width(GetDlgItem(box, kVersionLine)) - startLine;
    int link = Width(GetDlgItem(box, kLink)) - startLine;
    EXPECT_GT(version, 0);
    EXPECT_GT(link, 0);
    EXPECT_NE(version, link);
    EXPECT_EQ(startLine, Width(GetDlgItem(box, kResourcesLine)));
    EXPECT_EQ(startBox + std::max(version, link), Width(box));

    HWND ok = GetDlgItem(box, IDOK);
    RECT boxRect, okRect;
    GetWindowRect(box, &boxRect);
    GetWindowRect(ok, &okRect);
    EXPECT_EQ((Width(box) - Width(ok)) / 2, okRect.left - boxRect.left);

    // Dragged by its client area, but not by the link.
    RECT linkRect;
    GetWindowRect(GetDlgItem(box, kLink), &linkRect);
    const struct {
        POINT at;
        LRESULT hit;
    } hits[] = {{{boxRect.left + 8, boxRect.bottom - 8}, HTCAPTION},
                {{linkRect.left + 2, linkRect.top + 2}, HTCLIENT}};
    for (const auto &h : hits) {
        SetCursorPos(h.at.x, h.at.y);
        EXPECT_EQ(h.hit,
                  SendMessageA(WindowFromPoint(h.at), WM_NCHITTEST, 0, MAKELPARAM(h.at.x, h.at.y)));
    }
    // The box hands hover and leave back to the link: red under the
    // cursor, blue again once it has gone.
    const COLORREF blue = 0xFF0000, red = 0x0000FF;
    HWND linkWindow = GetDlgItem(box, kLink);
    MoveCursorTo({linkRect.left + 3, (linkRect.top + linkRect.bottom) / 2});
    PumpMessagesFor(50);
    ScreenPixels hovered(linkWindow);
    EXPECT_GT(hovered.Count(red), 20u);
    EXPECT_EQ(0u, hovered.Count(blue));
    MoveCursorTo(hits[0].at);
    PumpMessagesFor(50);
    ScreenPixels left(linkWindow);
    EXPECT_EQ(hovered.Count(red), left.Count(blue));
    EXPECT_EQ(0u, left.Count(red));

    EXPECT_EQ(TRUE, AboutDialogProc(box, WM_COMMAND, 1234, 0)) << "other commands answered";
    EXPECT_TRUE(IsWindow(box));
    DestroyWindow(box);
}

TEST_F(AboutBox, EndsWithTwoOnEscapeAndCloseAndOneOnOk) {
    const struct {
        const char *how;
        std::function<void(HWND)> end;
        INT_PTR result;
    } cases[] = {
        // Posted to the button that has the focus, as a key press is.
        {"Esc", [](HWND box) { PostMessageA(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); },
         IDCANCEL},
        {"close box", [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"OK", [](HWND box) { PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }, IDOK},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        bool stayed = false;
        INT_PTR result = RunModal([&](HWND box) {
            // An unknown command first: the box must still be there after it.
            PostMessageA(box, WM_COMMAND, 1234, 0);
            Sleep(200);
            stayed = IsWindowVisible(box) != FALSE;
            c.end(box);
        });
        EXPECT_TRUE(stayed);
        EXPECT_EQ(c.result, result);
        EXPECT_TRUE(AboutBoxes().empty());
    }
}

TEST_F(AboutBox, FreeResourcesComeOnlyFromTheSystemDirectory) {
    HWND box = Create(PlainProc);
    HWND line = GetDlgItem(box, kResourcesLine);
    // The library lies beside this program: a bare name would find it.
    SetWindowTextA(line, "old");
    EXPECT_FALSE(SetFreeResourcesText(line));
    EXPECT_EQ("", ItemText(box, kResourcesLine));
    EXPECT_FALSE(GetFreeSystemResources(nullptr));

    ASSERT_TRUE(CopyFileA(RSRC32_DLL, SystemRsrc32().c_str(), FALSE));
    EXPECT_TRUE(SetFreeResourcesText(line));
    EXPECT_EQ(kFortyTwo, ItemText(box, kResourcesLine));
    int percent = 0;
    EXPECT_TRUE(GetFreeSystemResources(&percent));
    EXPECT_EQ(42, percent);
    EXPECT_TRUE(GetFreeSystemResources(nullptr));
    DestroyWindow(box);
    EXPECT_EQ(nullptr, GetModuleHandleA("rsrc32.dll")) << "freed after every call";
}

TEST_F(AboutBox, EmptyProductNameGivesWayToTheDescription) {
    const DWORD *translation = nullptr;
    void *block = LoadFileVersionInfo(RSRC32_DLL, &translation);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0x04B00411u, *translation);
    char line[522], caption[522];
    FormatVersionTexts(line, caption, block, *translation);
    EXPECT_STREQ("資源 ver. 4.2", line);
    EXPECT_STREQ("資源 について", caption);
    MemFree(block);

    // Neither name: the texts keep their fixed parts.
    block = LoadModuleVersionInfo(module, &translation);
    ASSERT_NE(nullptr, block);
    char value[522] = "x";
    EXPECT_FALSE(QueryVersionString(value, block, *translation, "NoSuchName"));
    EXPECT_STREQ("", value);
    EXPECT_FALSE(QueryVersionString(value, block, *translation, "ProductName"));
    FormatVersionTexts(line, caption, block, 0x12345678);
    EXPECT_STREQ(" ver. ", line);
    EXPECT_STREQ(" について", caption);
    MemFree(block);
    EXPECT_EQ(nullptr, LoadFileVersionInfo("Z:\\no\\such.dll", &translation));
}

// tessaro.exe copied into a folder of its own with the library beside it.
class AboutBoxOfTessaro : public testing::Test {
  protected:
    ScratchDir dir{"tessaro-about"};
    std::string exe = dir.Join("tessaro.exe");
    std::string urlFile = dir.Join("url.txt");
    SavedKeys saved{"https"};

    void SetUp() override {
        DeleteFileA(SystemRsrc32().c_str());
        ASSERT_TRUE(CopyFileA(TESSARO_EXE, exe.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(RSRC32_DLL, dir.Join("rsrc32.dll").c_str(), FALSE));
        // The shell hands the address to whatever opens https: here a
        // command that writes it down.
        ASSERT_TRUE(SetDefault("https\\shell\\open\\command",
                               "C:\\windows\\system32\\cmd.exe /c echo %1>" + Quote(urlFile)));
    }
    void TearDown() override { DeleteFileA(SystemRsrc32().c_str()); }
};

HWND OpenAbout(HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, ID_ABOUT, 0);
    return WaitForDialog(kAboutCaption, 10000);
}

TEST_F(AboutBoxOfTessaro, OpensOnceFromTheSystemMenuAndTheLinkOpensTheSite) {
    Process tessaro(Quote(exe));
    HWND dialog = WaitForDialog(Narrow(L"tessaro の関連づけ"));
    ASSERT_NE(nullptr, dialog);

    HWND box = OpenAbout(dialog);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(kLine, ItemText(box, kVersionLine));
    EXPECT_EQ("", ItemText(box, kResourcesLine)) << "the library beside the exe is not loaded";
    EXPECT_EQ(dialog, GetWindow(box, GW_OWNER));
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "modal";

    // A second command only brings the open box to the front.
    PostMessageA(dialog, WM_SYSCOMMAND, ID_ABOUT, 0);
    Sleep(300);
    EXPECT_EQ(std::vector<HWND>{box}, AboutBoxes());

    PostMessageA(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([] { return AboutBoxes().empty(); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }));

    ASSERT_TRUE(CopyFileA(RSRC32_DLL, SystemRsrc32().c_str(), FALSE));
    box = OpenAbout(dialog);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(kFortyTwo, ItemText(box, kResourcesLine));

    // A real click on the link: the address goes to the shell, the box
    // closes, the dialog stays.
    RECT link;
    GetWindowRect(GetDlgItem(box, kLink), &link);
    MoveCursorTo({link.left + 3, (link.top + link.bottom) / 2});
    PressLeftButton(true);
    PressLeftButton(false);
    EXPECT_TRUE(WaitUntil([] { return AboutBoxes().empty(); }));
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(urlFile).size() > 0; }));
    EXPECT_EQ(std::string(SUPPORT_SITE_URL) + "\r\n", ReadFileBytes(urlFile));
    EXPECT_TRUE(IsWindow(dialog));

    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, tessaro.Wait());
}

} // namespace
