#include "assoc/verbkey.h"
#include "assoc/registry.h"
#include "text/bounded.h"
#include "text/capacity.h"

namespace {

const char kVerbKeyName[] = "tessaro";
const char kShellKeyName[] = "shell";
const char kCommandKeyName[] = "command";

} // namespace

bool ReadClassesRootDefault(const char *name, char *out) {
    HKEY key;
    if (!OpenRegKey(HKEY_CLASSES_ROOT, name, &key))
        return false;
    bool read = ReadRegDefaultValue(key, out, kPathCapacity);
    CloseRegKey(key);
    return read;
}

bool ResolveClassKeyName(char *out, const char *extension) {
    CopyBounded(kPathCapacity, out, extension);
    char className[kPathCapacity] = "";
    // An empty name would open HKEY_CLASSES_ROOT itself, and an install
    // would then put "shell\tessaro" at the root of the classes tree.
    if (ReadClassesRootDefault(extension, className) && className[0] != '\0' &&
        RegKeyExists(HKEY_CLASSES_ROOT, className))
        CopyBounded(kPathCapacity, out, className);
    return true;
}

bool OpenClassKey(const char *extension, HKEY *key) {
    char className[kPathCapacity];
    ResolveClassKeyName(className, extension);
    return OpenRegKey(HKEY_CLASSES_ROOT, className, key);
}

bool OpenShellKey(const char *extension, HKEY *key) {
    HKEY classKey;
    if (!OpenClassKey(extension, &classKey))
        return false;
    bool opened = OpenRegKey(classKey, kShellKeyName, key);
    CloseRegKey(classKey);
    return opened;
}

bool OpenVerbKey(const char *extension, HKEY *key) {
    HKEY shellKey;
    if (!OpenShellKey(extension, &shellKey))
        return false;
    bool opened = OpenRegKey(shellKey, kVerbKeyName, key);
    CloseRegKey(shellKey);
    return opened;
}

bool ReadVerbKey(HKEY verbKey, char *menuText, char *commandLine) {
    ReadRegDefaultValue(verbKey, menuText, kMenuTextCapacity);
    HKEY commandKey;
    if (!OpenRegKey(verbKey, kCommandKeyName, &commandKey))
        return false;
    ReadRegDefaultValue(commandKey, commandLine, kCommandCapacity);
    CloseRegKey(commandKey);
    return true;
}

bool ReadVerbRegistration(const char *extension, char *menuText, char *commandLine) {
    HKEY verbKey;
    if (!OpenVerbKey(extension, &verbKey))
        return false;
    bool installed = ReadVerbKey(verbKey, menuText, commandLine);
    CloseRegKey(verbKey);
    return installed;
}

bool WriteVerbRegistration(const char *extension, const char *menuText, const char *commandLine) {
    HKEY classKey;
    if (!OpenClassKey(extension, &classKey))
        return false;
    bool written = false;
    HKEY shellKey;
    if (CreateRegKey(classKey, kShellKeyName, &shellKey)) {
        HKEY verbKey;
        if (CreateRegKey(shellKey, kVerbKeyName, &verbKey)) {
            WriteRegDefaultValue(verbKey, menuText);
            HKEY commandKey;
            if (CreateRegKey(verbKey, kCommandKeyName, &commandKey)) {
                WriteRegDefaultValue(commandKey, commandLine);
                CloseRegKey(commandKey);
                written = true;
            }
            CloseRegKey(verbKey);
        }
        CloseRegKey(shellKey);
    }
    CloseRegKey(classKey);
    return written;
}

bool RemoveVerbRegistration(const char *extension) {
    HKEY shellKey;
    if (!OpenShellKey(extension, &shellKey))
        return false;
    if (RegKeyExists(shellKey, kVerbKeyName))
        DeleteVerbKey(shellKey);
    CloseRegKey(shellKey);
    return true;
}

bool DeleteVerbKey(HKEY shellKey) {
    HKEY verbKey;
    if (!OpenRegKey(shellKey, kVerbKeyName, &verbKey))
        return false;
    if (RegKeyExists(verbKey, kCommandKeyName))
        DeleteRegKey(verbKey, kCommandKeyName);
    CloseRegKey(verbKey);
    DeleteRegKey(shellKey, kVerbKeyName);
    return true;
}
