// The lead-byte test of the ANSI code page in force. The scanners' fixed
// Shift-JIS ranges agree with it on code page 932; the splitter's one-
// character copy asks the system, as the shell's own splitting does.
#pragma once

bool IsAnsiLeadByte(unsigned char c);
