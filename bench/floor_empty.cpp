// The empty GUI program: what any executable with tessaro's flags weighs
// and costs to start.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
