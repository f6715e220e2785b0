#pragma once
// The archive's strings: UTF-16LE code units without terminator. On Windows a
// wide string is UTF-16 already; elsewhere wchar_t holds whole code points, so
// surrogate pairs are joined when decoding and split when encoding.

#include <cstddef>
#include <cstdint>
#include <string>

namespace payload {

// The number of UTF-16 code units the text takes.
std::size_t utf16Length(const std::wstring& text);

// Appends the text as UTF-16LE.
void appendUtf16le(std::string& out, const std::wstring& text);

// Decodes that many UTF-16LE code units. An unpaired surrogate is kept as the
// code unit it is, so that decoding and encoding give back the same bytes.
std::wstring decodeUtf16le(const char* bytes, std::size_t units);

} // namespace payload
