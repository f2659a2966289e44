// The /verb: tests and what OpenMode makes of its arguments: the option
// scans against the model, the last option's verb, the path list under
// failing allocations, and the stored command line taken apart again.
//
// Input: one control byte, then the arguments separated by zero bytes.
#include "app/cmdline.h"
#include "check.h"
#include "model.h"
#include "open/args.h"
#include "open/paths.h"
#include "shim/heap_probe.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/heap.h"
#include "text/sjis.h"

#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const size_t kMaxArguments = 32;

// n <= 6: the first n bytes are those of "/verb:" in any case; beyond the
// option's end the text must end with it.
bool ModelMatchPrefix(const char *text, size_t n) {
    static const char option[] = "/verb:";
    for (size_t i = 0; i < n && i <= 6; ++i) {
        if (!ModelEqualNoCase(static_cast<unsigned char>(text[i]),
                              static_cast<unsigned char>(option[i])))
            return false;
    }
    return true;
}

const char *ModelFindOption(const char *text) {
    for (size_t i = 0; text[i]; i += ModelCharLength(text, i)) {
        if (ModelStartsWithVerbOption(text + i))
            return text + i;
    }
    return nullptr;
}

void CheckOptionScans(const char *argument) {
    for (size_t n = 0; n <= 8; ++n)
        FUZZ_CHECK(MatchVerbPrefix(argument, n) == ModelMatchPrefix(argument, n));
    FUZZ_CHECK(FindVerbOption(argument) == ModelFindOption(argument));
    FUZZ_CHECK(IsVerbOption(argument) == ModelStartsWithVerbOption(argument));
}

void CheckExtract(int argc, char **argv) {
    std::string expected;
    for (int i = 1; i < argc; ++i) {
        if (ModelStartsWithVerbOption(argv[i]))
            expected.assign(argv[i] + 6, ModelCopyLength(argv[i] + 6, kCommandCapacity));
    }
    char *verb = static_cast<char *>(malloc(kCommandCapacity));
    FUZZ_CHECK(ExtractVerbOption(verb, argc, argv));
    FUZZ_CHECK(expected == verb);
    free(verb);
}

// failAfter: how many allocations succeed; past the list's own ones, none
// fails.
void CheckPathList(int n, char **args, size_t failAfter) {
    std::vector<std::string> expected;
    char canonical[kPathCapacity];
    for (int i = 0; i < n; ++i) {
        if (!IsSelectOption(args[i]) && PathExists(args[i]) && CanonicalizePath(canonical, args[i]))
            expected.push_back(canonical);
    }
    const bool runsOut = failAfter < expected.size() + 1;

    const long liveBefore = heap_probe::Live();
    heap_probe::Reset();
    heap_probe::FailAfter(failAfter);
    int count = -1;
    PathList list = BuildPathList(n, args, &count);
    if (runsOut) {
        FUZZ_CHECK(list == nullptr);
        FUZZ_CHECK(heap_probe::Live() == liveBefore);
        return;
    }
    FUZZ_CHECK(list != nullptr);
    FUZZ_CHECK(heap_probe::SizeOf(0) == (static_cast<size_t>(n) + 1) * sizeof(char *));
    FUZZ_CHECK(count >= 0 && static_cast<size_t>(count) == expected.size());
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(expected[i] == list[i]);
        FUZZ_CHECK(heap_probe::SizeOf(i + 1) == expected[i].size() + 1);
    }
    FUZZ_CHECK(list[count] == nullptr);
    FUZZ_CHECK(FreePathList(list, count));
    FUZZ_CHECK(heap_probe::Live() == liveBefore);
}

// Whether a text survives a pair of double quotes in a command line: no
// quote of its own, and its last character neither a backslash (which
// would escape the closing quote) nor a lone lead byte (which would take
// the quote as its second byte).
bool Quotable(const char *text) {
    if (strchr(text, '"'))
        return false;
    size_t last = 0;
    for (size_t i = 0; text[i]; i += ModelCharLength(text, i))
        last = i;
    return !text[0] ||
           (ModelCharLength(text, last) == 2 || (text[last] != '\\' && !ModelIsLead(text[last])));
}

// The stored command line, with the shell's path in place of "%1", splits
// back into the program, the option with the bare verb, and the path.
void CheckRoundTrip(const char *program, const char *verb, const char *path, bool hasVerb) {
    if (!Quotable(program) || !Quotable(verb) || !Quotable(path))
        return;
    char line[kCommandCapacity];
    if (FormatBounded(sizeof line, line, "\"%s\"%s%s%s%s \"%s\"", program, hasVerb ? " /verb:" : "",
                      hasVerb ? "\"" : "", hasVerb ? verb : "", hasVerb ? "\"" : "", path) < 0)
        return;
    heap_probe::Reset();
    int argc = 0;
    char **argv = SplitCommandLine(line, &argc);
    FUZZ_CHECK(argv != nullptr);
    FUZZ_CHECK(argc == (hasVerb ? 3 : 2));
    FUZZ_CHECK(strcmp(argv[0], program) == 0);
    FUZZ_CHECK(strcmp(argv[argc - 1], path) == 0);
    if (hasVerb)
        FUZZ_CHECK(std::string("/verb:") + verb == argv[1]);
    char extracted[kCommandCapacity];
    ExtractVerbOption(extracted, argc, argv);
    // A path that itself begins with /verb: is an option too, and the last
    // option wins.
    const char *wins = ModelStartsWithVerbOption(path) ? path + 6 : hasVerb ? verb : "";
    FUZZ_CHECK(strcmp(extracted, wins) == 0);
    MemFree(argv);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    const unsigned control = data[0];

    // Each argument in a block of its own size, so that a read past its
    // terminator is an overflow.
    std::vector<char *> argv;
    for (size_t at = 1; at <= size && argv.size() < kMaxArguments;) {
        const uint8_t *end = static_cast<const uint8_t *>(memchr(data + at, 0, size - at));
        size_t n = end ? static_cast<size_t>(end - data) - at : size - at;
        char *argument = static_cast<char *>(malloc(n + 1));
        memcpy(argument, data + at, n);
        argument[n] = '\0';
        argv.push_back(argument);
        at += n + 1;
    }
    const int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);

    for (int i = 0; i < argc; ++i)
        CheckOptionScans(argv[i]);
    CheckExtract(argc, argv.data());
    CheckExtract(1, argv.data());
    // Beyond argc + 1 allocations nothing can run out.
    CheckPathList(argc - 1, argv.data() + 1,
                  control & 0x80 ? kMaxArguments + 1 : control % (argc + 1));
    const char *empty = "";
    CheckRoundTrip(argv[0], argc > 1 ? argv[1] : empty, argc > 2 ? argv[2] : empty, true);
    CheckRoundTrip(argv[0], empty, argc > 1 ? argv[1] : empty, false);

    for (int i = 0; i < argc; ++i)
        free(argv[i]);
    return 0;
}
