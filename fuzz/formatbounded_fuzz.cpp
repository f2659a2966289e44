// FormatBounded: the result and the buffer for every size, with the
// formats tessaro writes: never past size, always terminated, the length or
// -1, and the longest prefix that fits.
//
// Input: two bytes that choose the size, one the format, four an integer,
// then up to six texts separated by zero bytes.
#include "check.h"
#include "text/bounded.h"
#include "text/trace.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>

namespace {

struct Values {
    int number;
    const char *s[6];
};

// Both FormatBounded and the host's snprintf, with the same values.
template <typename Format> void Each(unsigned which, const Values &v, Format &&format) {
    switch (which % 4) {
    case 0:
        format(TRACE_ARGV_FORMAT, v.number, v.s[0]);
        break;
    case 1:
        format("%s(%d) : %s \r\n", v.s[0], v.number, v.s[1]);
        break;
    case 2:
        format("\"%s\"%s%s%s%s \"%s\"", v.s[0], v.s[1], v.s[2], v.s[3], v.s[4], v.s[5]);
        break;
    default:
        format("%s", v.s[0]);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 7)
        return 0;
    std::string texts(reinterpret_cast<const char *>(data) + 7, size - 7);
    Values v;
    memcpy(&v.number, data + 3, sizeof v.number);
    size_t at = 0;
    for (const char *&s : v.s) {
        s = texts.c_str() + at;
        at = std::min(at + strlen(s) + 1, texts.size());
    }

    std::string full;
    Each(data[2], v, [&](const char *format, auto... values) {
        int n = snprintf(nullptr, 0, format, values...);
        full.resize(static_cast<size_t>(n) + 1);
        snprintf(&full[0], full.size(), format, values...);
        full.resize(static_cast<size_t>(n));
    });
    const size_t capacity = (data[0] | data[1] << 8) % (full.size() + 3);

    // Exactly capacity bytes, so a write past them is an overflow; a zero
    // size must leave the buffer alone.
    char *buffer = static_cast<char *>(malloc(capacity ? capacity : 1));
    memset(buffer, 0xA5, capacity ? capacity : 1);
    int result = 0;
    Each(data[2], v, [&](const char *format, auto... values) {
        result = FormatBounded(capacity, buffer, format, values...);
    });

    if (capacity == 0) {
        FUZZ_CHECK(result == -1);
        FUZZ_CHECK(static_cast<unsigned char>(buffer[0]) == 0xA5);
    } else {
        const bool fits = full.size() <= capacity - 1;
        const size_t kept = fits ? full.size() : capacity - 1;
        FUZZ_CHECK(result == (fits ? static_cast<int>(full.size()) : -1));
        FUZZ_CHECK(memchr(buffer, '\0', capacity) == buffer + kept);
        FUZZ_CHECK(memcmp(buffer, full.data(), kept) == 0);
    }
    free(buffer);
    return 0;
}
