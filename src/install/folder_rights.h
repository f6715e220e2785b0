#pragma once
// Access rights that the installation gives the built-in Users group.
//
// STAND-IN: grants nothing yet; the access-control-list work replaces it.

#include <cstdint>
#include <string>

// Read, write and delete, without execute: what every user gets on a data file.
constexpr std::uint32_t dataFileAccess = 0x0013019F;

// Gives the Users group the access on the object, replacing earlier entries of
// that group. Raises tw::error when the object's security cannot be changed.
void GrantAccess(const std::wstring& path, std::uint32_t accessMask, std::uint32_t entryFlags);
