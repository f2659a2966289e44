// Whether this account may write the registration at all. Everywhere else a
// key that refuses KEY_ALL_ACCESS reads as missing; this is the one place
// that tells the two apart.
#pragma once

// True when opening a file type's extension key, or the class key that its
// default value names, with KEY_ALL_ACCESS returns ERROR_ACCESS_DENIED.
bool RegistrationRefused();
