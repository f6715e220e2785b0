// The installer's own payload resource: found, opened where the module keeps
// it, and exactly the archive the packer wrote.
#include "payload/extract.h"
#include "payload/payload_resource.h"
#include "payload/stream_source.h"
#include "support/unique_resource.h"
#include "digest_target.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

namespace {

using namespace payload;
using testing_support::DigestTarget;

std::string readWhole(ByteSource& source) {
    std::string bytes;
    char chunk[4096];
    for (std::size_t got = source.read(chunk, sizeof chunk); got > 0;
         got = source.read(chunk, sizeof chunk)) {
        bytes.append(chunk, got);
    }
    return bytes;
}

class PayloadResource : public testing::Test {
protected:
    void SetUp() override {
        installer.reset(
            ::LoadLibraryExW(testing_support::buildPath(KV_INSTALLER_FILE).c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(installer) << "cannot load the installer: " << ::GetLastError();
    }

    tw::unique_hmodule installer;
    HMODULE self = ::GetModuleHandleW(nullptr);
};

TEST_F(PayloadResource, IsTheBytesThePackerWrote) {
    const auto stream = openPayloadResource(installer.get(), installer.get());
    ASSERT_TRUE(stream->is_open());
    std::ifstream packed(std::filesystem::path(testing_support::buildPath(KV_PAYLOAD_PATH)),
                         std::ios::binary);
    ASSERT_TRUE(packed.is_open());
    StreamSource packedSource(packed);
    const std::string expected = readWhole(packedSource);
    const std::string resource = readWhole(*stream);
    EXPECT_EQ(resource.size(), expected.size());
    EXPECT_TRUE(resource == expected);
    EXPECT_EQ(resource.substr(0, 4), "BZh9");
}

TEST_F(PayloadResource, DecompressesToTheShippedLayout) {
    const auto stream = openPayloadResource(installer.get(), installer.get());
    ASSERT_TRUE(stream->is_open());
    // The check before extraction reads the resource to its end and rewinds it.
    ASSERT_NO_THROW(validatePayload(*stream));
    DigestTarget target;
    std::vector<ArchiveEntry> entries;
    const bool complete = extract(
        *stream, {L"C:\\Install", L"Kelvane Examples", L""},
        [&](notification n) {
            if (const auto* end = std::get_if<notification::entry_end>(&n.value)) {
                entries.push_back(end->entry);
            }
            return notification::result::proceed;
        },
        target);
    EXPECT_TRUE(complete);

    ASSERT_EQ(entries.size(), 27u);
    ASSERT_EQ(target.files.size(), 27u);
    std::map<std::uint32_t, int> kinds;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ++kinds[entries[i].kind];
        EXPECT_EQ(target.files[entries[i].destination].size, entries[i].size) << i;
    }
    EXPECT_EQ(
        kinds,
        (std::map<std::uint32_t, int>{
            {Sample, 13}, {DataFile, 3}, {Uninstaller, 1}, {LanguageModule, 9}, {MainProgram, 1}}));
    for (std::size_t i = 0; i < 13; ++i) {
        EXPECT_EQ(entries[i].kind, Sample);
        EXPECT_EQ(entries[i].destination.rfind(L"C:\\Shell25\\Kelvane Examples\\", 0), 0u);
    }
    EXPECT_EQ(entries[13].destination, L"C:\\Shell35\\Tarnwick\\Kelvane\\Templates.kvt");
    EXPECT_EQ(entries[14].destination, L"C:\\Shell35\\Tarnwick\\Kelvane\\Defaults.ini");
    EXPECT_EQ(entries[15].destination, L"C:\\Shell26\\Tarnwick\\Kelvane\\User.ini");
    EXPECT_EQ(entries[16].destination, L"C:\\Install\\Uninstall.exe");
    EXPECT_EQ(entries[16].kind, Uninstaller);
    for (std::size_t i = 17; i < 26; ++i) {
        EXPECT_EQ(entries[i].kind, LanguageModule);
        EXPECT_EQ(entries[i].destination.rfind(L"C:\\Install\\Lang\\Kelvane.", 0), 0u);
    }
    EXPECT_EQ(entries[26].destination, L"C:\\Install\\Kelvane.exe");
    EXPECT_EQ(entries[26].kind, MainProgram);
}

// One thread (Boost's decompressor) and the parallel decoder write the same
// bytes into every file; each file's CRC-32 is also checked against its entry.
TEST_F(PayloadResource, ParallelDecodingWritesTheSameFiles) {
    std::map<std::wstring, std::pair<std::uint64_t, std::uint32_t>> written[2];
    const unsigned threads[] = {1, 4};
    for (int run = 0; run < 2; ++run) {
        const auto stream = openPayloadResource(installer.get(), installer.get());
        ASSERT_TRUE(stream->is_open());
        ASSERT_NO_THROW(validatePayload(*stream, threads[run]));
        DigestTarget target;
        EXPECT_TRUE(extract(
            *stream, {L"C:\\Install", L"Kelvane Examples", L""},
            [](notification) { return notification::result::proceed; }, target, threads[run]));
        for (const auto& [path, digest] : target.files) {
            written[run][path] = {digest.size, digest.crc};
        }
    }
    EXPECT_EQ(written[0].size(), 27u);
    EXPECT_TRUE(written[0] == written[1]);
}

TEST_F(PayloadResource, FallsBackToTheExecutablesModule) {
    // The test program has no payload; the "executable" given second has.
    const auto stream = openPayloadResource(self, installer.get());
    EXPECT_TRUE(stream->is_open());
}

TEST_F(PayloadResource, MissingPayloadGivesAStreamThatIsNotOpen) {
    const auto stream = openPayloadResource(self, self);
    EXPECT_FALSE(stream->is_open());
    char byte = 0;
    EXPECT_EQ(stream->read(&byte, 1), 0u);
    EXPECT_TRUE(stream->failed());
    // The test program's own lookup (its language module is itself) finds none either.
    EXPECT_FALSE(openPayloadResource()->is_open());
}

} // namespace
