#include "support/version_block.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace tw;
using Bytes = std::vector<std::uint8_t>;

// A node of a crafted version resource, encoded with the layout of
// version_block.h.
struct Node {
    std::u16string key;
    Bytes value;
    std::uint16_t valueLength = 0;
    bool text = false;
    std::vector<Node> children;
};

void put16(Bytes& out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void padTo4(Bytes& out, std::size_t start) {
    while ((out.size() - start) % 4 != 0) {
        out.push_back(0);
    }
}

void encodeInto(Bytes& out, const Node& node) {
    const std::size_t start = out.size();
    out.resize(start + 6);
    put16(out, start + 2, node.valueLength);
    put16(out, start + 4, node.text ? 1 : 0);
    for (const char16_t c : node.key + u'\0') {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    padTo4(out, start);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const Node& child : node.children) {
        padTo4(out, start);
        encodeInto(out, child);
    }
    put16(out, start, static_cast<std::uint16_t>(out.size() - start));
}

Bytes encode(const Node& root) {
    Bytes out;
    encodeInto(out, root);
    padTo4(out, 0);
    return out;
}

Bytes utf16(std::u16string_view text, bool withNul = true) {
    Bytes out;
    for (const char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (withNul) {
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

Node text(std::u16string key, std::u16string_view value) {
    return {std::move(key), utf16(value), static_cast<std::uint16_t>(value.size() + 1), true, {}};
}

struct Fixed {
    std::uint32_t fileMS = 0x00020004;
    std::uint32_t fileLS = 0x00010001;
    std::uint32_t mask = 0x3F;
    std::uint32_t flags = 0;
};

Bytes fixedBytes(const Fixed& f) {
    const std::uint32_t words[13] = {0xFEEF04BD, 0x00010000, f.fileMS, f.fileLS, f.fileMS,
                                     f.fileLS,   f.mask,     f.flags,  0x40004,  1,
                                     0,          0,          0};
    Bytes out;
    for (const std::uint32_t w : words) {
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<std::uint8_t>(w >> shift));
        }
    }
    return out;
}

struct Table {
    std::u16string key; // "040704b0"
    std::vector<std::pair<std::u16string, std::u16string>> strings;
};

Node resource(const Fixed& fixed, const std::vector<std::pair<std::uint16_t, std::uint16_t>>& pairs,
              const std::vector<Table>& tables) {
    Node strings{u"StringFileInfo", {}, 0, true, {}};
    for (const Table& table : tables) {
        Node block{table.key, {}, 0, true, {}};
        for (const auto& [key, value] : table.strings) {
            block.children.push_back(text(key, value));
        }
        strings.children.push_back(block);
    }
    Bytes translation;
    for (const auto& [language, codePage] : pairs) {
        for (const std::uint16_t w : {language, codePage}) {
            translation.push_back(static_cast<std::uint8_t>(w & 0xFF));
            translation.push_back(static_cast<std::uint8_t>(w >> 8));
        }
    }
    Node var{u"VarFileInfo", {}, 0, true, {}};
    var.children.push_back(
        {u"Translation", translation, static_cast<std::uint16_t>(translation.size()), false, {}});
    Node root{u"VS_VERSION_INFO", fixedBytes(fixed), 52, false, {}};
    root.children = {strings, var};
    return root;
}

const Table installerStrings{u"040004b0",
                             {{u"ProductName", u"Install"},
                              {u"ProductVersion", u"2.04a"},
                              {u"LegalCopyright", u"Copyright (C) Tarnwick"},
                              {u"ApplicationId", u"Kelvane3"}}};

TEST(VersionBlock, ReadsFixedInformationAndStrings) {
    const Bytes bytes = encode(resource({}, {{0x0400, 1200}}, {installerStrings}));
    const VersionBlock block(bytes);
    ASSERT_TRUE(block.fixedInfo());
    EXPECT_EQ(block.fixedInfo()->signature, 0xFEEF04BDu);
    EXPECT_EQ(block.fileVersion(), 0x0002000400010001ull);
    EXPECT_EQ(block.translations(), std::vector<std::wstring>{L"040004b0"});
    EXPECT_EQ(block.stringValue(L"ProductName"), L"Install");
    EXPECT_EQ(block.stringValue(L"ProductVersion"), L"2.04a");
    EXPECT_EQ(block.stringValue(L"ApplicationId"), L"Kelvane3");
    EXPECT_EQ(block.stringValue(L"SpecialBuild"), L"");
}

TEST(VersionBlock, KeysIgnoreAsciiCase) {
    const Bytes bytes = encode(resource({}, {{0x0400, 1200}}, {installerStrings}));
    const VersionBlock block(bytes);
    EXPECT_EQ(block.stringValue(L"productname"), L"Install");
    EXPECT_EQ(block.stringValue(L"PRODUCTVERSION"), L"2.04a");
    EXPECT_EQ(block.stringValue(L"ProductNam"), L"");
    EXPECT_EQ(block.stringValue(L"ProductNames"), L"");
}

TEST(VersionBlock, OnlyUnicodeTranslationsInTableOrder) {
    const Table german{u"040704b0", {{u"ProductName", u"Deutsch"}}};
    const Table english{u"040904e4", {{u"ProductName", u"English"}}};
    const Bytes bytes =
        encode(resource({}, {{0x0409, 1252}, {0x0407, 1200}, {0x040C, 1200}}, {english, german}));
    const VersionBlock block(bytes);
    EXPECT_EQ(block.translations(), (std::vector<std::wstring>{L"040704b0", L"040c04b0"}));
    EXPECT_EQ(block.stringValue(L"ProductName"), L"Deutsch");
}

TEST(VersionBlock, WithoutUnicodeTranslationStringsAreEmptyButVersionStays) {
    const Table english{u"040904e4", {{u"ProductName", u"English"}}};
    const Bytes bytes = encode(resource({}, {{0x0409, 1252}}, {english}));
    const VersionBlock block(bytes);
    EXPECT_TRUE(block.translations().empty());
    EXPECT_EQ(block.stringValue(L"ProductName"), L"");
    EXPECT_EQ(block.fileVersion(), 0x0002000400010001ull);
}

TEST(VersionBlock, EmptyValuesAreEmptyStrings) {
    Table table{u"040004b0", {{u"Comments", u""}}};
    Node root = resource({}, {{0x0400, 1200}}, {table});
    // A value stored without any character, not even its NUL.
    root.children[0].children[0].children.push_back({u"LegalTrademarks", {}, 0, true, {}});
    // A value whose NUL is missing.
    root.children[0].children[0].children.push_back(
        {u"PrivateBuild", utf16(u"Nightly", false), 7, true, {}});
    const Bytes bytes = encode(root);
    const VersionBlock block(bytes);
    EXPECT_EQ(block.stringValue(L"Comments"), L"");
    EXPECT_EQ(block.stringValue(L"Comments").size(), 0u);
    EXPECT_EQ(block.stringValue(L"LegalTrademarks"), L"");
    EXPECT_EQ(block.stringValue(L"PrivateBuild"), L"Nightly");
}

TEST(VersionBlock, CharactersBeyondTheBasicPlaneDecodeAsOneCharacter) {
    const Table table{u"040004b0", {{u"ProductName", u"K\u00E9lvane \U0001F600"}}};
    const Bytes bytes = encode(resource({}, {{0x0400, 1200}}, {table}));
    EXPECT_EQ(VersionBlock(bytes).stringValue(L"ProductName"), L"K\u00E9lvane \U0001F600");
}

TEST(VersionBlock, FlagsOutsideTheMaskDoNotCount) {
    const Bytes masked = encode(resource({.mask = 0x37, .flags = 0x0B}, {{0x0400, 1200}}, {}));
    EXPECT_EQ(VersionBlock(masked).fileFlags(), 0x03u);
    const Bytes all = encode(resource({.mask = 0x3F, .flags = 0x0B}, {{0x0400, 1200}}, {}));
    EXPECT_EQ(VersionBlock(all).fileFlags(), 0x0Bu);
}

TEST(VersionBlock, NothingWithoutABlock) {
    const VersionBlock none;
    EXPECT_FALSE(none.fixedInfo());
    EXPECT_EQ(none.fileVersion(), 0u);
    EXPECT_EQ(none.fileFlags(), 0u);
    EXPECT_EQ(none.stringValue(L"ProductName"), L"");
    const Bytes garbage(64, 0xFF);
    const VersionBlock broken(garbage);
    EXPECT_FALSE(broken.fixedInfo());
    EXPECT_TRUE(broken.translations().empty());
}

TEST(VersionBlock, TruncatedBlocksNeverReadOutside) {
    const Bytes bytes = encode(resource({}, {{0x0400, 1200}}, {installerStrings}));
    const std::size_t rootLength = bytes[0] | (bytes[1] << 8);
    ASSERT_LE(rootLength, bytes.size());
    for (std::size_t size = 0; size < rootLength; ++size) {
        // A copy of exactly that size, so that AddressSanitizer sees any
        // read past its end.
        const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        const VersionBlock block(prefix);
        EXPECT_EQ(block.fileVersion(), 0u) << "size " << size; // the root does not fit
        EXPECT_EQ(block.stringValue(L"ProductName"), L"");
    }
}

TEST(VersionBlock, ValueThatOverrunsItsNodeIsCut) {
    Node root = resource({}, {{0x0400, 1200}}, {installerStrings});
    Node& name = root.children[0].children[0].children[0];
    name.valueLength = 400; // far more characters than the node holds
    const Bytes bytes = encode(root);
    const VersionBlock block(bytes);
    const std::wstring value = block.stringValue(L"ProductName");
    EXPECT_EQ(value.substr(0, 7), L"Install");
    EXPECT_LE(value.size(), 9u); // the characters and padding of the node, nothing after it
    EXPECT_EQ(block.stringValue(L"ProductVersion"), L"2.04a");
}

TEST(QueryVersionValue, LikeTheSystemQuery) {
    const Bytes bytes = encode(resource({}, {{0x0409, 1252}, {0x0400, 1200}}, {installerStrings}));
    const auto root = queryVersionValue(bytes, L"\\");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->length, 52u);
    EXPECT_FALSE(root->text);
    EXPECT_EQ(root->offset % 4, 0u);

    const auto table = queryVersionValue(bytes, L"\\VarFileInfo\\Translation");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->length, 8u);
    EXPECT_FALSE(table->text);
    const auto doubled = queryVersionValue(bytes, L"\\\\VarFileInfo\\\\Translation\\");
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->offset, table->offset);

    const auto name = queryVersionValue(bytes, L"\\StringFileInfo\\040004B0\\ProductName");
    ASSERT_TRUE(name);
    EXPECT_TRUE(name->text);
    EXPECT_EQ(name->length, 8u); // "Install" and its NUL, in characters
    EXPECT_EQ(name->bytes, 16u);

    EXPECT_FALSE(queryVersionValue(bytes, L"\\StringFileInfo\\040904e4\\ProductName"));
    EXPECT_FALSE(queryVersionValue(bytes, L"\\Missing"));
    EXPECT_FALSE(queryVersionValue({}, L"\\"));
}

TEST(QueryVersionValue, ChildLongerThanItsParentIsNotFollowed) {
    Bytes bytes = encode(resource({}, {{0x0400, 1200}}, {installerStrings}));
    const auto strings = queryVersionValue(bytes, L"\\StringFileInfo");
    ASSERT_TRUE(strings);
    // The first child of StringFileInfo, the "040004b0" table, claims more
    // bytes than the whole block.
    const std::size_t table = strings->offset;
    put16(bytes, table, 0xFFF0);
    EXPECT_FALSE(queryVersionValue(bytes, L"\\StringFileInfo\\040004b0\\ProductName"));
    EXPECT_TRUE(queryVersionValue(bytes, L"\\VarFileInfo\\Translation"));
}

TEST(BrandedName, LisquenReplacesTheLastKelvaneInGerman) {
    const auto lisquen = [] { return true; };
    EXPECT_EQ(brandedName(L"Kelvane und Kelvane", 0x103, 2, lisquen), L"Kelvane und Lisquen");
    EXPECT_EQ(brandedName(L"Kelvane 3", 0x1FF, 2, lisquen), L"Lisquen 3");
    EXPECT_EQ(brandedName(L"Kelvane 3", 0x103, 1, lisquen), L"Kelvane 3");
    EXPECT_EQ(brandedName(L"Kelvan 3", 0x103, 2, lisquen), L"Kelvan 3");
    EXPECT_EQ(brandedName(L"kelvane 3", 0x103, 2, lisquen), L"kelvane 3");
}

TEST(BrandedName, SpecialBuildAskedOnlyForTheFamily) {
    int asked = 0;
    const auto notLisquen = [&asked] {
        ++asked;
        return false;
    };
    EXPECT_EQ(brandedName(L"Kelvane 3", 0x203, 2, notLisquen), L"Kelvane 3");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(brandedName(L"Kelvane 3", 0x103, 2, notLisquen), L"Kelvane 3");
    EXPECT_EQ(asked, 1);
}

TEST(DisplayName, NameAndVersion) {
    EXPECT_EQ(displayNameFrom(L"Install", L"2.04a", 0, 0x0409), L"Install 2.04a");
    EXPECT_EQ(displayNameFrom(L"Install", L"", 0, 0x0409), L"Install");
    EXPECT_EQ(displayNameFrom(L"", L"", 0, 0x0409), L"");
}

TEST(DisplayName, PreReleaseBetaOutsideFrench) {
    const std::wstring name = L"Kelvane b\u00EAta";
    const std::uint32_t prerelease = file_flags::prerelease;
    EXPECT_EQ(displayNameFrom(name, L"3.1 b\u00EAta", prerelease, 0x0409),
              L"Kelvane b\u00EAta 3.1 beta");
    EXPECT_EQ(displayNameFrom(name, L"3.1 b\u00EAta", prerelease, 0x040C),
              L"Kelvane b\u00EAta 3.1 b\u00EAta");
    EXPECT_EQ(displayNameFrom(name, L"3.1 b\u00EAta", prerelease, 0x0C0C),
              L"Kelvane b\u00EAta 3.1 b\u00EAta");
    EXPECT_EQ(displayNameFrom(name, L"3.1 b\u00EAta", 0, 0x0409),
              L"Kelvane b\u00EAta 3.1 b\u00EAta");
}

TEST(DisplayName, PrivateBeforeDebug) {
    const std::wstring both =
        displayNameFrom(L"Install", L"2.04a", file_flags::privateBuild | file_flags::debug, 0x0409);
    EXPECT_EQ(both, L"Install 2.04a \u2013 Private \u2013 Debug");
    EXPECT_EQ(displayNameFrom(L"Install", L"2.04a", file_flags::privateBuild, 0x0409).size(),
              std::wstring(L"Install 2.04a").size() + 10);
    EXPECT_EQ(displayNameFrom(L"Install", L"2.04a", file_flags::debug, 0x0409).size(),
              std::wstring(L"Install 2.04a").size() + 8);
}

TEST(DisplayName, PrivateBitOutsideTheMaskAddsNothing) {
    const Bytes bytes =
        encode(resource({.mask = 0x37, .flags = 0x08}, {{0x0400, 1200}}, {installerStrings}));
    const VersionBlock block(bytes);
    EXPECT_EQ(displayNameFrom(block.stringValue(L"ProductName"),
                              block.stringValue(L"ProductVersion"), block.fileFlags(), 0x0409),
              L"Install 2.04a");
}

} // namespace
