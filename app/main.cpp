#include "app/modes.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunTessaro(GetCommandLineA());
}
