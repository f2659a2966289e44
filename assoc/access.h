// Whether this account may write the registration at all. Everywhere else a
// key that refuses the design's access reads as missing (Part 4.1); this is
// the one place that tells the two apart.
#pragma once

// True when opening a file type's extension key, or the class key that its
// default value names, with KEY_ALL_ACCESS returns ERROR_ACCESS_DENIED.
bool RegistrationRefused();
