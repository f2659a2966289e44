// Where tessaro's context-menu verb lives under HKEY_CLASSES_ROOT:
//   extension (".lnk", ".pif")  default value names the class (ProgID)
//   ClassKey                    that class when its key opens, else the extension key
//   ClassKey\shell\tessaro      default value: the menu text
//   ...\tessaro\command         default value: the command line
// The class key is never created or deleted, its "shell" key never deleted.
// Keys handed out are closed by the caller.
#pragma once
#include <windows.h>

// out: kPathCapacity bytes.
bool ReadClassesRootDefault(const char *name, char *out);
// out: kPathCapacity bytes. Always true; falls back to the extension itself
// when its default value is missing, empty or names no key.
bool ResolveClassKeyName(char *out, const char *extension);
bool OpenClassKey(const char *extension, HKEY *key);
bool OpenShellKey(const char *extension, HKEY *key);
bool OpenVerbKey(const char *extension, HKEY *key);

// menuText: kMenuTextCapacity bytes, commandLine: kCommandCapacity bytes.
// True when "command" opens; a missing value leaves its buffer as it was.
bool ReadVerbKey(HKEY verbKey, char *menuText, char *commandLine);
// True means installed: class key, shell, verb key and command all open.
bool ReadVerbRegistration(const char *extension, char *menuText, char *commandLine);
// Creates shell, verb key and command as needed and replaces both values.
// True when every key was opened or created, whatever the value writes did.
bool WriteVerbRegistration(const char *extension, const char *menuText, const char *commandLine);
// True when the shell key opens, whether or not a verb was there to delete.
bool RemoveVerbRegistration(const char *extension);
// Deletes "command", then the verb key; a verb key that holds any other
// subkey stays in place, unreported.
bool DeleteVerbKey(HKEY shellKey);
