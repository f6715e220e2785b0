#include "installation.h"

#include "install/log_format.h"
#include "install/product.h"
#include "payload/crc32.h"
#include "payload/destination.h"
#include "payload/shared_folder_list.h"
#include "support/path_text.h"
#include "support/shell_folder_path.h"
#include "test_support.h"
#include "text_case.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <set>

namespace e2e {

namespace {

using testing_support::lowerCase;

const std::wstring productLabel = L"Kelvane 3.00g";

std::wstring parentOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L'\\');
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = fileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool onlyDashes(std::wstring_view text) {
    return !text.empty() && text.find_first_not_of(L'-') == std::wstring_view::npos;
}

// A heading of the log: the text between runs of dashes, an odd dash going
// after it. The number of dashes on the line, or -1 when it is no such
// heading.
int headingDashes(const std::wstring& line, const std::wstring& text) {
    const std::wstring framed = L" " + text + L" ";
    const std::size_t at = line.find(framed);
    if (at == std::wstring::npos) {
        return -1;
    }
    const std::wstring_view before = std::wstring_view(line).substr(0, at);
    const std::wstring_view after = std::wstring_view(line).substr(at + framed.size());
    if (!onlyDashes(before) || !onlyDashes(after) || after.size() < before.size() ||
        after.size() > before.size() + 1) {
        return -1;
    }
    return static_cast<int>(before.size() + after.size());
}

std::vector<std::wstring> splitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos;
         start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the last line has no line end";
    return lines;
}

std::wstring fourDigits(std::size_t number) {
    std::wstring text = std::to_wstring(number);
    return std::wstring(text.size() < 4 ? 4 - text.size() : 0, L'0') + text;
}

std::wstring uninstallLogPath(const Destinations& destinations) {
    return parentOf(destinations.uninstaller) + L"\\Uninstall.ulog";
}

// The log read by the product's own reader, as the uninstaller and the next
// setup run read it. complete: no line stopped the reading.
LogContents readLog(const std::string& bytes, bool& complete) {
    LogReader reader([](std::string_view) { return std::wstring(); });
    reader.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    reader.finish();
    complete = !reader.stopped();
    return std::move(reader.contents());
}

} // namespace

const std::string usersSettings = "[Kelvane]\r\nTheme=the user's own\r\n";

Destinations quickDestinations() {
    Destinations destinations;
    destinations.installFolder = shellFolder(CSIDL_PROGRAM_FILES) + L"\\Tarnwick\\Kelvane 3";
    destinations.shortcutFolder = shellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tarnwick\\Kelvane 3";
    destinations.desktop = shellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    destinations.sampleFolder = destinations.desktop + L"\\Kelvane Examples";
    destinations.mainProgram = destinations.installFolder + L"\\Kelvane.exe";
    destinations.uninstaller = destinations.installFolder + L"\\Uninstall.exe";
    return destinations;
}

std::vector<payload::ArchiveEntry> installedFiles(const PayloadArchive& archive,
                                                  const Destinations& destinations) {
    payload::SharedFolderList shared(
        [](const std::wstring& a, const std::wstring& b) { return lowerCase(a) == lowerCase(b); });
    payload::DestinationResolver resolver({destinations.installFolder, L"Kelvane Examples", {}},
                                          tw::shellFolderPathWithOwner, shared);
    std::vector<payload::ArchiveEntry> files = archive.entries();
    for (payload::ArchiveEntry& file : files) {
        file.destination =
            payload::joinPath(resolver.resolveFolder(file.destination), tw::fileName(file.source));
    }
    return files;
}

std::wstring quotedWhenBlank(const std::wstring& path) {
    return path.find(L' ') == std::wstring::npos ? path : L"\"" + path + L"\"";
}

void toProgressPage(HWND frame, bool pictures) {
    expectPage(frame, StartPage);
    if (pictures) {
        screenshot(frame, L"01-start");
    }
    click(frame, IDOK);
    expectPage(frame, ModePage);
    if (pictures) {
        screenshot(frame, L"02-mode");
    }
    click(frame, IDOK);
    expectPage(frame, ProgressPage);
    if (pictures) {
        screenshot(frame, L"03-options");
    }
}

void expectInstallationLog(const std::vector<std::wstring>& lines, const Destinations& destinations,
                           const std::vector<payload::ArchiveEntry>& files,
                           const std::wstring& registryEnd) {
    ASSERT_GE(lines.size(), 6u);
    // The dashes around the heading and of the separator depend on the
    // control's font; their form is checked here, and they stand in the
    // expected log as they are.
    const int headingRun = headingDashes(lines[1], L"Installation Options");
    EXPECT_GT(headingRun, 0) << "not a centred heading: " << testing::PrintToString(lines[1]);
    EXPECT_TRUE(onlyDashes(lines[5])) << "not a separator: " << testing::PrintToString(lines[5]);
    EXPECT_GT(lines[5].size(), static_cast<std::size_t>(std::max(headingRun, 0)))
        << "the separator must be a full line of dashes";

    std::vector<std::wstring> expected = {
        L"'" + productLabel + L"' Installation.",
        lines[1],
        L"Installation Folder: " + quotedWhenBlank(destinations.installFolder) + L".",
        L"Creating a Shortcut in the Start Menu (Folder " +
            quotedWhenBlank(destinations.shortcutFolder) + L").",
        L"Creating a Shortcut on the Desktop.",
        lines[5],
        L"Preparing Installation...OK",
    };
    for (const payload::ArchiveEntry& file : files) {
        expected.push_back(L"Copying File  " + quotedWhenBlank(file.destination) + L"...OK");
    }
    expected.push_back(L"Shortcuts Creation...OK");
    expected.push_back(L"Registry Data Writing..." + registryEnd);
    expected.push_back(L"Installation Data Writing...OK");
    EXPECT_EQ(lines, expected);
}

void expectFailedInstallation(HWND frame, const std::wstring& errorCode,
                              const std::wstring& lastLine) {
    EXPECT_EQ(shownPage(frame), ProgressPage);
    EXPECT_EQ(controlText(frame, IDC_STATUS),
              L"Installation failed (Error Code " + errorCode + L").");
    const std::vector<std::wstring> lines = logLines(frame);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), lastLine);
    EXPECT_TRUE(controlEnabled(frame, IDC_BACK));
    EXPECT_TRUE(controlEnabled(frame, IDOK));
    EXPECT_EQ(controlText(frame, IDOK), L"Install");
    EXPECT_TRUE(controlEnabled(frame, IDCANCEL));
    EXPECT_EQ(controlText(frame, IDCANCEL), L"Cancel");
}

void expectUninstallLog(const Destinations& destinations,
                        const std::vector<payload::ArchiveEntry>& files, const MachineState& before,
                        bool associationsDone) {
    const std::wstring path = uninstallLogPath(destinations);
    const DWORD attributes = fileAttributes(path);
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "no uninstall log";
    EXPECT_EQ(attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NOT_CONTENT_INDEXED),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    if (!testing_support::runningUnderWine()) {
        // Wine keeps no "not content indexed" attribute.
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    }

    const std::string bytes = fileContents(path).value_or(std::string());
    ASSERT_GE(bytes.size(), 2u);
    ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "no UTF-16LE byte-order mark";
    ASSERT_EQ(bytes.size() % 2, 0u);
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::copy(bytes.begin() + 2, bytes.end(), reinterpret_cast<char*>(text.data()));
    const std::vector<std::wstring> lines = splitLines(text);
    ASSERT_GE(lines.size(), 6u);
    const std::vector<std::wstring> header = {
        L"// Uninstall Log File v1",
        L"// ############ WARNING: Do not delete or modify this file. ############",
        L"// Install " + productLabel,
        L"// Install Path : " + destinations.installFolder,
        L"// Shortcut Path : " + destinations.shortcutFolder,
        L"// " + std::wstring(16 + destinations.shortcutFolder.size(), L'-'),
    };
    EXPECT_EQ(std::vector<std::wstring>(lines.begin(), lines.begin() + 6), header);

    bool complete = false;
    const LogContents contents = readLog(bytes, complete);
    EXPECT_TRUE(complete) << "the reader stopped at a malformed line";
    EXPECT_EQ(contents.installPath, destinations.installFolder);
    EXPECT_EQ(contents.shortcutPath, destinations.shortcutFolder);
    EXPECT_EQ(contents.previousLabel, productLabel);
    ASSERT_EQ(contents.entries.size(), lines.size() - 6);

    std::set<std::wstring> existedBefore;
    for (const auto& [item, description] : before) {
        existedBefore.insert(lowerCase(item));
    }
    std::set<std::wstring> createdFolders; // lower-case paths
    std::vector<LogKind> changes;          // kinds other than folders, in order
    std::vector<std::pair<std::wstring, std::int32_t>> writtenFiles;
    std::size_t index = 0;
    for (const LogEntry& entry : contents.entries) {
        const std::wstring& line = lines[6 + index];
        SCOPED_TRACE(testing::PrintToString(line));
        EXPECT_EQ(line.substr(0, 5), fourDigits(index) + L":");
        const bool done = associationsDone || entry.kind != LogKind::FileAssociations;
        EXPECT_EQ(entry.done, done);
        // Every folder the installation created comes before what it holds.
        if (!entry.path.empty()) {
            for (std::wstring folder = parentOf(entry.path); folder.size() > 3;
                 folder = parentOf(folder)) {
                if (existedBefore.contains(lowerCase(folder))) {
                    continue;
                }
                EXPECT_TRUE(createdFolders.contains(lowerCase(folder)))
                    << testing::PrintToString(folder) << " was created but not logged before";
            }
        }
        switch (entry.kind) {
        case LogKind::Folder:
            EXPECT_FALSE(existedBefore.contains(lowerCase(entry.path)))
                << "a folder that existed before is logged as created";
            EXPECT_TRUE(isFolder(entry.path)) << "a logged folder is gone";
            createdFolders.insert(lowerCase(entry.path));
            break;
        case LogKind::File:
            writtenFiles.emplace_back(entry.path, entry.value);
            changes.push_back(entry.kind);
            break;
        case LogKind::UninstallKey:
            EXPECT_TRUE(line.ends_with(L" -- HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                                       L"CurrentVersion\\Uninstall\\Kelvane 3"));
            changes.push_back(entry.kind);
            break;
        case LogKind::FileAssociations:
            EXPECT_TRUE(line.ends_with(L" -- HKEY_CLASSES_ROOT\\..."));
            changes.push_back(entry.kind);
            break;
        default:
            changes.push_back(entry.kind);
            break;
        }
        ++index;
    }

    std::vector<std::pair<std::wstring, std::int32_t>> payloadFiles;
    for (const payload::ArchiveEntry& file : files) {
        payloadFiles.emplace_back(file.destination, static_cast<std::int32_t>(file.kind));
    }
    EXPECT_EQ(writtenFiles, payloadFiles);
    std::vector<LogKind> expectedChanges(files.size(), LogKind::File);
    expectedChanges.insert(expectedChanges.end(),
                           {LogKind::ProgramShortcut, LogKind::UninstallShortcut,
                            LogKind::DesktopShortcut, LogKind::UninstallKey,
                            LogKind::FileAssociations});
    EXPECT_EQ(changes, expectedChanges);
    const auto shortcutAt = [&](LogKind kind) {
        for (const LogEntry& entry : contents.entries) {
            if (entry.kind == kind) {
                return entry.path;
            }
        }
        return std::wstring();
    };
    EXPECT_EQ(shortcutAt(LogKind::ProgramShortcut),
              destinations.shortcutFolder + L"\\" + productLabel + L".lnk");
    EXPECT_EQ(shortcutAt(LogKind::UninstallShortcut),
              destinations.shortcutFolder + L"\\Uninstall Kelvane.lnk");
    EXPECT_EQ(shortcutAt(LogKind::DesktopShortcut),
              destinations.desktop + L"\\" + productLabel + L".lnk");
}

void expectInstalledFiles(const std::vector<payload::ArchiveEntry>& files,
                          const Destinations& destinations) {
    const std::wstring commonData = shellFolder(CSIDL_COMMON_APPDATA) + L"\\Tarnwick\\Kelvane";
    const std::wstring userData = shellFolder(CSIDL_APPDATA) + L"\\Tarnwick\\Kelvane";
    std::set<std::wstring> dataFolders;
    for (const payload::ArchiveEntry& file : files) {
        SCOPED_TRACE(testing::PrintToString(file.destination));
        const std::wstring folder = parentOf(file.destination);
        switch (file.kind) {
        case payload::Sample:
            EXPECT_EQ(folder, destinations.sampleFolder);
            break;
        case payload::DataFile:
            EXPECT_TRUE(folder == commonData || folder == userData);
            dataFolders.insert(folder);
            break;
        case payload::LanguageModule:
            EXPECT_EQ(folder, destinations.installFolder + L"\\Lang");
            break;
        default:
            EXPECT_EQ(folder, destinations.installFolder);
            break;
        }
        const std::optional<std::string> contents = fileContents(file.destination);
        if (!contents) {
            ADD_FAILURE() << "the file is missing";
            continue;
        }
        EXPECT_EQ(contents->size(), file.size);
        EXPECT_EQ(payload::crc32(contents->data(), contents->size()), file.crc);
        const bool program = file.kind == payload::MainProgram || file.kind == payload::Uninstaller;
        EXPECT_EQ((fileAttributes(file.destination) & FILE_ATTRIBUTE_READONLY) != 0, program);
    }
    EXPECT_EQ(dataFolders, (std::set<std::wstring>{commonData, userData}));
}

void expectShortcuts(const Destinations& destinations) {
    const std::pair<std::wstring, std::wstring> shortcuts[] = {
        {destinations.shortcutFolder + L"\\" + productLabel + L".lnk", destinations.mainProgram},
        {destinations.shortcutFolder + L"\\Uninstall Kelvane.lnk", destinations.uninstaller},
        {destinations.desktop + L"\\" + productLabel + L".lnk", destinations.mainProgram},
    };
    for (const auto& [link, target] : shortcuts) {
        SCOPED_TRACE(testing::PrintToString(link));
        const std::optional<ShellLink> shortcut = loadShortcut(link);
        ASSERT_TRUE(shortcut.has_value()) << "no shortcut";
        EXPECT_EQ(lowerCase(shortcut->target), lowerCase(target));
        EXPECT_EQ(lowerCase(shortcut->workingFolder), lowerCase(destinations.installFolder));
    }
}

void expectRegistration(const Destinations& destinations) {
    const std::wstring& key = productUninstallKey;
    const std::pair<std::wstring, RegistryValue> values[] = {
        {L"DisplayName", stringValue(productLabel)},
        {L"UninstallString", stringValue(destinations.uninstaller)},
        {L"DisplayIcon", stringValue(destinations.mainProgram + L",0")},
        {L"DisplayVersion", stringValue(L"3.0.7.1")},
        {L"Publisher", stringValue(L"Tarnwick")},
        {L"URLInfoAbout", stringValue(product::webAddress)},
        {L"HelpLink", stringValue(product::webAddress)},
        {L"URLUpdateInfo", stringValue(product::webAddress)},
        {L"HelpTelephone", stringValue(product::telephone)},
        {L"NoModify", dwordValue(1)},
        {L"NoRepair", dwordValue(1)},
        {L"TwLanguage", dwordValue(1)},
    };
    for (const auto& [name, value] : values) {
        EXPECT_EQ(registryValue(HKEY_LOCAL_MACHINE, key, name), value)
            << testing::PrintToString(name);
    }
    EXPECT_EQ(registryValueNames(HKEY_LOCAL_MACHINE, key).size(), std::size(values));
    EXPECT_EQ(registryValue(HKEY_LOCAL_MACHINE, L"Software\\Tarnwick", L"Kelvane 3 Path"),
              stringValue(destinations.mainProgram));
}

void expectFileAssociations(const Destinations& destinations) {
    const std::wstring program = L"\"" + destinations.mainProgram + L"\"";
    EXPECT_EQ(registryValue(HKEY_CLASSES_ROOT, L".kvd", L""), stringValue(L"Kelvane.Document.3"));
    EXPECT_EQ(registryValue(HKEY_CLASSES_ROOT, L"Kelvane.Document.3\\shell\\open\\command", L""),
              stringValue(program + L" \"%1\""));
    EXPECT_TRUE(registryValue(HKEY_CLASSES_ROOT, L"Kelvane.Document.3\\DefaultIcon", L"")
                    .value_or(RegistryValue{})
                    .type == REG_SZ);
}

UninstallLogFile readUninstallLog(const Destinations& destinations) {
    UninstallLogFile log;
    const std::string bytes = fileContents(uninstallLogPath(destinations)).value_or(std::string());
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes.substr(0, 2) != "\xFF\xFE") {
        ADD_FAILURE() << "no UTF-16LE uninstall log";
        return log;
    }
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::copy(bytes.begin() + 2, bytes.end(), reinterpret_cast<char*>(text.data()));
    log.lines = splitLines(text);
    log.contents = readLog(bytes, log.complete);
    return log;
}

std::vector<std::wstring> unrecordedChanges(const MachineState& before, const MachineState& after,
                                            const Destinations& destinations) {
    bool complete = false;
    const LogContents contents =
        readLog(fileContents(uninstallLogPath(destinations)).value_or(std::string()), complete);
    std::set<std::wstring> recorded = {lowerCase(uninstallLogPath(destinations))};
    for (const LogEntry& entry : contents.entries) {
        recorded.insert(lowerCase(entry.path));
    }
    std::vector<std::wstring> unrecorded;
    for (const std::wstring& change : differences(before, after)) {
        const bool fileAdded = change.starts_with(L"+ C:\\");
        const bool registryAdded = change.starts_with(L"+ HK");
        if (registryAdded) {
            continue; // the registry values are compared one by one
        }
        if (fileAdded && recorded.contains(lowerCase(change.substr(2, change.find(L": ") - 2)))) {
            continue;
        }
        unrecorded.push_back(change);
    }
    return unrecorded;
}

void leaveInstalled(Installer& installer, HWND frame) {
    EXPECT_EQ(controlText(frame, IDC_STATUS), L"Click on 'Next' to continue.");
    click(frame, IDOK);
    expectPage(frame, EndPage);
    EXPECT_EQ(controlText(frame, IDC_END_RESULT), L"Installation is complete.");
    click(frame, IDCANCEL);
    EXPECT_EQ(installer.waitForExit(), std::optional<DWORD>(0));
}

void installQuickly() {
    Installer installer;
    HWND frame = waitForFrame(installer);
    ASSERT_NE(frame, nullptr);
    toProgressPage(frame);
    install(frame);
    leaveInstalled(installer, frame);
}

void setInstalledVersion(const Destinations& destinations, std::uint64_t version,
                         const std::wstring& productVersion) {
    const std::wstring& program = destinations.mainProgram;
    ASSERT_TRUE(::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL));
    testing_support::setProgramVersion(program, version, productVersion);
    ASSERT_TRUE(::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_READONLY));
}

} // namespace e2e
