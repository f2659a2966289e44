// A broken invariant aborts: libFuzzer reports that as a finding and keeps
// the input that caused it.
#pragma once
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>

[[noreturn]] inline void FuzzCheckFailed(const char *file, int line, const char *condition) {
    fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    abort();
}

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? (void)0 : FuzzCheckFailed(__FILE__, __LINE__, #condition))

// Bytes as C escapes, for the message before a failed check.
inline void FuzzPrintBytes(const char *label, const char *bytes, size_t n) {
    fprintf(stderr, "%s \"", label);
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
            fputc(c, stderr);
        else
            fprintf(stderr, "\\x%02X", c);
    }
    fprintf(stderr, "\"\n");
}
