// The AssociationSettings record: per file type, whether tessaro's verb is
// installed and with which texts, and the operations that load it from the
// registry and write back exactly what changed.
#pragma once
#include "assoc/filetypes.h"
#include "text/capacity.h"

#include <stdint.h>

struct AssociationEntry {
    char registrationKey[kPathCapacity]; // shown read-only; never compared or written
    char menuText[kMenuTextCapacity];
    char commandLine[kCommandCapacity];
};

// A plain value record; entries are indexed with FileTypeIndex.
struct AssociationSettings {
    uint32_t installedTypes; // TypeBits: installed (loaded) or to be installed (edited)
    AssociationEntry entries[kFileTypeCount];
};

// An installed type keeps the registry's texts (a missing value leaves its
// field as it was); any other type gets the default menu text and the
// command line without a verb. Always true.
bool LoadAssociationSettings(AssociationSettings *settings);
// The TypeBits of the types whose installed state differs, or that are
// installed in both with a menu text or command line differing byte for
// byte.
uint32_t CompareAssociationSettings(const AssociationSettings *edited,
                                    const AssociationSettings *loaded);
// Installs with the edited texts, or removes, each type in changed; touches
// no other type. Bits outside the FileTypeTable are ignored. Always true.
bool ApplyAssociationSettings(const AssociationSettings *edited, uint32_t changed);
