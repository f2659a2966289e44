// What the tests need from the platform beyond the code under test.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Wine's differences are named in one place each; this is the check.
bool IsWine();

// A scratch folder under the prefix's temp directory, removed with its
// contents when the object goes.
class ScratchDir {
  public:
    explicit ScratchDir(const char *name);
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    const std::string &path() const { return path_; }
    std::string Join(const std::string &name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

bool MakeDirs(const std::string &path);
// Code-page text in UTF-16, and back.
std::wstring Widen(const std::string &text);
std::string Narrow(const std::wstring &wide);
bool WriteFileBytes(const std::string &path, const std::string &bytes);
std::string ReadFileBytes(const std::string &path);

// Writes a shortcut through the shell link object and IPersistFile::Save.
bool MakeShortcut(const std::string &link, const std::string &target);

// Runs a program as its debugger: every OutputDebugStringA line and the
// exit code come back; an unhandled exception is recorded, not shown.
struct ChildRun {
    bool started = false;
    bool finished = false;
    DWORD exitCode = 0;
    bool crashed = false;
    std::vector<std::string> traces;
    std::string wineLog;
};
// wineDebug sets WINEDEBUG for the child alone; its channels write to the
// Unix standard error shared with this process, which the harness keeps in
// a file: ChildRun::wineLog holds what the child added to it.
ChildRun RunDebugged(const std::string &commandLine, DWORD timeoutMs = 30000,
                     const char *wineDebug = nullptr);

// tessaro.exe installed where a user has it: in a folder of its own under
// the Program Files folder of 32-bit programs ("C:\Program Files (x86)" on
// a 64-bit system). Copied there from the build at the first call.
const std::string &InstalledExe();
// Its quoted path, the way the stored command line names it.
std::string TessaroExe();

// Top-level windows of a class, titles as CP932.
std::vector<std::pair<HWND, std::string>> FindTopWindows(const char *className);
// Those of the class with exactly this title, visible or not.
std::vector<HWND> FindTopWindows(const char *className, const std::string &title);
void PumpMessagesFor(DWORD ms);

// Wine's shell opens a folder in a window of this class, titled with the
// folder's name.
#define FOLDER_WINDOW_CLASS "ExplorerWClass"

std::string Quote(const std::string &s);
// The command line the shell runs for an installed verb.
std::string StoredCommand(const std::string &verb, const std::string &shortcut);
std::string LastComponent(const std::string &path);
std::vector<HWND> FolderWindows(const std::string &title);
void CloseFolderWindows();
// Waits for `count` folder windows titled `title`; returns how many came.
// The bounds of these waits allow for 32-bit programs that run emulated.
size_t WaitForFolderWindows(const std::string &title, size_t count, DWORD ms = 60000);
// Names of the selected items in the file list of a folder window titled
// `title`, read from outside its process, once they are `expected` or ms
// have passed.
std::vector<std::string> WaitForSelection(const std::string &title,
                                          const std::vector<std::string> &expected,
                                          DWORD ms = 60000);
// Whether this machine runs 32-bit x86 programs through a user-mode
// emulator (wine-test.sh finds out): Wine's processes then start slowly.
bool EmulatedI386();

// Expects the child at x, y with size cx, cy in dialog units, each mapped
// on its own as the dialog manager maps them.
void ExpectAtDialogUnits(HWND dialog, HWND child, int x, int y, int cx, int cy);

// RunDebugged with a UTF-16 command line, as the shell starts programs on NT.
ChildRun RunDebuggedW(const std::wstring &commandLine, DWORD timeoutMs = 30000,
                      const char *wineDebug = nullptr);
