// Shortcuts as Windows writes them whose stored item list does not lead to
// the target: Windows Installer's advertised shortcuts, to a package that
// msiexec really installs, and shortcuts saved without an item list.
#include "harness/advertised.h"
#include "harness/shellwindows.h"
#include "reliability/shell_watch.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

// Names no package.
const GUID kUnknown = {
    0x7FBE8BC8, 0xDC51, 0x44D7, {0xAE, 0x49, 0x4F, 0x36, 0x35, 0x89, 0x74, 0x94}};

class WrittenLinks : public testing::Test {
  protected:
    static std::string installed; // the package's folder, once msiexec has put it there

    // Once per binary: the installation is the slow part.
    static void SetUpTestSuite() { installed = InstallProbe(TESSARO_PROBE_MSI); }

    ScratchDir dir{"tessaro-written"};

    void SetUp() override {
        ASSERT_FALSE(installed.empty()) << "msiexec did not install " << TESSARO_PROBE_MSI;
        CloseFolderWindows();
    }
    void TearDown() override { CloseFolderWindows(); }

    // An advertised shortcut to the icon that the product's cache holds.
    std::string AdvertisedLink(const std::string &name, const GUID &product) {
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, sizeof windows);
        std::string cache = std::string(windows) + "\\Installer\\" + BracedGuid(product);
        std::string made = dir.Join("made.lnk");
        EXPECT_TRUE(MakeDirs(cache) && WriteFileBytes(cache + "\\probe.ico", "") &&
                    MakeShortcut(made, cache + "\\probe.ico"));
        EXPECT_TRUE(WriteFileBytes(dir.Join(name), Advertised(ReadFileBytes(made), product)));
        return dir.Join(name);
    }
    std::string ListlessLink(const std::string &name, const std::string &folder) {
        std::string made = dir.Join("made.lnk");
        EXPECT_TRUE(MakeDirs(folder) && WriteFileBytes(folder + "\\t.txt", "x") &&
                    MakeShortcut(made, folder + "\\t.txt"));
        EXPECT_TRUE(WriteFileBytes(dir.Join(name), WithoutIdList(ReadFileBytes(made))));
        return dir.Join(name);
    }
};

std::string WrittenLinks::installed;

// The installed product's folder, the unknown product's cache folder (as
// designed), the folder of a link-info path, nothing for one whose target
// is gone, and an ordinary shortcut's folder: in the order given.
TEST_F(WrittenLinks, EachKindOpensItsFolderInOrder) {
    std::string gone = dir.Join("gone");
    std::string goneLink = ListlessLink("gone.lnk", gone);
    ASSERT_TRUE(DeleteFileA((gone + "\\t.txt").c_str()));
    std::string last = dir.Join("last");
    ASSERT_TRUE(MakeDirs(last) && WriteFileBytes(last + "\\t.txt", "x") &&
                MakeShortcut(dir.Join("last.lnk"), last + "\\t.txt"));
    std::string args;
    for (const std::string &link :
         {AdvertisedLink("product.lnk", kProbeProduct), AdvertisedLink("unknown.lnk", kUnknown),
          ListlessLink("listless.lnk", dir.Join("listless")), goneLink, dir.Join("last.lnk")})
        args += " " + Quote(link);
    OpenRun run = RunOpenMode(args);
    EXPECT_TRUE(run.child.finished && !run.child.crashed);
    EXPECT_EQ(0u, run.child.exitCode);
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string expected[] = {installed,
                                    std::string(windows) + "\\Installer\\" + BracedGuid(kUnknown),
                                    dir.Join("listless"), last};
    ASSERT_EQ(4u, run.executed.size()) << run.child.wineLog.substr(0, 3000);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_STRCASEEQ(expected[i].c_str(), run.executed[i].folder.c_str()) << i;
    EXPECT_TRUE(run.boxes.empty());
}

std::wstring Wide(const std::string &text) {
    WCHAR wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH);
    return wide;
}

// Under a name the code page cannot spell, as the shell starts tessaro on
// NT: the lookup then takes the UTF-16 path.
TEST_F(WrittenLinks, SelectSelectsTheInstalledFile) {
    std::wstring link = Wide(dir.path()) + L"\\select \u2603.lnk";
    ASSERT_TRUE(MoveFileW(Wide(AdvertisedLink("select.lnk", kProbeProduct)).c_str(), link.c_str()));
    std::wstring exe = Wide(TessaroExe());
    ChildRun run = RunDebuggedW(exe + L" \"" + link + L"\"", 30000, "+exec");
    std::vector<ShellExecution> executed = ShellExecutions(run.wineLog);
    ASSERT_EQ(1u, executed.size());
    EXPECT_STRCASEEQ(installed.c_str(), executed[0].folder.c_str());
    // Selected in the folder's window once it is open: an emulated explorer
    // comes up too late for Wine's shell to select in a new one.
    ASSERT_TRUE(WaitForShellWindow(installed.c_str(), 60000));
    run = RunDebuggedW(exe + L" /select \"" + link + L"\"");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(std::vector<std::string>{"readme.txt"},
              WaitForSelection(LastComponent(installed), {"readme.txt"}));
    DeleteFileW(link.c_str());
}

} // namespace
