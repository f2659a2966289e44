#include "assoc/classes_root.h"
#include "assoc/foldershell.h"
#include "assoc/registry.h"
#include "assoc/verbkey.h"

#include <gtest/gtest.h>
#include <functional>
#include <string.h>

namespace {

const char kMenu[] = "リンク先を探す(&F)";
const char kCommand[] = "\"C:\\Tools\\tool.exe\" /verb:\"explore\" \"%1\"";

// Every key a test here may create or change, the root's "shell" included:
// a class key resolved to the root itself would put the verb there.
class VerbKey : public testing::Test {
  protected:
    SavedKeys saved_{".lnk", "lnkfile", ".pif", "piffile", "folder", "shell", "tessaro.test.class"};

    void SetUp() override {
        // On Wine and Windows alike ".lnk" names the ProgID "lnkfile".
        ASSERT_EQ("lnkfile", GetDefault(".lnk").value_or("(missing)"));
        ASSERT_TRUE(DeleteTree("lnkfile\\shell"));
        ASSERT_TRUE(DeleteTree(".pif"));
        ASSERT_TRUE(DeleteTree("shell"));
    }
};

struct Texts {
    bool installed;
    std::string menu, command;
};

// Buffers start as "before" so that a value left unread shows.
Texts Read(const char *extension) {
    static char menu[32768], command[1025];
    strcpy(menu, "before");
    strcpy(command, "before");
    bool installed = ReadVerbRegistration(extension, menu, command);
    return {installed, menu, command};
}

std::string Resolve(const char *extension) {
    char name[522];
    EXPECT_TRUE(ResolveClassKeyName(name, extension));
    return name;
}

TEST_F(VerbKey, ProgIdClassKeyHoldsTheVerbAndKeepsTheShellKeyItGot) {
    EXPECT_EQ("lnkfile", Resolve(".lnk"));
    ASSERT_TRUE(WriteVerbRegistration(".lnk", kMenu, kCommand));
    EXPECT_EQ(kMenu, GetDefault("lnkfile\\shell\\tessaro").value_or("(missing)"));
    EXPECT_EQ(kCommand, GetDefault("lnkfile\\shell\\tessaro\\command").value_or("(missing)"));
    EXPECT_FALSE(KeyExists(".lnk\\shell"));

    Texts read = Read(".lnk");
    EXPECT_TRUE(read.installed);
    EXPECT_EQ(kMenu, read.menu);
    EXPECT_EQ(kCommand, read.command);

    EXPECT_TRUE(RemoveVerbRegistration(".lnk"));
    EXPECT_FALSE(KeyExists("lnkfile\\shell\\tessaro"));
    EXPECT_TRUE(KeyExists("lnkfile\\shell")) << "the shell key created on install stays";
    EXPECT_FALSE(Read(".lnk").installed);
}

struct FallbackCase {
    const char *what;
    std::function<bool()> prepare;
};

TEST_F(VerbKey, ExtensionKeyIsTheClassKeyWhenItsDefaultNamesNoKey) {
    const FallbackCase cases[] = {
        {"no default value", [] { return MakeKey(".pif"); }},
        {"names a missing key", [] { return SetDefault(".pif", "tessaro.test.noclass"); }},
        // Would open HKEY_CLASSES_ROOT itself and install at "shell\tessaro".
        {"empty name", [] { return SetDefault(".pif", "") && MakeKey("shell"); }},
        // Read as text, these bytes would name an existing key.
        {"not a string",
         [] {
             return SetRawDefault(".pif", REG_BINARY, std::string("tessaro.test.class", 19)) &&
                    MakeKey("tessaro.test.class");
         }},
    };
    for (const FallbackCase &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(DeleteTree(".pif"));
        ASSERT_TRUE(c.prepare());
        EXPECT_EQ(".pif", Resolve(".pif"));
        ASSERT_TRUE(WriteVerbRegistration(".pif", kMenu, kCommand));
        EXPECT_EQ(kCommand, GetDefault(".pif\\shell\\tessaro\\command").value_or("(missing)"));
        EXPECT_FALSE(KeyExists("shell\\tessaro"));
        EXPECT_TRUE(Read(".pif").installed);
        EXPECT_TRUE(RemoveVerbRegistration(".pif"));
        EXPECT_FALSE(KeyExists(".pif\\shell\\tessaro"));
        EXPECT_TRUE(KeyExists(".pif\\shell"));
    }
}

TEST_F(VerbKey, InstalledMeansEveryKeyOpensWhateverTheValues) {
    // Keys without values: installed, and both buffers keep their text.
    ASSERT_TRUE(MakeKey("lnkfile\\shell\\tessaro\\command"));
    Texts read = Read(".lnk");
    EXPECT_TRUE(read.installed);
    EXPECT_EQ("before", read.menu);
    EXPECT_EQ("before", read.command);

    // A verb key without "command" is not installed, and removal takes it.
    ASSERT_TRUE(DeleteTree("lnkfile\\shell\\tessaro\\command"));
    ASSERT_TRUE(SetDefault("lnkfile\\shell\\tessaro", kMenu));
    EXPECT_FALSE(Read(".lnk").installed);
    EXPECT_TRUE(RemoveVerbRegistration(".lnk"));
    EXPECT_FALSE(KeyExists("lnkfile\\shell\\tessaro"));
    EXPECT_TRUE(KeyExists("lnkfile\\shell"));
}

TEST_F(VerbKey, RemovalWithNothingInstalledChangesNothing) {
    // No shell key: nothing to remove from, and none is created.
    EXPECT_FALSE(RemoveVerbRegistration(".lnk"));
    EXPECT_FALSE(KeyExists("lnkfile\\shell"));

    ASSERT_TRUE(SetDefault("lnkfile\\shell\\open\\command", "notepad \"%1\""));
    std::vector<std::string> before = ListTree("lnkfile");
    EXPECT_TRUE(RemoveVerbRegistration(".lnk"));
    EXPECT_EQ(before, ListTree("lnkfile"));

    HKEY shell;
    ASSERT_TRUE(OpenRegKey(HKEY_CLASSES_ROOT, "lnkfile\\shell", &shell));
    EXPECT_FALSE(DeleteVerbKey(shell));
    CloseRegKey(shell);
    EXPECT_EQ(before, ListTree("lnkfile"));
}

TEST_F(VerbKey, RemovalDeletesOnlyCommandAndVerbKey) {
    ASSERT_TRUE(WriteVerbRegistration(".lnk", kMenu, kCommand));
    ASSERT_TRUE(MakeKey("lnkfile\\shell\\tessaro\\extra"));
    EXPECT_TRUE(RemoveVerbRegistration(".lnk"));
    EXPECT_FALSE(KeyExists("lnkfile\\shell\\tessaro\\command"));
    // The system deletes no key that has subkeys; this one stays, unreported.
    EXPECT_TRUE(KeyExists("lnkfile\\shell\\tessaro\\extra"));
    EXPECT_FALSE(Read(".lnk").installed);
}

TEST_F(VerbKey, InstallingTwiceReplacesBothValuesAndNothingElse) {
    ASSERT_TRUE(WriteVerbRegistration(".lnk", "first", "one"));
    ASSERT_TRUE(MakeKey("lnkfile\\shell\\tessaro\\extra"));
    std::vector<std::string> before = ListTree("lnkfile");
    ASSERT_TRUE(WriteVerbRegistration(".lnk", kMenu, kCommand));
    std::vector<std::string> after = ListTree("lnkfile");

    std::vector<std::string> gone = {DefaultLine("lnkfile\\shell\\tessaro", "first"),
                                     DefaultLine("lnkfile\\shell\\tessaro\\command", "one")};
    std::vector<std::string> added = {DefaultLine("lnkfile\\shell\\tessaro", kMenu),
                                      DefaultLine("lnkfile\\shell\\tessaro\\command", kCommand)};
    std::sort(gone.begin(), gone.end());
    std::sort(added.begin(), added.end());
    EXPECT_EQ(gone, Missing(before, after));
    EXPECT_EQ(added, Missing(after, before));
}

TEST_F(VerbKey, WithoutItsExtensionKeyEveryOperationFailsAndTouchesNothing) {
    // Wine has no ".pif" key at all; SetUp makes sure of that everywhere.
    std::vector<std::string> before = ListTree("");
    EXPECT_EQ(".pif", Resolve(".pif"));
    HKEY key;
    EXPECT_FALSE(OpenClassKey(".pif", &key));
    EXPECT_FALSE(OpenShellKey(".pif", &key));
    EXPECT_FALSE(OpenVerbKey(".pif", &key));
    Texts read = Read(".pif");
    EXPECT_FALSE(read.installed);
    EXPECT_EQ("before", read.menu);
    EXPECT_FALSE(WriteVerbRegistration(".pif", kMenu, kCommand));
    EXPECT_FALSE(RemoveVerbRegistration(".pif"));
    EXPECT_EQ(before, ListTree(""));
}

// A key opened with all access takes a value; one opened to read does not.
bool Writable(HKEY key) {
    const BYTE one[] = "1";
    if (RegSetValueExA(key, "tessaro.probe", 0, REG_SZ, one, sizeof one) != ERROR_SUCCESS)
        return false;
    RegDeleteValueA(key, "tessaro.probe");
    return true;
}

TEST_F(VerbKey, KeysHandedOutAreOpenedWithAllAccess) {
    HKEY readOnly;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "lnkfile", 0, KEY_READ, &readOnly));
    bool enforced = !Writable(readOnly);
    RegCloseKey(readOnly);
    ASSERT_TRUE(enforced) << "the registry does not check a handle's access";

    ASSERT_TRUE(WriteVerbRegistration(".lnk", kMenu, kCommand));
    using Opener = bool (*)(const char *, HKEY *);
    for (Opener open : {Opener(OpenClassKey), Opener(OpenShellKey), Opener(OpenVerbKey)}) {
        HKEY key;
        ASSERT_TRUE(open(".lnk", &key));
        EXPECT_TRUE(Writable(key));
        CloseRegKey(key);
    }
    HKEY key;
    ASSERT_TRUE(OpenRegKey(HKEY_CLASSES_ROOT, "lnkfile", &key));
    EXPECT_TRUE(Writable(key));
    CloseRegKey(key);
    ASSERT_TRUE(CreateRegKey(HKEY_CLASSES_ROOT, "lnkfile", &key));
    EXPECT_TRUE(Writable(key));
    CloseRegKey(key);
    ASSERT_TRUE(OpenFolderShellKey(&key));
    EXPECT_TRUE(Writable(key));
    CloseRegKey(key);
}

// Runs every operation through its success and failure paths.
void ExerciseEveryPath() {
    char menu[32768], command[1025], name[522];
    HKEY key;
    for (const char *extension : {".lnk", ".pif"}) {
        ResolveClassKeyName(name, extension);
        ReadVerbRegistration(extension, menu, command);
        RemoveVerbRegistration(extension);
        WriteVerbRegistration(extension, kMenu, kCommand);
        ReadVerbRegistration(extension, menu, command);
        for (auto open : {OpenClassKey, OpenShellKey, OpenVerbKey}) {
            if (open(extension, &key))
                CloseRegKey(key);
        }
        RemoveVerbRegistration(extension);
        RemoveVerbRegistration(extension);
    }
    if (OpenFolderShellKey(&key))
        CloseRegKey(key);
}

TEST_F(VerbKey, EveryPathClosesTheKeysItOpened) {
    DWORD base = HandleCount();
    HKEY key;
    ASSERT_TRUE(OpenRegKey(HKEY_CLASSES_ROOT, "lnkfile", &key));
    bool counted = HandleCount() == base + 1;
    CloseRegKey(key);
    ASSERT_TRUE(counted) << "the process's handle count does not follow registry keys";

    ExerciseEveryPath(); // ".pif" missing: every .pif path fails early
    EXPECT_EQ(base, HandleCount());
    ASSERT_TRUE(SetDefault(".pif", "piffile") && MakeKey("piffile"));
    ASSERT_TRUE(MakeKey("lnkfile\\shell\\tessaro\\extra"));
    ExerciseEveryPath();
    EXPECT_EQ(base, HandleCount());
    // Folder verbs from the named class, then from "folder\shell" past it.
    ASSERT_TRUE(SetDefault("folder", "tessaro.test.class"));
    ASSERT_TRUE(MakeKey("tessaro.test.class\\shell"));
    ExerciseEveryPath();
    EXPECT_EQ(base, HandleCount());
    ASSERT_TRUE(DeleteTree("tessaro.test.class\\shell"));
    ExerciseEveryPath();
    EXPECT_EQ(base, HandleCount());
}

struct FolderCase {
    const char *what;
    std::function<bool()> prepare;
    const char *verb; // the one verb the shell key must list, or null: none opens
};

std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[1025];
    for (DWORD i = 0; EnumRegSubkeyName(key, i, name); ++i)
        names.push_back(name);
    return names;
}

TEST_F(VerbKey, FolderVerbsComeFromTheNamedClassElseFromFolderShell) {
    const char kClassVerb[] = "tessaro.classverb";
    const char kFolderVerb[] = "tessaro.folderverb";
    auto classWithShell = [] {
        return SetDefault("tessaro.test.class\\shell\\tessaro.classverb\\command", "a");
    };
    auto folderShell = [] { return SetDefault("folder\\shell\\tessaro.folderverb\\command", "b"); };
    const FolderCase cases[] = {
        {"class with a shell key",
         [&] {
             return SetDefault("folder", "tessaro.test.class") && classWithShell() && folderShell();
         },
         kClassVerb},
        {"class without a shell key",
         [&] {
             return SetDefault("folder", "tessaro.test.class") && MakeKey("tessaro.test.class") &&
                    folderShell();
         },
         kFolderVerb},
        {"names a missing key",
         [&] { return SetDefault("folder", "tessaro.test.noclass") && folderShell(); },
         kFolderVerb},
        // The root's own "shell" key must not stand in for the class's.
        {"empty name",
         [&] {
             return SetDefault("folder", "") && MakeKey("shell\\tessaro.rootverb") && folderShell();
         },
         kFolderVerb},
        {"no default value", [&] { return MakeKey("folder") && folderShell(); }, kFolderVerb},
        {"no shell key anywhere",
         [&] {
             return SetDefault("folder", "tessaro.test.class") && MakeKey("tessaro.test.class");
         },
         nullptr},
        {"no folder key", [] { return true; }, nullptr},
    };
    for (const FolderCase &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(DeleteTree("folder") && DeleteTree("tessaro.test.class") &&
                    DeleteTree("shell"));
        ASSERT_TRUE(c.prepare());
        HKEY key;
        bool opened = OpenFolderShellKey(&key);
        EXPECT_EQ(c.verb != nullptr, opened);
        if (!opened)
            continue;
        EXPECT_EQ(std::vector<std::string>{c.verb}, SubkeyNames(key));
        CloseRegKey(key);
    }
}

TEST_F(VerbKey, TheSystemsOwnFolderVerbsIncludeOpen) {
    // SetUp leaves "folder" as the prefix has it.
    HKEY key;
    ASSERT_TRUE(OpenFolderShellKey(&key));
    std::vector<std::string> names = SubkeyNames(key);
    CloseRegKey(key);
    bool open = false;
    for (const std::string &name : names)
        open = open || _stricmp(name.c_str(), "open") == 0;
    EXPECT_TRUE(open) << names.size() << " verbs, none of them open";
}

} // namespace
