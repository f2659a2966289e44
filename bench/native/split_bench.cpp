// SplitCommandLine on long lines: time per call and allocations per call,
// for plain ASCII and for Shift-JIS text whose second bytes are 0x5C.
#include "app/cmdline.h"
#include "bench/native/shim.h"
#include "text/heap.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Quoted paths, an option, escaped quotes and runs of backslashes: every
// branch of the scanner.
const char kPlainArgument[] = " \"C:\\Users\\me\\Desktop\\file 01.lnk\" /verb:\"open\" a\\\\\\\"b";
// 表 (95 5C), ソ (83 5C) and 能 (94 5C) before backslashes and quotes.
const char kDoubleByteArgument[] = " \"C:\\\x95\x5C\\\x83\x5C\x83\x74\x83\x67.lnk\" "
                                   "\x94\x5C\x97\xCD\\\"x \x95\x5C\"\x83\x5C \x94\x5C\"";

// A line of exactly `size` bytes: a quoted program name, then whole
// copies of the argument, padded with blanks.
std::string MakeLine(size_t size, const char *argument) {
    std::string line = "\"C:\\Program Files\\tessaro\\tessaro.exe\"";
    std::string piece = argument;
    while (line.size() + piece.size() <= size)
        line += piece;
    line.append(size - line.size(), ' ');
    return line;
}

void Split(benchmark::State &state, const char *argument) {
    std::string line = MakeLine(static_cast<size_t>(state.range(0)), argument);
    int argc = 0;
    size_t before = AllocationCount();
    for (auto _ : state) {
        char **argv = SplitCommandLine(line.c_str(), &argc);
        benchmark::DoNotOptimize(argv);
        if (!argv) {
            state.SkipWithError("SplitCommandLine returned null");
            break;
        }
        MemFree(argv);
    }
    state.counters["allocs_per_call"] = benchmark::Counter(
        static_cast<double>(AllocationCount() - before), benchmark::Counter::kAvgIterations);
    state.counters["argc"] = argc;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(line.size()));
}

void BM_SplitPlain(benchmark::State &state) {
    Split(state, kPlainArgument);
}
void BM_SplitDoubleByte(benchmark::State &state) {
    Split(state, kDoubleByteArgument);
}

} // namespace

BENCHMARK(BM_SplitPlain)->Arg(1 << 10)->Arg(8 << 10)->Arg(32 << 10);
BENCHMARK(BM_SplitDoubleByte)->Arg(1 << 10)->Arg(8 << 10)->Arg(32 << 10);
BENCHMARK_MAIN();
