// Splits a command line into one heap block: argc + 1 pointers (the last
// null) followed by the packed argument texts. Released with MemFree.
#pragma once

char **SplitCommandLine(const char *commandLine, int *argc);
// The same rules over UTF-16, which has no lead bytes.
wchar_t **SplitCommandLine(const wchar_t *commandLine, int *argc);
// Walks the arguments in the text itself, by the same rules: from the line
// with first true (argument 0), then from where the previous one ended.
// *begin receives where the argument's text starts; the result is where it
// ends, or null when none is left.
const char *NextArgumentSpan(const char *p, bool first, const char **begin);
