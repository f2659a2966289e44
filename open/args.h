// What OpenMode makes of its arguments: the verb and the existing paths.
#pragma once

// Null-terminated heap array of heap copies of canonical paths.
typedef char **PathList;

// verb: kCommandCapacity bytes. The last "/verb:" option wins.
bool ExtractVerbOption(char *verb, int argc, char **argv);
// "/select" in any letter case: an option, never a path.
bool IsSelectOption(const char *argument);
bool HasSelectOption(int argc, char **argv);
PathList BuildPathList(int n, char **args, int *count);
bool FreePathList(PathList list, int count);
