#pragma once
// What the extractor needs from the machine it installs on: the shell folders
// and path equality of the destination tokens, and the file work of every
// entry. The product gives it the Windows implementation (windows_target.h);
// the native tests and the benchmark give it native_target.h.

#include "payload/shared_folder_list.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace payload {

// A file being written.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Writes all the bytes; raises a stream failure when they cannot be written.
    virtual void write(const char* bytes, std::size_t size) = 0;
    // Closes the file; raises a stream failure when that fails.
    virtual void close() = 0;
};

class ExtractionTarget {
public:
    virtual ~ExtractionTarget() = default;

    // The path of a shell folder by CSIDL; empty when the system names none.
    virtual std::wstring shellFolder(int csidl) = 0;

    // Whether two paths name the same folder.
    virtual bool samePath(const std::wstring& a, const std::wstring& b) = 0;

    // Makes a file's path ready to be written: an existing file loses its
    // read-only attribute (a symbolic link's target does), else the missing
    // folders above it are created level by level. Raises a file-system error.
    virtual void prepareOutput(const std::wstring& path) = 0;

    // Grants the pending access rights of the shared-folder list, for a file
    // about to be created in that folder.
    virtual void grantSharedFolders(SharedFolderList& folders, const std::wstring& folder) = 0;

    // Creates or truncates the file for writing, letting other processes read
    // it but not write it. Raises a stream failure when it cannot be opened.
    virtual std::unique_ptr<OutputFile> createOutput(const std::wstring& path) = 0;

    // The CRC-32 of the file as it is on disk, read in blocks of 4096 bytes
    // with the same sharing; none when the system refuses to open it because
    // another process holds it (a sharing violation). Other failures raise.
    virtual std::optional<std::uint32_t> readBackCrc(const std::wstring& path) = 0;

    // The pause before a file is read back again after a sharing violation.
    virtual void waitBeforeRetry() = 0;
};

} // namespace payload
