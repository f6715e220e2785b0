// Identifiers of the installer's resources and controls.
#pragma once

#define IDI_APPLICATION_ICON 128
#define IDB_SIDE_PICTURE 137

// Flags of the language list, one icon each (16 x 12 pixels).
#define IDI_FLAG_GERMAN 141
#define IDI_FLAG_DANISH 142
#define IDI_FLAG_SPANISH 143
#define IDI_FLAG_FRENCH 144
#define IDI_FLAG_ENGLISH 145
#define IDI_FLAG_ITALIAN 146
#define IDI_FLAG_DUTCH 147
#define IDI_FLAG_PORTUGUESE 148
#define IDI_FLAG_TURKISH 149
#define IDI_FLAG_BULGARIAN 150
#define IDI_FLAG_ROMANIAN 151
#define IDI_FLAG_CHINESE 152
#define IDI_FLAG_CZECH 153
#define IDI_FLAG_NORWEGIAN 154
#define IDI_FLAG_GREEK 155
#define IDI_FLAG_POLISH 156
#define IDI_FLAG_HEBREW 157
#define IDI_FLAG_VIETNAMESE 158
#define IDI_FLAG_JAPANESE 160
#define IDI_FLAG_HUNGARIAN 161
#define IDI_FLAG_SERBIAN 162

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_ABOUTBOX 100
#define IDD_INSTALL 102
#define IDD_START 132
#define IDD_PATH 133
#define IDD_SHORTCUT 134
#define IDD_PROGRESS 135
#define IDD_MODE 136
#define IDD_END 137

// Frame (template 102)
#define IDC_BACK 3
#define IDC_SEPARATOR 1002
#define IDC_PICTURE_BACKGROUND 1005

// Shared by the pages: the status line.
#define IDC_STATUS 1003
