#pragma once
// A Windows version resource and the names the maker derives from it: the
// product name and version, the legal notice, and the display name shown to
// users. A VersionInfo is a value: it owns its copy of the resource (or
// borrows the loaded image's) and is moved, never shared.

#include "support/version_block.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class VersionInfo {
public:
    // No version resource.
    VersionInfo() = default;
    // Borrows a block that outlives the object; a size of 0 means none.
    VersionInfo(const void* data, std::uint32_t size);
    // Owns the block.
    explicit VersionInfo(std::vector<std::uint8_t> buffer);

    VersionInfo(VersionInfo&&) noexcept = default;
    VersionInfo& operator=(VersionInfo&&) noexcept = default;
    VersionInfo(const VersionInfo&) = delete;
    VersionInfo& operator=(const VersionInfo&) = delete;

    // The executable's own RT_VERSION resource 1, looked up once per process
    // in the process module and borrowed from the loaded image.
    static VersionInfo fromOwnModule();
    // A copy of a file's version information; without any when the file has
    // none or cannot be read.
    static VersionInfo fromFile(const std::wstring& path);

    const std::uint8_t* data() const noexcept { return data_; }
    std::uint32_t size() const noexcept { return size_; }
    const std::optional<FixedFileInfo>& fixedInfo() const noexcept { return block_.fixedInfo(); }
    const std::vector<std::wstring>& translations() const noexcept { return block_.translations(); }

    std::uint64_t fileVersion() const noexcept { return block_.fileVersion(); }
    std::uint32_t fileFlags() const noexcept { return block_.fileFlags(); }
    // A string of the first Unicode translation; empty when absent.
    std::wstring stringValue(std::wstring_view key) const { return block_.stringValue(key); }

    std::wstring productName() const { return stringValue(L"ProductName"); }
    std::wstring productVersion() const { return stringValue(L"ProductVersion"); }
    std::wstring legalNotice() const { return stringValue(L"LegalCopyright"); }

    // The names below read the process's interface language; they are
    // defined apart (version_names.cpp), so that a program that reads only
    // the resource's strings, as the product's programs do for their
    // application identifier, links no language state.

    // The product name after the brand rule, with the process's product code
    // and interface language. Whether this is the "Lisquen" build is decided
    // once per process, by the first object the rule runs on.
    std::wstring brandedProductName() const;
    // The branded name, its version and the pre-release, private and debug
    // markings, in the process's interface language.
    std::wstring displayName() const;

private:
    std::vector<std::uint8_t> buffer_;
    const std::uint8_t* data_ = nullptr;
    std::uint32_t size_ = 0;
    VersionBlock block_;
};

} // namespace tw
