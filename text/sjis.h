// Shift-JIS character scanning with the fixed lead-byte ranges, so that a
// second byte equal to an ASCII code (0x5C above all) is never taken for it.
#pragma once
#include <stddef.h>

inline bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
inline bool IsSjisTrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

unsigned GetCharCode(const char *p);
const char *NextChar(const char *p);
bool CharEqualNoCase(unsigned a, unsigned b);

size_t SpanInSet(const char *set, const char *text);
size_t SpanNotInSet(const char *set, const char *text);
const char *FindCharNoCase(const char *text, unsigned code);
const char *FindColon(const char *text);
const char *FindVerbOption(const char *text);
bool MatchVerbPrefix(const char *text, size_t n);
bool IsVerbOption(const char *argument);
