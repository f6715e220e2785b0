#pragma once
// Reading a version resource (a VS_VERSIONINFO block) without the system: the
// node walk of the system's version query, the fixed file information, the
// Unicode translations and the string values, and the maker's rules for the
// name shown to users. Every read stays inside the block it is given.
//
// Layout of a node (32-bit resources; all numbers little-endian):
//   WORD  wLength       size of the node in bytes, its children included
//   WORD  wValueLength  size of the value: characters for text, bytes otherwise
//   WORD  wType         1 text, 0 binary
//   WCHAR szKey[]       NUL-terminated key
//   padding to a multiple of 4 bytes from the node's start
//   value
//   padding to a multiple of 4 bytes
//   children, each starting on a multiple of 4 bytes
// The root's key is "VS_VERSION_INFO" and its value the fixed file information.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// VS_FIXEDFILEINFO.
struct FixedFileInfo {
    std::uint32_t signature;
    std::uint32_t structVersion;
    std::uint32_t fileVersionMS;
    std::uint32_t fileVersionLS;
    std::uint32_t productVersionMS;
    std::uint32_t productVersionLS;
    std::uint32_t fileFlagsMask;
    std::uint32_t fileFlags;
    std::uint32_t fileOS;
    std::uint32_t fileType;
    std::uint32_t fileSubtype;
    std::uint32_t fileDateMS;
    std::uint32_t fileDateLS;
};
static_assert(sizeof(FixedFileInfo) == 52, "VS_FIXEDFILEINFO is 13 32-bit words");

namespace file_flags {
constexpr std::uint32_t debug = 0x1;
constexpr std::uint32_t prerelease = 0x2;
constexpr std::uint32_t privateBuild = 0x8;
} // namespace file_flags

// A node's value as the system's version query reports it.
struct VersionValue {
    std::size_t offset = 0;   // from the start of the block
    std::uint32_t length = 0; // wValueLength as stored
    bool text = false;        // wType is 1
    std::size_t bytes = 0;    // the value's bytes that lie inside its node
};

// Looks a sub-block up the way VerQueryValueW does: components separated by
// backslashes, empty components skipped, keys compared without regard to ASCII
// case; "\" is the root. Empty when a component is missing or the block is
// malformed where the walk leads.
std::optional<VersionValue> queryVersionValue(std::span<const std::uint8_t> block,
                                              std::wstring_view subBlock);

// A decoded version resource over bytes that the caller keeps alive.
class VersionBlock {
public:
    VersionBlock() = default;
    // An empty span means "no version resource".
    explicit VersionBlock(std::span<const std::uint8_t> block);

    // The root's fixed information; empty when the root query fails or its
    // value is too short.
    const std::optional<FixedFileInfo>& fixedInfo() const noexcept { return fixed_; }
    // "llllcccc" for each translation with code page 1200, in table order.
    const std::vector<std::wstring>& translations() const noexcept { return translations_; }

    // (dwFileVersionMS << 32) | dwFileVersionLS; 0 without fixed information.
    std::uint64_t fileVersion() const noexcept;
    // dwFileFlags & dwFileFlagsMask; 0 without fixed information.
    std::uint32_t fileFlags() const noexcept;
    // The value of a string of the first Unicode translation, without its
    // terminating NUL; empty when absent.
    std::wstring stringValue(std::wstring_view key) const;

private:
    std::span<const std::uint8_t> block_;
    std::optional<FixedFileInfo> fixed_;
    std::vector<std::wstring> translations_;
};

// The brand rule: when the product family (code & 0xFF00) is 0x100, the build
// is the special "Lisquen" build and the interface language is German (2), the
// last "Kelvane" of the name becomes "Lisquen". isLisquenBuild is asked only
// when the family matches.
std::wstring brandedName(std::wstring name, std::uint16_t productCode, std::int32_t languageIndex,
                         const std::function<bool()>& isLisquenBuild);

// The name shown to users: the branded name, a blank and the product version
// when there is one; the last "bêta" becomes "beta" in a pre-release unless the
// interface locale is French; " – Private" and " – Debug" for those builds.
std::wstring displayNameFrom(std::wstring brandedName, std::wstring_view productVersion,
                             std::uint32_t fileFlags, std::uint32_t interfaceLcid);

} // namespace tw
