// The /select option in a command line that the dialog shows: read and
// edited by the rules that split it when the shell runs it.
#pragma once

enum { kSelectRead = -1, kSelectRemove = 0, kSelectAdd = 1 };

// line: kCommandCapacity bytes. Adding puts "/select " just before the last
// "%1" argument (at the end when there is none) unless one is there;
// removing takes every /select argument out with the blanks before it, and
// nothing else. Returns whether the line then holds /select; a line that
// cannot be split, or would not fit, stays as it was.
bool EditSelectOption(char *line, int change);
