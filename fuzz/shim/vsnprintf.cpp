#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The host's vsnprintf always terminates and returns the full length; the
// Windows function that the product calls does neither, and the bounded
// formatter's own terminator logic exists because of that.
extern "C" int _vsnprintf(char *buffer, size_t count, const char *format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0)
        return -1;
    char *full = static_cast<char *>(malloc(static_cast<size_t>(length) + 1));
    if (!full)
        abort();
    vsnprintf(full, static_cast<size_t>(length) + 1, format, args);
    size_t n = static_cast<size_t>(length);
    if (n < count)
        memcpy(buffer, full, n + 1);
    else
        memcpy(buffer, full, count);
    free(full);
    return n <= count ? length : -1;
}
