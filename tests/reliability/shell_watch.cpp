#include "reliability/shell_watch.h"

namespace {

// The text between `open` and the next unescaped quote, with debugstr's
// doubled backslashes undone.
std::string QuotedAfter(const std::string &line, const std::string &open) {
    size_t at = line.find(open);
    if (at == std::string::npos)
        return "";
    std::string text;
    for (size_t i = at + open.size(); i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size())
            ++i;
        text += line[i];
    }
    return text;
}

} // namespace

std::vector<ShellExecution> ShellExecutions(const std::string &wineLog) {
    std::vector<ShellExecution> found;
    std::string verb;
    size_t start = 0;
    while (start < wineLog.size()) {
        size_t end = wineLog.find('\n', start);
        if (end == std::string::npos)
            end = wineLog.size();
        std::string line = wineLog.substr(start, end - start);
        start = end + 1;
        if (line.find(":SHELL_execute mask=") != std::string::npos)
            verb = QuotedAfter(line, "verb=L\"");
        else if (line.find(":SHELL_execute -- idlist=") != std::string::npos)
            found.push_back({verb, QuotedAfter(line, "(L\"")});
    }
    return found;
}

MessageBoxCloser::MessageBoxCloser() {
    InitializeCriticalSection(&lock_);
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

MessageBoxCloser::~MessageBoxCloser() {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(stop_);
    DeleteCriticalSection(&lock_);
}

std::vector<std::string> MessageBoxCloser::Boxes() {
    EnterCriticalSection(&lock_);
    std::vector<std::string> boxes = boxes_;
    LeaveCriticalSection(&lock_);
    return boxes;
}

DWORD WINAPI MessageBoxCloser::Run(void *self) {
    MessageBoxCloser *closer = static_cast<MessageBoxCloser *>(self);
    while (WaitForSingleObject(closer->stop_, 50) == WAIT_TIMEOUT)
        closer->CloseBoxes();
    return 0;
}

void MessageBoxCloser::CloseBoxes() {
    for (const auto &box : FindTopWindows("#32770")) {
        DWORD pid = 0;
        GetWindowThreadProcessId(box.first, &pid);
        if (pid == GetCurrentProcessId() || !IsWindowVisible(box.first))
            continue;
        EnterCriticalSection(&lock_);
        if (seen_.insert(box.first).second) {
            std::string text = box.second + ":";
            for (HWND child = GetWindow(box.first, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                char cls[32] = "", piece[1024] = "";
                GetClassNameA(child, cls, sizeof cls);
                if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, piece, sizeof piece))
                    text += std::string(" ") + piece;
            }
            boxes_.push_back(text);
        }
        LeaveCriticalSection(&lock_);
        PostMessageA(box.first, WM_COMMAND, IDOK, 0);
    }
}

OpenRun RunOpenMode(const std::string &arguments, DWORD timeoutMs) {
    OpenRun run;
    MessageBoxCloser closer;
    run.child = RunDebugged(TessaroExe() + " " + arguments, timeoutMs, "+exec");
    run.executed = ShellExecutions(run.child.wineLog);
    run.boxes = closer.Boxes();
    return run;
}
