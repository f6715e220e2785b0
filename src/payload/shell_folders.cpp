#include "payload/shell_folders.h"

#include "support/owner_window.h"
#include "support/shell_folder.h"

namespace payload {

std::wstring shellFolderPath(int csidl) {
    return tw::shellFolderPath(tw::findOwnerWindow(), csidl);
}

} // namespace payload
