#include "assoc/classes_root.h"
#include "assoc/settings.h"

#include <gtest/gtest.h>
#include <memory>
#include <string.h>

namespace {

const char kDefaultMenu[] = "リンク先を探す(&F)";
const char kExplore[] = "\"C:\\Tools\\tool.exe\" /verb:\"explore\" \"%1\"";
const char kOpen[] = "\"C:\\Tools\\tool.exe\" /verb:\"open\" \"%1\"";

const char kLnkVerb[] = "lnkfile\\shell\\tessaro";
const char kLnkCommand[] = "lnkfile\\shell\\tessaro\\command";
const char kPifVerb[] = "piffile\\shell\\tessaro";
const char kPifCommand[] = "piffile\\shell\\tessaro\\command";

std::string ProgramCommandLine() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return "\"" + std::string(path, n) + "\" \"%1\"";
}

// The records are 68 KB each: on the heap.
std::unique_ptr<AssociationSettings> Record(uint32_t installed = 0) {
    std::unique_ptr<AssociationSettings> record(new AssociationSettings());
    record->installedTypes = installed;
    return record;
}

AssociationEntry &Lnk(AssociationSettings &s) {
    return s.entries[FileTypeIndex(kTypeKeyLnk)];
}
AssociationEntry &Pif(AssociationSettings &s) {
    return s.entries[FileTypeIndex(kTypeKeyPif)];
}

void SetTexts(AssociationEntry &entry, const char *menu, const char *command) {
    strcpy(entry.menuText, menu);
    strcpy(entry.commandLine, command);
}

bool Install(const char *verbKey, const char *commandKey, const char *menu, const char *command) {
    std::string verb = verbKey, commandPath = commandKey;
    return SetDefault(verb, menu) && SetDefault(commandPath, command);
}

// ".lnk" names "lnkfile" (so Wine and Windows); ".pif" is made to name
// "piffile", which Wine lacks. Neither starts out installed.
class AssociationSettingsTest : public testing::Test {
  protected:
    SavedKeys saved_{".lnk", "lnkfile", ".pif", "piffile"};

    void SetUp() override {
        ASSERT_EQ("lnkfile", GetDefault(".lnk").value_or("(missing)"));
        ASSERT_TRUE(DeleteTree("lnkfile\\shell") && DeleteTree(".pif") && DeleteTree("piffile"));
        ASSERT_TRUE(SetDefault(".pif", "piffile") && MakeKey("piffile"));
    }
};

TEST_F(AssociationSettingsTest, NothingInstalledLoadsTheDefaults) {
    // Left-over keys of a type whose "command" is missing do not count.
    ASSERT_TRUE(SetDefault(kPifVerb, "stale"));
    for (bool pifKeyMissing : {false, true}) {
        SCOPED_TRACE(pifKeyMissing ? "no .pif key" : ".pif names its class");
        if (pifKeyMissing) {
            ASSERT_TRUE(DeleteTree(".pif"));
        }
        auto loaded = Record(3);
        for (AssociationEntry &entry : loaded->entries) {
            SetTexts(entry, "before", "before");
            strcpy(entry.registrationKey, "before");
        }
        EXPECT_TRUE(LoadAssociationSettings(loaded.get()));
        EXPECT_EQ(0u, loaded->installedTypes);
        for (const AssociationEntry &entry : loaded->entries) {
            EXPECT_STREQ(kDefaultMenu, entry.menuText);
            EXPECT_EQ(ProgramCommandLine(), entry.commandLine);
            EXPECT_STREQ("", entry.registrationKey);
        }
    }
}

TEST_F(AssociationSettingsTest, InstalledTypesLoadWhatTheRegistryHolds) {
    ASSERT_TRUE(Install(kLnkVerb, kLnkCommand, "探す(&S)", kExplore));
    // Both keys, no values: installed, and the fields keep what they held.
    ASSERT_TRUE(MakeKey(kPifCommand));
    auto loaded = Record();
    SetTexts(Pif(*loaded), "menu before", "command before");
    EXPECT_TRUE(LoadAssociationSettings(loaded.get()));
    EXPECT_EQ(3u, loaded->installedTypes);
    EXPECT_STREQ("探す(&S)", Lnk(*loaded).menuText);
    EXPECT_STREQ(kExplore, Lnk(*loaded).commandLine) << "not rebuilt for this program";
    EXPECT_STREQ("menu before", Pif(*loaded).menuText);
    EXPECT_STREQ("command before", Pif(*loaded).commandLine);
}

struct CompareCase {
    const char *what;
    uint32_t edited, loaded;
    void (*edit)(AssociationSettings &edited);
    uint32_t changed;
};

TEST(CompareAssociationSettings, CountsStateChangesAndTextsOfTypesInstalledInBoth) {
    const CompareCase cases[] = {
        {"equal, none installed", 0, 0, [](AssociationSettings &) {}, 0},
        {"equal, both installed", 3, 3, [](AssociationSettings &) {}, 0},
        {"swapped", 2, 1, [](AssociationSettings &) {}, 3},
        {"ticked", 3, 1, [](AssociationSettings &) {}, 2},
        {"unticked", 0, 1, [](AssociationSettings &) {}, 1},
        {"only the .pif command line", 3, 3,
         [](AssociationSettings &e) { strcpy(Pif(e).commandLine, kOpen); }, 2},
        {"only the .lnk menu text", 3, 3,
         [](AssociationSettings &e) { strcpy(Lnk(e).menuText, "別の(&O)"); }, 1},
        {"letter case of the verb", 1, 1,
         [](AssociationSettings &e) {
             strcpy(Lnk(e).commandLine, "\"C:\\Tools\\tool.exe\" /verb:\"Explore\" \"%1\"");
         },
         1},
        {"texts of a type that stays uninstalled", 1, 1,
         [](AssociationSettings &e) { SetTexts(Pif(e), "x", "y"); }, 0},
        {"texts of a type installed in one only", 2, 0,
         [](AssociationSettings &e) { SetTexts(Pif(e), "x", "y"); }, 2},
        {"registration key", 3, 3,
         [](AssociationSettings &e) { strcpy(Lnk(e).registrationKey, "x"); }, 0},
    };
    for (const CompareCase &c : cases) {
        SCOPED_TRACE(c.what);
        auto edited = Record(c.edited), loaded = Record(c.loaded);
        for (AssociationSettings *s : {edited.get(), loaded.get()}) {
            SetTexts(Lnk(*s), kDefaultMenu, kExplore);
            SetTexts(Pif(*s), kDefaultMenu, kExplore);
        }
        c.edit(*edited);
        EXPECT_EQ(c.changed, CompareAssociationSettings(edited.get(), loaded.get()));
    }
}

TEST_F(AssociationSettingsTest, ApplyingNoChangeWritesNothing) {
    ASSERT_TRUE(Install(kLnkVerb, kLnkCommand, kDefaultMenu, kExplore));
    auto loaded = Record();
    LoadAssociationSettings(loaded.get());
    auto edited = Record();
    *edited = *loaded;
    ASSERT_EQ(0u, CompareAssociationSettings(edited.get(), loaded.get()));

    // Texts that differ and bits of no file type change nothing either.
    SetTexts(Lnk(*edited), "x", "y");
    edited->installedTypes = 2;
    std::vector<std::string> before = ListTree("");
    for (uint32_t changed : {0u, 4u, 0xFFFFFFFCu})
        EXPECT_TRUE(ApplyAssociationSettings(edited.get(), changed));
    EXPECT_EQ(before, ListTree(""));
}

TEST_F(AssociationSettingsTest, SwappingTypesRemovesLnkBeforeInstallingPif) {
    // With both extensions naming one class, only the order of the two
    // steps decides whether the verb is there afterwards.
    ASSERT_TRUE(SetDefault(".pif", "lnkfile"));
    struct {
        uint32_t loaded, edited;
        bool verbAfter;
    } cases[] = {{1, 2, true}, {2, 1, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "loaded " << c.loaded << " edited " << c.edited);
        ASSERT_TRUE(Install(kLnkVerb, kLnkCommand, "loaded", kExplore));
        auto loaded = Record(c.loaded), edited = Record(c.edited);
        SetTexts(Lnk(*edited), "lnk menu", "lnk command");
        SetTexts(Pif(*edited), "pif menu", "pif command");
        uint32_t changed = CompareAssociationSettings(edited.get(), loaded.get());
        EXPECT_EQ(3u, changed);
        EXPECT_TRUE(ApplyAssociationSettings(edited.get(), changed));
        EXPECT_EQ(c.verbAfter, KeyExists(kLnkCommand));
        if (c.verbAfter) {
            EXPECT_EQ("pif menu", GetDefault(kLnkVerb).value_or("(missing)"));
            EXPECT_EQ("pif command", GetDefault(kLnkCommand).value_or("(missing)"));
        }
    }
}

TEST_F(AssociationSettingsTest, AChangedTypeGetsBothValuesAndTheOtherKeepsItsOwn) {
    // The registry's texts differ from the loaded record's on purpose: what
    // is rewritten shows, and so does what is left alone.
    ASSERT_TRUE(Install(kLnkVerb, kLnkCommand, "registry lnk menu", "registry lnk command"));
    ASSERT_TRUE(Install(kPifVerb, kPifCommand, "registry pif menu", "registry pif command"));
    auto loaded = Record(3);
    SetTexts(Lnk(*loaded), kDefaultMenu, kExplore);
    SetTexts(Pif(*loaded), kDefaultMenu, kExplore);

    auto edited = Record();
    *edited = *loaded;
    strcpy(Pif(*edited).commandLine, kOpen);
    uint32_t changed = CompareAssociationSettings(edited.get(), loaded.get());
    EXPECT_EQ(2u, changed);
    ApplyAssociationSettings(edited.get(), changed);
    EXPECT_EQ(kDefaultMenu, GetDefault(kPifVerb).value_or("(missing)"));
    EXPECT_EQ(kOpen, GetDefault(kPifCommand).value_or("(missing)"));
    EXPECT_EQ("registry lnk menu", GetDefault(kLnkVerb).value_or("(missing)"));
    EXPECT_EQ("registry lnk command", GetDefault(kLnkCommand).value_or("(missing)"));

    // A menu text alone rewrites the command line as well.
    *edited = *loaded;
    strcpy(Lnk(*edited).menuText, "別の(&O)");
    changed = CompareAssociationSettings(edited.get(), loaded.get());
    EXPECT_EQ(1u, changed);
    ApplyAssociationSettings(edited.get(), changed);
    EXPECT_EQ("別の(&O)", GetDefault(kLnkVerb).value_or("(missing)"));
    EXPECT_EQ(kExplore, GetDefault(kLnkCommand).value_or("(missing)"));
}

TEST_F(AssociationSettingsTest, ATypeThatFailsLeavesTheNextToBeApplied) {
    // .lnk cannot be installed without a key of its own, nor removed when
    // the class it names has none; .pif installs after it either way.
    const struct {
        const char *what;
        uint32_t loaded, edited;
        bool (*breakLnk)();
    } cases[] = {
        {"installing .lnk", 0, 3, [] { return DeleteTree(".lnk"); }},
        {"removing .lnk", 1, 2, [] { return SetDefault(".lnk", "nosuchclass"); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(DeleteTree("piffile\\shell") && c.breakLnk());
        auto loaded = Record(c.loaded), edited = Record(c.edited);
        SetTexts(Lnk(*edited), kDefaultMenu, kExplore);
        SetTexts(Pif(*edited), "pif menu", kOpen);
        uint32_t changed = CompareAssociationSettings(edited.get(), loaded.get());
        ASSERT_EQ(3u, changed);
        EXPECT_TRUE(ApplyAssociationSettings(edited.get(), changed));
        EXPECT_FALSE(KeyExists(".lnk\\shell")) << "the .lnk change did fail";
        EXPECT_EQ("pif menu", GetDefault(kPifVerb).value_or("(missing)"));
        EXPECT_EQ(kOpen, GetDefault(kPifCommand).value_or("(missing)"));
    }
}

TEST_F(AssociationSettingsTest, ApplyTouchesOnlyTheVerbKeysOfChangedTypes) {
    ASSERT_TRUE(Install(kPifVerb, kPifCommand, kDefaultMenu, kExplore));
    auto loaded = Record();
    LoadAssociationSettings(loaded.get());
    ASSERT_EQ(2u, loaded->installedTypes);

    auto edited = Record();
    *edited = *loaded;
    edited->installedTypes = 1;
    SetTexts(Lnk(*edited), "探す(&S)", kOpen);
    std::vector<std::string> before = ListTree("");
    ApplyAssociationSettings(edited.get(), CompareAssociationSettings(edited.get(), loaded.get()));
    std::vector<std::string> after = ListTree("");

    // "lnkfile\shell" is new: the class had none. "piffile\shell" stays.
    std::vector<std::string> added = {
        "K lnkfile\\shell", "K lnkfile\\shell\\tessaro", "K lnkfile\\shell\\tessaro\\command",
        DefaultLine(kLnkVerb, "探す(&S)"), DefaultLine(kLnkCommand, kOpen)};
    std::vector<std::string> removed = {
        "K piffile\\shell\\tessaro", "K piffile\\shell\\tessaro\\command",
        DefaultLine(kPifVerb, kDefaultMenu), DefaultLine(kPifCommand, kExplore)};
    std::sort(added.begin(), added.end());
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(added, Missing(after, before));
    EXPECT_EQ(removed, Missing(before, after));

    auto reloaded = Record();
    LoadAssociationSettings(reloaded.get());
    EXPECT_EQ(1u, reloaded->installedTypes);
    EXPECT_STREQ("探す(&S)", Lnk(*reloaded).menuText);
    EXPECT_STREQ(kOpen, Lnk(*reloaded).commandLine);
    EXPECT_EQ(0u, CompareAssociationSettings(edited.get(), reloaded.get()));
}

} // namespace
