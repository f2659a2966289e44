// Ten starts of tessaro.exe without arguments at the same moment: they are
// created suspended and let go together, so they race for the mutex.
#include "assoc/classes_root.h"
#include "harness/wine.h"

#include <gtest/gtest.h>

namespace {

const int kStarts = 10;
const int kRounds = 3;
const char kCaption[] = "tessaro の関連づけ";

std::vector<std::pair<HWND, DWORD>> Dialogs() {
    std::vector<std::pair<HWND, DWORD>> found;
    for (const auto &window : FindTopWindows("#32770")) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window.first, &pid);
        if (pid != GetCurrentProcessId() && IsWindowVisible(window.first))
            found.emplace_back(window.first, pid);
    }
    return found;
}

struct Starts {
    PROCESS_INFORMATION pi[kStarts] = {};
    ~Starts() {
        for (PROCESS_INFORMATION &p : pi) {
            if (p.hProcess && WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(p.hProcess, 1);
            CloseHandle(p.hThread);
            CloseHandle(p.hProcess);
        }
    }
};

TEST(StartupRace, TenStartsAtOnceShowOneDialogAndTheOthersEndWithZero) {
    SavedKeys saved{".lnk", "lnkfile", ".pif", "piffile"};
    std::vector<std::string> before = ListTree("lnkfile");
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        ASSERT_TRUE(Dialogs().empty());
        Starts starts;
        for (PROCESS_INFORMATION &p : starts.pi) {
            STARTUPINFOA si = {};
            si.cb = sizeof si;
            std::string line = TessaroExe();
            ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                       nullptr, nullptr, &si, &p));
        }
        for (PROCESS_INFORMATION &p : starts.pi)
            ResumeThread(p.hThread);

        // The nine that lose end by themselves; the one that wins waits in
        // its dialog.
        std::vector<PROCESS_INFORMATION *> running;
        DWORD end = GetTickCount() + 30000;
        do {
            running.clear();
            for (PROCESS_INFORMATION &p : starts.pi)
                if (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT)
                    running.push_back(&p);
            if (running.size() <= 1 && Dialogs().size() == 1)
                break;
            Sleep(50);
        } while (static_cast<LONG>(end - GetTickCount()) > 0);
        ASSERT_EQ(1u, running.size());
        for (PROCESS_INFORMATION &p : starts.pi) {
            if (&p == running[0])
                continue;
            DWORD code = 0xFFFFFFFF;
            GetExitCodeProcess(p.hProcess, &code);
            EXPECT_EQ(0u, code) << "start " << &p - starts.pi;
        }
        std::vector<std::pair<HWND, DWORD>> dialogs = Dialogs();
        ASSERT_EQ(1u, dialogs.size());
        char caption[64] = "";
        GetWindowTextA(dialogs[0].first, caption, sizeof caption);
        EXPECT_STREQ(kCaption, caption);
        EXPECT_EQ(running[0]->dwProcessId, dialogs[0].second);

        PostMessageA(dialogs[0].first, WM_COMMAND, IDCANCEL, 0);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(running[0]->hProcess, 20000));
        DWORD code = 0xFFFFFFFF;
        GetExitCodeProcess(running[0]->hProcess, &code);
        EXPECT_EQ(0u, code);
    }
    EXPECT_EQ(before, ListTree("lnkfile"));
}

} // namespace
