// The dialog template writers: measuring and filling agree, the filled
// block reads back as the description by the template's own layout, every
// byte of it is written, and no capacity or word index makes a writer
// write past the capacity.
#include "TOOLS/dlgtemplate.h"
#include "check.h"
#include "shim/heap_probe.h"
#include "text/heap.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <string.h>
#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace {

const uint32_t kWsChild = 0x40000000;
const size_t kGuard = 16;
const unsigned char kFill = 0xA5;

// Texts stay put while descriptions point at them.
typedef std::deque<std::u16string> TextStore;

const char16_t *ConsumeText(FuzzedDataProvider &in, TextStore &store) {
    std::u16string text;
    for (size_t n = in.ConsumeIntegralInRange<size_t>(0, 24); n > 0; --n) {
        char16_t unit = in.ConsumeIntegral<uint16_t>();
        if (!unit)
            break;
        text += unit;
    }
    store.push_back(text);
    return store.back().c_str();
}

NameOrOrdinal ConsumeName(FuzzedDataProvider &in, TextStore &store) {
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        return 0;
    case 1:
        return in.ConsumeIntegralInRange<uint16_t>(1, 0xFFFF);
    default:
        return TemplateString(ConsumeText(in, store));
    }
}

// Reads a template word by word and expects what the description says.
struct Reader {
    const unsigned char *block;
    size_t size;
    size_t word = 0;

    uint16_t Word() {
        FUZZ_CHECK((word + 1) * 2 <= size);
        const unsigned char *at = block + word++ * 2;
        return static_cast<uint16_t>(at[0] | at[1] << 8);
    }
    uint32_t Dword() {
        uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    void ExpectString(const char16_t *text) {
        for (; text && *text; ++text)
            FUZZ_CHECK(Word() == *text);
        FUZZ_CHECK(Word() == 0);
    }
    // The item class writes 0 as an ordinal; every other field as an empty
    // string.
    void ExpectName(NameOrOrdinal value, bool zeroIsOrdinal) {
        if (value == 0 && !zeroIsOrdinal) {
            FUZZ_CHECK(Word() == 0);
        } else if (value <= 0xFFFF) {
            FUZZ_CHECK(Word() == 0xFFFF);
            FUZZ_CHECK(Word() == value);
        } else {
            ExpectString(reinterpret_cast<const char16_t *>(value));
        }
    }
    void ExpectPadding() {
        if (word % 2)
            FUZZ_CHECK(Word() == 0);
    }
    void ExpectBox(int16_t x, int16_t y, int16_t cx, int16_t cy) {
        FUZZ_CHECK(Word() == static_cast<uint16_t>(x));
        FUZZ_CHECK(Word() == static_cast<uint16_t>(y));
        FUZZ_CHECK(Word() == static_cast<uint16_t>(cx));
        FUZZ_CHECK(Word() == static_cast<uint16_t>(cy));
    }
};

void ExpectTemplate(const unsigned char *block, size_t size, const DialogDesc &desc,
                    const std::vector<DialogItemDesc> &items) {
    Reader in{block, size};
    FUZZ_CHECK(in.Dword() == desc.style);
    FUZZ_CHECK(in.Dword() == desc.exStyle);
    FUZZ_CHECK(in.Word() == desc.count);
    in.ExpectBox(desc.x, desc.y, desc.cx, desc.cy);
    in.ExpectName(desc.menu, false);
    in.ExpectName(desc.className, false);
    in.ExpectString(desc.title);
    if (desc.fontName) {
        FUZZ_CHECK(in.Word() == desc.pointSize);
        in.ExpectString(desc.fontName);
    }
    in.ExpectPadding();
    for (const DialogItemDesc &item : items) {
        FUZZ_CHECK(in.Dword() == (item.style | kWsChild));
        FUZZ_CHECK(in.Dword() == item.exStyle);
        in.ExpectBox(item.x, item.y, item.cx, item.cy);
        FUZZ_CHECK(in.Word() == item.id);
        in.ExpectName(item.className, true);
        in.ExpectName(item.text, false);
        FUZZ_CHECK(in.Word() == 0);
        in.ExpectPadding();
    }
    FUZZ_CHECK(in.word * 2 == size);
}

// A block of capacity bytes and a guard behind it, all of one fill.
struct Guarded {
    unsigned char *bytes;
    size_t capacity;
    explicit Guarded(size_t c)
        : bytes(static_cast<unsigned char *>(malloc(c + kGuard))), capacity(c) {
        memset(bytes, kFill, c + kGuard);
    }
    ~Guarded() { free(bytes); }
    Guarded(const Guarded &) = delete;
    Guarded &operator=(const Guarded &) = delete;
    // Nothing changed outside words [first, first + words).
    bool UntouchedOutside(size_t first, size_t words) const {
        for (size_t k = 0; k < capacity + kGuard; ++k) {
            bool inside = words && k / 2 >= first && k / 2 - first < words;
            if (!inside && bytes[k] != kFill)
                return false;
        }
        return true;
    }
};

// Whether words at word index i end within capacity bytes, in arithmetic
// too wide to wrap.
bool Fits(size_t capacity, size_t i, size_t words) {
    return (static_cast<unsigned __int128>(i) + words) * 2 <= capacity;
}

// Each lower writer at any index, any small capacity: a part that fits is
// written whole, one that does not is not written at all. An ordinal is two
// such parts, the second at the index after what the first wrote.
void CheckLowerWriters(FuzzedDataProvider &in, TextStore &store) {
    const size_t capacity = in.ConsumeIntegralInRange<size_t>(0, 48);
    // Small indexes land around the end of the buffer, any other far beyond
    // it, up to where sums of index and length wrap.
    const size_t i =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<size_t>(0, 30) : in.ConsumeIntegral<size_t>();
    const char16_t *text = ConsumeText(in, store);
    const NameOrOrdinal name = ConsumeName(in, store);
    const NameRule rule = in.ConsumeBool() ? kZeroIsEmpty : kZeroIsOrdinal;
    const uint16_t value = in.ConsumeIntegral<uint16_t>();

    const size_t first = Fits(capacity, i, 1) ? 1 : 0;
    const size_t ordinal = first + (Fits(capacity, i + first, 1) ? 1 : 0);
    auto whole = [&](size_t words) { return Fits(capacity, i, words) ? words : 0; };
    auto check = [&](auto write, auto expected) {
        Guarded buffer(capacity);
        size_t written = write(buffer.bytes, capacity);
        FUZZ_CHECK(written == expected(write(nullptr, 0)));
        FUZZ_CHECK(buffer.UntouchedOutside(i, written));
    };
    const bool nameIsOrdinal = name <= 0xFFFF && (name != 0 || rule == kZeroIsOrdinal);
    check([&](void *b, size_t c) { return WriteWord(b, c, i, value); }, whole);
    check([&](void *b, size_t c) { return WriteOrdinal(b, c, i, value); },
          [&](size_t) { return ordinal; });
    check([&](void *b, size_t c) { return WriteWideString(b, c, i, text); }, whole);
    check([&](void *b, size_t c) { return WriteNameOrOrdinal(b, c, i, rule, name); },
          [&](size_t words) { return nameIsOrdinal ? ordinal : whole(words); });
    check([&](void *b, size_t c) { return AlignToDword(b, c, i); }, whole);
    check(
        [&](void *b, size_t c) {
            return StoreDlgTemplate(b, c, i, 0x90C800C4, value, 0x12345678, 1, -2, 3, -4);
        },
        whole);
    check(
        [&](void *b, size_t c) {
            return StoreDlgItemTemplate(b, c, i, 0x50000000, value, 0x87654321, -1, 2, -3, 4);
        },
        whole);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    TextStore store;

    DialogDesc desc;
    desc.style = in.ConsumeIntegral<uint32_t>();
    desc.exStyle = in.ConsumeIntegral<uint32_t>();
    desc.count = in.ConsumeIntegralInRange<uint16_t>(0, 12);
    desc.x = in.ConsumeIntegral<int16_t>();
    desc.y = in.ConsumeIntegral<int16_t>();
    desc.cx = in.ConsumeIntegral<int16_t>();
    desc.cy = in.ConsumeIntegral<int16_t>();
    desc.className = ConsumeName(in, store);
    desc.title = in.ConsumeBool() ? ConsumeText(in, store) : nullptr;
    desc.menu = ConsumeName(in, store);
    desc.fontName = in.ConsumeBool() ? ConsumeText(in, store) : nullptr;
    desc.pointSize = in.ConsumeIntegral<uint16_t>();
    std::vector<DialogItemDesc> items(desc.count);
    for (DialogItemDesc &item : items) {
        item.className = ConsumeName(in, store);
        item.text = ConsumeName(in, store);
        item.style = in.ConsumeIntegral<uint32_t>();
        item.exStyle = in.ConsumeIntegral<uint32_t>();
        item.x = in.ConsumeIntegral<int16_t>();
        item.y = in.ConsumeIntegral<int16_t>();
        item.cx = in.ConsumeIntegral<int16_t>();
        item.cy = in.ConsumeIntegral<int16_t>();
        item.id = in.ConsumeIntegral<uint16_t>();
    }

    const size_t measured = WriteDialogTemplate(&desc, nullptr, 0, items.data());
    FUZZ_CHECK(measured % 4 == 0);

    // Two fills over different backgrounds agree: every byte is written.
    unsigned char *zeros = static_cast<unsigned char *>(malloc(measured));
    unsigned char *ones = static_cast<unsigned char *>(malloc(measured));
    memset(zeros, 0x00, measured);
    memset(ones, 0xFF, measured);
    FUZZ_CHECK(WriteDialogTemplate(&desc, zeros, measured, items.data()) == measured);
    FUZZ_CHECK(WriteDialogTemplate(&desc, ones, measured, items.data()) == measured);
    FUZZ_CHECK(memcmp(zeros, ones, measured) == 0);
    ExpectTemplate(zeros, measured, desc, items);

    // What BuildDialogTemplate hands out is exactly that, at exactly that size.
    heap_probe::Reset();
    void *built = BuildDialogTemplate(&desc, items.data());
    FUZZ_CHECK(built != nullptr);
    FUZZ_CHECK(heap_probe::Count() == 1 && heap_probe::SizeOf(0) == measured);
    FUZZ_CHECK(memcmp(built, zeros, measured) == 0);
    MemFree(built);
    heap_probe::FailAfter(0);
    FUZZ_CHECK(BuildDialogTemplate(&desc, items.data()) == nullptr);
    heap_probe::Reset();

    // Any capacity: nothing lands past it; enough of it gives the template.
    const size_t capacities[] = {in.ConsumeIntegralInRange<size_t>(0, measured + 8), measured - 1,
                                 measured / 2, 17, 18};
    for (size_t capacity : capacities) {
        Guarded buffer(capacity);
        size_t written = WriteDialogTemplate(&desc, buffer.bytes, capacity, items.data());
        FUZZ_CHECK(buffer.UntouchedOutside(0, std::min(capacity, measured) / 2));
        if (capacity >= measured) {
            FUZZ_CHECK(written == measured);
            FUZZ_CHECK(memcmp(buffer.bytes, zeros, measured) == 0);
        }
    }

    CheckLowerWriters(in, store);
    free(ones);
    free(zeros);
    return 0;
}
