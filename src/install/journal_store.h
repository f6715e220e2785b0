#pragma once
// Where the journal file and the backups of a run live: a folder of the
// Windows folder, "<Windows>\Kelvane 3 Setup". Every administrator's next run
// finds it there, and no ordinary user can create anything in the Windows
// folder, so none can plant, change or replace the journal or a backup that
// an elevated run would put back. The folder is made with a protected DACL
// for SYSTEM and Administrators only, and an existing one is used only when
// it is a real folder owned and writable by them alone.

#include "install/journal_file.h"

#include <optional>
#include <string>

namespace journal {

// The folder of the product's journal.
std::wstring defaultFolder();

// The journal file of a journal folder.
std::wstring filePath(const std::wstring& folder);

// Creates the folder with a DACL of its own (full access for SYSTEM and
// Administrators, inherited, nothing from its parent), or checks an existing
// one with isTrustedFolder. Raises std::system_error (ERROR_ACCESS_DENIED for
// a folder that is not trusted).
void prepareFolder(const std::wstring& folder);

// True when the folder is a folder and not a reparse point, and its owner and
// every entry that grants a change (write, append, delete, change of rights or
// owner) name SYSTEM, Administrators, or the administrator running this
// process (its token's user or default owner). No ordinary user can create
// anything in the Windows folder, so only an administrator's process can
// have made a folder there that is owned by its user. Wine names the user
// as the owner of every file and answers with a DACL rebuilt from the Unix
// mode bits (SYSTEM and the user full access, everyone reading), so there
// the check sees only the owner and the mode bits.
bool isTrustedFolder(const std::wstring& folder);

// Writes the journal file of the folder whole, flushed to disk, in place of
// the earlier one; a journal that another program holds open is replaced
// once it lets go of it (within a second). Raises std::system_error when it
// could not.
void storeJournal(const std::wstring& folder, const JournalImage& image);

// What the journal folder holds.
struct StoredJournal {
    enum class State {
        None,       // no journal: the last run ended
        Unreadable, // a journal that is not whole, or a folder that is not trusted
        Read,
    };
    State state = State::None;
    JournalImage image;
};
StoredJournal loadJournal(const std::wstring& folder);

// Deletes the journal file, the end of a run: then the backups a finished
// run left (its "tw*.tmp" files) and the folder. A journal that another
// program holds open is deleted once it lets go of it (within a second);
// false when it cannot be deleted: then the backups stay with it, so that
// the run can still be undone as a whole.
bool removeJournal(const std::wstring& folder);

} // namespace journal
