#include "TOOLS/aboutbox.h"

// The box itself is still to come; until then the command does nothing.
bool ShowAboutBox(HWND, const AboutBoxInfo *) {
    return true;
}
