// The process heap over malloc, so that AddressSanitizer sees every block
// at its exact size, with a failure switch and a record of what was asked.
#include "shim/heap_probe.h"

#include <windows.h>
#include <stdlib.h>

namespace {

int processHeap;
size_t count;
size_t sizes[heap_probe::kRecorded];
size_t failFrom = static_cast<size_t>(-1);
long live;

} // namespace

void heap_probe::Reset() {
    count = 0;
    failFrom = static_cast<size_t>(-1);
}

void heap_probe::FailAfter(size_t n) {
    failFrom = count + n;
}

size_t heap_probe::Count() {
    return count;
}

size_t heap_probe::SizeOf(size_t i) {
    return i < kRecorded ? sizes[i] : 0;
}

long heap_probe::Live() {
    return live;
}

HANDLE GetProcessHeap() {
    return &processHeap;
}

LPVOID HeapAlloc(HANDLE heap, DWORD, SIZE_T size) {
    if (heap != &processHeap)
        abort();
    size_t index = count++;
    if (index < heap_probe::kRecorded)
        sizes[index] = size;
    if (index >= failFrom)
        return nullptr;
    // Windows hands out a block for size 0 too; malloc need not.
    void *block = malloc(size ? size : 1);
    if (!block)
        abort();
    ++live;
    return block;
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID block) {
    if (heap != &processHeap)
        abort();
    if (!block)
        return 1;
    free(block);
    --live;
    return 1;
}
