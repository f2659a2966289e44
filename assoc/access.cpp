#include "assoc/access.h"
#include "assoc/filetypes.h"
#include "assoc/verbkey.h"
#include "text/capacity.h"

#include <windows.h>

namespace {

bool KeyRefused(const char *name) {
    HKEY key;
    LONG status = RegOpenKeyExA(HKEY_CLASSES_ROOT, name, 0, KEY_ALL_ACCESS, &key);
    if (status == ERROR_SUCCESS)
        RegCloseKey(key);
    return status == ERROR_ACCESS_DENIED;
}

} // namespace

bool RegistrationRefused() {
    for (const FileTypeRow &row : FileTypeTable) {
        // A refused class key would make the dialog fall back to the
        // extension key, which may well be writable: it is tried by name.
        char className[kPathCapacity] = "";
        if (KeyRefused(row.extension) || (ReadClassesRootDefault(row.extension, className) &&
                                          className[0] != '\0' && KeyRefused(className)))
            return true;
    }
    return false;
}
