#include "assoc/commandline.h"
#include "text/bounded.h"
#include "text/capacity.h"

#include <windows.h>

#define COMMAND_LINE_FORMAT "\"%s\"%s%s%s%s \"%s\""

bool BuildCommandLine(char *out, const char *verb) {
    // One byte beyond the capacity: a path that does not fit either fills
    // the buffer or, cut before a double-byte character, stops one short.
    char path[kPathCapacity + 1];
    DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof path);
    if (length == 0 || length >= kPathCapacity) {
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
