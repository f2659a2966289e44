#include "dialog/selectoption.h"
#include "app/cmdline.h"
#include "open/args.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/heap.h"

#include <string.h>

bool EditSelectOption(char *line, int change) {
    int argc = 0;
    char **argv = SplitCommandLine(line, &argc);
    if (!argv)
        return false;
    const char *begin, *target = nullptr;
    const char *end = NextArgumentSpan(line, true, &begin);
    bool present = false;
    // The spans come from the scan that split argv, one for one; argv is a
    // copy, so taking text out of line leaves it as it was.
    for (int i = 1; i < argc; ++i) {
        const char *next = NextArgumentSpan(end, false, &begin);
        if (IsSelectOption(argv[i])) {
            present = true;
            if (change == kSelectRemove) {
                char *to = line + (end - line);
                while ((*to++ = *next++) != '\0') {
                }
                next = end;
            }
        } else if (StrEqual(argv[i], "%1")) {
            target = begin;
        }
        end = next;
    }
    MemFree(argv);
    if (change != kSelectAdd || present)
        return present && change != kSelectRemove;
    char out[kCommandCapacity];
    int head = target ? static_cast<int>(target - line) : static_cast<int>(strlen(line));
    if (FormatBounded(sizeof out, out, "%.*s%s%s", head, line, target ? "/select " : " /select",
                      line + head) < 0)
        return false;
    CopyBounded(sizeof out, line, out);
    return true;
}
