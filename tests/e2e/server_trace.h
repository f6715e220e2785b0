#pragma once
// What a process asked the Wine server to store as the DACLs of files and
// folders, read from the server's request trace. Wine keeps no DACL on disk
// (it answers with one rebuilt from the Unix mode bits), so the trace is the
// only place where what a program wrote shows. The scenario's server runs as
// "wineserver -f -d1" with its standard error in the file KV_SERVER_TRACE
// (tests/e2e/CMakeLists.txt and scripts/lib/wine-session).

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace e2e {

// One access entry as the trace shows it.
struct TracedEntry {
    std::wstring type; // "ACCESS_ALLOWED", "ACCESS_DENIED", ...
    unsigned flags = 0;
    unsigned mask = 0;
    std::wstring sid; // "S-1-5-32-545"

    bool operator==(const TracedEntry&) const = default;
};
void PrintTo(const TracedEntry& entry, std::ostream* out);

// One set_security_object request of the process for a file or folder, with
// the DACL the process last read of that path before it (readBefore: there
// was such a read).
struct DaclWrite {
    std::wstring path; // as opened, "C:\..."
    bool readBefore = false;
    unsigned controlBefore = 0;
    std::vector<TracedEntry> before;
    unsigned control = 0;
    std::vector<TracedEntry> written;
};

// A file or folder that the process created with a security descriptor of
// its own (a create_file request that carries one).
struct CreatedWithDacl {
    std::wstring path; // as opened, "C:\..."
    unsigned control = 0;
    std::vector<TracedEntry> dacl;
};

// The trace file named by KV_SERVER_TRACE, as a Windows path; empty when the
// variable is not set.
std::wstring serverTracePath();

// Every DACL write of the process (by its id) in the trace, in order.
std::vector<DaclWrite> daclWrites(const std::wstring& traceFile, DWORD processId);

// Every creation of the process with a descriptor of its own, in order.
std::vector<CreatedWithDacl> creationsWithDacl(const std::wstring& traceFile, DWORD processId);

} // namespace e2e
