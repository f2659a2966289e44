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
// (as in 表 or ソ) is never a backslash. The UTF-16 command line that NT
// keeps beside it splits by the same rules, so that the two correspond
// argument for argument.
#include "app/cmdline.h"
#include "text/codepage.h"
#include "text/heap.h"
#include "text/sjis.h"

#include <stddef.h>

namespace {

// One scanner for both passes: without buffers it only counts.
template <typename C> struct Emitter {
    C *text;
    C **table;
    size_t pos;
    int argc;

    void Put(C c) {
        if (text)
            text[pos] = c;
        ++pos;
    }
    void StartArgument() {
        if (table)
            table[argc] = text + pos;
    }
};

// The name's scan has the fixed lead-byte ranges; the copy of one character
// asks the code page in force, as the shell's own splitting does. UTF-16
// has no lead units.
const char *Step(const char *p) {
    return NextChar(p);
}
const wchar_t *Step(const wchar_t *p) {
    return p + 1;
}
bool IsLeadBeforeMore(const char *p) {
    return IsAnsiLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0';
}
bool IsLeadBeforeMore(const wchar_t *) {
    return false;
}

template <typename C> bool IsBlank(C c) {
    return c == ' ' || c == '\t';
}

template <typename C> const C *ScanProgramName(Emitter<C> &out, const C *p) {
    bool quoted = *p == '"';
    if (quoted)
        ++p;
    const C *end = p;
    while (*end != '\0' && (quoted ? *end != '"' : !IsBlank(*end)))
        end = Step(end);
    while (p != end)
        out.Put(*p++);
    if (quoted && *p == '"')
        ++p;
    out.Put('\0');
    return p;
}

template <typename C> const C *ScanArgument(Emitter<C> &out, const C *p) {
    bool quoted = false;
    for (;;) {
        size_t n = 0;
        for (; *p == '\\'; ++p)
            ++n;
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
        if (*p == '\0' || (!quoted && IsBlank(*p)))
            break;
        if (IsLeadBeforeMore(p))
            out.Put(*p++);
        out.Put(*p++);
    }
    out.Put('\0');
    return p;
}

template <typename C> void Scan(Emitter<C> &out, const C *p) {
    out.StartArgument();
    p = ScanProgramName(out, p);
    for (;;) {
        ++out.argc;
        while (IsBlank(*p))
            ++p;
        if (*p == '\0')
            break;
        out.StartArgument();
        p = ScanArgument(out, p);
    }
    if (out.table)
        out.table[out.argc] = nullptr;
}

template <typename C> C **Split(const C *commandLine, int *argc) {
    Emitter<C> measure = {nullptr, nullptr, 0, 0};
    Scan(measure, commandLine);

    size_t tableSize = (static_cast<size_t>(measure.argc) + 1) * sizeof(C *);
    C **block = static_cast<C **>(MemAlloc(tableSize + measure.pos * sizeof(C)));
    if (!block)
        return nullptr;
    Emitter<C> fill = {reinterpret_cast<C *>(reinterpret_cast<char *>(block) + tableSize), block, 0,
                       0};
    Scan(fill, commandLine);
    *argc = fill.argc;
    return block;
}

} // namespace

char **SplitCommandLine(const char *commandLine, int *argc) {
    return Split(commandLine, argc);
}

wchar_t **SplitCommandLine(const wchar_t *commandLine, int *argc) {
    return Split(commandLine, argc);
}

const char *NextArgumentSpan(const char *p, bool first, const char **begin) {
    Emitter<char> skip = {nullptr, nullptr, 0, 0};
    if (!first) {
        while (IsBlank(*p))
            ++p;
        if (*p == '\0')
            return nullptr;
    }
    *begin = p;
    return first ? ScanProgramName(skip, p) : ScanArgument(skip, p);
}
