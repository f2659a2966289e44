// The platform edges of the splitter, for the host: code page 932's lead
// bytes, and a heap that counts what is taken from it.
#include "bench/native/shim.h"
#include "text/codepage.h"
#include "text/heap.h"

#include <new>
#include <stdlib.h>

namespace {
size_t allocations;
}

extern "C" {
void *__real_malloc(size_t size);
void *__real_calloc(size_t count, size_t size);
void *__real_realloc(void *block, size_t size);

void *__wrap_malloc(size_t size) {
    ++allocations;
    return __real_malloc(size);
}
void *__wrap_calloc(size_t count, size_t size) {
    ++allocations;
    return __real_calloc(count, size);
}
void *__wrap_realloc(void *block, size_t size) {
    ++allocations;
    return __real_realloc(block, size);
}
}

size_t AllocationCount() {
    return allocations;
}

// Code page 932, as the system's table has it.
bool IsAnsiLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

void *MemAlloc(size_t size) {
    return malloc(size);
}

bool MemFree(void *block) {
    free(block);
    return true;
}

// operator new lives in the shared C++ library, out of the wrapper's
// reach; these route it through the counted malloc.
void *operator new(size_t size) {
    if (void *p = malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept {
    free(p);
}
void operator delete(void *p, size_t) noexcept {
    free(p);
}
