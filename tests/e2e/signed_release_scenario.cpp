// The installer of a signed release. scripts/test builds one with a
// throw-away certificate, runs this scenario with it (KV_INSTALLER) and
// verifies on the host, with osslsigncode, the signatures of the installer
// and of the programs this scenario keeps from its installation.
//
// The signature, a certificate table at the end of the file, changes nothing
// the installer reads: it installs, and the uninstaller it installed removes
// everything again; a copy with one byte of its payload changed in place is
// reported as damaged, as an unsigned installer's is.
#include "installation.h"
#include "uninstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace e2e;

// A copy of the installer in the scenario's folder with one byte of its
// payload changed in place, the byte that Rollback.CorruptBzip2Stream
// changes; everything else, the signature included, stays as it was.
std::wstring damagedCopy(const std::wstring& installer) {
    std::string file = fileContents(windowsPath(installer)).value_or(std::string());
    const std::string payload = payloadResource(installer);
    const std::size_t at = payload.empty() ? std::string::npos : file.find(payload);
    if (at == std::string::npos) {
        ADD_FAILURE() << "the payload resource is not in the installer's file";
        return {};
    }
    file[at + payload.size() / 2] ^= '\xFF';
    const std::filesystem::path copy =
        std::filesystem::path(pathFromEnvironment(L"KV_VARIANTS")) / L"InstallKelvane3.00g.exe";
    std::filesystem::create_directories(copy.parent_path());
    writeFile(copy, file);
    EXPECT_EQ(std::filesystem::file_size(copy), file.size());
    return copy.wstring();
}

// Keeps a copy of every program and DLL that the installation wrote, under
// its name in the scenario's folder KV_VARIANTS\installed, for the host to
// verify their signatures.
void keepInstalledPrograms(const std::vector<payload::ArchiveEntry>& files) {
    const std::filesystem::path folder =
        std::filesystem::path(pathFromEnvironment(L"KV_VARIANTS")) / L"installed";
    std::filesystem::create_directories(folder);
    std::size_t programs = 0;
    for (const payload::ArchiveEntry& file : files) {
        const std::filesystem::path path = file.destination;
        if (path.extension() != L".exe" && path.extension() != L".dll") {
            continue;
        }
        std::filesystem::copy_file(path, folder / path.filename(),
                                   std::filesystem::copy_options::overwrite_existing);
        ++programs;
    }
    EXPECT_GT(programs, 0u);
}

TEST(SignedRelease, InstallsAndItsUninstallerRemovesIt) {
    const std::wstring installer = installerPath();
    const MachineState before = snapshotMachine();
    {
        Installer run(damagedCopy(installer));
        HWND frame = waitForFrame(run);
        ASSERT_NE(frame, nullptr);
        toProgressPage(frame);
        install(frame);
        // As for an unsigned installer: the damage is found before any file
        // is written.
        expectFailedInstallation(frame, L"6", L"Preparing Installation...Failed");
        EXPECT_EQ(differences(before, snapshotMachine()), std::vector<std::wstring>{});
        exitConfirmed(run, frame);
    }

    const Destinations destinations = quickDestinations();
    const std::vector<payload::ArchiveEntry> files =
        installedFiles(PayloadArchive::of(installer), destinations);
    installQuickly();
    expectInstalledFiles(files, destinations);
    keepInstalledPrograms(files);
    uninstallConfirmed();
    EXPECT_EQ(changesButTheCopy(before, snapshotMachine()), std::vector<std::wstring>{});
}

} // namespace
