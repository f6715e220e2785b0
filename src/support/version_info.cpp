#include "support/version_info.h"

#include "support/system_library.h"

#include <windows.h>

namespace tw {

namespace {

struct OwnResource {
    const void* data = nullptr;
    std::uint32_t size = 0;
};

OwnResource findOwnResource() {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), RT_VERSION);
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0) {
        return {};
    }
    return {data, size};
}

} // namespace

VersionInfo::VersionInfo(const void* data, std::uint32_t size)
    : data_(data != nullptr && size != 0 ? static_cast<const std::uint8_t*>(data) : nullptr)
    , size_(data_ != nullptr ? size : 0)
    , block_(std::span<const std::uint8_t>(data_, size_)) {}

VersionInfo::VersionInfo(std::vector<std::uint8_t> buffer)
    : buffer_(std::move(buffer))
    , data_(buffer_.empty() ? nullptr : buffer_.data())
    , size_(static_cast<std::uint32_t>(buffer_.size()))
    , block_(std::span<const std::uint8_t>(buffer_.data(), buffer_.size())) {}

VersionInfo VersionInfo::fromOwnModule() {
    static const OwnResource own = findOwnResource();
    return VersionInfo(own.data, own.size);
}

VersionInfo VersionInfo::fromFile(const std::wstring& path) {
    using SizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    static const auto getSize =
        systemFunction<SizeFunction>(L"version.dll", "GetFileVersionInfoSizeW");
    static const auto getInfo = systemFunction<InfoFunction>(L"version.dll", "GetFileVersionInfoW");
    const DWORD size = getSize != nullptr ? getSize(path.c_str(), nullptr) : 0;
    if (size == 0 || getInfo == nullptr) {
        return {};
    }
    std::vector<std::uint8_t> buffer(size, 0);
    if (!getInfo(path.c_str(), 0, size, buffer.data())) {
        buffer.clear();
    }
    return VersionInfo(std::move(buffer));
}

} // namespace tw
