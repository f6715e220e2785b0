#pragma once
// What Kelvane.exe registers and records, which its uninstaller removes and
// an undone installation puts back as it was (install/product.h names them).

#include "install/product.h"

namespace kelvane {

// The document extension and its ProgID below HKEY_CLASSES_ROOT.
inline constexpr const auto& documentExtension = product::documentExtension;
inline constexpr const auto& documentProgId = product::documentProgId;
inline constexpr const auto& documentIconKey = product::documentIconKey;
inline constexpr const auto& documentOpenKey = product::documentOpenKey;

// The user's settings of the product below HKEY_CURRENT_USER, and the value
// that remembers the version an installation updated.
inline constexpr const auto& settingsKey = product::settingsKey;
inline constexpr const auto& updatedFromValue = product::updatedFromValue;

} // namespace kelvane
