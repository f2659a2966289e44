#include "text/sjis.h"

#include <ctype.h>
#include <string.h>

namespace {

const char kVerbOption[] = "/verb:";

struct CharSet {
    unsigned char bits[32];
};

void BuildCharSet(CharSet &set, const char *members) {
    memset(set.bits, 0, sizeof set.bits);
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(members); *p; ++p)
        set.bits[*p >> 3] |= static_cast<unsigned char>(1u << (*p & 7));
}

bool InCharSet(const CharSet &set, unsigned code) {
    return code < 256 && (set.bits[code >> 3] & (1u << (code & 7)));
}

size_t Span(const char *members, const char *text, bool inside) {
    CharSet set;
    BuildCharSet(set, members);
    const char *p = text;
    while (*p && InCharSet(set, GetCharCode(p)) == inside)
        p = NextChar(p);
    return static_cast<size_t>(p - text);
}

} // namespace

unsigned GetCharCode(const char *p) {
    unsigned char c = static_cast<unsigned char>(p[0]);
    if (IsSjisLeadByte(c) && p[1] != '\0')
        return c * 256u + static_cast<unsigned char>(p[1]);
    return c;
}

const char *NextChar(const char *p) {
    if (*p == '\0')
        return p;
    if (IsSjisLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0')
        return p + 2;
    return p + 1;
}

bool CharEqualNoCase(unsigned a, unsigned b) {
    if (a == b)
        return true;
    if (a > 255 || b > 255)
        return false;
    // Only A-Z fold; tolower's C locale never touches bytes from 0x80 up.
    return tolower(static_cast<int>(a)) == tolower(static_cast<int>(b));
}

size_t SpanInSet(const char *set, const char *text) {
    return Span(set, text, true);
}

size_t SpanNotInSet(const char *set, const char *text) {
    return Span(set, text, false);
}

const char *FindCharNoCase(const char *text, unsigned code) {
    for (const char *p = text;; p = NextChar(p)) {
        if (CharEqualNoCase(GetCharCode(p), code))
            return p;
        if (*p == '\0')
            return nullptr;
    }
}

const char *FindColon(const char *text) {
    for (const char *p = text;; p = NextChar(p)) {
        if (GetCharCode(p) == ':')
            return p;
        if (*p == '\0')
            return nullptr;
    }
}

bool MatchVerbPrefix(const char *text, size_t n) {
    const char *a = text;
    const char *b = kVerbOption;
    while (static_cast<size_t>(a - text) < n && static_cast<size_t>(b - kVerbOption) < n) {
        if (!CharEqualNoCase(GetCharCode(a), GetCharCode(b)))
            return false;
        if (*a == '\0' && *b == '\0')
            return true;
        a = NextChar(a);
        b = NextChar(b);
    }
    return true;
}

const char *FindVerbOption(const char *text) {
    const size_t n = sizeof kVerbOption - 1;
    for (const char *p = FindCharNoCase(text, '/'); p; p = FindCharNoCase(NextChar(p), '/')) {
        if (MatchVerbPrefix(p, n))
            return p;
    }
    return nullptr;
}

bool IsVerbOption(const char *argument) {
    return FindVerbOption(argument) == argument;
}
