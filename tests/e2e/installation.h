#pragma once
// A quick installation of the product as the scenarios expect it: where it
// goes, the wizard's way to it, and the checks of what it shows and leaves.

#include "machine.h"
#include "payload_variant.h"
#include "wizard.h"

#include "install/log_format.h"
#include "payload/archive_entry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Where a quick installation goes on this machine.
struct Destinations {
    std::wstring installFolder;  // Program Files\Tarnwick\Kelvane 3
    std::wstring shortcutFolder; // the all users' start-menu programs\Tarnwick\Kelvane 3
    std::wstring desktop;        // the all users' desktop
    std::wstring sampleFolder;   // "Kelvane Examples" on the all users' desktop
    std::wstring mainProgram;    // Kelvane.exe in the installation folder
    std::wstring uninstaller;    // Uninstall.exe in the installation folder
};

Destinations quickDestinations();

// The payload's entries with the full paths of their files on this machine,
// resolved by the product's destination resolver with the real shell folders.
std::vector<payload::ArchiveEntry> installedFiles(const PayloadArchive& archive,
                                                  const Destinations& destinations);

// A path as the progress log and the command line show it: in double quotes
// when it contains a blank.
std::wstring quotedWhenBlank(const std::wstring& path);

// From the Start page of a fresh installer to the progress page in quick
// mode (Next, Next), with a picture of each page when pictures is set.
void toProgressPage(HWND frame, bool pictures = false);

// The log of a fresh quick installation (both shortcuts chosen), line by
// line: the product, the options under their heading, the separator, the
// preparation, one "Copying File" line per file in payload order, then the
// shortcut, registry (ending in registryEnd) and installation-data lines.
void expectInstallationLog(const std::vector<std::wstring>& lines, const Destinations& destinations,
                           const std::vector<payload::ArchiveEntry>& files,
                           const std::wstring& registryEnd = L"OK");

// The progress page after a failed installation: the status shows the error
// code, the log ends with lastLine, the user may go back, install again or
// leave.
void expectFailedInstallation(HWND frame, const std::wstring& errorCode,
                              const std::wstring& lastLine);

// Checks "Uninstall.ulog" beside the uninstaller: its attributes, its header,
// and one done entry per change of this installation in the order made
// (folders before what they hold). before is the machine before the
// installation, which tells the folders the installation created.
// associationsDone: the main program reported that it registered the file
// associations.
void expectUninstallLog(const Destinations& destinations,
                        const std::vector<payload::ArchiveEntry>& files, const MachineState& before,
                        bool associationsDone = true);

// "Uninstall.ulog" beside the uninstaller as the product's reader takes it:
// its lines without line ends, and its contents; complete when no line
// stopped the reading.
struct UninstallLogFile {
    std::vector<std::wstring> lines;
    LogContents contents;
    bool complete = false;
};
UninstallLogFile readUninstallLog(const Destinations& destinations);

// What the installation changed besides what its uninstall log records:
// files and folders it added that the log does not name (the log itself
// aside), and anything it removed or changed. Added registry keys and values
// are left to the checks of the registration.
std::vector<std::wstring> unrecordedChanges(const MachineState& before, const MachineState& after,
                                            const Destinations& destinations);

// Every payload file at its destination with its size and CRC-32: the
// samples in "Kelvane Examples" on the all users' desktop, the data files
// under the all users' and the user's application data, the programs in the
// installation folder; only the main program and the uninstaller read-only.
void expectInstalledFiles(const std::vector<payload::ArchiveEntry>& files,
                          const Destinations& destinations);

// The two start-menu shortcuts and the desktop shortcut, each pointing to
// its program and working in the installation folder.
void expectShortcuts(const Destinations& destinations);

// The product's uninstall key with its twelve values (English: TwLanguage 1)
// and the product path value under the maker's key.
void expectRegistration(const Destinations& destinations);

// The document extension and its ProgID as the installed main program
// registers them, opening documents with itself.
void expectFileAssociations(const Destinations& destinations);

// From the progress page after a successful installation to the End page and
// out: the status invites to continue, the End page says it is complete.
void leaveInstalled(Installer& installer, HWND frame);

// A quick installation by the installer under test, from its start to the
// End page and out.
void installQuickly();

// What the user of an earlier installation wrote into a data file: a text
// that no payload file holds.
extern const std::string usersSettings;

// Gives the installed main program another version (its version resource),
// as an installation of another release would have left it.
void setInstalledVersion(const Destinations& destinations, std::uint64_t version,
                         const std::wstring& productVersion);

} // namespace e2e
