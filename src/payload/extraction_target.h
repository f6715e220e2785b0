#pragma once
// What the extractor needs from the machine it installs on. The product gives
// it the Windows implementation; the native tests and the benchmark give it
// their own.

#include "payload/archive_entry.h"

#include <cstddef>
#include <string>

namespace payload {

class ExtractionTarget {
public:
    virtual ~ExtractionTarget() = default;

    // The path of a shell folder by CSIDL; empty when the system names none.
    virtual std::wstring shellFolder(int csidl) = 0;

    // Whether two paths name the same folder.
    virtual bool samePath(const std::wstring& a, const std::wstring& b) = 0;

    // An entry's contents: begin when the entry is reached, then its bytes in
    // order, then end when all of them have arrived.
    virtual void beginEntry(const ArchiveEntry& entry) = 0;
    virtual void writeEntry(const ArchiveEntry& entry, const char* bytes, std::size_t size) = 0;
    virtual void endEntry(const ArchiveEntry& entry) = 0;
};

} // namespace payload
