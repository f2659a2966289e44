// The two modes of the one executable and the start-up that picks one.
#pragma once

enum Mode { InstallModeKind, OpenModeKind };

Mode SelectMode(int argc);
// unicodeCommandLine: the UTF-16 line that argv was converted from, or
// null; arguments that the code page cannot spell are taken from it.
int OpenMode(int argc, char **argv, const wchar_t *unicodeCommandLine = nullptr);
int InstallMode();

// The whole process from a command line: returns the exit code.
int RunTessaro(const char *commandLine, const wchar_t *unicodeCommandLine = nullptr);

#define INSTALL_MUTEX_NAME "tessaro.InstallDlg"
