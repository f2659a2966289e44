#include "TOOLS/dlgtemplate.h"

#include "text/heap.h"

namespace {

const uint32_t kWsChild = 0x40000000;
const size_t kFixedWords = 9;

// Whether words written at word index i end within capacity bytes; phrased
// without sums that could wrap.
bool Fits(size_t capacity, size_t i, size_t words) {
    return words <= capacity / 2 && i <= capacity / 2 - words;
}

unsigned char *WordAt(void *buffer, size_t i) {
    return static_cast<unsigned char *>(buffer) + i * 2;
}

// Little-endian whatever the host, for the native build.
void PutWord(unsigned char *at, uint16_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void PutDword(unsigned char *at, uint32_t value) {
    PutWord(at, static_cast<uint16_t>(value));
    PutWord(at + 2, static_cast<uint16_t>(value >> 16));
}

size_t StringLength(const char16_t *text) {
    size_t n = 0;
    if (text)
        while (text[n])
            ++n;
    return n;
}

// Both fixed parts are two double words and five words; only the order of
// the five differs between header and item.
size_t StoreFixedPart(void *buffer, size_t capacity, size_t i, uint32_t style, uint32_t exStyle,
                      const uint16_t (&words)[5]) {
    if (!buffer)
        return kFixedWords;
    if (!Fits(capacity, i, kFixedWords))
        return 0;
    unsigned char *at = WordAt(buffer, i);
    PutDword(at, style);
    PutDword(at + 4, exStyle);
    for (size_t k = 0; k < 5; ++k)
        PutWord(at + 8 + k * 2, words[k]);
    return kFixedWords;
}

} // namespace

size_t WriteWord(void *buffer, size_t capacity, size_t i, uint16_t value) {
    if (!buffer)
        return 1;
    if (!Fits(capacity, i, 1))
        return 0;
    PutWord(WordAt(buffer, i), value);
    return 1;
}

size_t WriteOrdinal(void *buffer, size_t capacity, size_t i, uint16_t value) {
    size_t n = WriteWord(buffer, capacity, i, 0xFFFF);
    return n + WriteWord(buffer, capacity, i + n, value);
}

size_t WriteWideString(void *buffer, size_t capacity, size_t i, const char16_t *text) {
    size_t n = StringLength(text);
    if (!buffer)
        return n + 1;
    if (!Fits(capacity, i, n + 1))
        return 0;
    unsigned char *at = WordAt(buffer, i);
    for (size_t k = 0; k < n; ++k)
        PutWord(at + k * 2, text[k]);
    PutWord(at + n * 2, 0);
    return n + 1;
}

size_t WriteNameOrOrdinal(void *buffer, size_t capacity, size_t i, NameRule rule,
                          NameOrOrdinal value) {
    if (value == 0 && rule == kZeroIsEmpty)
        return WriteWord(buffer, capacity, i, 0);
    if ((value >> 16) == 0)
        return WriteOrdinal(buffer, capacity, i, static_cast<uint16_t>(value));
    return WriteWideString(buffer, capacity, i, reinterpret_cast<const char16_t *>(value));
}

size_t AlignToDword(void *buffer, size_t capacity, size_t i) {
    return i % 2 ? WriteWord(buffer, capacity, i, 0) : 0;
}

size_t StoreDlgTemplate(void *buffer, size_t capacity, size_t i, uint32_t style, uint16_t count,
                        uint32_t exStyle, int16_t x, int16_t y, int16_t cx, int16_t cy) {
    const uint16_t words[5] = {count, static_cast<uint16_t>(x), static_cast<uint16_t>(y),
                               static_cast<uint16_t>(cx), static_cast<uint16_t>(cy)};
    return StoreFixedPart(buffer, capacity, i, style, exStyle, words);
}

size_t StoreDlgItemTemplate(void *buffer, size_t capacity, size_t i, uint32_t style, uint16_t id,
                            uint32_t exStyle, int16_t x, int16_t y, int16_t cx, int16_t cy) {
    const uint16_t words[5] = {static_cast<uint16_t>(x), static_cast<uint16_t>(y),
                               static_cast<uint16_t>(cx), static_cast<uint16_t>(cy), id};
    return StoreFixedPart(buffer, capacity, i, style, exStyle, words);
}

size_t WriteDialogHeader(void *buffer, size_t capacity, size_t i, const DialogDesc *desc) {
    size_t n = StoreDlgTemplate(buffer, capacity, i, desc->style, desc->count, desc->exStyle,
                                desc->x, desc->y, desc->cx, desc->cy);
    n += WriteNameOrOrdinal(buffer, capacity, i + n, kZeroIsEmpty, desc->menu);
    n += WriteNameOrOrdinal(buffer, capacity, i + n, kZeroIsEmpty, desc->className);
    n += WriteWideString(buffer, capacity, i + n, desc->title);
    // The system reads the font fields only under DS_SETFONT; setting that
    // bit is the caller's part.
    if (desc->fontName) {
        n += WriteWord(buffer, capacity, i + n, desc->pointSize);
        n += WriteWideString(buffer, capacity, i + n, desc->fontName);
    }
    return n;
}

size_t WriteDialogItem(void *buffer, size_t capacity, size_t i, const DialogItemDesc *item) {
    size_t n = StoreDlgItemTemplate(buffer, capacity, i, item->style | kWsChild, item->id,
                                    item->exStyle, item->x, item->y, item->cx, item->cy);
    n += WriteNameOrOrdinal(buffer, capacity, i + n, kZeroIsOrdinal, item->className);
    n += WriteNameOrOrdinal(buffer, capacity, i + n, kZeroIsEmpty, item->text);
    // No creation data.
    n += WriteWord(buffer, capacity, i + n, 0);
    return n;
}

size_t WriteDialogTemplate(const DialogDesc *desc, void *buffer, size_t capacity,
                           const DialogItemDesc *items) {
    size_t i = WriteDialogHeader(buffer, capacity, 0, desc);
    i += AlignToDword(buffer, capacity, i);
    for (uint16_t k = 0; k < desc->count; ++k) {
        i += WriteDialogItem(buffer, capacity, i, &items[k]);
        i += AlignToDword(buffer, capacity, i);
    }
    return i * 2;
}

void *BuildDialogTemplate(const DialogDesc *desc, const DialogItemDesc *items) {
    size_t size = WriteDialogTemplate(desc, nullptr, 0, items);
    void *block = MemAlloc(size);
    if (!block)
        return nullptr;
    // Every word is written, padding included, so the block needs no clearing.
    WriteDialogTemplate(desc, block, size, items);
    return block;
}
