// The maker's contact data, shared by the program and its resource scripts
// (the About box shows them as the template has them; the uninstall
// registration writes the web address and the telephone number).
#pragma once

#define MAKER_ADDRESS_TEXT "Tarnwick Software Ltd\n14 Quayside Row\nBristol BS1 4QA, United Kingdom"
#define MAKER_TELEPHONE "+44 20 7946 0321"
#define MAKER_FAX "+44 20 7946 0322"
#define MAKER_EMAIL "support@tarnwick.example"
#define MAKER_WEB_ADDRESS "https://www.tarnwick.example/kelvane/"
