#pragma once
// An extraction target that keeps only the size and the CRC-32 of what each
// file received, for tests that extract whole payloads without writing them.

#include "payload/extraction_target.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace testing_support {

struct DigestTarget : payload::ExtractionTarget {
    struct Digest {
        std::uint64_t size = 0;
        std::uint32_t crc = 0;
    };
    std::map<std::wstring, Digest> files;

    // "C:\Shell" followed by the CSIDL in decimal.
    std::wstring shellFolder(int csidl) override;
    // Exactly the same characters.
    bool samePath(const std::wstring& a, const std::wstring& b) override;
    void prepareOutput(const std::wstring& path) override;
    void grantSharedFolders(payload::SharedFolderList& folders,
                            const std::wstring& folder) override;
    // Starts the file's digest afresh.
    std::unique_ptr<payload::OutputFile> createOutput(const std::wstring& path) override;
    // The CRC-32 of what the file received.
    std::optional<std::uint32_t> readBackCrc(const std::wstring& path) override;
    void waitBeforeRetry() override;
};

} // namespace testing_support
