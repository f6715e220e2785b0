#pragma once
// The undoing, at start-up, of an installation run that was interrupted
// (power lost, the process ended) before it could end by Write or Rollback.

#include <string>

struct Recovery {
    enum class Outcome {
        None,       // no interrupted run
        Undone,     // an interrupted run was undone
        Unreadable, // its journal is not whole or names what no run changes
    };
    Outcome outcome = Outcome::None;
    // The journal file that was found.
    std::wstring journalPath;
};

// Looks for the journal file of an interrupted run in the product's journal
// folder. When it is whole and names only what an installation changes
// (installation places, backups in its own folder, the product's registry
// values), undoes that run with the same plan and executor as Rollback and
// removes the journal, its backups and the run's temporary folder. Otherwise
// leaves everything, the journal included, as it is. A journal folder that a
// finished run left (its journal gone, backups not yet deleted) is removed
// quietly.
Recovery recoverInterruptedRun();
