#include "app/elevation.h"
#include "assoc/access.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/library.h"
#include "text/trace.h"

#include <shellapi.h>
#include <tlhelp32.h>

namespace {

typedef BOOL(WINAPI *OpenProcessTokenFunction)(HANDLE, DWORD, HANDLE *);
typedef BOOL(WINAPI *GetTokenInformationFunction)(HANDLE, TOKEN_INFORMATION_CLASS, void *, DWORD,
                                                  DWORD *);
typedef DWORD(WINAPI *GetModuleFileNameWFunction)(HMODULE, wchar_t *, DWORD);
typedef BOOL(WINAPI *ShellExecuteExWFunction)(SHELLEXECUTEINFOW *);
typedef HANDLE(WINAPI *SnapshotFunction)(DWORD, DWORD);
typedef BOOL(WINAPI *ProcessWalkFunction)(HANDLE, PROCESSENTRY32 *);
typedef BOOL(WINAPI *ProcessTimesFunction)(HANDLE, FILETIME *, FILETIME *, FILETIME *, FILETIME *);

// Found at run time, so the import table stays one that Windows 95 loads.
// TokenElevation exists from Vista on; before, the query fails and the
// token does not count as limited.
bool TokenLimited() {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    auto openToken = FindExport<OpenProcessTokenFunction>(advapi, "OpenProcessToken");
    auto query = FindExport<GetTokenInformationFunction>(advapi, "GetTokenInformation");
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

// The code page's copy of the program's path is a best fit where a folder
// holds a character it lacks ("Müller" becomes "Muller") and names no file,
// so the request names it in UTF-16. Returns 0 or the reason it failed.
DWORD RequestElevation(HANDLE *process) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto moduleName = FindExport<GetModuleFileNameWFunction>(kernel, "GetModuleFileNameW");
    auto execute =
        FindExport<ShellExecuteExWFunction>(GetModuleHandleA("shell32.dll"), "ShellExecuteExW");
    if (!moduleName || !execute)
        return ERROR_PROC_NOT_FOUND;
    wchar_t path[kWidePathCapacity];
    DWORD length = moduleName(nullptr, path, kWidePathCapacity);
    if (length == 0 || length >= kWidePathCapacity)
        return ERROR_INSUFFICIENT_BUFFER;
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = L"runas";
    request.lpFile = path;
    request.nShow = SW_SHOWNORMAL;
    if (!execute(&request))
        return GetLastError();
    *process = request.hProcess;
    return 0;
}

// Toolhelp is found at run time: NT 4.0 lacks it, and a start there finds
// no parent, so it never takes a dialog over.
DWORD ParentProcessId() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto snapshot = FindExport<SnapshotFunction>(kernel, "CreateToolhelp32Snapshot");
    auto first = FindExport<ProcessWalkFunction>(kernel, "Process32First");
    auto next = FindExport<ProcessWalkFunction>(kernel, "Process32Next");
    HANDLE all = snapshot && first && next ? snapshot(TH32CS_SNAPPROCESS, 0) : INVALID_HANDLE_VALUE;
    if (all == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD self = GetCurrentProcessId(), parent = 0;
    for (BOOL more = first(all, &entry); more && !parent; more = next(all, &entry))
        if (entry.th32ProcessID == self)
            parent = entry.th32ParentProcessID;
    CloseHandle(all);
    return parent;
}

// When the process started, or 0 where it cannot be opened or asked
// (Windows 95 to Me have no process times).
ULONGLONG CreationTime(DWORD id) {
    auto times =
        FindExport<ProcessTimesFunction>(GetModuleHandleA("kernel32.dll"), "GetProcessTimes");
    HANDLE process = times ? OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id) : nullptr;
    if (!process)
        return 0;
    FILETIME created, unused[3];
    ULONGLONG when = 0;
    if (times(process, &created, &unused[0], &unused[1], &unused[2]))
        when = (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    CloseHandle(process);
    return when;
}

// Process ids are reused: a parent that ended leaves its id to a process
// started later, which cannot have asked for this one.
bool ParentStartedFirst(DWORD parent) {
    ULONGLONG then = CreationTime(parent), now = CreationTime(GetCurrentProcessId());
    return !then || !now || then <= now;
}

// Dispatches what arrives while the new instance decides: this thread is
// a single-threaded apartment and owns windows that others may message.
void WaitPumping(DWORD count, const HANDLE *handles, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        if (timeoutMs != INFINITE && spent >= timeoutMs)
            return;
        DWORD left = timeoutMs == INFINITE ? INFINITE : timeoutMs - spent;
        if (MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_ALLINPUT) !=
            WAIT_OBJECT_0 + count)
            return;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

const size_t kEventNameCapacity = 64;

// How long the first instance waits for the handover when the shell gave
// it no handle of the process it started.
const DWORD kUnseenStartWaitMs = 30000;

} // namespace

bool HandOverToElevated() {
    if (!RegistrationRefused() || !TokenLimited())
        return false;
    char name[kEventNameCapacity];
    FormatBounded(sizeof name, name, HANDOVER_EVENT_FORMAT, GetCurrentProcessId());
    HANDLE pending = CreateEventA(nullptr, TRUE, FALSE, name);
    // One that exists already is someone else's, who could set it at will.
    if (pending && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(pending);
        return false;
    }
    if (!pending)
        return false;
    HANDLE process = nullptr;
    DWORD failure = RequestElevation(&process);
    GetTraceSink()(TRACE_RUNAS_FORMAT, failure);
    // Until the new instance has looked, the event must live on: without it
    // that instance would take itself for a second start and end.
    if (!failure) {
        HANDLE waits[2] = {pending, process};
        WaitPumping(process ? 2 : 1, waits, process ? INFINITE : kUnseenStartWaitMs);
        if (process)
            CloseHandle(process);
    }
    CloseHandle(pending);
    // Declined by the user (ERROR_CANCELLED), the request ends in silence;
    // refused for any other reason, the dialog shows here, if read-only.
    return !failure || failure == ERROR_CANCELLED;
}

bool TakeOverDialog(HANDLE mutex) {
    DWORD parent = ParentProcessId();
    if (!parent || !ParentStartedFirst(parent))
        return false;
    char name[kEventNameCapacity];
    FormatBounded(sizeof name, name, HANDOVER_EVENT_FORMAT, parent);
    HANDLE pending = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
    if (!pending)
        return GetLastError() == ERROR_ACCESS_DENIED;
    // Without a handle of the mutex here, the guard lives on only in the
    // first instance, which must then stay until this one ends.
    if (mutex)
        SetEvent(pending);
    CloseHandle(pending);
    return true;
}
