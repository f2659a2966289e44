#include "app/elevation.h"
#include "assoc/access.h"
#include "text/capacity.h"
#include "text/trace.h"

#include <shellapi.h>

namespace {

typedef BOOL(WINAPI *OpenProcessTokenFunction)(HANDLE, DWORD, HANDLE *);
typedef BOOL(WINAPI *GetTokenInformationFunction)(HANDLE, TOKEN_INFORMATION_CLASS, void *, DWORD,
                                                  DWORD *);

template <typename Function> Function Find(HMODULE module, const char *name) {
    return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

// Found at run time, so the import table stays one that Windows 95 loads.
// TokenElevation exists from Vista on; before, the query fails and the
// token does not count as limited.
bool TokenLimited() {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    auto openToken = Find<OpenProcessTokenFunction>(advapi, "OpenProcessToken");
    auto query = Find<GetTokenInformationFunction>(advapi, "GetTokenInformation");
    HANDLE token;
    if (!openToken || !query || !openToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation = {1};
    DWORD size = 0;
    bool limited = query(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                   !elevation.TokenIsElevated;
    CloseHandle(token);
    return limited;
}

// How long the first instance waits for the handover when the shell gave
// it no handle of the process it started.
const DWORD kUnseenStartWaitMs = 30000;

} // namespace

bool HandOverToElevated(HANDLE mutex) {
    if (!RegistrationRefused() || !TokenLimited())
        return false;
    HANDLE pending = CreateEventA(nullptr, TRUE, FALSE, HANDOVER_EVENT_NAME);
    if (!pending)
        return false;
    ReleaseMutex(mutex);
    char path[kPathCapacity];
    GetModuleFileNameA(nullptr, path, sizeof path);
    SHELLEXECUTEINFOA request = {};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = "runas";
    request.lpFile = path;
    request.nShow = SW_SHOWNORMAL;
    bool started = ShellExecuteExA(&request) != FALSE;
    // 1223 (ERROR_CANCELLED) when the user declines.
    GetTraceSink()(TRACE_RUNAS_FORMAT, started ? 0ul : GetLastError());
    // Until the new instance has the mutex, the two objects must live on:
    // without them it would take itself for a first start and ask again.
    if (started) {
        HANDLE waits[2] = {pending, request.hProcess};
        WaitForMultipleObjects(request.hProcess ? 2 : 1, waits, FALSE,
                               request.hProcess ? INFINITE : kUnseenStartWaitMs);
        if (request.hProcess)
            CloseHandle(request.hProcess);
    }
    CloseHandle(pending);
    return true;
}

bool TakeOverDialog(HANDLE mutex) {
    HANDLE pending = OpenEventA(EVENT_MODIFY_STATE, FALSE, HANDOVER_EVENT_NAME);
    if (!pending)
        return false;
    DWORD wait = WaitForSingleObject(mutex, 0);
    bool won = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    if (won)
        SetEvent(pending);
    CloseHandle(pending);
    return won;
}
