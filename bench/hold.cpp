// Keeps Wine's desktop process alive for a whole series of runs, as a real
// session always has its desktop; without it every run would pay for
// starting a new one. Sets the event "tessaro.bench.hold" once its windows
// exist, then waits until it is ended.
//
// The server closes a desktop when its count of foreign threads equals
// the desktop process's own running threads, a test that one holder
// thread meets by chance whenever a desktop thread ends. More holder
// threads than the desktop process ever runs keep the two apart.
#include <windows.h>

namespace {

const int kThreads = 16;

DWORD WINAPI HoldDesktop(void *ready) {
    HWND window = CreateWindowExA(0, "STATIC", "hold", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr);
    ReleaseSemaphore(ready, 1, nullptr);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HANDLE ready = CreateSemaphoreA(nullptr, 0, kThreads, nullptr);
    HANDLE threads[kThreads];
    for (HANDLE &thread : threads)
        thread = CreateThread(nullptr, 0, HoldDesktop, ready, 0, nullptr);
    for (int i = 0; i < kThreads; ++i)
        WaitForSingleObject(ready, INFINITE);
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, "tessaro.bench.hold");
    if (held) {
        SetEvent(held);
        CloseHandle(held);
    }
    WaitForMultipleObjects(kThreads, threads, TRUE, INFINITE);
    return 0;
}
