// Thin wrappers over the registry calls. Each is true exactly when the
// system call returns ERROR_SUCCESS; every open and create asks for
// KEY_ALL_ACCESS, so a key the account may not write reads as missing.
#pragma once
#include <windows.h>

bool OpenRegKey(HKEY parent, const char *name, HKEY *key);
// Opens the key when it exists already.
bool CreateRegKey(HKEY parent, const char *name, HKEY *key);
bool CloseRegKey(HKEY key);
// Deletes only a key without subkeys.
bool DeleteRegKey(HKEY parent, const char *name);
bool RegKeyExists(HKEY parent, const char *name);

// Reads the default value into size bytes and always leaves a terminated
// text: a string stored without its terminator is terminated (cut by one
// byte when it fills the buffer, by two where one would split a double-byte
// character). A value too long for the buffer, or of a type other than
// REG_SZ and REG_EXPAND_SZ, is a failed read and leaves the empty text. A
// missing value fails and leaves the buffer as it was.
bool ReadRegDefaultValue(HKEY key, char *buffer, DWORD size);
// Stores the text as REG_SZ, terminator included.
bool WriteRegDefaultValue(HKEY key, const char *text);
// name: kCommandCapacity bytes. False past the last subkey.
bool EnumRegSubkeyName(HKEY key, DWORD index, char *name);
