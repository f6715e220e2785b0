#pragma once
// Process start: the checks that run before the application object exists.

// The processor check: true, with the process-wide flag set, when the
// processor has SSE2; otherwise shows the three-language message and returns
// false (the process then ends with exit code 1).
bool checkProcessor();

// Whether the processor check passed in this process.
bool processorChecked() noexcept;
