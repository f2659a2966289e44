// A thousand install and remove cycles through the settings operations, in
// the order the dialog drives them, with texts of every length and a mix of
// types: each cycle reads back what it wrote, and at the end the classes
// tree is what it was at the start, value for value.
#include "assoc/classes_root.h"
#include "assoc/commandline.h"
#include "assoc/settings.h"

#include <gtest/gtest.h>
#include <memory>
#include <string.h>

namespace {

const int kCycles = 1000;

std::unique_ptr<AssociationSettings> Loaded() {
    std::unique_ptr<AssociationSettings> record(new AssociationSettings());
    LoadAssociationSettings(record.get());
    return record;
}

// The texts of cycle i: empty, double-byte, the longest a field holds.
std::string MenuText(int i) {
    switch (i % 5) {
    case 0:
        return "リンク先を探す(&F)";
    case 1:
        return "";
    case 2:
        return "表示 " + std::to_string(i);
    case 3:
        return std::string(kMenuTextCapacity - 1, static_cast<char>('a' + i % 26));
    default:
        return "\x95\\\x83\\" + std::string(100, '\\');
    }
}

std::string CommandLine(int i) {
    const char *verbs[] = {nullptr, "open", "explore", "表示", ""};
    char line[kCommandCapacity];
    if (i % 7 == 6) {
        // Longer than the field: cut by the builder.
        std::string verb(2000, 'v');
        BuildCommandLine(line, verb.c_str());
    } else {
        BuildCommandLine(line, verbs[i % 5]);
    }
    return line;
}

void SetTexts(AssociationEntry &entry, const std::string &menu, const std::string &command) {
    ASSERT_LT(menu.size(), sizeof entry.menuText);
    ASSERT_LT(command.size(), sizeof entry.commandLine);
    memcpy(entry.menuText, menu.c_str(), menu.size() + 1);
    memcpy(entry.commandLine, command.c_str(), command.size() + 1);
}

class SettingsSoak : public testing::Test {
  protected:
    SavedKeys saved{".lnk", "lnkfile", ".pif", "piffile"};

    void SetUp() override {
        // Both classes have a shell key with a verb of someone else's:
        // removing tessaro's verb must leave it, and the shell key itself.
        ASSERT_TRUE(DeleteTree("lnkfile\\shell") && DeleteTree(".pif") && DeleteTree("piffile"));
        ASSERT_TRUE(SetDefault(".pif", "piffile"));
        ASSERT_TRUE(SetDefault("lnkfile\\shell\\open\\command", "other.exe \"%1\""));
        ASSERT_TRUE(MakeKey("piffile\\shell"));
    }
};

TEST_F(SettingsSoak, ThousandCyclesLeaveTheClassesTreeAsItWas) {
    std::vector<std::string> start = ListTree("");
    DWORD handles = 0;
    for (int i = 0; i < kCycles; ++i) {
        SCOPED_TRACE(testing::Message() << "cycle " << i);
        uint32_t types = 1 + i % 3;
        auto loaded = Loaded();
        ASSERT_EQ(0u, loaded->installedTypes);

        auto edited = std::make_unique<AssociationSettings>(*loaded);
        edited->installedTypes = types;
        for (unsigned t = 0; t < kFileTypeCount; ++t)
            SetTexts(edited->entries[t], MenuText(i + static_cast<int>(t)),
                     CommandLine(i + static_cast<int>(t)));
        ASSERT_EQ(types, CompareAssociationSettings(edited.get(), loaded.get()));
        ApplyAssociationSettings(edited.get(), types);

        auto installed = Loaded();
        ASSERT_EQ(types, installed->installedTypes);
        ASSERT_EQ(0u, CompareAssociationSettings(edited.get(), installed.get()))
            << "read back differs from what was written";

        // Every other cycle rewrites an installed type in place first.
        if (i % 2) {
            SetTexts(edited->entries[FileTypeIndex(kTypeKeyLnk)], MenuText(i + 3),
                     CommandLine(i + 3));
            uint32_t changed = CompareAssociationSettings(edited.get(), installed.get());
            ApplyAssociationSettings(edited.get(), changed);
            installed = Loaded();
            ASSERT_EQ(0u, CompareAssociationSettings(edited.get(), installed.get()));
        }

        auto removed = std::make_unique<AssociationSettings>(*installed);
        removed->installedTypes = 0;
        ASSERT_EQ(types, CompareAssociationSettings(removed.get(), installed.get()));
        ApplyAssociationSettings(removed.get(), types);
        ASSERT_EQ(0u, Loaded()->installedTypes);
        // A leaked key shows as handles piling up; the first cycle may
        // open what the system keeps open after it.
        if (i == 0)
            handles = HandleCount();
    }
    EXPECT_EQ(handles, HandleCount()) << "handles left open by " << kCycles - 1 << " cycles";
    std::vector<std::string> end = ListTree("");
    EXPECT_EQ(start, end);
    EXPECT_TRUE(Missing(start, end).empty() && Missing(end, start).empty());
    EXPECT_EQ(std::optional<std::string>("other.exe \"%1\""),
              GetDefault("lnkfile\\shell\\open\\command"));
}

} // namespace
