#include "app/modes.h"
#include "app/cmdline.h"
#include "app/elevation.h"
#include "dialog/assocdlg.h"
#include "open/args.h"
#include "open/installer.h"
#include "open/select.h"
#include "open/shortcut.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/codepage.h"
#include "text/heap.h"
#include "text/library.h"
#include "text/trace.h"

#include <windows.h>
#include <objbase.h>
#include <wchar.h>

namespace {

// Options count only where both texts have them. Best fit spells some
// characters as a backslash (U+00A5 as 0x5C), which then escapes a quote
// and moves the code page's split: an option seen there alone was never
// typed as one. The UTF-16 verb is compared as the code page spells it.
void AgreeOptions(char *verb, bool *select, bool wideSelect, const wchar_t *wideVerb) {
    char spelt[kCommandCapacity] = "";
    if (wideVerb &&
        !WideCharToMultiByte(CP_ACP, 0, wideVerb, -1, spelt, sizeof spelt, nullptr, nullptr))
        spelt[0] = '\0';
    if (!StrEqual(verb, spelt))
        verb[0] = '\0';
    *select = *select && wideSelect;
}

// The code page's copy of the UTF-16 command line spells a character it
// lacks as a look-alike or "?". Split by the same rules, the two correspond
// argument for argument: the result keeps the UTF-16 text of each argument
// that does not convert back, null elsewhere. Null when every argument
// converts back or the lines cannot be matched (other counts, no memory):
// then the copy serves for the paths, as on Windows 95. Where anything
// differs, the options are agreed too. Released with MemFree.
wchar_t **MatchUnicodeArguments(int argc, char **argv, const wchar_t *commandLine, char *verb,
                                bool *select) {
    int wideArgc = 0;
    wchar_t **wide = commandLine ? SplitCommandLine(commandLine, &wideArgc) : nullptr;
    if (!wide)
        return nullptr;
    bool wideSelect = HasSelectOption(wideArgc, wide);
    const wchar_t *wideVerb = FindVerbText(wideArgc, wide);
    // No argument is longer than the line it came from.
    int room = wideArgc == argc ? static_cast<int>(wcslen(commandLine)) + 1 : 0;
    wchar_t *back = room ? static_cast<wchar_t *>(MemAlloc(room * sizeof(wchar_t))) : nullptr;
    bool matched = back != nullptr, differs = !matched;
    for (int i = 1; back && i < argc; ++i) {
        if (ConvertsBack(argv[i], wide[i], back, room))
            wide[i] = nullptr;
        else
            differs = true;
    }
    MemFree(back);
    if (differs)
        AgreeOptions(verb, select, wideSelect, wideVerb);
    if (!differs || !matched) {
        MemFree(wide);
        return nullptr;
    }
    return wide;
}

} // namespace

Mode SelectMode(int argc) {
    return argc <= 1 ? InstallModeKind : OpenModeKind;
}

int OpenMode(int argc, char **argv, const wchar_t *unicodeCommandLine) {
    char verb[kCommandCapacity];
    ExtractVerbOption(verb, argc, argv);
    bool select = HasSelectOption(argc, argv);
    wchar_t **wideArgs = MatchUnicodeArguments(argc, argv, unicodeCommandLine, verb, &select);
    int count = 0;
    WidePathList wide = nullptr;
    PathList list =
        BuildPathList(argc - 1, argv + 1, &count, wideArgs ? wideArgs + 1 : nullptr, &wide);
    MemFree(wideArgs);
    if (list) {
        const char *folderVerb = verb[0] ? verb : "open";
        if (select)
            OpenAndSelectTargets(count, list, folderVerb, wide);
        else
            OpenTargetFolders(count, list, folderVerb, wide);
        // Once a run, whichever way the folders opened.
        FreeInstaller();
        FreePathList(list, count, wide);
    }
    return 0;
}

namespace {

// The list views and the about box's tooltip are comctl32's classes; the
// DLL comes from the system folder for the dialog's lifetime only, so an
// OpenMode run never loads it. Ordinal 17 is InitCommonControls in every
// version.
void ShowDialogWithCommonControls() {
    HMODULE controls = LoadSystemLibrary("comctl32.dll");
    typedef void(WINAPI * InitFunction)();
    auto init = controls ? FindExport<InitFunction>(controls, MAKEINTRESOURCEA(17)) : nullptr;
    if (init)
        init();
    ShowAssociationDialog();
    if (controls)
        FreeLibrary(controls);
}

} // namespace

int InstallMode() {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, INSTALL_MUTEX_NAME);
    // Another instance shows the dialog, or hands it to the one instance
    // that its request started; it is not looked for or raised.
    bool first = mutex && GetLastError() != ERROR_ALREADY_EXISTS;
    if (first ? !HandOverToElevated() : TakeOverDialog(mutex))
        ShowDialogWithCommonControls();
    if (mutex)
        CloseHandle(mutex);
    return 0;
}

namespace {

int Dispatch(int argc, char **argv, const wchar_t *unicodeCommandLine) {
    if (SelectMode(argc) == OpenModeKind)
        return OpenMode(argc, argv, unicodeCommandLine);
    return InstallMode();
}

} // namespace

int RunTessaro(const char *commandLine, const wchar_t *unicodeCommandLine) {
    int argc = 0;
    char **argv = SplitCommandLine(commandLine, &argc);
    if (!argv)
        return 1;
    for (int i = 0; i < argc; ++i)
        GetTraceSink()(TRACE_ARGV_FORMAT, i, argv[i]);
    CoInitialize(nullptr);
    int result = Dispatch(argc, argv, unicodeCommandLine);
    CoUninitialize();
    MemFree(argv);
    return result;
}
