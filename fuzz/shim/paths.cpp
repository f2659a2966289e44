// A file system of rules instead of files, for BuildPathList: a path exists
// when it is not empty and does not start with '/' (so options drop out, as
// they do on a real disk), and the shell cannot parse one that holds '*'.
// The canonical form is the path itself, cut as the real one is; a UTF-16
// path that does not fit is refused, as the real one is.
#include "open/paths.h"
#include "text/bounded.h"
#include "text/capacity.h"

#include <string.h>
#include <wchar.h>

bool PathExists(const char *path) {
    return path[0] != '\0' && path[0] != '/';
}

bool IsExistingFile(const char *path) {
    return PathExists(path);
}

bool CanonicalizePath(char *out, const char *path) {
    CopyBounded(kPathCapacity, out, "");
    if (strchr(path, '*'))
        return false;
    CopyBounded(kPathCapacity, out, path);
    return true;
}

bool PathExists(const wchar_t *path) {
    return path[0] != L'\0' && path[0] != L'/';
}

bool CanonicalizePath(wchar_t *out, const wchar_t *path) {
    out[0] = L'\0';
    if (wcschr(path, L'*') || wcslen(path) >= kWidePathCapacity)
        return false;
    wcscpy(out, path);
    return true;
}
