// Direct access to HKEY_CLASSES_ROOT for the assoc tests. It goes through
// advapi32 itself, never through the code under test, so that a fault there
// cannot hide in the check.
#pragma once
#include <windows.h>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// Key paths below are relative to HKEY_CLASSES_ROOT, parts joined by "\".
bool KeyExists(const std::string &path);
bool MakeKey(const std::string &path);
bool DeleteTree(const std::string &path);

// Creates the key as needed and stores the default value: SetDefault as
// REG_SZ with its terminator, SetRawDefault with exactly the given bytes.
bool SetDefault(const std::string &path, const std::string &text);
bool SetRawDefault(const std::string &path, DWORD type, const std::string &bytes);
bool DeleteDefault(const std::string &path);
// The default value as stored text (REG_SZ read back through the A call),
// or nothing when the key or the value is missing.
std::optional<std::string> GetDefault(const std::string &path);

// One sorted line per key ("K path") and per value ("V path|name|type|hex")
// of the subtree, the subtree's own key included; "" walks the whole tree.
std::vector<std::string> ListTree(const std::string &path);
// The ListTree line of a REG_SZ default value stored with its terminator.
std::string DefaultLine(const std::string &path, const std::string &text);
// Lines of a that are not in b; both sorted.
std::vector<std::string> Missing(const std::vector<std::string> &a,
                                 const std::vector<std::string> &b);

// Saves the named subtrees of HKEY_CLASSES_ROOT and puts them back as they
// were when it goes, so a test leaves the registry to the next one intact.
class SavedKeys {
  public:
    explicit SavedKeys(std::initializer_list<const char *> paths);
    ~SavedKeys();
    SavedKeys(const SavedKeys &) = delete;
    SavedKeys &operator=(const SavedKeys &) = delete;

  private:
    struct Value {
        std::string key, name;
        DWORD type;
        std::string data;
    };
    struct Tree {
        std::string path;
        bool existed;
        std::vector<std::string> keys;
        std::vector<Value> values;
    };
    std::vector<Tree> trees_;
};

// The handles this process holds; a leaked registry key shows here.
DWORD HandleCount();
