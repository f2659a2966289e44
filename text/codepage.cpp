#include "text/codepage.h"

#include <windows.h>

bool IsAnsiLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != 0;
}

bool ConvertsBack(const char *text, const wchar_t *wide, wchar_t *buffer, int capacity) {
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, capacity))
        return false;
    for (int i = 0; buffer[i] == wide[i]; ++i)
        if (!buffer[i])
            return true;
    return false;
}

bool AnsiIsUtf8() {
    return GetACP() == CP_UTF8;
}

const char *OwnText(const char *text, char *buffer) {
    UINT acp = GetACP();
    if (acp == 932)
        return text;
    wchar_t wide[kOwnTextCapacity];
    // UTF-8 refuses the lost-character flag; it can spell everything.
    BOOL lost = FALSE;
    if (!MultiByteToWideChar(932, 0, text, -1, wide, kOwnTextCapacity) ||
        !WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, kOwnTextCapacity, nullptr,
                             acp == CP_UTF8 ? nullptr : &lost) ||
        lost)
        return text;
    return buffer;
}
