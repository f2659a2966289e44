// The command line stored for the verb: the quoted path of the running
// executable, an optional /verb:"verb", and the quoted "%1".
#pragma once

// out: kCommandCapacity bytes. verb null means none; an empty verb still
// gives the option. Longer results are cut at 1024 bytes. When the
// executable's path cannot be had whole, or not in the code page (not even
// its short form), out is the empty text. Always true.
bool BuildCommandLine(char *out, const char *verb);
