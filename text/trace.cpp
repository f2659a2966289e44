#include "text/trace.h"

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>

// Null until assigned: a pointer set at build time would cost the exe a
// data section of its own.
TraceSinkFn TraceSink;

TraceSinkFn GetTraceSink() {
    return TraceSink ? TraceSink : DefaultTraceSink;
}

int DefaultTraceSink(const char *format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    int r = _vsnprintf(line, sizeof line - 1, format, args);
    va_end(args);
    line[sizeof line - 1] = '\0';
    OutputDebugStringA(line);
    return r;
}
