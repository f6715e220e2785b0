#pragma once
// The framework's message-formatting rule for localised texts.

#include <initializer_list>
#include <string>

// Replaces %1 ... %9 (and %A ... %Z for the tenth argument on) by the
// arguments; a placeholder without an argument becomes "?". Any other "%"
// stays as it is.
std::wstring formatText(const std::wstring& text, std::initializer_list<std::wstring> arguments);

// A path as the progress log shows it: at most 260 characters, in double
// quotes when it contains a blank.
std::wstring quotedPath(const std::wstring& path);
