#pragma once
// What the extraction tells its observer, and what the observer answers.

#include "payload/archive_entry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace payload {

struct notification {
    // Once, before the extractor is created.
    struct started {
        std::uint8_t unused = 0;
    };
    // Once, after a complete archive: the resource bytes copied and the archive's size.
    struct finished {
        std::uint64_t copied = 0;
        std::uint64_t total = 0;
    };
    // When the first byte of an entry's contents arrives (or the entry, being
    // empty, is reached).
    struct entry_begin {
        std::reference_wrapper<const ArchiveEntry> entry;
        // The outermost shared folder that holds the entry's file, where
        // ordinary users may change things; empty when none.
        std::wstring sharedFolder;
    };
    // After an entry's file has been written, closed and verified; never for
    // a skipped entry.
    struct entry_end {
        std::reference_wrapper<const ArchiveEntry> entry;
    };
    // After the header is complete and after every chunk of contents.
    struct progress {
        std::uint64_t position = 0;
        std::uint64_t total = 0;
    };
    // Once, when the extraction fails.
    struct failed {
        std::error_code code;
        std::wstring text;
    };

    // The answer. It is ignored for started, finished and failed; skip counts
    // only for entry_begin and is proceed for progress and entry_end.
    enum class result : std::uint32_t {
        proceed = 0,
        abort = 1, // the extraction fails with "interrupted"
        skip = 2,  // the entry's bytes are read and discarded
    };

    // The alternatives in this order: started, finished, entry_begin,
    // entry_end, progress, failed.
    std::variant<started, finished, entry_begin, entry_end, progress, failed> value;
};

// The observer of an extraction: takes each notification by value.
using Observer = std::function<notification::result(notification)>;

// Tells the observer; without one the answer is proceed.
inline notification::result notify(const Observer& observer, notification message) {
    return observer ? observer(std::move(message)) : notification::result::proceed;
}

} // namespace payload
