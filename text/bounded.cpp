#include "text/bounded.h"
#include "text/codepage.h"
#include "text/sjis.h"

#include <stdio.h>
#include <string.h>

int FormatBoundedV(size_t size, char *buffer, const char *format, va_list args) {
    if (size == 0)
        return -1;
    // _vsnprintf leaves a text that fills the allowance unterminated.
    int r = _vsnprintf(buffer, size - 1, format, args);
    if (r > 0 && static_cast<size_t>(r) < size)
        buffer[r] = '\0';
    else
        buffer[size - 1] = '\0';
    return r >= 0 ? r : -1;
}

int FormatBounded(size_t size, char *buffer, const char *format, ...) {
    va_list args;
    va_start(args, format);
    int r = FormatBoundedV(size, buffer, format, args);
    va_end(args);
    return r;
}

namespace {

enum ByteClass { kSingle, kLead, kSecond };

// Class of source[index], walking from the start so that a second byte is
// never mistaken for a lead byte. A source that ends first fits: single.
ByteClass ClassifyByte(const char *source, size_t index) {
    ByteClass cls = kSingle;
    for (size_t i = 0; i <= index; ++i) {
        unsigned char c = static_cast<unsigned char>(source[i]);
        if (c == 0)
            return kSingle;
        if (cls == kLead)
            cls = IsSjisTrailByte(c) ? kSecond : kSingle;
        else
            cls = IsSjisLeadByte(c) ? kLead : kSingle;
    }
    return cls;
}

} // namespace

size_t Utf8Cut(const char *text, size_t n) {
    // No character has more than three continuation bytes.
    for (int i = 0; i < 3 && n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80; ++i)
        --n;
    return n;
}

void CopyBounded(size_t size, char *destination, const char *source) {
    if (size == 0)
        return;
    size_t n = size - 1;
    if (AnsiIsUtf8()) {
        size_t length = 0;
        while (length < n && source[length])
            ++length;
        if (length == n)
            n = Utf8Cut(source, n);
    } else if (ClassifyByte(source, size - 1) == kSecond) {
        n = size - 2;
    }
    strncpy(destination, source, n);
    destination[n] = '\0';
}

bool StrEqual(const char *a, const char *b) {
    return strcmp(a, b) == 0;
}

void *ZeroFill(size_t size, void *block) {
    memset(block, 0, size);
    return static_cast<char *>(block) + size;
}
