// Copying and formatting into fixed buffers that always end terminated.
#pragma once
#include <stdarg.h>
#include <stddef.h>

int FormatBounded(size_t size, char *buffer, const char *format, ...)
    __attribute__((format(ms_printf, 3, 4)));
int FormatBoundedV(size_t size, char *buffer, const char *format, va_list args);

// Never leaves the first byte of a double-byte character at the end, nor
// part of a UTF-8 character where that is the ANSI code page.
void CopyBounded(size_t size, char *destination, const char *source);

// n, moved back to the start of the UTF-8 character that text[n] belongs
// to, so that a cut before it keeps whole characters only.
size_t Utf8Cut(const char *text, size_t n);

bool StrEqual(const char *a, const char *b);

// Returns the address just past the block.
void *ZeroFill(size_t size, void *block);
