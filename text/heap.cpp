#include "text/heap.h"

#include <windows.h>
#include <string.h>
#include <wchar.h>

void *MemAlloc(size_t size) {
    return HeapAlloc(GetProcessHeap(), 0, size);
}

bool MemFree(void *block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
    return true;
}

char *MemDupString(const char *text) {
    size_t size = strlen(text) + 1;
    char *copy = static_cast<char *>(MemAlloc(size));
    if (copy)
        memcpy(copy, text, size);
    return copy;
}

wchar_t *MemDupString(const wchar_t *text) {
    size_t size = (wcslen(text) + 1) * sizeof(wchar_t);
    wchar_t *copy = static_cast<wchar_t *>(MemAlloc(size));
    if (copy)
        memcpy(copy, text, size);
    return copy;
}
