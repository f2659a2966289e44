// Shortcuts as Windows writes them whose stored item list does not lead to
// the target: Windows Installer's advertised shortcuts, to a package that
// msiexec really installs, and shortcuts saved without an item list.
#include "harness/shellwindows.h"
#include "reliability/shell_watch.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <string.h>

namespace {

// The codes of probe.wxs; the third names no package.
const GUID kProduct = {
    0xEC8F0344, 0x6E94, 0x406F, {0xBA, 0xFE, 0x77, 0x69, 0xF5, 0x85, 0xE8, 0xD2}};
const GUID kComponent = {
    0x290E2433, 0x8995, 0x4FAA, {0xB7, 0xDB, 0x61, 0x96, 0x35, 0x76, 0x7B, 0x25}};
const GUID kUnknown = {
    0x7FBE8BC8, 0xDC51, 0x44D7, {0xAE, 0x49, 0x4F, 0x36, 0x35, 0x89, 0x74, 0x94}};

const size_t kFlagsAt = 20, kListAt = 76;
const DWORD kHasIdList = 1, kHasDarwinId = 0x1000;

// Four little-endian DWORDs, five base-85 digits each, least significant
// first: the form of a code in an installer descriptor.
std::string Packed(const GUID &guid) {
    static const char digits[] = "!$%&'()*+,-.0123456789=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`"
                                 "abcdefghijklmnopqrstuvwxyz{}~";
    DWORD parts[4];
    memcpy(parts, &guid, sizeof parts);
    std::string out;
    for (DWORD x : parts)
        for (int i = 0; i < 5; ++i, x /= 85)
            out += digits[x % 85];
    return out;
}

std::string WithFlags(std::string link, DWORD set, DWORD clear) {
    DWORD flags;
    memcpy(&flags, &link[kFlagsAt], sizeof flags);
    flags = (flags | set) & ~clear;
    memcpy(&link[kFlagsAt], &flags, sizeof flags);
    return link;
}

// As Windows Installer writes it: the list of the product's cached icon,
// and the descriptor in a Darwin block ahead of the terminal block.
std::string Advertised(const std::string &link, const GUID &product) {
    std::string descriptor = Packed(product) + "Complete>" + Packed(kComponent);
    std::string block(0x314, '\0');
    const DWORD head[2] = {0x314, 0xA0000006};
    memcpy(&block[0], head, sizeof head);
    for (size_t i = 0; i < descriptor.size(); ++i)
        block[8 + i] = block[8 + MAX_PATH + 2 * i] = descriptor[i];
    return WithFlags(std::string(link).insert(link.size() - 4, block), kHasDarwinId, 0);
}

// Saved without an item list: the link-info path alone is left.
std::string WithoutList(const std::string &link) {
    size_t size = 2 + (static_cast<unsigned char>(link[kListAt]) |
                       static_cast<unsigned char>(link[kListAt + 1]) << 8);
    return WithFlags(std::string(link).erase(kListAt, size), 0, kHasIdList);
}

std::string Braced(const GUID &guid) {
    WCHAR wide[40];
    StringFromGUID2(guid, wide, 40);
    char text[40];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

class WrittenLinks : public testing::Test {
  protected:
    static std::string installed; // the package's folder, once msiexec has put it there

    // Once per binary: the installation is the slow part.
    static void SetUpTestSuite() {
        char programs[MAX_PATH] = "";
        SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programs);
        std::string line = "msiexec /i " + Quote(TESSARO_PROBE_MSI) + " /qn";
        STARTUPINFOA start = {};
        start.cb = sizeof start;
        PROCESS_INFORMATION process;
        DWORD code = 1;
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                           &process)) {
            WaitForSingleObject(process.hProcess, 600000);
            GetExitCodeProcess(process.hProcess, &code);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        std::string folder = std::string(programs) + "\\tessaro probe";
        if (code == 0 &&
            GetFileAttributesA((folder + "\\readme.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
            installed = folder;
    }

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
        std::string cache = std::string(windows) + "\\Installer\\" + Braced(product);
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
        EXPECT_TRUE(WriteFileBytes(dir.Join(name), WithoutList(ReadFileBytes(made))));
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
         {AdvertisedLink("product.lnk", kProduct), AdvertisedLink("unknown.lnk", kUnknown),
          ListlessLink("listless.lnk", dir.Join("listless")), goneLink, dir.Join("last.lnk")})
        args += " " + Quote(link);
    OpenRun run = RunOpenMode(args);
    EXPECT_TRUE(run.child.finished && !run.child.crashed);
    EXPECT_EQ(0u, run.child.exitCode);
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string expected[] = {installed,
                                    std::string(windows) + "\\Installer\\" + Braced(kUnknown),
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
    ASSERT_TRUE(MoveFileW(Wide(AdvertisedLink("select.lnk", kProduct)).c_str(), link.c_str()));
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
