// Splits a command line into one heap block: argc + 1 pointers (the last
// null) followed by the packed argument texts. Released with MemFree.
#pragma once

char **SplitCommandLine(const char *commandLine, int *argc);
// The same rules over UTF-16, which has no lead bytes.
wchar_t **SplitCommandLine(const wchar_t *commandLine, int *argc);
