// The two modes of the one executable and the start-up that picks one.
#pragma once

enum Mode { InstallModeKind, OpenModeKind };

Mode SelectMode(int argc);
int OpenMode(int argc, char **argv);
int InstallMode();

// The whole process from a command line: returns the exit code.
int RunTessaro(const char *commandLine);

#define INSTALL_MUTEX_NAME "tessaro.InstallDlg"
