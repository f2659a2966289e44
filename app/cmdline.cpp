// Quoting rules, as the shell's stored command line relies on them:
//
//   argument 0      "..." up to the next quote, else up to a blank; no
//                   escapes at all, so "C:\dir\" keeps its backslash
//   2n \ then "     n backslashes; the quote opens or closes a stretch
//   2n+1 \ then "   n backslashes and a literal quote
//   "" in quotes    one literal quote, and the stretch ends
//   \ elsewhere     kept as it is
//
// Every scan steps over Shift-JIS characters whole, so a second byte 0x5C
// (as in 表 or ソ) is never a backslash.
#include "app/cmdline.h"
#include "text/codepage.h"
#include "text/heap.h"
#include "text/sjis.h"

#include <stddef.h>

namespace {

const char kBlank[] = " \t";

// One scanner for both passes: without buffers it only counts.
struct Emitter {
    char *text;
    char **table;
    size_t pos;
    int argc;

    void Put(char c) {
        if (text)
            text[pos] = c;
        ++pos;
    }
    void StartArgument() {
        if (table)
            table[argc] = text + pos;
    }
};

const char *ScanProgramName(Emitter &out, const char *p) {
    bool quoted = *p == '"';
    if (quoted)
        ++p;
    size_t n = SpanNotInSet(quoted ? "\"" : kBlank, p);
    for (size_t i = 0; i < n; ++i)
        out.Put(p[i]);
    p += n;
    if (quoted && *p == '"')
        ++p;
    out.Put('\0');
    return p;
}

const char *ScanArgument(Emitter &out, const char *p) {
    bool quoted = false;
    for (;;) {
        size_t n = SpanInSet("\\", p);
        p += n;
        if (*p == '"') {
            for (size_t i = 0; i < n / 2; ++i)
                out.Put('\\');
            if (n % 2) {
                out.Put('"');
                ++p;
                continue;
            }
            ++p;
            if (quoted && *p == '"') {
                out.Put('"');
                ++p;
            }
            quoted = !quoted;
            continue;
        }
        for (size_t i = 0; i < n; ++i)
            out.Put('\\');
        if (*p == '\0' || (!quoted && (*p == ' ' || *p == '\t')))
            break;
        if (IsAnsiLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0')
            out.Put(*p++);
        out.Put(*p++);
    }
    out.Put('\0');
    return p;
}

void Scan(Emitter &out, const char *p) {
    out.StartArgument();
    p = ScanProgramName(out, p);
    for (;;) {
        ++out.argc;
        p += SpanInSet(kBlank, p);
        if (*p == '\0')
            break;
        out.StartArgument();
        p = ScanArgument(out, p);
    }
    if (out.table)
        out.table[out.argc] = nullptr;
}

} // namespace

char **SplitCommandLine(const char *commandLine, int *argc) {
    Emitter measure = {nullptr, nullptr, 0, 0};
    Scan(measure, commandLine);

    size_t tableSize = (static_cast<size_t>(measure.argc) + 1) * sizeof(char *);
    char **block = static_cast<char **>(MemAlloc(tableSize + measure.pos));
    if (!block)
        return nullptr;
    Emitter fill = {reinterpret_cast<char *>(block) + tableSize, block, 0, 0};
    Scan(fill, commandLine);
    *argc = fill.argc;
    return block;
}
