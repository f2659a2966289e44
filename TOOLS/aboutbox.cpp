#include "TOOLS/aboutbox.h"

#include <commctrl.h>
#include <shellapi.h>

#include "TOOLS/dlgtemplate.h"
#include "TOOLS/linklabel.h"
#include "TOOLS/toolwind.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/codepage.h"
#include "text/heap.h"
#include "text/library.h"

namespace {

const char kDataProp[] = "PROP_ABOUTDIALOGDATA";

enum : int {
    kIconId = 100,
    kVersionLineId = 101,
    kLinkId = 102,
    kResourcesLineId = 103,
};
const int kTextLineIds[] = {kVersionLineId, kLinkId, kResourcesLineId};

const char16_t kEmpty[] = u"";
const char16_t kFace[] = u"ＭＳ Ｐゴシック";
const char16_t kOk[] = u"OK";

// The open box, null while none is.
HWND AboutBoxWindow;

typedef int(WINAPI *FreeResourcesFn)(int);
typedef DWORD(WINAPI *VersionSizeFn)(LPCSTR, LPDWORD);
typedef BOOL(WINAPI *VersionInfoFn)(LPCSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI *VersionQueryFn)(LPCVOID, LPCSTR, LPVOID *, PUINT);

// From the system folder, at the first query; freed once the box has its
// texts. The values point into the caller's block, not into the DLL.
SystemLibrary VersionLibrary;

template <typename Function> Function FindVersionFunction(const char *name) {
    return FindSystemFunction<Function>(&VersionLibrary, "version.dll", name);
}

bool QueryValue(const void *block, const char *subBlock, void **value, UINT *length) {
    auto query = FindVersionFunction<VersionQueryFn>("VerQueryValueA");
    return query && query(block, subBlock, value, length);
}

HWND CreateTooltipWindow(HWND owner, HINSTANCE module) {
    return CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, module, nullptr);
}

// The record stops at lpszText: the size the oldest tooltip control takes.
bool AddWindowTool(HWND tip, HWND dialog, HWND control) {
    TOOLINFOA tool;
    ZeroFill(TTTOOLINFOA_V1_SIZE, &tool);
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    char text[kOwnTextCapacity];
    tool.lpszText = const_cast<char *>(OwnText("サポートサイトへ", text));
    return SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

// Leaves *size alone when there is no text or no device context.
bool GetWindowTextExtent(HWND window, SIZE *size) {
    char *text = DupWindowText(window);
    if (!text)
        return true;
    HDC dc = GetDC(window);
    if (dc) {
        int saved = SaveDC(dc);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc, text, lstrlenA(text), size);
        RestoreDC(dc, saved);
        ReleaseDC(window, dc);
    }
    MemFree(text);
    return true;
}

// Grows to the right and centres OK in the window rectangle; the frame is
// the same on both sides, so it is centred in the client area too.
bool WidenAboutBox(HWND dialog, int growth) {
    SizeWindowBy(dialog, growth, 0);
    // Centred on a cursor near the screen's right edge, it grew past it.
    KeepWindowInWorkArea(dialog);
    HWND ok = GetDlgItem(dialog, IDOK);
    int target = (GetWindowWidth(dialog) - GetWindowWidth(ok)) / 2;
    POINT corner;
    GetWindowPosition(ok, &corner);
    ScreenToWindow(dialog, &corner);
    MoveWindowBy(ok, target - corner.x, 0);
    return true;
}

bool FitAboutTexts(HWND dialog) {
    int growth = 0;
    for (int id : kTextLineIds) {
        int g = FitControlToText(GetDlgItem(dialog, id));
        if (g > growth)
            growth = g;
    }
    if (growth > 0)
        WidenAboutBox(dialog, growth);
    return true;
}

void SetVersionTexts(HWND dialog) {
    const DWORD *translation;
    void *block = LoadModuleVersionInfo(GetModuleHandleA(nullptr), &translation);
    if (!block)
        return;
    char line[kPathCapacity];
    char caption[kPathCapacity];
    FormatVersionTexts(line, caption, block, *translation);
    FreeSystemLibrary(&VersionLibrary);
    SetDlgItemTextA(dialog, kVersionLineId, line);
    SetWindowTextA(dialog, caption);
    MemFree(block);
}

void InitAboutDialog(HWND dialog, const AboutDialogData *data) {
    AboutBoxWindow = dialog;
    SetPropA(dialog, kDataProp, const_cast<AboutDialogData *>(data));
    SetWindowIcon(dialog, ICON_BIG, data->largeIcon);
    SetWindowIcon(dialog, ICON_SMALL, data->smallIcon);
    // With the template's size: the widening below grows to the right.
    CenterWindowOnCursor(dialog);
    SetVersionTexts(dialog);
    SetFreeResourcesText(GetDlgItem(dialog, kResourcesLineId));
    HWND link = GetDlgItem(dialog, kLinkId);
    SetWindowTextA(link, data->info->supportUrl);
    AttachLinkLabel(link);
    SendDlgItemMessageA(dialog, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(data->largeIcon), 0);
    HINSTANCE module = GetModuleHandleA(nullptr);
    AddWindowTool(CreateTooltipWindow(dialog, module), dialog, link);
    // The link has its underlined font by now and is measured in it.
    FitAboutTexts(dialog);
}

// Everything but the click goes back to the link, which is how it learns
// to show its hover look.
INT_PTR OnLinkNotify(HWND dialog, NMHDR *record) {
    if (record->code != LLN_CLICK)
        return SendMessageA(record->hwndFrom, WM_NOTIFY, record->idFrom,
                            reinterpret_cast<LPARAM>(record));
    const AboutDialogData *data = static_cast<AboutDialogData *>(GetPropA(dialog, kDataProp));
    if (data)
        ShellExecuteA(dialog, nullptr, data->info->supportUrl, nullptr, nullptr, SW_SHOWNORMAL);
    EndDialog(dialog, IDOK);
    return TRUE;
}

} // namespace

void *BuildAboutTemplate() {
    DialogDesc desc;
    ZeroFill(sizeof desc, &desc);
    desc.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CONTEXTHELP | DS_MODALFRAME |
                 DS_SETFONT | DS_SYSMODAL;
    desc.count = 5;
    desc.cx = 38;
    desc.cy = 56;
    desc.title = kEmpty;
    desc.fontName = kFace;
    desc.pointSize = 9;
    const NameOrOrdinal empty = TemplateString(kEmpty);
    const DWORD text = WS_CHILD | WS_VISIBLE | SS_LEFT;
    // The lines start one unit wide and are fitted to their texts; OK's x
    // lies beyond the template's width until the button is centred.
    const DialogItemDesc items[] = {
        {0x0082, empty, WS_CHILD | WS_VISIBLE | SS_ICON, 0, 7, 7, 20, 21, kIconId},
        {0x0082, empty, text, 0, 30, 7, 1, 8, kVersionLineId},
        {0x0082, empty, text, 0, 30, 16, 1, 8, kLinkId},
        {0x0082, empty, text, 0, 30, 25, 1, 8, kResourcesLineId},
        {0x0080, TemplateString(kOk), WS_CHILD | WS_VISIBLE | WS_GROUP | BS_DEFPUSHBUTTON, 0, 45,
         35, 45, 14, IDOK},
    };
    return BuildDialogTemplate(&desc, items);
}

void *LoadModuleVersionInfo(HMODULE module, const DWORD **translation) {
    char path[kPathCapacity];
    if (!GetModuleFileNameA(module, path, sizeof path))
        return nullptr;
    return LoadFileVersionInfo(path, translation);
}

void *LoadFileVersionInfo(const char *path, const DWORD **translation) {
    auto measure = FindVersionFunction<VersionSizeFn>("GetFileVersionInfoSizeA");
    auto read = FindVersionFunction<VersionInfoFn>("GetFileVersionInfoA");
    DWORD size = measure && read ? measure(path, nullptr) : 0;
    if (!size)
        return nullptr;
    void *block = MemAlloc(size);
    if (!block)
        return nullptr;
    void *value = nullptr;
    UINT length = 0;
    if (!read(path, 0, size, block) ||
        !QueryValue(block, "\\VarFileInfo\\Translation", &value, &length)) {
        MemFree(block);
        return nullptr;
    }
    *translation = static_cast<const DWORD *>(value);
    return block;
}

bool QueryVersionString(char *out, const void *block, DWORD translation, const char *name) {
    char subBlock[kPathCapacity];
    FormatBounded(kPathCapacity - 1, subBlock, "\\StringFileInfo\\%04x%04x\\%s",
                  LOWORD(translation), HIWORD(translation), name);
    void *value = nullptr;
    UINT length = 0;
    if (!QueryValue(block, subBlock, &value, &length)) {
        out[0] = '\0';
        return false;
    }
    CopyBounded(kPathCapacity, out, static_cast<const char *>(value));
    return true;
}

void FormatVersionTexts(char *line, char *caption, const void *block, DWORD translation) {
    char name[kPathCapacity];
    char version[kPathCapacity];
    QueryVersionString(name, block, translation, "ProductName");
    if (!name[0])
        QueryVersionString(name, block, translation, "FileDescription");
    QueryVersionString(version, block, translation, "ProductVersion");
    FormatBounded(kPathCapacity - 1, line, "%s ver. %s", name, version);
    char format[kOwnTextCapacity];
    FormatBounded(kPathCapacity - 1, caption, OwnText("%s について", format), name);
}

bool GetFreeSystemResources(int *percent) {
    HMODULE library = LoadSystemLibrary("rsrc32.dll");
    if (!library)
        return false;
    auto query = FindExport<FreeResourcesFn>(library, "_MyGetFreeSystemResources32@4");
    if (query && percent)
        *percent = query(0);
    FreeLibrary(library);
    return query != nullptr;
}

bool SetFreeResourcesText(HWND control) {
    SetWindowTextA(control, "");
    int percent;
    if (!GetFreeSystemResources(&percent))
        return false;
    // Room for its widest form, 100 per cent: one byte more than "%d" and
    // the terminator.
    char format[kOwnTextCapacity], text[kOwnTextCapacity];
    const char *own = OwnText("システムリソース： %d ％使用可能", format);
    FormatBounded(lstrlenA(own) + 2, text, own, percent);
    SetWindowTextA(control, text);
    return true;
}

int FitControlToText(HWND control) {
    SIZE size = {0, 0};
    GetWindowTextExtent(control, &size);
    int growth = size.cx - GetWindowWidth(control);
    if (growth < 0)
        growth = 0;
    SizeWindowBy(control, growth, 0);
    return growth;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitAboutDialog(dialog, reinterpret_cast<const AboutDialogData *>(lParam));
        return TRUE;
    case WM_DESTROY:
        RemovePropA(dialog, kDataProp);
        return TRUE;
    case WM_NCHITTEST: {
        // The box can be dragged by any point of its client area.
        LRESULT hit = DefWindowProcA(dialog, WM_NCHITTEST, wParam, lParam);
        SetWindowLongA(dialog, DWL_MSGRESULT, hit == HTCLIENT ? HTCAPTION : hit);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        if (wParam == kLinkId)
            return OnLinkNotify(dialog, reinterpret_cast<NMHDR *>(lParam));
        return TRUE;
    }
    return FALSE;
}

bool ShowAboutBox(HWND owner, const AboutBoxInfo *info) {
    if (AboutBoxWindow) {
        BringWindowToTop(AboutBoxWindow);
        SetForegroundWindow(AboutBoxWindow);
        ShowWindow(AboutBoxWindow, SW_SHOWDEFAULT);
        return true;
    }
    void *dialogTemplate = BuildAboutTemplate();
    if (!dialogTemplate)
        return true;
    HMODULE module = GetModuleHandleA(nullptr);
    AboutDialogData data = {GetModuleIcon(module, false), GetModuleIcon(module, true), info};
    DialogBoxIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(dialogTemplate), owner,
                            AboutDialogProc, reinterpret_cast<LPARAM>(&data));
    AboutBoxWindow = nullptr;
    if (data.largeIcon)
        DestroyIcon(data.largeIcon);
    if (data.smallIcon)
        DestroyIcon(data.smallIcon);
    MemFree(dialogTemplate);
    return true;
}
