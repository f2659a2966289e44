// IDs of tessaro's resources, shared by tessaro.rc and the code. Only
// #defines: windres reads this file too.
#pragma once

#define IDD_ASSOCIATION_SMALL 119 // smaller form, never shown
#define IDD_ASSOCIATION 120
#define IDI_TESSARO 121
#define IDM_SYSTEM 122 // never loaded: the dialog builds its system menu

// .lnk row of dialog 120; the .pif row below uses the same offsets + 100.
#define IDC_LNK_CHECK 1100
#define IDC_LNK_GROUP 1101
#define IDC_LNK_REGKEY 1102
#define IDC_LNK_MENU 1103
#define IDC_LNK_CMD 1104
#define IDC_LNK_VERBS 1105
#define IDC_LNK_DETAILS 1106
#define IDC_LNK_SELECT 1107
#define IDC_LNK_REGKEY_LABEL 1122
#define IDC_LNK_MENU_LABEL 1123
#define IDC_LNK_CMD_LABEL 1124
#define IDC_LNK_VERBS_LABEL 1125

#define IDC_PIF_CHECK 1200
#define IDC_PIF_GROUP 1201
#define IDC_PIF_REGKEY 1202
#define IDC_PIF_MENU 1203
#define IDC_PIF_CMD 1204
#define IDC_PIF_VERBS 1205
#define IDC_PIF_DETAILS 1206
#define IDC_PIF_SELECT 1207
#define IDC_PIF_REGKEY_LABEL 1222
#define IDC_PIF_MENU_LABEL 1223
#define IDC_PIF_CMD_LABEL 1224
#define IDC_PIF_VERBS_LABEL 1225

// The menu-name edit of dialog 119; its label has no ID of its own.
#define IDC_MENU_NAME 1000
#define IDC_STATIC (-1)

// Commands the dialog adds to its system menu.
#define ID_RESET_SETTINGS 40005
#define ID_ABOUT 40006
#define ID_OFFER_PIF 40007
