// Identifiers of the installer's resources and controls.
#pragma once

#define IDI_APPLICATION_ICON 128
#define IDB_SIDE_PICTURE 137
// The side picture at 125, 150, 175 and 200 % display scaling.
#define IDB_SIDE_PICTURE_125 170
#define IDB_SIDE_PICTURE_150 171
#define IDB_SIDE_PICTURE_175 172
#define IDB_SIDE_PICTURE_200 173

// Flags of the language list, one icon each (square, of the small-icon sizes).
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

// About box (template 100)
#define IDC_ABOUT_VERSION 1019
#define IDC_ABOUT_COPYRIGHT 1020

// Frame (template 102)
#define IDC_BACK 3
#define IDC_SEPARATOR 1002
#define IDC_PICTURE_BACKGROUND 1005

// Shared by the pages: the status line.
#define IDC_STATUS 1003

// Start page (template 132)
#define IDC_START_INFO 1016
#define IDC_START_PRODUCT 1020
#define IDC_START_LANGUAGE_LABEL 1022
#define IDC_START_LANGUAGES 1023

// Mode page (template 136)
#define IDC_MODE_QUICK 1018
#define IDC_MODE_ADVANCED 1019
#define IDC_MODE_GROUP 1021

// Folder page (template 133) and shortcut page (template 134)
#define IDC_BROWSE 1006
#define IDC_FOLDER 1007
#define IDC_PATH_GROUP 1008
#define IDC_PATH_LABEL 1009
#define IDC_DESKTOP_SHORTCUT 1010
#define IDC_MENU_SHORTCUT 1011
#define IDC_MENU_GROUP 1012

// Progress page (template 135)
#define IDC_PROGRESS_BAR 1014
#define IDC_PROGRESS_LOG 1015

// End page (template 137)
#define IDC_END_RESULT 1016
