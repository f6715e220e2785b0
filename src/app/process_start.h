#pragma once
// Process start: the checks that run before the application object exists.

// Whether the processor check passed (SSE2 present) in this process.
bool processorChecked() noexcept;
