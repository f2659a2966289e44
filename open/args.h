// What OpenMode makes of its arguments: the verb and the existing paths.
#pragma once

// Null-terminated heap array of heap copies of canonical paths.
typedef char **PathList;
// Beside a PathList, where some arguments came from the UTF-16 command line:
// per entry the heap copy of its UTF-16 canonical path, or null. An entry
// kept in UTF-16 is null in the PathList, so nothing reads it in the code
// page, which cannot spell it.
typedef wchar_t **WidePathList;

// verb: kCommandCapacity bytes. The last "/verb:" option wins.
bool ExtractVerbOption(char *verb, int argc, char **argv);
// "/select" in any letter case: an option, never a path.
bool IsSelectOption(const char *argument);
bool HasSelectOption(int argc, char **argv);
// The same options in UTF-16 arguments, ASCII letters in any case; the
// verb is the text after the last "/verb:", or null.
bool HasSelectOption(int argc, wchar_t **argv);
const wchar_t *FindVerbText(int argc, wchar_t **argv);
// wideArgs: null, or per argument its UTF-16 text where that is to be used
// instead (null elsewhere), which is then never taken for "/select"; *wide
// receives the WidePathList.
PathList BuildPathList(int n, char **args, int *count, wchar_t **wideArgs = nullptr,
                       WidePathList *wide = nullptr);
bool FreePathList(PathList list, int count, WidePathList wide = nullptr);
