// The handled file types. Every loop over file types walks this table from
// first row to last, so ".lnk" is always handled before ".pif".
#pragma once

enum : unsigned {
    kTypeKeyLnk = 1000,
    kTypeKeyPif = 1001,
    kFirstTypeKey = kTypeKeyLnk,
    kFileTypeCount = 2,
};

// Masks over file types are made of these bits.
enum : unsigned {
    kTypeBitLnk = 1,
    kTypeBitPif = 2,
};

struct FileTypeRow {
    unsigned typeKey;
    unsigned typeBit;
    const char *extension;
};

inline constexpr FileTypeRow FileTypeTable[kFileTypeCount] = {
    {kTypeKeyLnk, kTypeBitLnk, ".lnk"},
    {kTypeKeyPif, kTypeBitPif, ".pif"},
};

// Per-type storage is indexed by TypeKey - 1000.
inline unsigned FileTypeIndex(unsigned typeKey) {
    return typeKey - kFirstTypeKey;
}
