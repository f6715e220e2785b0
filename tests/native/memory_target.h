#pragma once
// An extraction target that keeps every file in memory, for the tests of the
// archive reader and the extraction driver; faults can be planted in it.

#include "payload/crc32.h"
#include "payload/extraction_target.h"

#include <ios>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testing_support {

struct MemoryTarget : payload::ExtractionTarget {
    std::map<int, std::wstring> shell;
    std::map<std::wstring, std::string> files;
    std::vector<std::wstring> prepared;
    std::vector<std::wstring> grantedFolders;
    std::set<std::wstring> unopenable; // createOutput fails for these
    std::map<std::wstring, int> busy;  // read-back sharing violations still to come
    std::set<std::wstring> flipOnDisk; // one bit differs when read back
    int waits = 0;

    std::wstring shellFolder(int csidl) override {
        const auto found = shell.find(csidl);
        return found == shell.end() ? std::wstring() : found->second;
    }
    bool samePath(const std::wstring& a, const std::wstring& b) override { return a == b; }
    void prepareOutput(const std::wstring& path) override { prepared.push_back(path); }
    void grantSharedFolders(payload::SharedFolderList&, const std::wstring& folder) override {
        grantedFolders.push_back(folder);
    }

    struct File : payload::OutputFile {
        std::string& contents;
        explicit File(std::string& c)
            : contents(c) {}
        void write(const char* bytes, std::size_t size) override { contents.append(bytes, size); }
        void close() override {}
    };

    std::unique_ptr<payload::OutputFile> createOutput(const std::wstring& path) override {
        if (unopenable.count(path) != 0) {
            throw std::ios_base::failure("cannot open", std::io_errc::stream);
        }
        std::string& contents = files[path];
        contents.clear();
        return std::make_unique<File>(contents);
    }

    std::optional<std::uint32_t> readBackCrc(const std::wstring& path) override {
        if (int& left = busy[path]; left > 0) {
            --left;
            return std::nullopt;
        }
        std::string contents = files.at(path);
        if (flipOnDisk.count(path) != 0 && !contents.empty()) {
            contents[contents.size() / 2] ^= 0x08;
        }
        return payload::crc32(contents.data(), contents.size());
    }

    void waitBeforeRetry() override { ++waits; }
};

} // namespace testing_support
