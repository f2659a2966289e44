#include "app/modes.h"
#include "app/cmdline.h"
#include "dialog/assocdlg.h"
#include "open/args.h"
#include "open/select.h"
#include "open/shortcut.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/heap.h"
#include "text/trace.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

Mode SelectMode(int argc) {
    return argc <= 1 ? InstallModeKind : OpenModeKind;
}

int OpenMode(int argc, char **argv) {
    char verb[kCommandCapacity];
    ExtractVerbOption(verb, argc, argv);
    int count = 0;
    PathList list = BuildPathList(argc - 1, argv + 1, &count);
    if (list) {
        const char *folderVerb = verb[0] ? verb : "open";
        if (HasSelectOption(argc, argv))
            OpenAndSelectTargets(count, list, folderVerb);
        else
            OpenTargetFolders(count, list, folderVerb);
        FreePathList(list, count);
    }
    return 0;
}

int InstallMode() {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, INSTALL_MUTEX_NAME);
    if (!mutex)
        return 0;
    // Another instance shows the dialog; it is not looked for or raised.
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        ShowAssociationDialog();
    CloseHandle(mutex);
    return 0;
}

namespace {

int Dispatch(int argc, char **argv) {
    if (SelectMode(argc) == OpenModeKind)
        return OpenMode(argc, argv);
    return InstallMode();
}

} // namespace

int RunTessaro(const char *commandLine) {
    int argc = 0;
    char **argv = SplitCommandLine(commandLine, &argc);
    if (!argv)
        return 1;
    for (int i = 0; i < argc; ++i)
        GetTraceSink()(TRACE_ARGV_FORMAT, i, argv[i]);
    InitCommonControls();
    CoInitialize(nullptr);
    int result = Dispatch(argc, argv);
    CoUninitialize();
    MemFree(argv);
    return result;
}
