#pragma once
// The packer's manifest: which files go into a payload, where and as what.
//
// A UTF-8 text file, one file per line:
//
//     source | destination | kind
//
// source       the file to pack; relative paths are taken from the manifest's folder
// destination  the folder it is installed to, in token form: <InstallPath>\Lang
// kind         the name of a kind (payload::entryKinds: LanguageModule,
//              MainProgram, ...), or the kind's number
//
// Spaces and tabs around a field are ignored; blank lines and lines whose
// first non-blank character is '#' are comments. The entries keep the order
// of the lines. The archive records a file by its name only.

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace packer {

struct ManifestLine {
    std::filesystem::path source;
    std::wstring destination;
    std::uint32_t kind = 0;
    int line = 0; // its line number in the manifest, from 1
};

// A fault of the manifest or of a file it names, with the line it is on.
class ManifestError : public std::runtime_error {
public:
    ManifestError(int line, const std::string& message);
    int line() const noexcept { return line_; }

private:
    int line_;
};

// The lines of a manifest; relative sources are made relative to base. Raises
// ManifestError for a malformed line, an unknown kind, or a source whose
// file name cannot be installed.
std::vector<ManifestLine> readManifest(std::istream& in, const std::filesystem::path& base);

// The kind of a name or number; none when it is neither.
std::optional<std::uint32_t> parseKind(std::string_view text);

// The name of a kind, or its number for a kind without a name.
std::string kindName(std::uint32_t kind);

// Conversions between the UTF-8 of the manifest and the listing and the
// archive's wide strings.
std::wstring fromUtf8(const std::string& text);
std::string toUtf8(const std::wstring& text);

} // namespace packer
