#include "digest_target.h"

#include "payload/crc32.h"

namespace testing_support {

namespace {

class DigestFile : public payload::OutputFile {
public:
    explicit DigestFile(DigestTarget::Digest& digest)
        : digest_(digest) {}
    void write(const char* bytes, std::size_t size) override {
        digest_.size += size;
        digest_.crc = payload::crc32(bytes, size, digest_.crc);
    }
    void close() override {}

private:
    DigestTarget::Digest& digest_;
};

} // namespace

std::wstring DigestTarget::shellFolder(int csidl) {
    return L"C:\\Shell" + std::to_wstring(csidl);
}

bool DigestTarget::samePath(const std::wstring& a, const std::wstring& b) {
    return a == b;
}

void DigestTarget::prepareOutput(const std::wstring&) {}

void DigestTarget::grantSharedFolders(payload::SharedFolderList&, const std::wstring&) {}

std::unique_ptr<payload::OutputFile> DigestTarget::createOutput(const std::wstring& path) {
    return std::make_unique<DigestFile>(files[path] = Digest{});
}

std::optional<std::uint32_t> DigestTarget::readBackCrc(const std::wstring& path) {
    return files.at(path).crc;
}

void DigestTarget::waitBeforeRetry() {}

} // namespace testing_support
