#include "harness/advertised.h"

#include <objbase.h>
#include <shlobj.h>
#include <string.h>

const GUID kProbeProduct = {
    0xEC8F0344, 0x6E94, 0x406F, {0xBA, 0xFE, 0x77, 0x69, 0xF5, 0x85, 0xE8, 0xD2}};
const GUID kProbeComponent = {
    0x290E2433, 0x8995, 0x4FAA, {0xB7, 0xDB, 0x61, 0x96, 0x35, 0x76, 0x7B, 0x25}};

namespace {

const size_t kFlagsAt = 20, kListAt = 76;
const DWORD kHasIdList = 1, kHasDarwinId = 0x1000;

// Four little-endian DWORDs, five base-85 digits each, least significant
// first: the form of a code in an installer descriptor.
std::string Packed(const GUID &guid) {
    static const char digits[] = "!$%&'()*+,-.0123456789=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`"
                                 "abcdefghijklmnopqrstuvwxyz{}~";
    DWORD parts[4];
    memcpy(parts, &guid, sizeof parts);
    std::string out;
    for (DWORD x : parts)
        for (int i = 0; i < 5; ++i, x /= 85)
            out += digits[x % 85];
    return out;
}

std::string WithFlags(std::string link, DWORD set, DWORD clear) {
    DWORD flags;
    memcpy(&flags, &link[kFlagsAt], sizeof flags);
    flags = (flags | set) & ~clear;
    memcpy(&link[kFlagsAt], &flags, sizeof flags);
    return link;
}

} // namespace

std::string BracedGuid(const GUID &guid) {
    WCHAR wide[40];
    StringFromGUID2(guid, wide, 40);
    char text[40];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string Advertised(const std::string &link, const GUID &product) {
    std::string descriptor = Packed(product) + "Complete>" + Packed(kProbeComponent);
    std::string block(0x314, '\0');
    const DWORD head[2] = {0x314, 0xA0000006};
    memcpy(&block[0], head, sizeof head);
    for (size_t i = 0; i < descriptor.size(); ++i)
        block[8 + i] = block[8 + MAX_PATH + 2 * i] = descriptor[i];
    return WithFlags(std::string(link).insert(link.size() - 4, block), kHasDarwinId, 0);
}

std::string WithoutIdList(const std::string &link) {
    size_t size = 2 + (static_cast<unsigned char>(link[kListAt]) |
                       static_cast<unsigned char>(link[kListAt + 1]) << 8);
    return WithFlags(std::string(link).erase(kListAt, size), 0, kHasIdList);
}

std::string InstallProbe(const std::string &msi) {
    std::string line = "msiexec /i \"" + msi + "\" /qn";
    STARTUPINFOA start = {};
    start.cb = sizeof start;
    PROCESS_INFORMATION process;
    DWORD code = 1;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                       &process)) {
        WaitForSingleObject(process.hProcess, 600000);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programs);
    std::string folder = std::string(programs) + "\\tessaro probe";
    bool there = GetFileAttributesA((folder + "\\readme.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
    return code == 0 && there ? folder : "";
}
