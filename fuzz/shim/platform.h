// Force-included into every native compile: what the Windows compiler and C
// runtime give the product sources and a Linux host does not.
#pragma once
#include <stdarg.h>
#include <stddef.h>

// The host knows no ms_printf archetype; the product's formats are plain C
// ones, so checking them as printf formats keeps the warnings meaningful.
#define ms_printf printf

// Windows semantics: -1 when the text does not fit in count bytes, and no
// terminator when it fills them exactly (shim/vsnprintf.cpp).
extern "C" int _vsnprintf(char *buffer, size_t count, const char *format, va_list args);
