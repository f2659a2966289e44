#include "assoc/registry.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/codepage.h"
#include "text/sjis.h"

#include <string.h>

namespace {

// The longest prefix of the n bytes that ends on a whole character: a text
// cut with a lone lead byte shows and reads back without it, so the dialog
// would take an untouched value for an edited one. text[n] is there.
DWORD WholeCharacters(const char *text, DWORD n) {
    if (AnsiIsUtf8())
        return Utf8Cut(text, n);
    DWORD whole = 0;
    while (whole < n) {
        DWORD step = IsSjisLeadByte(static_cast<unsigned char>(text[whole])) ? 2 : 1;
        if (whole + step > n)
            break;
        whole += step;
    }
    return whole;
}

} // namespace

bool OpenRegKey(HKEY parent, const char *name, HKEY *key) {
    return RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS;
}

bool CreateRegKey(HKEY parent, const char *name, HKEY *key) {
    char noClass[] = "";
    return RegCreateKeyExA(parent, name, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, key, nullptr) == ERROR_SUCCESS;
}

bool CloseRegKey(HKEY key) {
    return RegCloseKey(key) == ERROR_SUCCESS;
}

bool DeleteRegKey(HKEY parent, const char *name) {
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

bool RegKeyExists(HKEY parent, const char *name) {
    HKEY key;
    if (!OpenRegKey(parent, name, &key))
        return false;
    CloseRegKey(key);
    return true;
}

bool ReadRegDefaultValue(HKEY key, char *buffer, DWORD size) {
    if (size == 0)
        return false;
    DWORD type = REG_NONE;
    DWORD got = size;
    LONG status =
        RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &got);
    // The caller's text stays: a settings load keeps what its record held.
    if (status == ERROR_FILE_NOT_FOUND)
        return false;
    // After ERROR_MORE_DATA the buffer's content is undefined.
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        buffer[0] = '\0';
        return false;
    }
    // The system adds a missing terminator only where there is room for it.
    if (got == 0 || buffer[got - 1] != '\0')
        buffer[got < size ? got : WholeCharacters(buffer, size - 1)] = '\0';
    return true;
}

bool WriteRegDefaultValue(HKEY key, const char *text) {
    return RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                          static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
}

bool EnumRegSubkeyName(HKEY key, DWORD index, char *name) {
    DWORD capacity = kCommandCapacity;
    return RegEnumKeyExA(key, index, name, &capacity, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}
