// Debug-trace output, the program's only diagnostics. The sink is read
// afresh for every line, so assigning it redirects everything after.
#pragma once

typedef int (*TraceSinkFn)(const char *format, ...);

extern TraceSinkFn TraceSink;

TraceSinkFn GetTraceSink();
int DefaultTraceSink(const char *format, ...) __attribute__((format(ms_printf, 1, 2)));

#define TRACE_ARGV_FORMAT "argv[%2d]=%s\r\n"
// InstallMode's request for elevation: 0 when it started, else the error.
#define TRACE_RUNAS_FORMAT "runas=%lu\r\n"
