// Entry of every test binary. Refuses to run outside code page 932: the
// Shift-JIS cases would pass vacuously on a single-byte code page.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <stdio.h>

int main(int argc, char **argv) {
    UINT acp = GetACP();
    if (acp != 932) {
        fprintf(stderr,
                "FATAL: the ANSI code page is %u, not 932. Run under LANG=ja_JP.UTF-8 "
                "with that locale generated (scripts/setup.sh does it).\n",
                acp);
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    // The code under test runs in a single-threaded apartment, as in tessaro.
    CoInitialize(nullptr);
    return RUN_ALL_TESTS();
}
