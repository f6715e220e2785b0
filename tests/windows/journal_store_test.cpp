#include "install/journal_executor.h"
#include "install/journal_store.h"

#include "support/security_api.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using testing_support::ScratchFolder;

class JournalStore : public testing::Test {
protected:
    ScratchFolder scratch{L"journal-store"};
    const std::wstring folder = scratch / L"Kelvane 3 Setup";
};

TEST_F(JournalStore, AFolderItMadeIsTrustedAndKeepsTheJournalWhole) {
    journal::prepareFolder(folder);
    EXPECT_TRUE(journal::isTrustedFolder(folder));
    journal::prepareFolder(folder); // an existing trusted folder is taken as it is

    JournalImage image;
    image.installFolder = L"C:\\Program Files\\Tarnwick\\Kelvane 3";
    image.entries.push_back({LogKind::Folder, image.installFolder, {}, true, -1});
    journal::storeJournal(folder, image);
    image.entries.push_back({LogKind::UninstallKey, {}, {}, false, -1});
    journal::storeJournal(folder, image);
    const journal::StoredJournal stored = journal::loadJournal(folder);
    EXPECT_EQ(stored.state, journal::StoredJournal::State::Read);
    EXPECT_EQ(stored.image, image);
    EXPECT_FALSE(journal::isFile(journal::newFileOf(journal::filePath(folder))));

    const std::wstring backup = journal::reserveBackupName(folder);
    std::ofstream(std::filesystem::path(backup)) << "a backup";
    journal::removeJournal(folder);
    EXPECT_FALSE(journal::isFolder(folder)) << "the journal, its backups and the folder go";
}

TEST_F(JournalStore, AJournalCutShortIsUnreadable) {
    journal::prepareFolder(folder);
    JournalImage image;
    image.installFolder = L"C:\\Kelvane";
    journal::storeJournal(folder, image);
    const std::wstring path = journal::filePath(folder);
    const auto size = std::filesystem::file_size(std::filesystem::path(path));
    std::filesystem::resize_file(std::filesystem::path(path), size - 3);
    EXPECT_EQ(journal::loadJournal(folder).state, journal::StoredJournal::State::Unreadable);
    EXPECT_TRUE(journal::isFile(path)) << "left for an administrator to look at";
}

TEST_F(JournalStore, NoFolderIsNoJournal) {
    EXPECT_EQ(journal::loadJournal(folder).state, journal::StoredJournal::State::None);
    EXPECT_FALSE(journal::isTrustedFolder(folder));
}

// A writer that fails after some bytes, as a full disk does.
TEST_F(JournalStore, ALogThatCannotBeWrittenWholeLeavesTheEarlierOne) {
    const std::wstring log = scratch / L"Uninstall.ulog";
    std::ofstream(std::filesystem::path(log), std::ios::binary) << "the earlier log";
    int pieces = 0;
    const auto failing = [&](HANDLE file, const std::uint8_t* data, DWORD size) {
        return ++pieces == 1 && journal::writePiece(file, data, size / 2);
    };
    const std::vector<std::uint8_t> bytes(3u << 20, 0x41);
    EXPECT_FALSE(journal::writeNewFile(log, bytes, journal::logFileAttributes, failing));
    EXPECT_FALSE(journal::isFile(journal::newFileOf(log)));
    std::ifstream earlier(std::filesystem::path(log), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(earlier), {}), "the earlier log");
}

} // namespace
