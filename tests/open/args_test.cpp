#include "open/args.h"
#include "open/paths.h"
#include "text/capacity.h"
#include "harness/wine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string Verb(std::vector<std::string> args) {
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(&a[0]);
    char verb[kCommandCapacity];
    memset(verb, 'X', sizeof verb);
    EXPECT_TRUE(ExtractVerbOption(verb, static_cast<int>(argv.size()), argv.data()));
    return verb;
}

TEST(ExtractVerbOption, LastOptionWinsAndTheNameIsNeverAnOption) {
    EXPECT_EQ("properties",
              Verb({"t.exe", "/verb:explore", "C:\\a.lnk", "/VERB:properties", "C:\\b.lnk"}));
    EXPECT_EQ("", Verb({"t.exe", "/verb:explore", "/verb:"}));
    EXPECT_EQ("", Verb({"t.exe", "C:\\a.lnk"}));
    EXPECT_EQ("", Verb({"/verb:open"})) << "element 0 is the program name";
    EXPECT_EQ("Explore", Verb({"t.exe", "/Verb:Explore", "x/verb:open"}));
    EXPECT_EQ("a:b", Verb({"t.exe", "/verb:a:b"}));
}

TEST(ExtractVerbOption, LongVerbsAreCutWhole) {
    std::string verb(1100, 'v');
    EXPECT_EQ(std::string(1024, 'v'), Verb({"t.exe", "/verb:" + verb}));
    // A double-byte character across the 1024-byte boundary is dropped.
    std::string dbcs = std::string(1023, 'v') + "\x95\\" + "tail";
    EXPECT_EQ(std::string(1023, 'v'), Verb({"t.exe", "/verb:" + dbcs}));
}

TEST(SelectOption, WholeWordInAnyCaseFromArgumentOneOn) {
    for (const char *yes : {"/select", "/SELECT", "/SeLeCt"})
        EXPECT_TRUE(IsSelectOption(yes)) << yes;
    for (const char *no : {"/selec", "/selects", "/select:", "x/select", "select", "\\select", ""})
        EXPECT_FALSE(IsSelectOption(no)) << no;
    char name[] = "/select", path[] = "C:\\a.lnk", option[] = "/Select";
    char *argv[] = {name, path, option};
    EXPECT_FALSE(HasSelectOption(2, argv)) << "element 0 is the program name";
    EXPECT_TRUE(HasSelectOption(3, argv));
}

class PathListTest : public testing::Test {
  protected:
    ScratchDir dir{"tessaro-args"};
    std::vector<std::string> storage;
    std::vector<char *> args;

    std::vector<std::string> Build(std::vector<std::string> in, int *count) {
        storage = in;
        args.clear();
        for (std::string &a : storage)
            args.push_back(&a[0]);
        *count = -1;
        PathList list = BuildPathList(static_cast<int>(args.size()), args.data(), count);
        std::vector<std::string> out;
        if (!list) {
            ADD_FAILURE() << "no list";
            return out;
        }
        for (int i = 0; i < *count; ++i)
            out.push_back(list[i]);
        EXPECT_EQ(nullptr, list[*count]) << "the list ends with a null entry";
        EXPECT_TRUE(FreePathList(list, *count));
        return out;
    }
};

TEST_F(PathListTest, KeepsExistingObjectsInOrderAsTheShellNamesThem) {
    std::string file = dir.Join("\x83\\a.lnk");
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    std::string sub = dir.Join("\x94\\");
    ASSERT_TRUE(MakeDirs(sub));
    int count = 0;
    std::vector<std::string> got =
        Build({"/verb:open", file, dir.Join("missing.lnk"), sub, file}, &count);
    EXPECT_EQ(3, count);
    EXPECT_EQ((std::vector<std::string>{file, sub, file}), got);

    // Given by its short name, the file comes back by its long one. (Wine's
    // parser refuses "." and ".." components, so those cannot show it.)
    char shortName[MAX_PATH] = "";
    ASSERT_NE(0u, GetShortPathNameA(file.c_str(), shortName, sizeof shortName));
    ASSERT_NE(file, shortName) << "the file has a short name of its own";
    EXPECT_EQ(std::vector<std::string>{file}, Build({shortName}, &count));

    EXPECT_TRUE(Build({"/verb:x", dir.Join("nothing")}, &count).empty());
    EXPECT_EQ(0, count) << "nothing exists: an empty list, not a failure";
}

TEST_F(PathListTest, RelativePathsReachTheParserUnchanged) {
    std::string file = dir.Join("rel.lnk");
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    // The existence test finds the file in the current directory, but the
    // desktop's parser is given "rel.lnk" as it stands and knows no such
    // item, so the argument is dropped rather than guessed at.
    EXPECT_TRUE(PathExists("rel.lnk"));
    int count = 0;
    std::vector<std::string> got = Build({"rel.lnk"}, &count);
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(0, count);
}

TEST(CanonicalizePath, FailsCleanlyForNamesThatDoNotFit) {
    char out[kPathCapacity];
    memset(out, 'X', sizeof out);
    std::string tooLong = "C:\\" + std::string(300, 'n');
    EXPECT_FALSE(CanonicalizePath(out, tooLong.c_str()));
    EXPECT_STREQ("", out);
    memset(out, 'X', sizeof out);
    EXPECT_TRUE(CanonicalizePath(out, "C:\\windows"));
    EXPECT_STRCASEEQ("C:\\windows", out);

    wchar_t wide[kWidePathCapacity];
    EXPECT_FALSE(CanonicalizePath(wide, (L"C:\\" + std::wstring(300, L'n')).c_str()));
    EXPECT_EQ(L'\0', wide[0]);
    EXPECT_TRUE(CanonicalizePath(wide, L"C:\\windows"));
    EXPECT_EQ(0, lstrcmpiW(L"C:\\windows", wide));
}

TEST(PathTests, FilesAndDirectories) {
    ScratchDir dir("tessaro-paths");
    std::string file = dir.Join("f.txt");
    ASSERT_TRUE(WriteFileBytes(file, ""));
    EXPECT_TRUE(PathExists(file.c_str()));
    EXPECT_TRUE(IsExistingFile(file.c_str()));
    EXPECT_TRUE(PathExists(dir.path().c_str()));
    EXPECT_FALSE(IsExistingFile(dir.path().c_str()));
    EXPECT_FALSE(PathExists(dir.Join("none").c_str()));
    EXPECT_FALSE(IsExistingFile(dir.Join("none").c_str()));
    for (const std::string &path : {file, dir.path(), dir.Join("none")}) {
        std::wstring wide(path.begin(), path.end()); // the temp path is ASCII
        EXPECT_EQ(PathExists(path.c_str()), PathExists(wide.c_str())) << path;
        EXPECT_EQ(IsExistingFile(path.c_str()), IsExistingFile(wide.c_str())) << path;
    }
}

} // namespace
