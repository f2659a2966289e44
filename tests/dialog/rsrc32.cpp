// Stands in for the free-resources library that some systems carry in
// their system directory: its one export reports 42 per cent.
#include <windows.h>

extern "C" int WINAPI FreeResources(int) {
    return 42;
}
