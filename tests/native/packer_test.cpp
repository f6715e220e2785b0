#include "packer/manifest.h"
#include "packer/packer.h"
#include "payload/archive_writer.h"

#include "scratch_path.h"
#include "test_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace packer;
using testing_support::compress;

class Packer : public testing::Test {
protected:
    fs::path folder = testing_support::scratchPath("kv-packer-");

    void SetUp() override {
        fs::remove_all(folder);
        fs::create_directories(folder / "bin");
    }
    void TearDown() override { fs::remove_all(folder); }

    void writeFile(const fs::path& relative, const std::string& contents) {
        std::ofstream(folder / relative, std::ios::binary) << contents;
    }

    std::vector<ManifestLine> manifest(const std::string& text) {
        std::istringstream in(text);
        return readManifest(in, folder);
    }

    int errorLine(const std::string& text) {
        try {
            pack(manifest(text), folder / "out.bz2");
        } catch (const ManifestError& error) {
            return error.line();
        }
        return 0;
    }
};

TEST_F(Packer, ManifestLinesKeepOrderKindsAndDestinations) {
    const auto lines = manifest("# comment\n"
                                "\n"
                                "  bin/a.kvd |<SamplePath>| Sample\n"
                                "bin/Kelvane.exe\t|\t<InstallPath>\t|\tMainProgram\r\n"
                                "/abs/Kelvane.fr.dll | <InstallPath>\\Lang | 0\n"
                                "x.tmp | <Temporary> | 5\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].source, folder / "bin/a.kvd");
    EXPECT_EQ(lines[0].destination, L"<SamplePath>");
    EXPECT_EQ(lines[0].kind, payload::Sample);
    EXPECT_EQ(lines[0].line, 3);
    EXPECT_EQ(lines[1].kind, payload::MainProgram);
    EXPECT_EQ(lines[1].destination, L"<InstallPath>");
    EXPECT_EQ(lines[2].source, fs::path("/abs/Kelvane.fr.dll"));
    EXPECT_EQ(lines[2].destination, L"<InstallPath>\\Lang");
    EXPECT_EQ(lines[2].kind, payload::LanguageModule);
    EXPECT_EQ(lines[3].kind, payload::TemporaryFile);
}

struct BadLine {
    const char* name;
    std::string manifest;
    int line;
};

class PackerBadLines : public Packer, public testing::WithParamInterface<BadLine> {};

TEST_P(PackerBadLines, AreReportedWithTheirLineNumber) {
    writeFile("bin/a.kvd", "document");
    EXPECT_EQ(errorLine(GetParam().manifest), GetParam().line);
    EXPECT_FALSE(fs::exists(folder / "out.bz2"));
}

INSTANTIATE_TEST_SUITE_P(
    Manifest, PackerBadLines,
    testing::Values(
        BadLine{"TwoFields", "bin/a.kvd | Sample\n", 1},
        BadLine{"FourFields", "# x\nbin/a.kvd | <SamplePath> | Sample | more\n", 2},
        BadLine{"EmptyDestination", "bin/a.kvd |  | Sample\n", 1},
        BadLine{"UnknownKind", "bin/a.kvd | <SamplePath> | Sample\nbin/a.kvd | <X> | sample\n", 2},
        BadLine{"NegativeKind", "bin/a.kvd | <X> | -1\n", 1},
        BadLine{"NoFileName", "bin/ | <X> | Sample\n", 1},
        BadLine{"DeviceName", "bin/aux.txt | <X> | Sample\n", 1},
        BadLine{"MissingSource", "bin/a.kvd | <X> | Sample\n\nbin/missing.kvd | <X> | Sample\n", 3},
        BadLine{"SourceIsAFolder", "bin/a.kvd | <X> | 4\nbin | <X> | 4\n", 2}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_F(Packer, PackThenListVerifiesEveryEntry) {
    writeFile("bin/one.bin", std::string(100000, '\x7f'));
    writeFile("bin/empty.txt", "");
    writeFile("bin/Kelvane.exe", "MZ program");
    const PackSummary summary =
        pack(manifest("bin/one.bin | <CommonData>\\Tarnwick\\Kelvane | DataFile\n"
                      "bin/empty.txt | <UserData> | DataFile\n"
                      "bin/Kelvane.exe | <InstallPath> | MainProgram\n"),
             folder / "out.bz2");
    EXPECT_EQ(summary.entries, 3u);
    EXPECT_FALSE(fs::exists(folder / "out.bz2.partial"));

    std::ifstream in(folder / "out.bz2", std::ios::binary);
    std::string magic(4, '\0');
    in.read(magic.data(), 4);
    EXPECT_EQ(magic, "BZh9");
    in.seekg(0);
    const Listing listing = listPayload(in);
    EXPECT_TRUE(listing.ok());
    ASSERT_EQ(listing.entries.size(), 3u);
    EXPECT_EQ(listing.entries[0].entry.source, L"one.bin");
    EXPECT_EQ(listing.entries[0].entry.destination, L"<CommonData>\\Tarnwick\\Kelvane");
    EXPECT_EQ(listing.entries[0].entry.size, 100000u);
    EXPECT_EQ(listing.entries[1].entry.size, 0u);
    EXPECT_EQ(listing.entries[2].entry.kind, payload::MainProgram);
    EXPECT_EQ(listing.archiveSize, summary.archiveSize);
    EXPECT_EQ(listing.dataOffset, summary.dataOffset);

    std::ostringstream printed;
    printListing(listing, printed);
    EXPECT_NE(printed.str().find("MainProgram"), std::string::npos);
    EXPECT_NE(printed.str().find("every CRC matches"), std::string::npos);
}

TEST_F(Packer, ListFindsAWrongCrcAShortAndATrailingArchive) {
    std::string archive = payload::writeArchive(
        {{L"a", L"<InstallPath>", 0, 0, 0}, {L"b", L"<InstallPath>", 0, 0, 0}},
        {"first", "second"});
    std::string wrongCrc = archive;
    wrongCrc[wrongCrc.size() - 1] ^= 0x01;
    std::istringstream damaged(compress(wrongCrc));
    const Listing mismatch = listPayload(damaged);
    EXPECT_TRUE(mismatch.entries[0].matches());
    EXPECT_FALSE(mismatch.entries[1].matches());
    EXPECT_FALSE(mismatch.ok());

    std::istringstream shortened(compress(archive.substr(0, archive.size() - 2)));
    const Listing truncated = listPayload(shortened);
    EXPECT_EQ(truncated.entries[1].present, 4u);
    EXPECT_FALSE(truncated.ok());

    std::istringstream longer(compress(archive + "x"));
    const Listing trailing = listPayload(longer);
    EXPECT_TRUE(trailing.trailing);
    EXPECT_FALSE(trailing.ok());

    std::istringstream headerOnly(compress(archive.substr(0, 20)));
    EXPECT_THROW(listPayload(headerOnly), std::runtime_error);
}

TEST_F(Packer, ListNamesADataOffsetOutOfRange) {
    const std::string archive = payload::writeArchive({}, {});
    for (const std::uint64_t offset : {std::uint64_t{11}, std::uint64_t{1} << 32}) {
        std::string damaged = archive;
        for (std::size_t i = 0; i < 8; ++i) {
            damaged[i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
        }
        std::istringstream in(compress(damaged));
        try {
            listPayload(in);
            ADD_FAILURE() << "no error for the data offset " << offset;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()),
                      "the data offset " + std::to_string(offset) + " is out of range");
        }
    }
    std::istringstream cut(compress(archive.substr(0, 7)));
    try {
        listPayload(cut);
        ADD_FAILURE() << "no error for an archive of seven bytes";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "the archive ends inside its data offset");
    }
}

TEST_F(Packer, KindNamesRoundTrip) {
    for (std::uint32_t kind = 0; kind < 8; ++kind) {
        EXPECT_EQ(parseKind(kindName(kind)), kind);
    }
    EXPECT_EQ(kindName(payload::Uninstaller), "Uninstaller");
    EXPECT_FALSE(parseKind("4x"));
    EXPECT_FALSE(parseKind(""));
}

} // namespace
