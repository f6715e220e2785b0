// No DLL from the installer's folder: with DLLs planted beside it under the
// names of the system DLLs it imports or loads and of those commonly loaded
// late, the loader looks up nothing there beyond what it looks up beside a
// careful reference program (Wine loads its own copy of a system DLL even
// when it finds one beside the program, but its trace names the path where
// it found it: the file that Windows would have loaded).
#include "installation.h"
#include "text_case.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

using namespace e2e;
using testing_support::lowerCase;

const wchar_t* const plantedNames[] = {
    L"kernel32.dll", L"user32.dll",  L"gdi32.dll",    L"advapi32.dll",  L"shell32.dll",
    L"shlwapi.dll",  L"ole32.dll",   L"oleaut32.dll", L"comdlg32.dll",  L"msvcrt.dll",
    L"comctl32.dll", L"uxtheme.dll", L"dwmapi.dll",   L"cryptbase.dll", L"propsys.dll",
    L"profapi.dll",  L"userenv.dll", L"version.dll",  L"bcrypt.dll",    L"winmm.dll",
    L"msimg32.dll",  L"rsaenh.dll",  L"imm32.dll",    L"rpcrt4.dll",    L"sechost.dll"};

// A folder holding a copy of the program and the planted DLLs.
std::wstring plantedFolder(const std::wstring& name, const std::wstring& program) {
    const std::filesystem::path folder = temporaryFolder() + L"\\planted\\" + name;
    std::filesystem::create_directories(folder);
    const std::filesystem::path planted = pathFromEnvironment(L"KV_PLANTED_DLL");
    for (const wchar_t* dll : plantedNames) {
        std::filesystem::copy_file(planted, folder / dll);
    }
    const std::filesystem::path copy = folder / std::filesystem::path(program).filename();
    std::filesystem::copy_file(program, copy);
    return copy.wstring();
}

// The modules that the loader found in the program's folder, by lower-case
// name, from the Wine trace "Loaded L"PATH" at ADDRESS: builtin|native".
std::set<std::wstring> loadedBeside(const std::wstring& program, const std::string& trace) {
    const std::wstring folder = lowerCase(program.substr(0, program.find_last_of(L'\\') + 1));
    std::set<std::wstring> names;
    const std::string marker = "Loaded L\"";
    for (std::size_t at = trace.find(marker); at != std::string::npos;
         at = trace.find(marker, at + 1)) {
        const std::size_t start = at + marker.size();
        std::wstring path;
        for (std::size_t i = start; i < trace.size() && trace[i] != '"'; ++i) {
            path += static_cast<wchar_t>(trace[i]);
            if (trace[i] == '\\' && i + 1 < trace.size() && trace[i + 1] == '\\') {
                ++i;
            }
        }
        path = lowerCase(path);
        if (path.starts_with(folder)) {
            names.insert(path.substr(folder.size()));
        }
    }
    return names;
}

// The loader's trace on for the programs started while this lives.
class LoaderTrace {
public:
    LoaderTrace() { ::SetEnvironmentVariableW(L"WINEDEBUG", L"+loaddll"); }
    ~LoaderTrace() { ::SetEnvironmentVariableW(L"WINEDEBUG", L"-all"); }
    LoaderTrace(const LoaderTrace&) = delete;
    LoaderTrace& operator=(const LoaderTrace&) = delete;
};

TEST(DllSearch, NothingIsLoadedFromTheInstallersFolder) {
    const LoaderTrace tracing;
    const std::wstring reference =
        plantedFolder(L"reference", pathFromEnvironment(L"KV_REFERENCE_PROGRAM"));
    Installer referenceRun(reference);
    EXPECT_EQ(referenceRun.waitForExit(), std::optional<DWORD>(0));
    const std::wstring installer = plantedFolder(L"installer", installerPath());
    {
        Installer installerRun(installer);
        HWND frame = waitForFrame(installerRun);
        ASSERT_NE(frame, nullptr);
        exitConfirmed(installerRun, frame);
    }
    // Wine writes the trace to the standard error that the scenario's Wine
    // processes share, which ctest sends to this file.
    const std::string trace =
        fileContents(pathFromEnvironment(L"KV_LOADER_TRACE")).value_or(std::string());
    ASSERT_NE(trace.find("Loaded L\""), std::string::npos) << "no loader trace";

    std::set<std::wstring> beyond = loadedBeside(installer, trace);
    // The common controls, loaded at run time after the search is restricted,
    // take their own imports from the system folder.
    EXPECT_EQ(beyond.count(L"uxtheme.dll"), 0u);
    for (const std::wstring& name : loadedBeside(reference, trace)) {
        beyond.erase(name);
    }
    EXPECT_EQ(beyond, std::set<std::wstring>{L"installkelvane3.00g.exe"});
    const std::wstring folder = installer.substr(0, installer.find_last_of(L'\\'));
    for (const std::wstring& name : folderListing(folder)) {
        EXPECT_FALSE(name.ends_with(L".loaded")) << std::string(name.begin(), name.end());
    }
}

} // namespace
