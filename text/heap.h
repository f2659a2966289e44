// Blocks from the process heap: argument vectors, path lists, templates.
#pragma once
#include <stddef.h>

void *MemAlloc(size_t size);
bool MemFree(void *block);
char *MemDupString(const char *text);
wchar_t *MemDupString(const wchar_t *text);
