#include "text/library.h"
#include "text/bounded.h"
#include "text/capacity.h"

HMODULE LoadSystemLibrary(const char *name) {
    char directory[kPathCapacity];
    UINT length = GetSystemDirectoryA(directory, sizeof directory);
    char path[kPathCapacity];
    if (!length || length >= sizeof directory ||
        FormatBounded(sizeof path, path, "%s\\%s", directory, name) < 0)
        return nullptr;
    // Its own imports are looked for in its folder too, not beside the
    // program: msi.dll pulls in comctl32.dll that way.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemLibrary(SystemLibrary *library, const char *name) {
    if (!library->looked) {
        library->looked = true;
        library->module = LoadSystemLibrary(name);
    }
    return library->module;
}

void FreeSystemLibrary(SystemLibrary *library) {
    if (library->module)
        FreeLibrary(library->module);
    library->module = nullptr;
    library->looked = false;
}
