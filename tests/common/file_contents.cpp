#include "file_contents.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "support/unique_resource.h"

#include <windows.h>
#else
#include <fstream>
#include <sstream>
#endif

namespace testing_support {

#ifdef _WIN32

std::optional<std::string> fileContents(const std::filesystem::path& path) {
    const tw::unique_file file(::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string contents;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        contents.append(buffer, read);
    }
    return contents;
}

void writeFile(const std::filesystem::path& path, std::string_view contents) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetFileAttributesW(path.c_str(),
                             attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    const tw::unique_file file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << "cannot write " << path << ": error " << ::GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()),
                            &written, nullptr) &&
                written == contents.size())
        << "cannot write " << path << ": error " << ::GetLastError();
}

#else

std::optional<std::string> fileContents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeFile(const std::filesystem::path& path, std::string_view contents) {
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
        std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    ASSERT_TRUE(out.flush()) << "cannot write " << path;
}

#endif

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& contents) {
    writeFile(path,
              std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size()));
}

} // namespace testing_support
