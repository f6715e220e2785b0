#pragma once
// The uninstall log as the product's uninstaller must have it before it
// removes anything: whole, exactly as the installation wrote it.

#include "install/log_format.h"

#include <cstdint>
#include <optional>
#include <span>

// The contents of a log that is complete: the byte-order mark, an even number
// of bytes, the six header lines naming an absolute installation folder
// (isAbsoluteFolder: what the uninstaller may act on lies there), every
// further line an entry the reader takes, and a line end after the last line
// (the installation ends every line, so a log cut short ends without one, or
// inside a code unit). Nothing when any of that fails.
std::optional<LogContents> readCompleteLog(std::span<const std::uint8_t> bytes);
