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

namespace {

bool StartsWithOption(const wchar_t *argument, const char *option) {
    for (; *option; ++argument, ++option) {
        wchar_t c = *argument >= 'A' && *argument <= 'Z' ? *argument + ('a' - 'A') : *argument;
        if (c != static_cast<unsigned char>(*option))
            return false;
    }
    return true;
}

} // namespace

bool HasSelectOption(int argc, wchar_t **argv) {
    for (int i = 1; i < argc; ++i) {
        if (StartsWithOption(argv[i], "/select") && argv[i][7] == L'\0')
            return true;
    }
    return false;
}

const wchar_t *FindVerbText(int argc, wchar_t **argv) {
    const wchar_t *verb = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (StartsWithOption(argv[i], "/verb:"))
            verb = argv[i] + 6;
    }
    return verb;
}

PathList BuildPathList(int n, char **args, int *count, wchar_t **wideArgs, WidePathList *wide) {
    size_t entries = static_cast<size_t>(n) + 1;
    PathList list = static_cast<PathList>(MemAlloc(entries * sizeof(char *)));
    if (!list)
        return nullptr;
    WidePathList wideList = nullptr;
    if (wideArgs) {
        wideList = static_cast<WidePathList>(MemAlloc(entries * sizeof(wchar_t *)));
        if (!wideList) {
            MemFree(list);
            return nullptr;
        }
    }
    *count = 0;
    for (int i = 0; i < n; ++i) {
        bool unicode = wideArgs && wideArgs[i];
        if (!unicode && IsSelectOption(args[i]))
            continue;
        // A verb option drops out here: it names nothing that exists.
        char *copy = nullptr;
        wchar_t *wideCopy = nullptr;
        if (unicode) {
            wchar_t canonical[kWidePathCapacity];
            if (!PathExists(wideArgs[i]) || !CanonicalizePath(canonical, wideArgs[i]))
                continue;
            wideCopy = MemDupString(canonical);
        } else {
            char canonical[kPathCapacity];
            if (!PathExists(args[i]) || !CanonicalizePath(canonical, args[i]))
                continue;
            copy = MemDupString(canonical);
        }
        if (!copy && !wideCopy) {
            FreePathList(list, *count, wideList);
            return nullptr;
        }
        if (wideList)
            wideList[*count] = wideCopy;
        list[(*count)++] = copy;
    }
    list[*count] = nullptr;
    if (wideList)
        wideList[*count] = nullptr;
    if (wide)
        *wide = wideList;
    return list;
}

bool FreePathList(PathList list, int count, WidePathList wide) {
    for (int i = 0; i < count; ++i) {
        MemFree(list[i]);
        if (wide)
            MemFree(wide[i]);
    }
    MemFree(wide);
    MemFree(list);
    return true;
}
