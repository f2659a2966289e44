// Shortcuts as Windows writes them whose stored item list does not lead to
// the target: Windows Installer's advertised shortcuts, to a package that
// msiexec really installs, and shortcuts saved without an item list; and
// DLLs planted where Windows looks for them first.
#include "dialog/dialog_fixture.h"
#include "harness/advertised.h"
#include "harness/shellwindows.h"
#include "reliability/shell_watch.h"

#include <gtest/gtest.h>

namespace {

const char kUnknownProduct[] = "{7FBE8BC8-DC51-44D7-AE49-4F3635897494}";

std::string InstallerCache(const char *product) {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\Installer\\" + product;
}

class WrittenLinks : public testing::Test {
  protected:
    static std::string installed; // the package's folder once msiexec has put it there
    // Once per binary: the installation is the slow part.
    static void SetUpTestSuite() { installed = InstallProbe(TESSARO_PROBE_MSI); }

    ScratchDir dir{"tessaro-written"};

    void SetUp() override {
        ASSERT_FALSE(installed.empty()) << "msiexec did not install " << TESSARO_PROBE_MSI;
        CloseFolderWindows();
    }
    void TearDown() override { CloseFolderWindows(); }

    // The bytes the shell link object saves for a shortcut to folder\file.
    std::string Saved(const std::string &folder, const char *file) {
        std::string made = dir.Join("made.lnk");
        EXPECT_TRUE(MakeDirs(folder) && WriteFileBytes(folder + "\\" + file, "x") &&
                    MakeShortcut(made, folder + "\\" + file));
        return ReadFileBytes(made);
    }
    std::string Write(const std::string &name, const std::string &bytes) {
        EXPECT_TRUE(WriteFileBytes(dir.Join(name), bytes));
        return dir.Join(name);
    }
    std::string AdvertisedLink(const std::string &name, const char *product) {
        return Write(name, Advertised(Saved(InstallerCache(product), "probe.ico"), product));
    }
};

std::string WrittenLinks::installed;

// The installed product's folder, the unknown product's cache folder (the
// stored list), a link-info path's folder, nothing for one whose target is
// gone, and an ordinary shortcut's folder: in the order given.
TEST_F(WrittenLinks, EachKindOpensItsFolderInOrder) {
    std::string gone = Write("gone.lnk", WithoutIdList(Saved(dir.Join("gone"), "t.txt")));
    ASSERT_TRUE(DeleteFileA(dir.Join("gone\\t.txt").c_str()));
    std::string last = Write("last.lnk", Saved(dir.Join("last"), "t.txt"));
    OpenRun run = RunOpenMode(
        Quote(AdvertisedLink("product.lnk", PROBE_PRODUCT)) + " " +
        Quote(AdvertisedLink("unknown.lnk", kUnknownProduct)) + " " +
        Quote(Write("listless.lnk", WithoutIdList(Saved(dir.Join("listless"), "t.txt")))) + " " +
        Quote(gone) + " " + Quote(last));
    EXPECT_TRUE(run.child.finished && !run.child.crashed);
    EXPECT_EQ(0u, run.child.exitCode);
    const std::string expected[] = {installed, InstallerCache(kUnknownProduct),
                                    dir.Join("listless"), dir.Join("last")};
    ASSERT_EQ(4u, run.executed.size()) << run.child.wineLog.substr(0, 3000);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_STRCASEEQ(expected[i].c_str(), run.executed[i].folder.c_str()) << i;
    EXPECT_TRUE(run.boxes.empty());
}

// Under a name the code page cannot spell, as the shell starts tessaro on
// NT: the installer is then asked with the UTF-16 path.
TEST_F(WrittenLinks, SelectSelectsTheInstalledFile) {
    std::wstring link = Widen(dir.path()) + L"\\select \u2603.lnk";
    ASSERT_TRUE(
        MoveFileW(Widen(AdvertisedLink("select.lnk", PROBE_PRODUCT)).c_str(), link.c_str()));
    std::wstring exe = Widen(TessaroExe());
    ChildRun run = RunDebuggedW(exe + L" \"" + link + L"\"", 30000, "+exec");
    std::vector<ShellExecution> executed = ShellExecutions(run.wineLog);
    ASSERT_EQ(1u, executed.size());
    EXPECT_STRCASEEQ(installed.c_str(), executed[0].folder.c_str());
    // Selected in the folder's open window: an emulated explorer comes up
    // too late for Wine's shell to select in a new one.
    ASSERT_TRUE(WaitForShellWindow(installed.c_str(), 60000));
    run = RunDebuggedW(exe + L" /select \"" + link + L"\"");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(std::vector<std::string>{"readme.txt"},
              WaitForSelection(LastComponent(installed), {"readme.txt"}));
    DeleteFileW(link.c_str());
}

// Reached by its UTF-16 name, a shortcut without an item list is read
// through IShellLinkW. Its link info names 雪☃\t.txt in UTF-16, as Windows
// writes it, and a plain folder's t.txt in the code page. Wine's link
// object reads only the latter, through either interface, so Wine opens
// the plain folder where Windows opens 雪☃.
TEST_F(WrittenLinks, ListlessLinkReadByItsUnicodeNameOpensItsPath) {
    std::wstring snow = Widen(dir.path()) + L"\\\u96ea\u2603", link = snow + L".lnk";
    std::string bytes = WithoutIdList(Saved(dir.Join("plain"), "t.txt"));
    ASSERT_TRUE(
        CreateDirectoryW(snow.c_str(), nullptr) &&
        WriteFileBytes(dir.Join("made.lnk"), WithUnicodeBasePath(bytes, snow + L"\\t.txt")) &&
        MoveFileW(Widen(dir.Join("made.lnk")).c_str(), link.c_str()));
    ChildRun run = RunDebuggedW(Widen(TessaroExe()) + L" \"" + link + L"\"", 30000, "+exec");
    std::vector<ShellExecution> executed = ShellExecutions(run.wineLog);
    DeleteFileW(link.c_str()), RemoveDirectoryW(snow.c_str());
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_TRUE(IsWine());
    ASSERT_EQ(1u, executed.size());
    EXPECT_STRCASEEQ(dir.Join("plain").c_str(), executed[0].folder.c_str());
}

// A copy of tessaro.exe in a folder that holds a DLL under each name that
// is no KnownDLL, run with the current folder holding msi.dll too and Wine
// told to look beside the program first, as Windows does for such names:
// nothing planted loads, and the dialog, its about box and both kinds of
// shortcut work as ever.
TEST_F(WrittenLinks, PlantedDllsAreNeverLoaded) {
    std::string tools = dir.Join("tools"), current = dir.Join("current");
    ASSERT_TRUE(MakeDirs(tools) && MakeDirs(current));
    // Wine's own advapi32 imports version.dll, so the planted one is in
    // every process here: the about box's version line shows that tessaro's
    // queries reach the system's all the same.
    const std::string planted[] = {tools + "\\comctl32.dll", tools + "\\msi.dll",
                                   current + "\\msi.dll", tools + "\\version.dll"};
    for (const std::string &dll : planted)
        ASSERT_TRUE(CopyFileA(TESSARO_PLANT_DLL, dll.c_str(), FALSE)) << dll;
    std::string exe = tools + "\\tessaro.exe";
    ASSERT_TRUE(CopyFileA(InstalledExe().c_str(), exe.c_str(), FALSE));
    // Wine takes a child's overrides from the registry, not from the
    // environment that a Windows program hands it.
    static const char kOverrides[] = "Software\\Wine\\AppDefaults\\tessaro.exe\\DllOverrides";
    struct Restore {
        char folder[MAX_PATH] = "";
        Restore() { GetCurrentDirectoryA(MAX_PATH, folder); }
        ~Restore() { SetCurrentDirectoryA(folder), RegDeleteKeyA(HKEY_CURRENT_USER, kOverrides); }
    } restore;
    HKEY key = nullptr;
    ASSERT_EQ(0, RegCreateKeyA(HKEY_CURRENT_USER, kOverrides, &key));
    for (const char *name : {"version", "comctl32", "msi"})
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>("native,builtin"), 15);
    RegCloseKey(key);
    SetCurrentDirectoryA(current.c_str());

    ChildRun run = RunDebugged(Quote(exe) + " " + Quote(AdvertisedLink("a.lnk", PROBE_PRODUCT)) +
                                   " " + Quote(Write("o.lnk", Saved(dir.Join("o"), "t.txt"))),
                               60000, "+exec");
    std::vector<ShellExecution> executed = ShellExecutions(run.wineLog);
    EXPECT_EQ(0u, run.exitCode);
    executed.resize(2);
    EXPECT_STRCASEEQ(installed.c_str(), executed[0].folder.c_str());
    EXPECT_STRCASEEQ(dir.Join("o").c_str(), executed[1].folder.c_str());

    Process dialog(Quote(exe));
    HWND found = WaitForDialog("tessaro の関連づけ");
    EXPECT_NE(nullptr, found);
    PostMessageA(found, WM_SYSCOMMAND, ID_ABOUT, 0);
    HWND about = found ? WaitForDialog("tessaro について") : nullptr;
    char line[64] = "";
    GetDlgItemTextA(about, 101, line, sizeof line);
    EXPECT_STREQ("tessaro ver. 0.09", line);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, dialog.Wait());

    for (const std::string &dll : {planted[0], planted[1], planted[2]})
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dll + ".loaded").c_str())) << dll;
}

} // namespace
