#include "app/cmdline.h"
#include "app/modes.h"
#include "text/heap.h"
#include "harness/wine.h"

#include <gtest/gtest.h>

namespace {

Mode ModeOf(const char *line) {
    int argc = 0;
    char **argv = SplitCommandLine(line, &argc);
    EXPECT_NE(nullptr, argv);
    MemFree(argv);
    return SelectMode(argc);
}

TEST(SelectMode, CountsArgumentsNotPaths) {
    EXPECT_EQ(InstallModeKind, ModeOf(""));
    EXPECT_EQ(InstallModeKind, ModeOf("\"C:\\t\\tessaro.exe\""));
    EXPECT_EQ(InstallModeKind, ModeOf("tessaro.exe   "));
    EXPECT_EQ(OpenModeKind, ModeOf("tessaro.exe /verb:"));
    EXPECT_EQ(OpenModeKind, ModeOf("tessaro.exe \"\""));
    EXPECT_EQ(OpenModeKind, ModeOf(" tessaro.exe")) << "a leading blank makes the name empty";
}

TEST(InstallMode, SecondInstanceEndsAtOnce) {
    // Spelt out: the name is what other instances meet, not the macro.
    HANDLE held = CreateMutexA(nullptr, TRUE, "tessaro.InstallDlg");
    ASSERT_NE(nullptr, held);
    ASSERT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    ChildRun run = RunDebugged(TessaroExe(), 10000);
    EXPECT_TRUE(run.finished) << "tessaro must not wait for the mutex or show a dialog";
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_EQ(1u, run.traces.size());
    EXPECT_EQ("argv[ 0]=" + InstalledExe() + "\r\n", run.traces[0]);
    CloseHandle(held);
}

} // namespace
