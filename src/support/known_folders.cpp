#include "support/known_folders.h"

#include "support/error.h"
#include "support/unique_resource.h"
#include "support/product_code.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace tw {

namespace {

KnownFolders& storage() {
    static KnownFolders folders;
    return folders;
}

std::wstring knownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    const HRESULT hr = ::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
    const unique_cotaskmem owned(path);
    throwIfFailed(hr);
    return path != nullptr ? std::wstring(path) : std::wstring{};
}

} // namespace

const KnownFolders& knownFolders() {
    return storage();
}

namespace details {
void computeKnownFolders() {
    KnownFolders& folders = storage();
    folders.makerCommonData = knownFolder(FOLDERID_ProgramData) + L"\\" + makerName;
    folders.makerUserData = knownFolder(FOLDERID_RoamingAppData) + L"\\" + makerName;
    folders.documents = knownFolder(FOLDERID_Documents);
}
} // namespace details

} // namespace tw
