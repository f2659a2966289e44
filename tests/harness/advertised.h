// Shortcut files as Windows writes them where the stored item list is not
// the target's: shared by the tests and the benchmark's observer.
#pragma once
#include <string>

// The product code of tests/reliability/probe.wxs, the package msiexec
// installs; the installer's cache folders are named like it.
#define PROBE_PRODUCT "{EC8F0344-6E94-406F-BAFE-7769F585E8D2}"

// A saved shortcut made an advertised one, as Windows Installer writes
// them: the descriptor of the product, feature "Complete" and the probe's
// component, in a Darwin block ahead of the terminal block.
std::string Advertised(const std::string &link, const char *product);
// A saved shortcut without its item list: the link-info path alone is left.
std::string WithoutIdList(const std::string &link);
// A link info in the form Windows writes where a path needs UTF-16: a
// header of 0x24 bytes and LocalBasePathUnicode, here `path`.
std::string WithUnicodeBasePath(const std::string &link, const std::wstring &path);
// Installs the package silently; the folder that holds its readme.txt, or
// "" where that did not happen.
std::string InstallProbe(const std::string &msi);
