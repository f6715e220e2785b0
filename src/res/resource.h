// Identifiers of the installer's resources and controls.
#pragma once

#define IDI_APPLICATION_ICON 128
#define IDB_SIDE_PICTURE 137

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
