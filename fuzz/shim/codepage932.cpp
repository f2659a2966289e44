#include "text/codepage.h"

// What IsDBCSLeadByte answers under code page 932, the code page tessaro
// runs under; stated from the code page, not taken from text/sjis.h.
bool IsAnsiLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool AnsiIsUtf8() {
    return false;
}
