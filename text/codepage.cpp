#include "text/codepage.h"

#include <windows.h>

bool IsAnsiLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != 0;
}
