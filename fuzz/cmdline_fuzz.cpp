// The splitter: layout of the one block, and agreement with a second, plain
// implementation of the quoting rules.
#include "app/cmdline.h"
#include "check.h"
#include "model.h"
#include "shim/heap_probe.h"
#include "text/heap.h"

#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// The oracle first cuts the line into whole characters, so that its rules
// can never look at half of a double-byte character.
std::vector<std::string> Characters(const char *line) {
    std::vector<std::string> chars;
    for (size_t i = 0; line[i];) {
        size_t n = ModelCharLength(line, i);
        chars.emplace_back(line + i, n);
        i += n;
    }
    return chars;
}

std::vector<std::string> OracleSplit(const char *line) {
    const std::vector<std::string> c = Characters(line);
    const size_t end = c.size();
    auto is = [&](size_t k, char ch) { return k < end && c[k] == std::string(1, ch); };
    auto blank = [&](size_t k) { return is(k, ' ') || is(k, '\t'); };

    std::vector<std::string> args(1);
    size_t k = 0;
    if (is(0, '"')) {
        for (k = 1; k < end && !is(k, '"'); ++k)
            args[0] += c[k];
        if (k < end)
            ++k;
    } else {
        for (; k < end && !blank(k); ++k)
            args[0] += c[k];
    }

    for (;;) {
        while (blank(k))
            ++k;
        if (k == end)
            break;
        std::string arg;
        bool quoted = false;
        size_t backslashes = 0;
        for (;;) {
            if (is(k, '\\')) {
                ++backslashes;
                ++k;
                continue;
            }
            if (is(k, '"')) {
                ++k;
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2) {
                    arg += '"';
                } else {
                    if (quoted && is(k, '"')) {
                        arg += '"';
                        ++k;
                    }
                    quoted = !quoted;
                }
                backslashes = 0;
                continue;
            }
            arg.append(backslashes, '\\');
            backslashes = 0;
            if (k == end || (!quoted && blank(k)))
                break;
            arg += c[k++];
        }
        args.push_back(arg);
    }
    return args;
}

void ReportMismatch(const char *line, int argc, char **argv,
                    const std::vector<std::string> &expected) {
    FuzzPrintBytes("line", line, strlen(line));
    for (int i = 0; i < argc; ++i)
        FuzzPrintBytes("  got     ", argv[i], strlen(argv[i]));
    for (const std::string &arg : expected)
        FuzzPrintBytes("  expected", arg.data(), arg.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // An exact copy, so that a read past the terminator is an overflow.
    char *line = static_cast<char *>(malloc(size + 1));
    memcpy(line, data, size);
    line[size] = '\0';

    heap_probe::Reset();
    const long liveBefore = heap_probe::Live();
    int argc = -1;
    char **argv = SplitCommandLine(line, &argc);
    FUZZ_CHECK(argv != nullptr);
    FUZZ_CHECK(heap_probe::Count() == 1);
    const size_t blockSize = heap_probe::SizeOf(0);
    const char *block = reinterpret_cast<const char *>(argv);

    FUZZ_CHECK(argc >= 1);
    size_t offset = (static_cast<size_t>(argc) + 1) * sizeof(char *);
    FUZZ_CHECK(offset <= blockSize);
    FUZZ_CHECK(argv[argc] == nullptr);
    // The texts follow the table in argument order, each terminated, and
    // together they fill the block that the measuring pass sized.
    for (int i = 0; i < argc; ++i) {
        FUZZ_CHECK(argv[i] == block + offset);
        FUZZ_CHECK(offset < blockSize);
        FUZZ_CHECK(memchr(argv[i], '\0', blockSize - offset) != nullptr);
        offset += strlen(argv[i]) + 1;
    }
    FUZZ_CHECK(offset == blockSize);

    const std::vector<std::string> expected = OracleSplit(line);
    bool same = static_cast<size_t>(argc) == expected.size();
    for (int i = 0; same && i < argc; ++i)
        same = expected[i] == argv[i];
    if (!same)
        ReportMismatch(line, argc, argv, expected);
    FUZZ_CHECK(same);

    MemFree(argv);

    // Out of memory: null, and nothing allocated stays behind.
    heap_probe::FailAfter(0);
    FUZZ_CHECK(SplitCommandLine(line, &argc) == nullptr);
    FUZZ_CHECK(heap_probe::Live() == liveBefore);

    free(line);
    return 0;
}
