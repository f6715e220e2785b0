#include "support/version_block.h"

#include "support/hex_digits.h"
#include "support/utf16.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tw {

namespace {

constexpr std::size_t headerBytes = 6;
constexpr std::uint16_t unicodeCodePage = 1200;

std::uint16_t word16(std::span<const std::uint8_t> bytes, std::size_t offset) noexcept {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t word32(std::span<const std::uint8_t> bytes, std::size_t offset) noexcept {
    return static_cast<std::uint32_t>(word16(bytes, offset)) |
           (static_cast<std::uint32_t>(word16(bytes, offset + 2)) << 16);
}

constexpr std::size_t alignedFrom(std::size_t start, std::size_t offset) noexcept {
    return start + ((offset - start + 3) & ~std::size_t{3});
}

struct Node {
    std::size_t start = 0;
    std::size_t end = 0; // start + wLength
    std::size_t keyOffset = 0;
    std::size_t keyUnits = 0; // without the NUL
    std::size_t valueOffset = 0;
    std::uint16_t valueLength = 0;
    bool text = false;
    std::size_t valueBytes = 0;    // the value's stated size in bytes
    std::size_t childrenStart = 0; // may lie past end when there are none
};

// The node at start, which must lie inside [start, limit). Empty when its
// header, its size or its key do not fit.
std::optional<Node> readNode(std::span<const std::uint8_t> block, std::size_t start,
                             std::size_t limit) {
    if (start > limit || limit - start < headerBytes) {
        return std::nullopt;
    }
    Node node;
    node.start = start;
    const std::uint16_t length = word16(block, start);
    if (length < headerBytes || length > limit - start) {
        return std::nullopt;
    }
    node.end = start + length;
    node.valueLength = word16(block, start + 2);
    node.text = word16(block, start + 4) == 1;
    node.keyOffset = start + headerBytes;
    std::size_t at = node.keyOffset;
    while (true) {
        if (node.end - at < 2) {
            return std::nullopt; // key without its NUL
        }
        if (word16(block, at) == 0) {
            break;
        }
        at += 2;
    }
    node.keyUnits = (at - node.keyOffset) / 2;
    node.valueOffset = alignedFrom(start, at + 2);
    node.valueBytes = std::size_t{node.valueLength} * (node.text ? 2 : 1);
    node.childrenStart = alignedFrom(start, node.valueOffset + node.valueBytes);
    return node;
}

bool keyEquals(std::span<const std::uint8_t> block, const Node& node, std::wstring_view name) {
    if (node.keyUnits != name.size()) {
        return false;
    }
    const auto fold = [](std::uint32_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::uint32_t stored = word16(block, node.keyOffset + 2 * i);
        if (fold(stored) != fold(static_cast<std::uint32_t>(name[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<Node> findChild(std::span<const std::uint8_t> block, const Node& parent,
                              std::wstring_view name) {
    std::size_t at = parent.childrenStart;
    while (at < parent.end) {
        const std::optional<Node> child = readNode(block, at, parent.end);
        if (!child) {
            return std::nullopt;
        }
        if (keyEquals(block, *child, name)) {
            return child;
        }
        at = alignedFrom(at, child->end);
    }
    return std::nullopt;
}

void replaceLast(std::wstring& text, std::wstring_view what, std::wstring_view with) {
    if (const std::size_t at = text.rfind(what); at != std::wstring::npos) {
        text.replace(at, what.size(), with);
    }
}

} // namespace

std::optional<VersionValue> queryVersionValue(std::span<const std::uint8_t> block,
                                              std::wstring_view subBlock) {
    std::optional<Node> node = readNode(block, 0, block.size());
    while (node && !subBlock.empty()) {
        const std::size_t slash = subBlock.find(L'\\');
        const std::wstring_view component = subBlock.substr(0, slash);
        subBlock =
            slash == std::wstring_view::npos ? std::wstring_view{} : subBlock.substr(slash + 1);
        if (!component.empty()) {
            node = findChild(block, *node, component);
        }
    }
    if (!node) {
        return std::nullopt;
    }
    VersionValue value;
    value.offset = node->valueOffset;
    value.length = node->valueLength;
    value.text = node->text;
    value.bytes = node->valueOffset >= node->end
                      ? 0
                      : std::min(node->valueBytes, node->end - node->valueOffset);
    return value;
}

VersionBlock::VersionBlock(std::span<const std::uint8_t> block)
    : block_(block) {
    if (block.empty()) {
        return;
    }
    const std::optional<VersionValue> root = queryVersionValue(block, L"\\");
    if (!root) {
        return;
    }
    if (root->bytes >= sizeof(FixedFileInfo)) {
        std::array<std::uint32_t, sizeof(FixedFileInfo) / 4> words{};
        for (std::size_t i = 0; i < words.size(); ++i) {
            words[i] = word32(block, root->offset + 4 * i);
        }
        FixedFileInfo info{};
        std::memcpy(&info, words.data(), sizeof info);
        fixed_ = info;
    }
    const std::optional<VersionValue> table =
        queryVersionValue(block, L"\\VarFileInfo\\Translation");
    if (!table) {
        return;
    }
    // Pairs of (language, code page); their number is the stated length over 4.
    const std::size_t pairs = std::min<std::size_t>(table->length, table->bytes) / 4;
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::uint16_t language = word16(block, table->offset + 4 * i);
        const std::uint16_t codePage = word16(block, table->offset + 4 * i + 2);
        if (codePage == unicodeCodePage) {
            translations_.push_back(lowerHex(language, 4) + lowerHex(codePage, 4));
        }
    }
}

std::uint64_t VersionBlock::fileVersion() const noexcept {
    if (!fixed_) {
        return 0;
    }
    return (std::uint64_t{fixed_->fileVersionMS} << 32) | fixed_->fileVersionLS;
}

std::uint32_t VersionBlock::fileFlags() const noexcept {
    return fixed_ ? fixed_->fileFlags & fixed_->fileFlagsMask : 0;
}

std::wstring VersionBlock::stringValue(std::wstring_view key) const {
    if (block_.empty() || translations_.empty()) {
        return {};
    }
    std::wstring path = L"\\StringFileInfo\\" + translations_.front() + L"\\";
    path.append(key);
    const std::optional<VersionValue> value = queryVersionValue(block_, path);
    if (!value || value->length == 0) {
        return {};
    }
    // A text value counts characters; a binary one (which a string should not
    // be) counts bytes. Either way only what lies inside the node is read.
    const std::size_t stated = value->text ? value->length : value->length / 2;
    const std::size_t units = std::min(stated, value->bytes / 2);
    std::wstring text =
        decodeUtf16le(reinterpret_cast<const char*>(block_.data() + value->offset), units);
    if (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

std::wstring brandedName(std::wstring name, std::uint16_t productCode, std::int32_t languageIndex,
                         const std::function<bool()>& isLisquenBuild) {
    constexpr std::uint16_t brandedFamily = 0x100;
    constexpr std::int32_t german = 2;
    if ((productCode & 0xFF00) == brandedFamily && isLisquenBuild() && languageIndex == german) {
        replaceLast(name, L"Kelvane", L"Lisquen");
    }
    return name;
}

std::wstring displayNameFrom(std::wstring name, std::wstring_view productVersion,
                             std::uint32_t fileFlags, std::uint32_t interfaceLcid) {
    constexpr std::uint32_t french = 0x0C;
    if (!productVersion.empty()) {
        name += L' ';
        name.append(productVersion);
    }
    if ((fileFlags & file_flags::prerelease) != 0 && (interfaceLcid & 0x3FF) != french) {
        replaceLast(name, L"b\u00EAta", L"beta");
    }
    if ((fileFlags & file_flags::privateBuild) != 0) {
        name += L" \u2013 Private";
    }
    if ((fileFlags & file_flags::debug) != 0) {
        name += L" \u2013 Debug";
    }
    return name;
}

} // namespace tw
