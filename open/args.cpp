#include "open/args.h"
#include "open/paths.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/heap.h"
#include "text/sjis.h"

bool ExtractVerbOption(char *verb, int argc, char **argv) {
    CopyBounded(kCommandCapacity, verb, "");
    for (int i = 1; i < argc; ++i) {
        if (IsVerbOption(argv[i]))
            CopyBounded(kCommandCapacity, verb, FindColon(argv[i]) + 1);
    }
    return true;
}

bool IsSelectOption(const char *argument) {
    for (const char *a = argument, *b = "/select";; a = NextChar(a), b = NextChar(b)) {
        if (!CharEqualNoCase(GetCharCode(a), GetCharCode(b)))
            return false;
        if (*a == '\0')
            return true;
    }
}

bool HasSelectOption(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        if (IsSelectOption(argv[i]))
            return true;
    }
    return false;
}

PathList BuildPathList(int n, char **args, int *count) {
    PathList list = static_cast<PathList>(MemAlloc((static_cast<size_t>(n) + 1) * sizeof(char *)));
    if (!list)
        return nullptr;
    *count = 0;
    for (int i = 0; i < n; ++i) {
        if (IsSelectOption(args[i]))
            continue;
        // A verb option drops out here: it names nothing that exists.
        char canonical[kPathCapacity];
        if (!PathExists(args[i]) || !CanonicalizePath(canonical, args[i]))
            continue;
        char *copy = MemDupString(canonical);
        if (!copy) {
            FreePathList(list, *count);
            return nullptr;
        }
        list[(*count)++] = copy;
    }
    list[*count] = nullptr;
    return list;
}

bool FreePathList(PathList list, int count) {
    for (int i = 0; i < count; ++i)
        MemFree(list[i]);
    MemFree(list);
    return true;
}
