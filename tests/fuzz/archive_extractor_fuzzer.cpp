// Feeds the archive reader arbitrary archives in arbitrary pieces. Half of the
// inputs are taken as raw archive bytes; the other half describe entries that
// the writer turns into a well-formed archive, which is then cut short,
// lengthened or has bytes changed, so that the fuzzer reaches the contents.
#include "payload/archive_extractor.h"
#include "payload/archive_writer.h"

#include "digest_target.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace payload;

// Keeps the size and CRC-32 of what each file received; every fourth file
// cannot be read back at first, and some inputs have no shell folders.
struct CountingTarget : testing_support::DigestTarget {
    bool noShellFolders = false;
    int created = 0;
    int busy = 0;

    std::wstring shellFolder(int csidl) override {
        return noShellFolders ? std::wstring() : DigestTarget::shellFolder(csidl);
    }
    std::unique_ptr<OutputFile> createOutput(const std::wstring& path) override {
        busy = ++created % 4 == 0 ? 2 : 0;
        return DigestTarget::createOutput(path);
    }
    std::optional<std::uint32_t> readBackCrc(const std::wstring& path) override {
        if (busy > 0) {
            --busy;
            return std::nullopt;
        }
        return DigestTarget::readBackCrc(path);
    }
};

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

std::string structuredArchive(FuzzedDataProvider& input) {
    static const wchar_t* const destinations[] = {
        L"<InstallPath>",      L"<InstallPath>\\Lang", L"<SamplePath>",
        L"<CommonData>\\A\\B", L"<UserData>",          L"<Temporary>",
        L"<Nowhere>\\x",       L"C:\\Absolute",        L""};
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 8);
    std::vector<ArchiveEntry> entries;
    std::vector<std::string> contents;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = input.ConsumeRandomLengthString(12);
        ArchiveEntry entry;
        entry.source = std::wstring(name.begin(), name.end());
        entry.destination = destinations[input.ConsumeIntegralInRange<std::size_t>(0, 8)];
        entry.kind = input.ConsumeIntegralInRange<std::uint32_t>(0, 6);
        entries.push_back(entry);
        contents.push_back(input.ConsumeRandomLengthString(300));
    }
    std::string archive = writeArchive(entries, contents);
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        archive.resize(input.ConsumeIntegralInRange<std::size_t>(0, archive.size()));
        break;
    case 1:
        archive += input.ConsumeRandomLengthString(16);
        break;
    case 2:
        for (int flips = input.ConsumeIntegralInRange(1, 4); flips > 0 && !archive.empty();
             --flips) {
            archive[input.ConsumeIntegralInRange<std::size_t>(0, archive.size() - 1)] ^=
                static_cast<char>(input.ConsumeIntegral<std::uint8_t>() | 1);
        }
        break;
    default:
        break;
    }
    return archive;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::uint32_t seed = input.ConsumeIntegral<std::uint32_t>();
    const bool structured = input.ConsumeBool();
    CountingTarget target;
    target.noShellFolders = input.ConsumeIntegralInRange(0, 15) == 0;
    const std::string archive =
        structured ? structuredArchive(input) : input.ConsumeRemainingBytesAsString();

    std::size_t begun = 0;
    std::size_t ended = 0;
    const bool skipSome = (seed & 1) != 0;
    ArchiveExtractor extractor(
        BaseFolders{L"C:\\Install", L"Examples", L""},
        [&](notification n) {
            if (std::holds_alternative<notification::entry_begin>(n.value)) {
                ++begun;
                if (skipSome && begun % 3 == 0) {
                    return notification::result::skip;
                }
            }
            if (std::holds_alternative<notification::entry_end>(n.value)) {
                ++ended;
            }
            return notification::result::proceed;
        },
        target);
    std::minstd_rand chunks(seed);
    bool failed = false;
    try {
        std::size_t offset = 0;
        while (offset < archive.size()) {
            const std::size_t piece =
                std::min<std::size_t>(1 + chunks() % 5000, archive.size() - offset);
            const std::uint64_t consumed = extractor.write(archive.data() + offset, piece);
            check(consumed <= piece);
            offset += static_cast<std::size_t>(consumed);
        }
        extractor.finish();
    } catch (const std::exception&) {
        failed = true;
    }
    check(failed == extractor.failed());
    check(extractor.position() <= extractor.total() || extractor.total() == 0);
    if (!failed && extractor.complete()) {
        const std::size_t count = extractor.entries().size();
        check(begun == count);
        check(ended == count - (skipSome ? count / 3 : 0));
        // Two entries may name the same file: the last one written wins.
        std::map<std::wstring, const ArchiveEntry*> last;
        for (std::size_t i = 0; i < count; ++i) {
            if (!(skipSome && (i + 1) % 3 == 0)) {
                last[extractor.entries()[i].destination] = &extractor.entries()[i];
            }
        }
        for (const auto& [path, entry] : last) {
            const auto found = target.files.find(path);
            check(found != target.files.end());
            check(found->second.size == entry->size && found->second.crc == entry->crc);
        }
    }
    return 0;
}
