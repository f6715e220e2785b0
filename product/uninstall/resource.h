// Identifiers of the uninstaller's texts. Uninstall.exe carries them in
// English; the language modules carry them in their languages.
#pragma once

#define IDS_UNINSTALL_CAPTION 101
#define IDS_UNINSTALL_CONFIRM 102
#define IDS_UNINSTALL_CLOSE_PRODUCT 103
#define IDS_UNINSTALL_NOT_ADMINISTRATOR 104
#define IDS_UNINSTALL_UNREADABLE_LOG 105
#define IDS_UNINSTALL_REMOVED 106
#define IDS_UNINSTALL_KEPT 107
#define IDS_UNINSTALL_LINKS 108
#define IDS_UNINSTALL_NOT_REMOVED 109
