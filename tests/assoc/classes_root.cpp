#include "assoc/classes_root.h"

#include <algorithm>
#include <functional>
#include <stdio.h>

namespace {

std::string Join(const std::string &path, const std::string &name) {
    return path.empty() ? name : path + "\\" + name;
}

using KeyFn = std::function<void(const std::string &path)>;
using ValueFn = std::function<void(const std::string &path, const std::string &name, DWORD type,
                                   const std::string &data)>;

// Parents come before their children, values before subkeys.
void Walk(HKEY key, const std::string &path, const KeyFn &onKey, const ValueFn &onValue) {
    onKey(path);
    std::vector<char> name(16384), data(4096);
    for (DWORD i = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG status = RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type,
                                    reinterpret_cast<BYTE *>(data.data()), &dataLength);
        if (status == ERROR_MORE_DATA) {
            data.resize(data.size() * 4);
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        onValue(path, std::string(name.data(), nameLength), type,
                std::string(data.data(), dataLength));
        ++i;
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name.data(), nameLength);
    }
    for (const std::string &subkey : subkeys) {
        HKEY child;
        if (RegOpenKeyExA(key, subkey.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS)
            continue;
        Walk(child, Join(path, subkey), onKey, onValue);
        RegCloseKey(child);
    }
}

bool WalkPath(const std::string &path, const KeyFn &onKey, const ValueFn &onValue) {
    if (path.empty()) {
        Walk(HKEY_CLASSES_ROOT, path, onKey, onValue);
        return true;
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    Walk(key, path, onKey, onValue);
    RegCloseKey(key);
    return true;
}

std::string Hex(const std::string &bytes) {
    std::string out;
    char pair[3];
    for (unsigned char c : bytes) {
        snprintf(pair, sizeof pair, "%02X", c);
        out += pair;
    }
    return out;
}

std::string ValueLine(const std::string &key, const std::string &name, DWORD type,
                      const std::string &data) {
    return "V " + key + "|" + name + "|" + std::to_string(type) + "|" + Hex(data);
}

bool SetValue(const std::string &path, const char *name, DWORD type, const std::string &bytes) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    // A string whose count leaves out a terminator that follows it in memory
    // gets the terminator stored anyway; a guard byte keeps the count exact.
    std::string guarded = bytes + 'Z';
    LONG status = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(guarded.data()),
                                 static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

} // namespace

bool KeyExists(const std::string &path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool MakeKey(const std::string &path) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool DeleteTree(const std::string &path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char name[1024];
        DWORD length = sizeof name;
        while (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                   ERROR_SUCCESS &&
               DeleteTree(Join(path, name)))
            length = sizeof name;
        RegCloseKey(key);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, path.c_str());
    }
    return !KeyExists(path);
}

bool SetDefault(const std::string &path, const std::string &text) {
    return SetValue(path, nullptr, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

bool SetRawDefault(const std::string &path, DWORD type, const std::string &bytes) {
    return SetValue(path, nullptr, type, bytes);
}

bool DeleteDefault(const std::string &path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    RegDeleteValueA(key, nullptr);
    RegCloseKey(key);
    return true;
}

std::optional<std::string> GetDefault(const std::string &path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::string> text;
    DWORD size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        std::string data(size + 1, '\0');
        if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(&data[0]),
                             &size) == ERROR_SUCCESS) {
            data.resize(size);
            if (!data.empty() && data.back() == '\0')
                data.pop_back();
            text = data;
        }
    }
    RegCloseKey(key);
    return text;
}

std::vector<std::string> ListTree(const std::string &path) {
    std::vector<std::string> lines;
    WalkPath(
        path, [&](const std::string &key) { lines.push_back("K " + key); },
        [&](const std::string &key, const std::string &name, DWORD type, const std::string &data) {
            lines.push_back(ValueLine(key, name, type, data));
        });
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string DefaultLine(const std::string &path, const std::string &text) {
    return ValueLine(path, "", REG_SZ, std::string(text.c_str(), text.size() + 1));
}

std::vector<std::string> Missing(const std::vector<std::string> &a,
                                 const std::vector<std::string> &b) {
    std::vector<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

SavedKeys::SavedKeys(std::initializer_list<const char *> paths) {
    for (const char *path : paths) {
        Tree tree{path, false, {}, {}};
        tree.existed = WalkPath(
            path, [&](const std::string &key) { tree.keys.push_back(key); },
            [&](const std::string &key, const std::string &name, DWORD type,
                const std::string &data) {
                tree.values.push_back({key, name, type, data});
            });
        trees_.push_back(tree);
    }
}

SavedKeys::~SavedKeys() {
    for (const Tree &tree : trees_) {
        DeleteTree(tree.path);
        for (const std::string &key : tree.keys)
            MakeKey(key);
        for (const Value &value : tree.values)
            SetValue(value.key, value.name.c_str(), value.type, value.data);
    }
}

// Counted in the system's handle list: Wine's GetProcessHandleCount says 0.
DWORD HandleCount() {
    struct Entry {
        ULONG process;
        BYTE type, flags;
        USHORT handle;
        void *object;
        ACCESS_MASK access;
    };
    struct List {
        ULONG count;
        Entry entries[1];
    };
    using Query = LONG(WINAPI *)(ULONG, void *, ULONG, ULONG *);
    const ULONG kSystemHandleInformation = 16;
    const LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<char> buffer(1 << 20);
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), nullptr)) == kLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return 0;
    const List *list = reinterpret_cast<const List *>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < list->count; ++i)
        count += list->entries[i].process == GetCurrentProcessId();
    return count;
}
