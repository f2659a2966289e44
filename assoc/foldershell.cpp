#include "assoc/foldershell.h"
#include "assoc/registry.h"
#include "text/capacity.h"

bool OpenFolderShellKey(HKEY *key) {
    HKEY folderKey;
    if (!OpenRegKey(HKEY_CLASSES_ROOT, "folder", &folderKey))
        return false;
    char className[kPathCapacity] = "";
    HKEY classKey;
    // An empty class name (Wine's own "Folder" has one) would open the root.
    if (ReadRegDefaultValue(folderKey, className, kPathCapacity) && className[0] != '\0' &&
        OpenRegKey(HKEY_CLASSES_ROOT, className, &classKey)) {
        bool opened = OpenRegKey(classKey, "shell", key);
        CloseRegKey(classKey);
        if (opened) {
            CloseRegKey(folderKey);
            return true;
        }
    }
    bool opened = OpenRegKey(folderKey, "shell", key);
    CloseRegKey(folderKey);
    return opened;
}
