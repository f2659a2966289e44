// The process entry. tessaro needs nothing of the C runtime's start-up
// (no arguments parsed for it, no constructors, no atexit), so it enters
// here directly and keeps the executable small.
#include <windows.h>

extern "C" void WinMainCRTStartup() {
    ExitProcess(
        static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWDEFAULT)));
}
