// CopyBounded: never past size, always terminated, never parting a lead
// byte from its second byte, and the longest prefix that allows.
//
// Input: two bytes that choose the size (0 to the source's length + 2),
// then the source.
#include "check.h"
#include "model.h"
#include "text/bounded.h"

#include <stdint.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const size_t length = size - 2;
    char *source = static_cast<char *>(malloc(length + 1));
    memcpy(source, data + 2, length);
    source[length] = '\0';
    const size_t sourceLength = strlen(source);
    const size_t capacity = (data[0] | data[1] << 8) % (sourceLength + 3);

    // Exactly capacity bytes: any write past them is an overflow. The fill
    // shows which bytes the copy wrote.
    char *destination = static_cast<char *>(malloc(capacity ? capacity : 1));
    memset(destination, 0xA5, capacity ? capacity : 1);
    CopyBounded(capacity, destination, source);

    if (capacity == 0) {
        FUZZ_CHECK(static_cast<unsigned char>(destination[0]) == 0xA5);
    } else {
        const size_t kept = ModelCopyLength(source, capacity);
        const void *terminator = memchr(destination, '\0', capacity);
        FUZZ_CHECK(terminator != nullptr);
        FUZZ_CHECK(strlen(destination) == kept);
        FUZZ_CHECK(memcmp(destination, source, kept) == 0);
        // The cut never falls between a lead byte and a valid second byte:
        // walking the source by such pairs meets the cut at a boundary.
        size_t boundary = 0;
        while (boundary < kept)
            boundary += ModelIsLead(source[boundary]) && ModelIsTrail(source[boundary + 1]) ? 2 : 1;
        FUZZ_CHECK(boundary == kept);
        // A whole copy is equal to its source; a cut one is not.
        FUZZ_CHECK(StrEqual(destination, source) == (kept == sourceLength));
    }

    free(destination);
    free(source);
    return 0;
}
