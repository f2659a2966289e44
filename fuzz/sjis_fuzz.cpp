// The Shift-JIS scans: every step, code and span agrees with the model, and
// no scan reads past the terminator.
//
// Input: one byte for the length of a set (0-5), its bytes, two bytes of a
// character code to search for, then the text.
#include "check.h"
#include "model.h"
#include "text/sjis.h"

#include <stdint.h>
#include <string.h>
#include <string>

namespace {

size_t ModelSpan(const std::string &set, const char *text, bool inside) {
    size_t i = 0;
    while (text[i]) {
        size_t n = ModelCharLength(text, i);
        bool member = n == 1 && memchr(set.data(), text[i], set.size()) != nullptr;
        if (member != inside)
            break;
        i += n;
    }
    return i;
}

// First character (the terminator included) equal to code, or null.
const char *ModelFind(const char *text, unsigned code) {
    for (size_t i = 0;; i += ModelCharLength(text, i)) {
        if (ModelEqualNoCase(ModelCharCode(text, i), code))
            return text + i;
        if (!text[i])
            return nullptr;
    }
}

void CheckSpans(const std::string &set, const char *text) {
    FUZZ_CHECK(SpanInSet(set.c_str(), text) == ModelSpan(set, text, true));
    FUZZ_CHECK(SpanNotInSet(set.c_str(), text) == ModelSpan(set, text, false));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    size_t pos = 0;
    auto next = [&]() -> unsigned { return pos < size ? data[pos++] : 0; };
    std::string set;
    for (size_t n = next() % 6; n > 0; --n) {
        unsigned c = next();
        if (c)
            set += static_cast<char>(c);
    }
    unsigned code = next() << 8;
    code |= next();

    const size_t length = size - pos;
    char *text = static_cast<char *>(malloc(length + 1));
    memcpy(text, data + pos, length);
    text[length] = '\0';
    const size_t end = strlen(text);

    // Every byte position, not only character starts: both are local rules.
    for (size_t i = 0; i <= end; ++i) {
        FUZZ_CHECK(GetCharCode(text + i) == (text[i] ? ModelCharCode(text, i) : 0));
        FUZZ_CHECK(NextChar(text + i) == text + (text[i] ? i + ModelCharLength(text, i) : i));
    }

    CheckSpans(set, text);
    CheckSpans(" \t", text);
    CheckSpans("\"", text);
    CheckSpans("\\", text);

    const unsigned codes[] = {code, code & 0xFF, code >> 8, ':', 'A', 'a', 0};
    for (unsigned c : codes) {
        FUZZ_CHECK(FindCharNoCase(text, c) == ModelFind(text, c));
        for (unsigned d : codes)
            FUZZ_CHECK(CharEqualNoCase(c, d) == ModelEqualNoCase(c, d));
    }
    // ':' has no other case, so the model's search is an exact one here.
    FUZZ_CHECK(FindColon(text) == ModelFind(text, ':'));

    free(text);
    return 0;
}
