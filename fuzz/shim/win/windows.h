// The little of <windows.h> that the fuzzed sources name: the process heap
// (text/heap.cpp) and the types of open/paths.h. Defined in shim/heap.cpp
// and shim/paths.cpp.
#pragma once
#include <stddef.h>

typedef int BOOL;
typedef unsigned long DWORD;
typedef size_t SIZE_T;
typedef void *HANDLE;
typedef void *LPVOID;

HANDLE GetProcessHeap();
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T size);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
