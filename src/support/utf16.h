#pragma once
// UTF-16 text in portable code: the payload archive and the uninstall log hold
// their strings as UTF-16LE. On Windows a wide string is UTF-16 already; where
// wchar_t holds 32 bits, a character beyond the Basic Multilingual Plane is one
// wchar_t here and a surrogate pair in UTF-16.
//
// Encoding: a character U+10000..U+10FFFF becomes its surrogate pair; a value
// above U+10FFFF (only a 32-bit wchar_t can hold one, and no UTF-16 can)
// becomes U+FFFD REPLACEMENT CHARACTER, one code unit; a lone surrogate
// (a wchar_t in D800..DFFF) is written as the code unit it is.
// Decoding: a high surrogate followed by a low one becomes one character where
// wchar_t holds 32 bits; a surrogate without its partner is kept as the code
// unit it is, so that decoding and encoding give back the same code units, as
// Windows keeps them in file names.

#include <cstddef>
#include <string>
#include <string_view>

namespace tw {

// The number of UTF-16 code units the text encodes to.
std::size_t utf16Length(std::wstring_view text);

// Appends the text as UTF-16 code units.
void appendUtf16(std::u16string& out, std::wstring_view text);

// Appends the text as UTF-16LE bytes, two per code unit.
void appendUtf16le(std::string& out, std::wstring_view text);

// The wide text of UTF-16 code units.
std::wstring fromUtf16(std::u16string_view units);

// The wide text of that many UTF-16LE code units (2 * units bytes).
std::wstring decodeUtf16le(const char* bytes, std::size_t units);

} // namespace tw
