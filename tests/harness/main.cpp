// Entry of every test binary. Refuses to run outside code page 932 (or
// TESSARO_ACP): the Shift-JIS cases would pass vacuously on a single-byte
// code page.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv) {
    const char *asked = getenv("TESSARO_ACP");
    UINT acp = GetACP(), expected = asked ? atoi(asked) : 932;
    if (acp != expected) {
        fprintf(stderr,
                "FATAL: the ANSI code page is %u, not %u. Run under LANG=ja_JP.UTF-8 "
                "with that locale generated (scripts/setup.sh does it).\n",
                acp, expected);
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    // The code under test runs in a single-threaded apartment, as in tessaro.
    CoInitialize(nullptr);
    return RUN_ALL_TESTS();
}
