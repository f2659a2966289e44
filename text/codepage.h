// The ANSI code page in force. The scanners' fixed Shift-JIS ranges agree
// with its lead-byte test on code page 932; the splitter's one-character
// copy asks the system, as the shell's own splitting does.
#pragma once
#include <stddef.h>

bool IsAnsiLeadByte(unsigned char c);

// Whether text, converted from the code page into buffer (capacity
// units), is wide exactly: false where the code page spells some character
// of wide only by a look-alike or "?".
bool ConvertsBack(const char *text, const wchar_t *wide, wchar_t *buffer, int capacity);

// Windows 10 and later can make UTF-8 the ANSI code page, whose characters
// no double-byte test sees.
bool AnsiIsUtf8();

// Room for any of tessaro's own texts in any code page, terminator included.
enum : unsigned { kOwnTextCapacity = 96 };

// tessaro's own texts are Shift-JIS bytes in the exe. Under another ANSI
// code page that can spell them, the system must get them in that one:
// converted into buffer (kOwnTextCapacity bytes), which is returned.
// Otherwise, and where the conversion fails, text itself.
const char *OwnText(const char *text, char *buffer);
