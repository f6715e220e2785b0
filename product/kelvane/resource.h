// Identifiers of Kelvane.exe's resources.
#pragma once

#define IDI_KELVANE 1
#define IDI_DOCUMENT 2

// Strings; the language modules carry the same identifiers.
#define IDS_WELCOME 1
#define IDS_DOCUMENT_TYPE 2
