// The tests' own model of Shift-JIS text, stated from the code page's rules
// rather than taken from the product's scanners, for the oracles to rest on.
#pragma once
#include <stddef.h>
#include <string.h>

inline bool ModelIsLead(unsigned char c) {
    return (0x81 <= c && c <= 0x9F) || (0xE0 <= c && c <= 0xFC);
}

inline bool ModelIsTrail(unsigned char c) {
    return 0x40 <= c && c <= 0xFC && c != 0x7F;
}

// Bytes of the character at s[i] of a terminated text, as the scanners step:
// a lead byte takes whatever byte follows it, unless that is the terminator.
inline size_t ModelCharLength(const char *s, size_t i) {
    return ModelIsLead(s[i]) && s[i + 1] != '\0' ? 2 : 1;
}

// The character code at s[i]: above 255 exactly for a double-byte character.
inline unsigned ModelCharCode(const char *s, size_t i) {
    const unsigned char *u = reinterpret_cast<const unsigned char *>(s);
    return ModelCharLength(s, i) == 2 ? u[i] * 256u + u[i + 1] : u[i];
}

// Only A-Z fold; double-byte codes never equal a different code.
inline bool ModelEqualNoCase(unsigned a, unsigned b) {
    auto fold = [](unsigned c) { return 'A' <= c && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a == b || (a < 256 && b < 256 && fold(a) == fold(b));
}

// How many bytes of source a bounded copy into size (>= 1) bytes keeps: the
// longest prefix that leaves room for the terminator and does not part a
// lead byte from a valid second byte.
inline size_t ModelCopyLength(const char *source, size_t size) {
    size_t length = strlen(source);
    size_t kept = 0;
    while (kept < length) {
        size_t n = ModelIsLead(source[kept]) && ModelIsTrail(source[kept + 1]) ? 2 : 1;
        if (kept + n > size - 1)
            break;
        kept += n;
    }
    return kept;
}

// Whether text begins with "/verb:" in any letter case.
inline bool ModelStartsWithVerbOption(const char *text) {
    static const char option[] = "/verb:";
    for (size_t i = 0; i < sizeof option - 1; ++i) {
        if (!ModelEqualNoCase(static_cast<unsigned char>(text[i]), option[i]))
            return false;
    }
    return true;
}
