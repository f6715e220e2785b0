#include "payload/native_target.h"

#include "payload/crc32.h"
#include "payload/file_error.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace payload {

namespace fs = std::filesystem;

namespace {

class NativeOutputFile final : public OutputFile {
public:
    explicit NativeOutputFile(const std::wstring& path) {
        stream_.exceptions(std::ios::failbit | std::ios::badbit);
        stream_.open(fs::path(path), std::ios::binary | std::ios::trunc);
    }
    void write(const char* bytes, std::size_t size) override {
        stream_.write(bytes, static_cast<std::streamsize>(size));
    }
    void close() override { stream_.close(); }

private:
    std::ofstream stream_;
};

// The extraction's file-system error for one of the standard library's.
[[noreturn]] void raiseFileError(const fs::filesystem_error& error) {
    throw FileError(error.code(), error.path1().wstring(), error.what());
}

} // namespace

NativeTarget::NativeTarget(ShellFolderLookup lookup)
    : lookup_(std::move(lookup)) {}

std::wstring NativeTarget::shellFolder(int csidl) {
    return lookup_ ? lookup_(csidl) : std::wstring();
}

bool NativeTarget::samePath(const std::wstring& a, const std::wstring& b) {
    return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
}

void NativeTarget::prepareOutput(const std::wstring& path) {
    try {
        const fs::path file(path);
        if (fs::exists(file)) {
            fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
            return;
        }
        std::vector<fs::path> missing;
        fs::path folder = file.parent_path();
        for (; !folder.empty() && !fs::exists(folder); folder = folder.parent_path()) {
            missing.push_back(folder);
            if (folder == folder.parent_path()) {
                break;
            }
        }
        if (!folder.empty() && !fs::is_directory(folder)) {
            throw FileError(std::make_error_code(std::errc::not_a_directory), folder.wstring(),
                            "cannot create a folder below a file");
        }
        for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
            fs::create_directory(*level);
        }
    } catch (const fs::filesystem_error& error) {
        raiseFileError(error);
    }
}

void NativeTarget::grantSharedFolders(SharedFolderList&, const std::wstring&) {}

std::unique_ptr<OutputFile> NativeTarget::createOutput(const std::wstring& path) {
    return std::make_unique<NativeOutputFile>(path);
}

std::optional<std::uint32_t> NativeTarget::readBackCrc(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) {
        throw FileError(std::error_code(errno, std::generic_category()), path,
                        "cannot read the file back");
    }
    std::array<char, 4096> block;
    std::uint32_t crc = 0;
    while (in.read(block.data(), block.size()) || in.gcount() > 0) {
        crc = crc32(block.data(), static_cast<std::size_t>(in.gcount()), crc);
    }
    if (in.bad()) {
        throw FileError(std::make_error_code(std::errc::io_error), path,
                        "cannot read the file back");
    }
    return crc;
}

void NativeTarget::waitBeforeRetry() {
    std::this_thread::sleep_for(std::chrono::seconds(1));
}

} // namespace payload
