// Extraction throughput against "bzip2 -dc" of the same payload, and the peak
// memory of an extraction for two payload sizes.
//
//   extraction_bench [ROUNDS]      build the payloads, time, print the figures
//
// A payload like the shipped one (27 entries: 13 text documents, 3 data files,
// the uninstaller, 9 language modules, the main program) is generated with
// mixed binary and text contents of about 15 MB and 60 MB, packed as the
// packer does (one bzip2 stream, block size 9) into a scratch folder. Each
// round times "bzip2 -dc PAYLOAD > /dev/null" and our extraction of the same
// file into the scratch folder (decompress, parse, write, read back, verify);
// the figure is the ratio of the medians. The peak resident memory of an
// extraction is measured in a fresh child process for each size.
#include "payload/archive_writer.h"
#include "payload/crc32.h"
#include "payload/extract.h"
#include "payload/native_target.h"

#include <boost/iostreams/device/file.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_stream.hpp>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace io = boost::iostreams;
using Clock = std::chrono::steady_clock;

// Contents that compress about as well as programs and documents do.
class ContentGenerator {
public:
    explicit ContentGenerator(unsigned seed)
        : random_(seed) {
        for (auto& token : tokens_) {
            for (char& c : token) {
                c = static_cast<char>(random_() & 0xFF);
            }
        }
    }

    // Machine code and data: repeated instruction-like tokens with random
    // operands, tables of small numbers, and stretches of noise.
    std::string binary(std::size_t size) {
        std::string bytes;
        bytes.reserve(size);
        while (bytes.size() < size) {
            const unsigned kind = random_() % 20;
            if (kind < 13) {
                const auto& token = tokens_[random_() % tokens_.size()];
                bytes.append(token.data(), 6);
                bytes.push_back(static_cast<char>(random_() & 0xFF));
                bytes.push_back(static_cast<char>(random_() & 0x0F));
            } else if (kind < 16) {
                for (int i = 0; i < 16; ++i) {
                    bytes.push_back(static_cast<char>(random_() % 24));
                }
            } else if (kind < 19) {
                bytes.append(32, '\0');
            } else {
                for (int i = 0; i < 24; ++i) {
                    bytes.push_back(static_cast<char>(random_() & 0xFF));
                }
            }
        }
        bytes.resize(size);
        return bytes;
    }

    // Prose made of a few hundred words.
    std::string text(std::size_t size) {
        static const char* const words[] = {
            "Kelvane",  "document", "the",    "of",    "and",     "a",       "to",     "in",
            "is",       "you",      "that",   "it",    "for",     "on",      "are",    "with",
            "as",       "plan",     "notes",  "list",  "project", "meeting", "budget", "travel",
            "template", "settings", "window", "title", "open",    "save",    "print",  "language",
            "example",  "shared",   "folder", "user",  "version"};
        std::string out = "Kelvane Document 3\r\nTitle: Example\r\n\r\n";
        while (out.size() < size) {
            out += words[random_() % std::size(words)];
            out += random_() % 12 == 0 ? ".\r\n" : " ";
            if (random_() % 40 == 0) {
                out += std::to_string(random_() % 100000);
                out += ' ';
            }
        }
        out.resize(size);
        return out;
    }

private:
    std::mt19937 random_;
    std::array<std::array<char, 6>, 200> tokens_{};
};

struct Planned {
    std::wstring name;
    std::wstring destination;
    std::uint32_t kind;
    std::size_t size;
    bool text;
};

// The shipped payload's layout, scaled to about scale × 15 MB.
std::vector<Planned> plan(std::size_t scale) {
    std::vector<Planned> entries;
    for (int i = 1; i <= 13; ++i) {
        entries.push_back({L"Example " + std::to_wstring(i) + L".kvd", L"<SamplePath>",
                           payload::Sample, scale * (60'000 + 13'000 * static_cast<std::size_t>(i)),
                           true});
    }
    entries.push_back({L"Templates.kvt", L"<CommonData>\\Tarnwick\\Kelvane", payload::DataFile,
                       scale * 120'000, true});
    entries.push_back({L"Defaults.ini", L"<CommonData>\\Tarnwick\\Kelvane", payload::DataFile,
                       scale * 4'000, true});
    entries.push_back(
        {L"User.ini", L"<UserData>\\Tarnwick\\Kelvane", payload::DataFile, scale * 2'000, true});
    entries.push_back(
        {L"Uninstall.exe", L"<InstallPath>", payload::Uninstaller, scale * 1'200'000, false});
    for (const wchar_t* code : {L"fr", L"de", L"es", L"pt", L"it", L"tr", L"ro", L"pl", L"hu"}) {
        entries.push_back({L"Kelvane." + std::wstring(code) + L".dll", L"<InstallPath>\\Lang",
                           payload::LanguageModule, scale * 420'000, false});
    }
    entries.push_back(
        {L"Kelvane.exe", L"<InstallPath>", payload::MainProgram, scale * 7'900'000, false});
    return entries;
}

// Writes the payload file; returns the archive's (decompressed) size.
std::uint64_t buildPayload(const fs::path& file, std::size_t scale) {
    std::vector<Planned> planned = plan(scale);
    std::vector<payload::ArchiveEntry> entries;
    ContentGenerator generator(17);
    // Contents are generated twice (for the CRCs, then for writing) rather
    // than held, so that 60 MB never sit in memory at once.
    for (const Planned& p : planned) {
        const std::string contents = p.text ? generator.text(p.size) : generator.binary(p.size);
        entries.push_back({L"C:\\Build\\" + p.name, p.destination, p.kind, contents.size(),
                           payload::crc32(contents.data(), contents.size())});
    }
    const std::string header = payload::encodeHeader(entries);
    io::filtering_ostream out;
    out.push(io::bzip2_compressor(io::bzip2_params(9)));
    out.push(io::file_sink(file.string(), std::ios::binary | std::ios::trunc));
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    std::uint64_t total = header.size();
    ContentGenerator again(17);
    for (const Planned& p : planned) {
        const std::string contents = p.text ? again.text(p.size) : again.binary(p.size);
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        total += contents.size();
    }
    out.reset();
    return total;
}

bool extractOnce(const fs::path& payloadFile, const fs::path& into) {
    fs::remove_all(into);
    std::ifstream source(payloadFile, std::ios::binary);
    payload::NativeTarget target(
        [&](int csidl) { return (into / ("shell" + std::to_string(csidl))).wstring(); });
    return payload::extract(
        source, {(into / "install").wstring(), L"Examples", L""},
        [](payload::notification) { return payload::notification::result::proceed; }, target);
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// This process's peak resident set (VmHWM) in kB, or -1.
long peakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

// Runs this program in a child mode, which prints its own peak resident set;
// returns it in MB, or -1. (A child's rusage would count the parent's pages
// that it shared before exec.)
double childPeakMegabytes(const std::string& arguments) {
    const std::string self = fs::canonical("/proc/self/exe").string();
    FILE* child = ::popen(("'" + self + "' " + arguments).c_str(), "r");
    if (child == nullptr) {
        return -1;
    }
    long kilobytes = -1;
    if (std::fscanf(child, "%ld", &kilobytes) != 1) {
        kilobytes = -1;
    }
    return ::pclose(child) == 0 && kilobytes > 0 ? static_cast<double>(kilobytes) / 1024.0 : -1;
}

} // namespace

int main(int argc, char** argv) {
    // Child modes for the memory figures: each prints its peak in kB.
    if (argc == 4 && std::string(argv[1]) == "--extract") {
        const bool done = extractOnce(argv[2], argv[3]);
        std::printf("%ld\n", peakKilobytes());
        return done ? 0 : 1;
    }
    if (argc == 2 && std::string(argv[1]) == "--idle") {
        std::printf("%ld\n", peakKilobytes());
        return 0;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path scratch = fs::temp_directory_path() / ("kv-bench-" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    const fs::path small = scratch / "payload-15.bz2";
    const fs::path large = scratch / "payload-60.bz2";

    std::printf("building payloads in %s ...\n", scratch.c_str());
    const std::uint64_t smallSize = buildPayload(small, 1);
    const std::uint64_t largeSize = buildPayload(large, 4);
    std::printf("payload 15 MB: %.1f MB archive, %.1f MB bzip2\n", smallSize / 1e6,
                fs::file_size(small) / 1e6);
    std::printf("payload 60 MB: %.1f MB archive, %.1f MB bzip2\n", largeSize / 1e6,
                fs::file_size(large) / 1e6);

    std::vector<double> bzip2Times, extractTimes;
    const std::string command = "bzip2 -dc '" + small.string() + "' > /dev/null";
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "bzip2 -dc failed\n");
            return 1;
        }
        bzip2Times.push_back(seconds(Clock::now() - start));
        start = Clock::now();
        if (!extractOnce(small, scratch / "out")) {
            std::fprintf(stderr, "extraction failed\n");
            return 1;
        }
        extractTimes.push_back(seconds(Clock::now() - start));
    }
    const double bzip2Median = median(bzip2Times);
    const double extractMedian = median(extractTimes);
    std::printf("rounds: %d\n", rounds);
    std::printf("bzip2 -dc, 15 MB payload:   median %.3f s\n", bzip2Median);
    std::printf("extraction, 15 MB payload:  median %.3f s (%.1f MB/s of archive)\n", extractMedian,
                smallSize / 1e6 / extractMedian);
    std::printf("ratio extraction / bzip2 -dc: %.2f\n", extractMedian / bzip2Median);

    const std::string out = "'" + (scratch / "out").string() + "'";
    const double idle = childPeakMegabytes("--idle");
    const double peakSmall = childPeakMegabytes("--extract '" + small.string() + "' " + out);
    const double peakLarge = childPeakMegabytes("--extract '" + large.string() + "' " + out);
    std::printf("peak resident memory (VmHWM): idle process %.1f MB; extraction of the 15 MB "
                "payload %.1f MB, of the 60 MB payload %.1f MB\n",
                idle, peakSmall, peakLarge);
    fs::remove_all(scratch);
    return peakSmall < 0 || peakLarge < 0 ? 1 : 0;
}
