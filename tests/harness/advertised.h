// Shortcut files as Windows writes them where the stored item list is not
// the target's: shared by the tests and the benchmark's observer.
#pragma once
#include <windows.h>
#include <string>

// The codes of tests/reliability/probe.wxs, the package msiexec installs.
extern const GUID kProbeProduct;
extern const GUID kProbeComponent;
// Installs the package silently with msiexec and returns the folder that
// holds its readme.txt, or "" where that did not happen.
std::string InstallProbe(const std::string &msi);

// "{...}", as the installer's cache folders are named.
std::string BracedGuid(const GUID &guid);
// A saved shortcut made an advertised one, as Windows Installer writes
// them: the descriptor of product, feature "Complete" and the probe's
// component in a Darwin block ahead of the terminal block.
std::string Advertised(const std::string &link, const GUID &product);
// A saved shortcut without its item list: the link-info path alone is left.
std::string WithoutIdList(const std::string &link);
