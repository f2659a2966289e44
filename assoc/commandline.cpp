#include "assoc/commandline.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/codepage.h"
#include "text/library.h"

#include <windows.h>

#define COMMAND_LINE_FORMAT "\"%s\"%s%s%s%s \"%s\""

namespace {

typedef DWORD(WINAPI *ModuleNameFunction)(HMODULE, LPWSTR, DWORD);
typedef DWORD(WINAPI *ShortPathFunction)(LPCWSTR, LPWSTR, DWORD);

// The code page's copy of the program's path is a best fit where a folder
// holds a character it lacks ("Müller" becomes "Muller") and names no file;
// the short form, where the volume keeps one, may spell it. Windows 95 to Me
// keep no other copy, and the wide functions are looked up since they lack
// them. Leaves in path a form that names the program, or gives false.
bool NameProgram(char *path) {
    if (GetVersion() & 0x80000000u)
        return true;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto moduleName = FindExport<ModuleNameFunction>(kernel, "GetModuleFileNameW");
    auto shortName = FindExport<ShortPathFunction>(kernel, "GetShortPathNameW");
    wchar_t wide[kWidePathCapacity], back[kWidePathCapacity];
    if (!moduleName || !shortName)
        return false;
    DWORD length = moduleName(nullptr, wide, kWidePathCapacity);
    if (length == 0 || length >= kWidePathCapacity)
        return false;
    if (ConvertsBack(path, wide, back, kWidePathCapacity))
        return true;
    // The system allows one buffer for both paths.
    length = shortName(wide, wide, kWidePathCapacity);
    return length != 0 && length < kWidePathCapacity &&
           WideCharToMultiByte(CP_ACP, 0, wide, -1, path, kPathCapacity, nullptr, nullptr) &&
           ConvertsBack(path, wide, back, kWidePathCapacity);
}

} // namespace

bool BuildCommandLine(char *out, const char *verb) {
    // One byte beyond the capacity: a path that does not fit either fills
    // the buffer or, cut before a double-byte character, stops one short.
    char path[kPathCapacity + 1];
    DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof path);
    if (length == 0 || length >= kPathCapacity || !NameProgram(path)) {
        // A cut path would name some other file, or none.
        CopyBounded(kCommandCapacity, out, "");
        return true;
    }
    bool hasVerb = verb != nullptr;
    FormatBounded(kCommandCapacity, out, COMMAND_LINE_FORMAT, path, hasVerb ? " /verb:" : "",
                  hasVerb ? "\"" : "", hasVerb ? verb : "", hasVerb ? "\"" : "", "%1");
    out[kCommandCapacity - 1] = '\0';
    return true;
}
