#include "uninstall/shipped_files.h"

#include "support/path_text.h"
#include "support/unique_resource.h"

#include <windows.h>

#include <cstring>
#include <string_view>
#include <vector>

namespace uninstall {

namespace {

std::string_view shippedContents(const std::wstring& name) {
    HRSRC found = ::FindResourceW(nullptr, name.c_str(), L"SHIPPED");
    HGLOBAL loaded = found != nullptr ? ::LoadResource(nullptr, found) : nullptr;
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    return data != nullptr
               ? std::string_view(static_cast<const char*>(data), ::SizeofResource(nullptr, found))
               : std::string_view();
}

} // namespace

bool sameAsShipped(const std::wstring& path) {
    const std::wstring name(tw::fileName(path));
    const std::string_view shipped = shippedContents(name);
    const tw::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (shipped.data() == nullptr || !file || !::GetFileSizeEx(file.get(), &size) ||
        static_cast<std::uint64_t>(size.QuadPart) != shipped.size()) {
        return false;
    }
    std::vector<char> contents(shipped.size());
    DWORD read = 0;
    return ::ReadFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &read,
                      nullptr) &&
           read == contents.size() &&
           std::memcmp(contents.data(), shipped.data(), contents.size()) == 0;
}

} // namespace uninstall
