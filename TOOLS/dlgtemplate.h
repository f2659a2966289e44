// An in-memory dialog template (the plain DLGTEMPLATE layout, not the
// extended one) from two small records. Free of <windows.h>, so the writers
// also build natively; only BuildDialogTemplate needs text/heap.h.
#pragma once
#include <stddef.h>
#include <stdint.h>

// A value whose high 16 bits are zero is an ordinal; anything else points
// at a zero-terminated UTF-16 string.
typedef uintptr_t NameOrOrdinal;

inline NameOrOrdinal TemplateString(const char16_t *text) {
    return reinterpret_cast<NameOrOrdinal>(text);
}

struct DialogDesc {
    uint32_t style; // a caller that gives fontName sets DS_SETFONT itself
    uint32_t exStyle;
    uint16_t count; // number of DialogItemDesc records that follow
    int16_t x, y, cx, cy;
    NameOrOrdinal className;  // 0: the system dialog class
    const char16_t *title;    // null: empty caption
    NameOrOrdinal menu;       // 0: none
    const char16_t *fontName; // null: no font fields at all, whatever style says
    uint16_t pointSize;
};

struct DialogItemDesc {
    NameOrOrdinal className; // ordinal: predefined class (0x0080 button, 0x0082 static)
    NameOrOrdinal text;      // 0: empty; ordinal: resource ordinal
    uint32_t style;          // WS_CHILD is always added
    uint32_t exStyle;
    int16_t x, y, cx, cy;
    uint16_t id;
};

// Measures, allocates exactly that size from the process heap and fills it;
// null when the allocation fails. Released with MemFree.
void *BuildDialogTemplate(const DialogDesc *desc, const DialogItemDesc *items);

// The template's size in bytes. A null buffer only measures; otherwise a
// write that would end past capacity is skipped and counts nothing.
size_t WriteDialogTemplate(const DialogDesc *desc, void *buffer, size_t capacity,
                           const DialogItemDesc *items);

// The lower writers. Each writes at word index i of buffer (null to
// measure) and returns the number of words written, or that it would write.
size_t WriteDialogHeader(void *buffer, size_t capacity, size_t i, const DialogDesc *desc);
size_t WriteDialogItem(void *buffer, size_t capacity, size_t i, const DialogItemDesc *item);

// What a name-or-ordinal field of value 0 becomes.
enum NameRule {
    kZeroIsEmpty,   // one zero word: header menu and class, item text
    kZeroIsOrdinal, // 0xFFFF, 0x0000: item class
};
size_t WriteNameOrOrdinal(void *buffer, size_t capacity, size_t i, NameRule rule,
                          NameOrOrdinal value);
// Null writes an empty string.
size_t WriteWideString(void *buffer, size_t capacity, size_t i, const char16_t *text);
size_t WriteOrdinal(void *buffer, size_t capacity, size_t i, uint16_t value);
size_t WriteWord(void *buffer, size_t capacity, size_t i, uint16_t value);
// One zero word when i is odd, so that the next part starts on 4 bytes.
size_t AlignToDword(void *buffer, size_t capacity, size_t i);

// The fixed 18-byte parts, both taking their values in the same order.
size_t StoreDlgTemplate(void *buffer, size_t capacity, size_t i, uint32_t style, uint16_t count,
                        uint32_t exStyle, int16_t x, int16_t y, int16_t cx, int16_t cy);
size_t StoreDlgItemTemplate(void *buffer, size_t capacity, size_t i, uint32_t style, uint16_t id,
                            uint32_t exStyle, int16_t x, int16_t y, int16_t cx, int16_t cy);
