#include "assoc/settings.h"
#include "assoc/commandline.h"
#include "assoc/verbkey.h"
#include "text/bounded.h"
#include "text/codepage.h"

namespace {

const char kDefaultMenuText[] = "リンク先を探す(&F)";

} // namespace

bool LoadAssociationSettings(AssociationSettings *settings) {
    settings->installedTypes = 0;
    for (const FileTypeRow &row : FileTypeTable) {
        AssociationEntry &entry = settings->entries[FileTypeIndex(row.typeKey)];
        CopyBounded(kPathCapacity, entry.registrationKey, "");
        if (ReadVerbRegistration(row.extension, entry.menuText, entry.commandLine)) {
            settings->installedTypes |= row.typeBit;
        } else {
            char text[kOwnTextCapacity];
            CopyBounded(kMenuTextCapacity, entry.menuText, OwnText(kDefaultMenuText, text));
            BuildCommandLine(entry.commandLine, nullptr);
        }
    }
    return true;
}

uint32_t CompareAssociationSettings(const AssociationSettings *edited,
                                    const AssociationSettings *loaded) {
    uint32_t changed = edited->installedTypes ^ loaded->installedTypes;
    uint32_t bothInstalled = edited->installedTypes & loaded->installedTypes;
    for (const FileTypeRow &row : FileTypeTable) {
        if (!(bothInstalled & row.typeBit))
            continue;
        const AssociationEntry &a = edited->entries[FileTypeIndex(row.typeKey)];
        const AssociationEntry &b = loaded->entries[FileTypeIndex(row.typeKey)];
        if (!StrEqual(a.commandLine, b.commandLine) || !StrEqual(a.menuText, b.menuText))
            changed |= row.typeBit;
    }
    return changed;
}

bool ApplyAssociationSettings(const AssociationSettings *edited, uint32_t changed) {
    for (const FileTypeRow &row : FileTypeTable) {
        if (!(changed & row.typeBit))
            continue;
        const AssociationEntry &entry = edited->entries[FileTypeIndex(row.typeKey)];
        if (edited->installedTypes & row.typeBit)
            WriteVerbRegistration(row.extension, entry.menuText, entry.commandLine);
        else
            RemoveVerbRegistration(row.extension);
    }
    return true;
}
