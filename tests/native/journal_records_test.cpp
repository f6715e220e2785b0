#include "install/journal_records.h"

#include "install/log_format.h"
#include "install/path_rules.h"
#include "text_case.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

LogEntry Entry(LogKind kind, std::wstring path, bool done = true, std::int32_t value = -1,
               std::wstring backup = {}) {
    return {kind, std::move(path), std::move(backup), done, value};
}

std::vector<std::wstring> Paths(const LogEntries& entries) {
    std::vector<std::wstring> paths;
    for (const auto& entry : entries) {
        paths.push_back(entry.path);
    }
    return paths;
}

// Exact equality, as the file system answers for paths that name nothing.
bool SameText(const std::wstring& a, const std::wstring& b) {
    return a == b;
}

// Element comparison ignoring case, as for absolute paths of missing files.
bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return sameElements(a, b, testing_support::sameIgnoringCase);
}

class JournalRecordsTest : public testing::Test {
protected:
    JournalRecords journal;
};

TEST_F(JournalRecordsTest, CompleteLastActsOnlyWhenPending) {
    journal.newEntries.push_back(Entry(LogKind::File, L"C:\\a", false, 1));
    journal.CompleteLast(true);
    EXPECT_FALSE(journal.newEntries.back().done);

    journal.pending = true;
    journal.CompleteLast(true, L"C:\\ignored for files");
    EXPECT_FALSE(journal.pending);
    EXPECT_EQ(journal.newEntries.back(), Entry(LogKind::File, L"C:\\a", true, 1));

    journal.CompleteLast(false);
    EXPECT_TRUE(journal.newEntries.back().done) << "a second completion changes nothing";
}

TEST_F(JournalRecordsTest, CreatedShortcutGetsItsPath) {
    journal.newEntries.push_back(Entry(LogKind::DesktopShortcut, L"", false));
    journal.pending = true;
    journal.CompleteLast(true, L"C:\\Desktop\\K.lnk");
    EXPECT_EQ(journal.newEntries.back().path, L"C:\\Desktop\\K.lnk");

    journal.newEntries.push_back(Entry(LogKind::ProgramShortcut, L"", false));
    journal.pending = true;
    journal.CompleteLast(false, L"C:\\Menu\\K.lnk");
    EXPECT_EQ(journal.newEntries.back(), Entry(LogKind::ProgramShortcut, L"", false));
}

TEST_F(JournalRecordsTest, CompleteLastWithNoEntryIsHarmless) {
    journal.pending = true;
    journal.CompleteLast(true);
    EXPECT_FALSE(journal.pending);
    EXPECT_TRUE(journal.newEntries.empty());
}

TEST_F(JournalRecordsTest, WasInstalledBeforeNeedsACompletedFileOfExactlyThatPath) {
    journal.oldEntries = {Entry(LogKind::File, L"C:\\Data\\a.dat", true, 3),
                          Entry(LogKind::File, L"C:\\Data\\b.dat", false, 3),
                          Entry(LogKind::Folder, L"C:\\Data\\c.dat")};
    EXPECT_TRUE(journal.WasInstalledBefore(L"C:\\Data\\a.dat"));
    EXPECT_FALSE(journal.WasInstalledBefore(L"c:\\data\\A.DAT"));
    EXPECT_FALSE(journal.WasInstalledBefore(L"C:\\Data\\a.dat "));
    EXPECT_FALSE(journal.WasInstalledBefore(L"C:\\Data\\b.dat"));
    EXPECT_FALSE(journal.WasInstalledBefore(L"C:\\Data\\c.dat"));
    journal.newEntries = {Entry(LogKind::File, L"C:\\Data\\d.dat", true, 3)};
    EXPECT_FALSE(journal.WasInstalledBefore(L"C:\\Data\\d.dat")) << "only the earlier log counts";
}

TEST_F(JournalRecordsTest, MergeKeepsUntouchedEarlierEntriesBeforeAllNewOnes) {
    journal.oldEntries = {Entry(LogKind::Folder, L"C:\\K"),
                          Entry(LogKind::File, L"C:\\K\\old.dll", true, 0),
                          Entry(LogKind::File, L"C:\\K\\K.exe", true, 1),
                          Entry(LogKind::File, L"C:\\K\\gone.txt", true, 4)};
    journal.newEntries = {Entry(LogKind::File, L"C:\\K\\new.dll", true, 0),
                          Entry(LogKind::File, L"C:\\K\\K.exe", true, 1)};
    journal.mergeOldIntoNew(SameText);
    EXPECT_TRUE(journal.oldEntries.empty());
    EXPECT_EQ(Paths(journal.newEntries),
              (std::vector<std::wstring>{L"C:\\K", L"C:\\K\\old.dll", L"C:\\K\\gone.txt",
                                         L"C:\\K\\new.dll", L"C:\\K\\K.exe"}));
}

TEST_F(JournalRecordsTest, MergeWritesARewrittenFileOnceAtItsNewIndex) {
    journal.oldEntries = {Entry(LogKind::File, L"C:\\K\\a.dll", true, 0),
                          Entry(LogKind::File, L"C:\\K\\K.exe", true, 1)};
    journal.newEntries = {Entry(LogKind::File, L"C:\\K\\K.exe", true, 1),
                          Entry(LogKind::File, L"C:\\K\\b.dll", true, 0)};
    journal.mergeOldIntoNew(SameText);
    std::vector<std::wstring> lines;
    std::size_t index = 0;
    for (const auto& entry : journal.newEntries) {
        lines.push_back(logEntryLine(index++, entry));
    }
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"0000:0100:1 -- C:\\K\\a.dll",
                                                L"0001:0101:1 -- C:\\K\\K.exe",
                                                L"0002:0100:1 -- C:\\K\\b.dll"}));
}

TEST_F(JournalRecordsTest, MergeDropsAnEarlierShortcutWheneverANewOneOfItsKindExists) {
    journal.oldEntries = {Entry(LogKind::DesktopShortcut, L"C:\\Old Desktop\\K.lnk"),
                          Entry(LogKind::ProgramShortcut, L"C:\\Menu\\K.lnk"),
                          Entry(LogKind::UninstallShortcut, L"C:\\Menu\\Uninstall.lnk"),
                          Entry(LogKind::UninstallKey, L""), Entry(LogKind::FileAssociations, L"")};
    journal.newEntries = {Entry(LogKind::DesktopShortcut, L"", false),
                          Entry(LogKind::UninstallKey, L""),
                          Entry(LogKind::FileAssociations, L"", false)};
    journal.mergeOldIntoNew(SameText);
    std::vector<LogKind> kinds;
    for (const auto& entry : journal.newEntries) {
        kinds.push_back(entry.kind);
    }
    EXPECT_EQ(kinds, (std::vector<LogKind>{LogKind::ProgramShortcut, LogKind::UninstallShortcut,
                                           LogKind::DesktopShortcut, LogKind::UninstallKey,
                                           LogKind::FileAssociations}));
}

TEST_F(JournalRecordsTest, MergeComparesFoldersAndFilesByThePathEquality) {
    journal.oldEntries = {Entry(LogKind::Folder, L"C:\\Program Files\\TARNWICK"),
                          Entry(LogKind::File, L"C:/program files/tarnwick/k.exe", true, 1),
                          Entry(LogKind::Folder, L"C:\\Program Files\\Other")};
    journal.newEntries = {Entry(LogKind::Folder, L"C:\\Program Files\\Tarnwick"),
                          Entry(LogKind::File, L"C:\\Program Files\\Tarnwick\\K.exe", true, 1),
                          // A file of the same path as an earlier folder does not supersede it.
                          Entry(LogKind::File, L"C:\\Program Files\\Other", true, 3)};
    journal.mergeOldIntoNew(SameIgnoringCase);
    EXPECT_EQ(Paths(journal.newEntries),
              (std::vector<std::wstring>{
                  L"C:\\Program Files\\Other", L"C:\\Program Files\\Tarnwick",
                  L"C:\\Program Files\\Tarnwick\\K.exe", L"C:\\Program Files\\Other"}));
    EXPECT_EQ(journal.newEntries.front().kind, LogKind::Folder);
}

TEST_F(JournalRecordsTest, MergeCollapsesRepeatedEarlierEntries) {
    // Survivors join the new list, so a repeated earlier entry is superseded
    // by its later twin.
    journal.oldEntries = {Entry(LogKind::File, L"C:\\K\\a", true, 0),
                          Entry(LogKind::File, L"C:\\K\\b", true, 0),
                          Entry(LogKind::File, L"C:\\K\\a", false, 0)};
    journal.mergeOldIntoNew(SameText);
    ASSERT_EQ(journal.newEntries.size(), 2u);
    EXPECT_EQ(journal.newEntries.front(), Entry(LogKind::File, L"C:\\K\\b", true, 0));
    EXPECT_EQ(journal.newEntries.back(), Entry(LogKind::File, L"C:\\K\\a", false, 0));
}

TEST_F(JournalRecordsTest, MergeMovesEntriesWithoutCopying) {
    journal.oldEntries = {Entry(LogKind::Folder, L"C:\\K")};
    const LogEntry* before = &journal.oldEntries.front();
    journal.mergeOldIntoNew(SameText);
    EXPECT_EQ(&journal.newEntries.front(), before);
}

TEST_F(JournalRecordsTest, RollbackPlanUndoesNewestFirst) {
    journal.oldEntries = {Entry(LogKind::File, L"C:\\K\\untouched", true, 0)};
    journal.newEntries = {
        Entry(LogKind::Folder, L"C:\\K"),
        Entry(LogKind::File, L"C:\\K\\a.dll", true, 0),
        Entry(LogKind::File, L"C:\\K\\K.exe", false, 1, L"C:\\T\\tw1.tmp"),
        Entry(LogKind::UninstallKey, L"", true, -1, L"C:\\T\\tw2.tmp"),
        Entry(LogKind::FileAssociations, L"", false),
        Entry(LogKind::UninstallKey, L"", false),
    };
    // A data file that was there: only copied aside, never written.
    LogEntry copied = Entry(LogKind::File, L"C:\\D\\user.dat", true, 3, L"C:\\T\\tw3.tmp");
    copied.backupCopied = true;
    journal.newEntries.insert(std::next(journal.newEntries.begin()), copied);
    journal.savedValues = {{L"HKEY_CLASSES_ROOT\\.kvd", L""}, {L"HKEY_USERS\\S-1\\K", L"U"}};
    journal.savedAccess = {{L"C:\\D", {1}}, {L"C:\\D\\user.dat", {2}}};
    using A = UndoStep::Action;
    const auto restoreValue = [](const SavedValue& value) {
        UndoStep step{A::RestoreValue, L"", L"", L""};
        step.value = value;
        return step;
    };
    const auto restoreAccess = [](const SavedAccess& access) {
        UndoStep step{A::RestoreAccess, access.path, L"", L""};
        step.descriptor = access.descriptor;
        return step;
    };
    const std::vector<UndoStep> expected = {
        restoreValue(journal.savedValues[1]),
        restoreValue(journal.savedValues[0]),
        restoreAccess(journal.savedAccess[1]),
        restoreAccess(journal.savedAccess[0]),
        {A::DeleteKey, L"", L"", L""},
        {A::RestoreKey, L"", L"C:\\T\\tw2.tmp", L""},
        {A::RemoveFile, L"C:\\K\\K.exe", L"C:\\T\\tw1.tmp", L"C:\\K\\K.exe"},
        {A::RemoveFile, L"C:\\K\\a.dll", L"", L"C:\\K\\a.dll"},
        {A::DiscardBackup, L"", L"C:\\T\\tw3.tmp", L""},
        {A::RemoveFolder, L"C:\\K", L"", L""},
    };
    EXPECT_EQ(journal.rollbackPlan(), expected);
}

TEST_F(JournalRecordsTest, EarlierShortcutGoesBackToItsEarlierPlace) {
    journal.oldEntries = {Entry(LogKind::ProgramShortcut, L"C:\\Menu\\first.lnk"),
                          Entry(LogKind::DesktopShortcut, L"C:\\Desktop\\K 3.00f.lnk"),
                          Entry(LogKind::ProgramShortcut, L"C:\\Menu\\second.lnk")};
    journal.newEntries = {
        // Not created: it has no path of its own.
        Entry(LogKind::ProgramShortcut, L"", false, -1, L"C:\\T\\tw3.tmp"),
        // Created under another name than the earlier one.
        Entry(LogKind::DesktopShortcut, L"C:\\Desktop\\K 3.00g.lnk", true, -1, L"C:\\T\\tw4.tmp"),
        // Not created, nothing moved aside: nothing to undo.
        Entry(LogKind::UninstallShortcut, L"", false),
        // Created where there was none before.
        Entry(LogKind::UninstallShortcut, L"C:\\Menu\\Uninstall.lnk", true),
    };
    using A = UndoStep::Action;
    const std::vector<UndoStep> expected = {
        {A::RemoveFile, L"C:\\Menu\\Uninstall.lnk", L"", L"C:\\Menu\\Uninstall.lnk"},
        {A::RemoveFile, L"C:\\Desktop\\K 3.00g.lnk", L"C:\\T\\tw4.tmp",
         L"C:\\Desktop\\K 3.00f.lnk"},
        {A::RemoveFile, L"", L"C:\\T\\tw3.tmp", L"C:\\Menu\\first.lnk"},
    };
    EXPECT_EQ(journal.rollbackPlan(), expected);
}

TEST_F(JournalRecordsTest, FileThatCouldNotBeSavedAsideIsNotDeleted) {
    LogEntry kept = Entry(LogKind::File, L"C:\\Data\\user.dat", true, 3);
    kept.keptInPlace = true;
    journal.newEntries = {Entry(LogKind::Folder, L"C:\\Data"), kept};
    const std::vector<UndoStep> expected = {
        {UndoStep::Action::RemoveFolder, L"C:\\Data", L"", L""}};
    EXPECT_EQ(journal.rollbackPlan(), expected);
}

// Writing over a file that stayed in place may have cleared its read-only
// attribute; the rollback puts back what it had when it was recorded.
TEST_F(JournalRecordsTest, FileKeptInPlaceGetsItsAttributesBack) {
    LogEntry kept = Entry(LogKind::File, L"C:\\K\\Kelvane.exe", false, 1);
    kept.keptInPlace = true;
    kept.keptAttributes = 0x21;
    journal.newEntries = {Entry(LogKind::Folder, L"C:\\K\\Lang"), kept,
                          Entry(LogKind::File, L"C:\\K\\Lang\\K.fr.dll", true, 0)};
    using A = UndoStep::Action;
    const std::vector<UndoStep> expected = {
        {A::RemoveFile, L"C:\\K\\Lang\\K.fr.dll", L"", L"C:\\K\\Lang\\K.fr.dll"},
        {A::RestoreAttributes, L"C:\\K\\Kelvane.exe", L"", L"", 0x21},
        {A::RemoveFolder, L"C:\\K\\Lang", L"", L""},
    };
    EXPECT_EQ(journal.rollbackPlan(), expected);
}

TEST_F(JournalRecordsTest, FileWithoutPathKeepsItsBackupWhereItIs) {
    journal.oldEntries = {Entry(LogKind::File, L"C:\\K\\other", true, 0)};
    journal.newEntries = {Entry(LogKind::File, L"", false, 0, L"C:\\T\\tw5.tmp")};
    const auto plan = journal.rollbackPlan();
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_TRUE(plan.front().restoreTo.empty());
}

} // namespace
