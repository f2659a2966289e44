#include "harness/advertised.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <string.h>

namespace {

// Four little-endian DWORDs, five base-85 digits each, least significant
// first: the form of a code in an installer descriptor.
std::string Packed(const char *braced) {
    static const char digits[] = "!$%&'()*+,-.0123456789=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`"
                                 "abcdefghijklmnopqrstuvwxyz{}~";
    WCHAR wide[40];
    MultiByteToWideChar(CP_ACP, 0, braced, -1, wide, 40);
    DWORD parts[4] = {};
    CLSIDFromString(wide, reinterpret_cast<CLSID *>(parts));
    std::string out;
    for (DWORD x : parts)
        for (int i = 0; i < 5; ++i, x /= 85)
            out += digits[x % 85];
    return out;
}

std::string WithFlags(std::string link, DWORD set, DWORD clear) {
    DWORD *flags = reinterpret_cast<DWORD *>(&link[20]);
    *flags = (*flags | set) & ~clear;
    return link;
}

} // namespace

std::string Advertised(const std::string &link, const char *product) {
    std::string descriptor =
        Packed(product) + "Complete>" + Packed("{290E2433-8995-4FAA-B7DB-619635767B25}");
    std::string block(0x314, '\0');
    const DWORD head[2] = {0x314, 0xA0000006};
    memcpy(&block[0], head, sizeof head);
    for (size_t i = 0; i < descriptor.size(); ++i)
        block[8 + i] = block[8 + MAX_PATH + 2 * i] = descriptor[i];
    return WithFlags(std::string(link).insert(link.size() - 4, block), 0x1000, 0);
}

std::string WithoutIdList(const std::string &link) {
    size_t size =
        2 + static_cast<unsigned char>(link[76]) + 256 * static_cast<unsigned char>(link[77]);
    return WithFlags(std::string(link).erase(76, size), 0, 1);
}

std::string WithUnicodeBasePath(const std::string &link, const std::wstring &path) {
    const size_t at = 76; // the link info, where no item list comes first
    DWORD head[9];
    memcpy(head, &link[at], 28);
    const size_t old = head[0];
    std::string body = link.substr(at + head[1], head[0] - head[1]);
    std::string wide(reinterpret_cast<const char *>(path.c_str()), 2 * path.size() + 2);
    for (int i = 3; i < 7; ++i)
        head[i] += head[i] ? 0x24 - head[1] : 0;
    head[7] = 0x24 + body.size(); // the Unicode suffix follows, empty
    head[8] = head[7] + wide.size();
    head[0] = head[8] + 2;
    head[1] = 0x24;
    return link.substr(0, at) + std::string(reinterpret_cast<char *>(head), 0x24) + body + wide +
           std::string(2, '\0') + link.substr(at + old);
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
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, folder);
    strcat(folder, "\\tessaro probe");
    bool there = GetFileAttributesA((folder + std::string("\\readme.txt")).c_str()) !=
                 INVALID_FILE_ATTRIBUTES;
    return code == 0 && there ? folder : "";
}
