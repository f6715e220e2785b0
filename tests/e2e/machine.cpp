#include "machine.h"

#include "payload/crc32.h"
#include "support/shell_folder_path.h"
#include "support/unique_resource.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

namespace e2e {

namespace {

// The registry keys an installation of the product writes, and what the
// snapshot calls them.
struct WatchedKey {
    HKEY root;
    const wchar_t* rootName;
    const wchar_t* path;
};

const WatchedKey watchedKeys[] = {
    {HKEY_LOCAL_MACHINE, L"HKLM", L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
    {HKEY_LOCAL_MACHINE, L"HKLM", L"Software\\Tarnwick"},
    {HKEY_CURRENT_USER, L"HKCU", L"Software\\Tarnwick"},
    {HKEY_CLASSES_ROOT, L"HKCR", L".kvd"},
    {HKEY_CLASSES_ROOT, L"HKCR", L"Kelvane.Document.3"},
};

std::wstring hex(std::uint64_t value, int digits) {
    wchar_t text[24] = {};
    std::swprintf(text, 24, L"%0*llx", digits, static_cast<unsigned long long>(value));
    return text;
}

bool sameName(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The CRC-32 of a file's contents, or "unreadable".
std::wstring contentsDigest(const std::wstring& path) {
    const std::optional<std::string> contents = fileContents(path);
    return contents ? L"crc " + hex(payload::crc32(contents->data(), contents->size()), 8)
                    : L"unreadable";
}

std::wstring describeFile(const std::wstring& path, const WIN32_FIND_DATAW& found) {
    const std::uint64_t size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    const std::uint64_t written = (std::uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32) |
                                  found.ftLastWriteTime.dwLowDateTime;
    return L"file, " + std::to_wstring(size) + L" bytes, " + contentsDigest(path) +
           L", attributes " + hex(found.dwFileAttributes, 8) + L", written " + hex(written, 16);
}

void walkFolder(const std::wstring& folder, const std::wstring& windowsFolder,
                MachineState& state) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::wstring> subfolders;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            state[path] = L"link";
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!sameName(path, windowsFolder)) {
                state[path] = L"folder";
                subfolders.push_back(path);
            }
        } else {
            state[path] = describeFile(path, found);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    for (const std::wstring& subfolder : subfolders) {
        walkFolder(subfolder, windowsFolder, state);
    }
}

void walkKey(HKEY key, const std::wstring& name, MachineState& state) {
    state[name] = L"key";
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[16384] = {};
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = 0;
        if (::RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            break;
        }
        RegistryValue value{type, std::vector<BYTE>(size)};
        ::RegQueryValueExW(key, valueName, nullptr, nullptr, value.data.data(), &size);
        value.data.resize(size);
        state[name + L" : " + (nameLength == 0 ? L"(default)" : valueName)] = describe(value);
    }
    std::vector<std::wstring> subkeys;
    for (DWORD index = 0;; ++index) {
        wchar_t subkey[256] = {};
        DWORD length = 256;
        if (::RegEnumKeyExW(key, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        subkeys.emplace_back(subkey, length);
    }
    for (const std::wstring& subkey : subkeys) {
        tw::unique_hkey child;
        if (::RegOpenKeyExW(key, subkey.c_str(), 0, KEY_READ, child.put()) == ERROR_SUCCESS) {
            walkKey(child.get(), name + L"\\" + subkey, state);
        }
    }
}

} // namespace

std::wstring journalFolder() {
    return shellFolder(CSIDL_WINDOWS) + L"\\Kelvane 3 Setup";
}

MachineState snapshotMachine() {
    MachineState state;
    walkFolder(L"C:", shellFolder(CSIDL_WINDOWS), state);
    // The installer's journal folder is the one item of the Windows folder
    // that an installation may leave.
    if (fileAttributes(journalFolder()) != INVALID_FILE_ATTRIBUTES) {
        state[journalFolder()] = L"folder";
        walkFolder(journalFolder(), {}, state);
    }
    for (const WatchedKey& watched : watchedKeys) {
        tw::unique_hkey key;
        if (::RegOpenKeyExW(watched.root, watched.path, 0, KEY_READ, key.put()) == ERROR_SUCCESS) {
            walkKey(key.get(), std::wstring(watched.rootName) + L"\\" + watched.path, state);
        }
    }
    return state;
}

std::vector<std::wstring> differences(const MachineState& before, const MachineState& after) {
    std::vector<std::wstring> changes;
    for (const auto& [item, was] : before) {
        const auto now = after.find(item);
        if (now == after.end()) {
            changes.push_back(L"- " + item + L": " + was);
        } else if (now->second != was) {
            changes.push_back(L"~ " + item + L": " + was + L" -> " + now->second);
        }
    }
    for (const auto& [item, now] : after) {
        if (!before.contains(item)) {
            changes.push_back(L"+ " + item + L": " + now);
        }
    }
    return changes;
}

std::wstring shellFolder(int csidl) {
    return tw::shellFolderPath(nullptr, csidl);
}

std::wstring temporaryFolder() {
    wchar_t path[MAX_PATH] = {};
    std::wstring folder(path, ::GetTempPathW(MAX_PATH, path));
    while (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    return folder;
}

std::vector<std::wstring> folderListing(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    std::vector<std::wstring> names;
    HANDLE search = ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

DWORD fileAttributes(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str());
}

std::optional<RegistryValue> registryValue(HKEY root, const std::wstring& key,
                                           const std::wstring& name) {
    tw::unique_hkey opened;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegistryValue value{type, std::vector<BYTE>(size)};
    if (::RegQueryValueExW(opened.get(), name.c_str(), nullptr, nullptr, value.data.data(),
                           &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

std::vector<std::wstring> registryValueNames(HKEY root, const std::wstring& key) {
    std::vector<std::wstring> names;
    tw::unique_hkey opened;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384] = {};
        DWORD length = 16384;
        if (::RegEnumValueW(opened.get(), index, name, &length, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

bool registryKeyExists(HKEY root, const std::wstring& key) {
    tw::unique_hkey opened;
    return ::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

void storeLanguagePreference(DWORD language) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, productUninstallKey.c_str(), 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const LONG status = ::RegSetValueExW(key, L"TwLanguage", 0, REG_DWORD,
                                         reinterpret_cast<const BYTE*>(&language), sizeof language);
    ::RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

RegistryValue stringValue(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return {REG_SZ, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
}

RegistryValue dwordValue(DWORD value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return {REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof value)};
}

std::wstring describe(const RegistryValue& value) {
    if (value.type == REG_SZ && value.data.size() % 2 == 0) {
        std::wstring text(value.data.size() / 2, L'\0');
        std::copy(value.data.begin(), value.data.end(), reinterpret_cast<BYTE*>(text.data()));
        const bool terminated = !text.empty() && text.back() == L'\0';
        if (terminated) {
            text.pop_back();
        }
        return L"REG_SZ \"" + text + L"\"" + (terminated ? L"" : L" without its NUL");
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number = 0;
        std::copy(value.data.begin(), value.data.end(), reinterpret_cast<BYTE*>(&number));
        return L"REG_DWORD 0x" + hex(number, 8);
    }
    std::wstring text = L"type " + std::to_wstring(value.type) + L":";
    for (const BYTE byte : value.data) {
        text += L" " + hex(byte, 2);
    }
    return text;
}

void PrintTo(const RegistryValue& value, std::ostream* out) {
    *out << testing::PrintToString(describe(value));
}

} // namespace e2e
