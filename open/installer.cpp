#include "open/installer.h"
#include "open/paths.h"
#include "text/capacity.h"
#include "text/library.h"

#include <msi.h>

namespace {

// Loaded at the first advertised shortcut, so that a run that meets none,
// and a system without Windows Installer, never load it; found at run time
// so that the import table stays one that every Windows loads. The
// shortcut's own folder may be the current one: only the system's copy.
SystemLibrary installer;

template <typename Char> struct InstallerCalls;

template <> struct InstallerCalls<char> {
    typedef UINT(WINAPI *Target)(LPCSTR, LPSTR, LPSTR, LPSTR);
    typedef INSTALLSTATE(WINAPI *Path)(LPCSTR, LPCSTR, LPSTR, LPDWORD);
    static constexpr const char *kTarget = "MsiGetShortcutTargetA";
    static constexpr const char *kPath = "MsiGetComponentPathA";
    static constexpr DWORD kPathRoom = kPathCapacity;
};

template <> struct InstallerCalls<wchar_t> {
    typedef UINT(WINAPI *Target)(LPCWSTR, LPWSTR, LPWSTR, LPWSTR);
    typedef INSTALLSTATE(WINAPI *Path)(LPCWSTR, LPCWSTR, LPWSTR, LPDWORD);
    static constexpr const char *kTarget = "MsiGetShortcutTargetW";
    static constexpr const char *kPath = "MsiGetComponentPathW";
    static constexpr DWORD kPathRoom = kWidePathCapacity;
};

template <typename Function> Function Find(const char *name) {
    return FindSystemFunction<Function>(&installer, "msi.dll", name);
}

// Both are queries: neither installs, repairs or provides anything, and
// neither shows a window. A component that is advertised only, run from
// its source or missing its key file is no local path.
template <typename Char> LPITEMIDLIST FindInstalledTarget(const Char *shortcut) {
    typedef InstallerCalls<Char> Calls;
    auto target = Find<typename Calls::Target>(Calls::kTarget);
    auto path = Find<typename Calls::Path>(Calls::kPath);
    // A code is a braced GUID of 38 characters, a feature name at most 38.
    Char product[39], feature[MAX_FEATURE_CHARS + 1], component[39];
    if (!target || !path || target(shortcut, product, feature, component) != ERROR_SUCCESS)
        return nullptr;
    Char installed[Calls::kPathRoom];
    DWORD size = Calls::kPathRoom;
    // A path that fills the buffer may have been cut short.
    if (path(product, component, installed, &size) != INSTALLSTATE_LOCAL ||
        size + 1 >= Calls::kPathRoom || !PathExists(installed))
        return nullptr;
    return ParseAbsolutePath(installed);
}

} // namespace

LPITEMIDLIST GetInstalledTargetIdList(const char *shortcut) {
    return FindInstalledTarget(shortcut);
}

LPITEMIDLIST GetInstalledTargetIdList(const wchar_t *shortcut) {
    return FindInstalledTarget(shortcut);
}

void FreeInstaller() {
    FreeSystemLibrary(&installer);
}
