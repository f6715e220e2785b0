// Extraction throughput against "bzip2 -dc" of the same payload, and the peak
// memory, for two payload sizes.
//
//   extraction_bench [ROUNDS]      build the payloads, time, print the figures
//   extraction_bench 0             only the peak memory figures, which a busy
//                                  machine does not distort as it does times
//
// A payload like the shipped one (27 entries: 13 text documents, 3 data files,
// the uninstaller, 9 language modules, the main program) is generated with
// mixed binary and text contents of about 15 MB and 60 MB, packed as the
// packer does (one bzip2 stream, block size 9) into a scratch folder. Each
// round times "bzip2 -dc PAYLOAD > /dev/null" and three runs on the same file
// into the scratch folder (decompress, parse, write, read back, verify): one
// extraction pass on one thread, one with the parallel decoder, and the
// validation pass followed by the extraction as an installation runs them.
// The figures are the medians and their ratios to bzip2 -dc. The peak
// resident memory of each run is measured in a fresh child process.
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
#include <stdexcept>
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

// How one run treats the payload: one extraction pass on one thread, one
// with the parallel decoder, or the validation pass and the extraction as an
// installation runs them.
enum class Mode { oneThread, parallel, installation };

bool runOnce(Mode mode, const fs::path& payloadFile, const fs::path& into) {
    fs::remove_all(into);
    std::ifstream source(payloadFile, std::ios::binary);
    payload::NativeTarget target(
        [&](int csidl) { return (into / ("shell" + std::to_string(csidl))).wstring(); });
    const unsigned threads = mode == Mode::oneThread ? 1 : payload::decodingThreads();
    if (mode == Mode::installation) {
        payload::validatePayload(source, threads);
    }
    return payload::extract(
        source, {(into / "install").wstring(), L"Examples", L""},
        [](payload::notification) { return payload::notification::result::proceed; }, target,
        threads);
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

struct Figures {
    double bzip2 = 0;
    double modes[3] = {};
};

// The medians of the rounds for one payload.
Figures timePayload(const fs::path& file, const fs::path& out, int rounds) {
    std::vector<double> bzip2Times;
    std::vector<double> modeTimes[3];
    const std::string command = "bzip2 -dc '" + file.string() + "' > /dev/null";
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("bzip2 -dc failed");
        }
        bzip2Times.push_back(seconds(Clock::now() - start));
        for (int mode = 0; mode < 3; ++mode) {
            start = Clock::now();
            if (!runOnce(static_cast<Mode>(mode), file, out)) {
                throw std::runtime_error("extraction failed");
            }
            modeTimes[mode].push_back(seconds(Clock::now() - start));
        }
    }
    Figures figures;
    figures.bzip2 = median(bzip2Times);
    for (int mode = 0; mode < 3; ++mode) {
        figures.modes[mode] = median(modeTimes[mode]);
    }
    return figures;
}

// The figures of one payload; without rounds only the peaks.
void printFigures(const char* name, int rounds, const Figures& f, const double peaks[3]) {
    if (rounds > 0) {
        std::printf("%s payload: bzip2 -dc %.3f s\n", name, f.bzip2);
    } else {
        std::printf("%s payload:\n", name);
    }
    const char* const labels[] = {"one pass, one thread:        ", "one pass, parallel decoder:  ",
                                  "validation + extraction:     "};
    for (int mode = 0; mode < 3; ++mode) {
        if (rounds > 0) {
            std::printf("  %s %.3f s  %.2f x bzip2 -dc  peak %.1f MB\n", labels[mode],
                        f.modes[mode], f.modes[mode] / f.bzip2, peaks[mode]);
        } else {
            std::printf("  %s peak %.1f MB\n", labels[mode], peaks[mode]);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    // Child modes for the memory figures: each prints its peak in kB.
    if (argc == 5 && std::string(argv[1]) == "--run") {
        const auto mode = static_cast<Mode>(std::atoi(argv[2]));
        const bool done = runOnce(mode, argv[3], argv[4]);
        std::printf("%ld\n", peakKilobytes());
        return done ? 0 : 1;
    }
    if (argc == 2 && std::string(argv[1]) == "--idle") {
        std::printf("%ld\n", peakKilobytes());
        return 0;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // figures show as they come
    const int rounds = argc > 1 ? std::max(0, std::atoi(argv[1])) : 5;
    const fs::path scratch = fs::temp_directory_path() / ("kv-bench-" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    const fs::path payloads[] = {scratch / "payload-15.bz2", scratch / "payload-60.bz2"};
    const char* const names[] = {"15 MB", "60 MB"};
    const fs::path out = scratch / "out";

    std::printf("building payloads in %s ...\n", scratch.c_str());
    for (std::size_t i = 0; i < 2; ++i) {
        const std::uint64_t size = buildPayload(payloads[i], i == 0 ? 1 : 4);
        std::printf("payload %s: %.1f MB archive, %.1f MB bzip2\n", names[i], size / 1e6,
                    fs::file_size(payloads[i]) / 1e6);
    }
    std::printf("rounds: %d; decoding threads: %u; times are medians\n", rounds,
                payload::decodingThreads());
    const double idle = childPeakMegabytes("--idle");
    bool measured = idle > 0;
    for (std::size_t i = 0; i < 2; ++i) {
        const Figures figures = rounds > 0 ? timePayload(payloads[i], out, rounds) : Figures{};
        double peaks[3];
        for (int mode = 0; mode < 3; ++mode) {
            peaks[mode] = childPeakMegabytes("--run " + std::to_string(mode) + " '" +
                                             payloads[i].string() + "' '" + out.string() + "'");
            measured = measured && peaks[mode] > 0;
        }
        printFigures(names[i], rounds, figures, peaks);
    }
    std::printf("peak resident memory (VmHWM) of an idle process: %.1f MB\n", idle);
    fs::remove_all(scratch);
    return measured ? 0 : 1;
}
