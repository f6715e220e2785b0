#include "payload_variant.h"

#include "driver.h"
#include "test_data.h"

#include "payload/archive_extractor.h"
#include "payload/archive_writer.h"
#include "support/unique_resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <stdexcept>

namespace e2e {

namespace {

constexpr WORD payloadType = 260;
constexpr WORD payloadName = 134;

std::uint64_t littleEndian64(std::string_view bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    }
    return value;
}

} // namespace

std::wstring windowsPath(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

std::wstring pathFromEnvironment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    if (length == 0 || length >= 1024) {
        ADD_FAILURE() << testing::PrintToString(std::wstring(name)) << " is not set";
        return {};
    }
    return windowsPath(std::wstring(value, length));
}

std::string payloadResource(const std::wstring& installer) {
    const tw::unique_hmodule module(
        ::LoadLibraryExW(windowsPath(installer).c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC found = module ? ::FindResourceW(module.get(), MAKEINTRESOURCEW(payloadName),
                                           MAKEINTRESOURCEW(payloadType))
                         : nullptr;
    HGLOBAL loaded = found ? ::LoadResource(module.get(), found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        ADD_FAILURE() << "the installer " << testing::PrintToString(installer)
                      << " has no payload resource";
        return {};
    }
    return std::string(static_cast<const char*>(bytes), ::SizeofResource(module.get(), found));
}

PayloadArchive::PayloadArchive(std::string bytes)
    : bytes_(std::move(bytes)) {
    if (bytes_.size() < payload::archiveHeaderFixedSize) {
        throw std::invalid_argument("not a payload archive");
    }
    const std::uint64_t dataOffset = littleEndian64(bytes_);
    if (dataOffset > bytes_.size()) {
        throw std::invalid_argument("not a payload archive");
    }
    entries_ = payload::parseEntryTable(std::string_view(bytes_).substr(0, dataOffset));
    std::uint64_t offset = dataOffset;
    for (const payload::ArchiveEntry& entry : entries_) {
        offsets_.push_back(offset);
        offset += entry.size;
    }
    if (offset != bytes_.size()) {
        throw std::invalid_argument("the archive's contents do not match its table");
    }
}

PayloadArchive PayloadArchive::of(const std::wstring& installer) {
    return PayloadArchive(testing_support::decompress(payloadResource(installer)));
}

std::string_view PayloadArchive::contents(std::size_t entry) const {
    return std::string_view(bytes_).substr(offsets_.at(entry), entries_.at(entry).size);
}

std::size_t PayloadArchive::indexOf(payload::EntryKind kind) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].kind == kind) {
            return i;
        }
    }
    throw std::out_of_range("the payload has no entry of that kind");
}

void PayloadArchive::corruptContents(std::size_t entry) {
    if (entries_.at(entry).size == 0) {
        throw std::invalid_argument("an empty entry has no byte to change");
    }
    bytes_[offsets_[entry] + entries_[entry].size / 2] ^= '\xFF';
}

void PayloadArchive::replaceContents(std::size_t entry, const std::string& contents) {
    std::vector<std::string> allContents;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        allContents.emplace_back(i == entry ? std::string_view(contents) : this->contents(i));
    }
    *this = PayloadArchive(payload::writeArchive(entries_, allContents));
}

std::wstring installerVariant(const std::wstring& name, const std::string& compressedPayload) {
    const std::filesystem::path folder = pathFromEnvironment(L"KV_VARIANTS");
    std::filesystem::create_directories(folder);
    const std::wstring variant = (folder / name).wstring();
    if (!::CopyFileW(windowsPath(installerPath()).c_str(), variant.c_str(), FALSE)) {
        ADD_FAILURE() << "the installer could not be copied: error " << ::GetLastError();
        return variant;
    }
    bool updated = false;
    if (HANDLE update = ::BeginUpdateResourceW(variant.c_str(), FALSE)) {
        const bool replaced = ::UpdateResourceW(
            update, MAKEINTRESOURCEW(payloadType), MAKEINTRESOURCEW(payloadName),
            MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), const_cast<char*>(compressedPayload.data()),
            static_cast<DWORD>(compressedPayload.size()));
        // Ending without a replacement discards the update.
        updated = ::EndUpdateResourceW(update, !replaced) && replaced;
    }
    if (!updated) {
        ADD_FAILURE() << "the payload of " << testing::PrintToString(variant)
                      << " could not be replaced: error " << ::GetLastError();
    }
    // The resource as the installer will find it: the replacement, and only it.
    EXPECT_EQ(payloadResource(variant), compressedPayload)
        << "the variant does not carry the payload it was given";
    return variant;
}

} // namespace e2e
