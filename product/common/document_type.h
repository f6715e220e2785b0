#pragma once
// What Kelvane.exe registers and records, which its uninstaller removes.

namespace kelvane {

// The document extension and its ProgID below HKEY_CLASSES_ROOT.
constexpr wchar_t documentExtension[] = L".kvd";
constexpr wchar_t documentProgId[] = L"Kelvane.Document.3";

// The user's settings of the product below HKEY_CURRENT_USER, and the value
// that remembers the version an installation updated.
constexpr wchar_t settingsKey[] = L"Software\\Tarnwick\\Kelvane 3";
constexpr wchar_t updatedFromValue[] = L"Updated From";

} // namespace kelvane
