#pragma once
// The payload of an installer as the scenarios read and change it: the
// compressed resource (type 260, name 134), the archive inside it with its
// entries, and copies of the installer that carry another payload.

#include "payload/archive_entry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// The payload resource of an installer as it is stored (compressed), read
// with the installer loaded as a data file. Fails the test when it has none.
std::string payloadResource(const std::wstring& installer);

// A decompressed payload archive: its bytes, its entries as the table gives
// them (destinations in token form) and where each entry's contents lie.
class PayloadArchive {
public:
    explicit PayloadArchive(std::string bytes);

    // The archive of an installer's payload.
    static PayloadArchive of(const std::wstring& installer);

    const std::string& bytes() const noexcept { return bytes_; }
    const std::vector<payload::ArchiveEntry>& entries() const noexcept { return entries_; }
    std::string_view contents(std::size_t entry) const;

    // The position of the first entry of that kind.
    std::size_t indexOf(payload::EntryKind kind) const;

    // Changes one byte in the middle of the entry's contents and leaves the
    // CRC-32 in the table as it was.
    void corruptContents(std::size_t entry);

    // Gives the entry other contents, with their size and CRC-32 in the table.
    void replaceContents(std::size_t entry, const std::string& contents);

private:
    std::string bytes_;
    std::vector<payload::ArchiveEntry> entries_;
    std::vector<std::uint64_t> offsets_; // where each entry's contents begin
};

// Writes a copy of the installer under test whose payload resource holds the
// compressed bytes, replaced with UpdateResourceW, and returns its path. The
// copy is named name and lies in the scenario's folder of the build tree
// (KV_VARIANTS), outside the machine the installer changes.
std::wstring installerVariant(const std::wstring& name, const std::string& compressedPayload);

// The file name the build gave a path: forward slashes become backslashes.
std::wstring windowsPath(std::wstring path);

// The value of an environment variable that names a file or folder; fails the
// test when it is not set.
std::wstring pathFromEnvironment(const wchar_t* name);

} // namespace e2e
