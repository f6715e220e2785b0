// packer: builds the installer's payload from a manifest, and lists and
// verifies a payload. Run "packer --help".
#include "packer/manifest.h"
#include "packer/packer.h"
#include "payload/archive_entry.h"

#include <boost/iostreams/filter/bzip2.hpp>

#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr const char* usageHead = R"(usage:
  packer pack MANIFEST PAYLOAD   build PAYLOAD from the files MANIFEST names
  packer list PAYLOAD            list PAYLOAD's entries and verify every CRC-32
  packer --help                  show this text

A payload is one bzip2 stream (block size 9) holding the archive: the data
offset (u64), the entry count (u32), one record per entry (source file name,
destination folder in token form, kind, size, CRC-32), then the contents of
every entry in table order.

The manifest is UTF-8 text with one file per line:

    source | destination | kind

  source       the file; a relative path is taken from the manifest's folder.
               The archive records its file name, which names the installed file.
  destination  the folder, in token form: <InstallPath>, <InstallPath>\Lang,
               <SamplePath>, <CommonData>\Tarnwick\Kelvane, <UserData>, ...
)";

constexpr const char* usageTail = R"(
Spaces and tabs around a field are ignored; blank lines and lines starting
with '#' are comments. Entries keep the order of the lines.

Exit status: 0 on success; 1 when the manifest, a source file or the payload
is faulty (the message names the manifest line); 2 on wrong usage.
)";

// The help text, with the kinds of the entry table as "Name (value)" wrapped
// below their field.
std::string usage() {
    constexpr std::size_t width = 79;
    const std::string indent(15, ' ');
    std::string text = "  kind" + indent.substr(6);
    std::size_t lineStart = 0;
    bool first = true;
    const auto add = [&](const std::string& item) {
        if (text.size() - lineStart + 1 + item.size() > width) {
            text += '\n';
            lineStart = text.size();
            text += indent;
        } else if (!first) {
            text += ' ';
        }
        text += item;
        first = false;
    };
    for (const payload::EntryKindName& kind : payload::entryKinds) {
        add(std::string(kind.name) + " (" + std::to_string(kind.kind) + "),");
    }
    add("or a number");
    return usageHead + text + "\n" + usageTail;
}

int packCommand(const std::string& manifestPath, const std::string& output) {
    std::ifstream manifest(manifestPath);
    if (!manifest) {
        std::cerr << "packer: cannot open manifest '" << manifestPath << "'\n";
        return 1;
    }
    try {
        const auto lines =
            packer::readManifest(manifest, std::filesystem::path(manifestPath).parent_path());
        const packer::PackSummary summary = packer::pack(lines, output);
        std::cout << "packer: " << output << ": " << summary.entries << " entries, "
                  << summary.archiveSize << " bytes, " << summary.compressedSize << " compressed\n";
        return 0;
    } catch (const packer::ManifestError& error) {
        std::cerr << manifestPath << ":" << error.what() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "packer: " << error.what() << '\n';
    }
    return 1;
}

int listCommand(const std::string& payloadPath) {
    std::ifstream in(payloadPath, std::ios::binary);
    if (!in) {
        std::cerr << "packer: cannot open payload '" << payloadPath << "'\n";
        return 1;
    }
    try {
        const packer::Listing listing = packer::listPayload(in);
        packer::printListing(listing, std::cout);
        return listing.ok() ? 0 : 1;
    } catch (const boost::iostreams::bzip2_error& error) {
        std::cerr << "packer: " << payloadPath << ": corrupt bzip2 data (" << error.error()
                  << ")\n";
    } catch (const std::exception& error) {
        std::cerr << "packer: " << payloadPath << ": " << error.what() << '\n';
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << usage();
        return 0;
    }
    if (command == "pack" && argc == 4) {
        return packCommand(argv[2], argv[3]);
    }
    if (command == "list" && argc == 3) {
        return listCommand(argv[2]);
    }
    std::cerr << usage();
    return 2;
}
