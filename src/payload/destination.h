#pragma once
// Destination folder tokens: the first component of an entry's destination may
// name a folder of the target machine or of the installation session, such as
// "<InstallPath>" or "<CommonData>". Tokens are compared exactly and
// case-sensitively; an unknown token in angle brackets gives an empty base.
//
//   token              folder                               marks folders below it
//   <InstallPath>      the installation folder              no
//   <SamplePath>       the sample folder, see resolveFolder  (the sample folder)
//   <ProgramFiles>     CSIDL_PROGRAM_FILES                  no
//   <ProgramCommon>    CSIDL_PROGRAM_FILES_COMMON           no
//   <CommonData>       CSIDL_COMMON_APPDATA, else APPDATA   yes
//   <UserData>         CSIDL_APPDATA                        no
//   <CommonDocuments>  CSIDL_COMMON_DOCUMENTS, else PERSONAL yes
//   <Documents>        CSIDL_PERSONAL                       no
//   <CommonDesktop>    CSIDL_COMMON_DESKTOPDIRECTORY, else DESKTOPDIRECTORY  yes
//   <Desktop>          CSIDL_DESKTOPDIRECTORY               no
//   <WinDir>           CSIDL_WINDOWS                        no
//   <System>           CSIDL_SYSTEM                         no
//   <Temporary>        the temporary folder, else the installation folder  no

#include "payload/shared_folder_list.h"

#include <functional>
#include <string>
#include <string_view>

namespace payload {

namespace csidl {
constexpr int personal = 0x05;
constexpr int desktopDirectory = 0x10;
constexpr int commonDesktopDirectory = 0x19;
constexpr int appData = 0x1A;
constexpr int commonAppData = 0x23;
constexpr int windows = 0x24;
constexpr int systemFolder = 0x25;
constexpr int programFiles = 0x26;
constexpr int programFilesCommon = 0x2B;
constexpr int commonDocuments = 0x2E;
} // namespace csidl

// The path of a shell folder by CSIDL; empty when the system names none.
using ShellFolderLookup = std::function<std::wstring(int csidl)>;

// The folders of the installation session that tokens stand for.
struct BaseFolders {
    std::wstring installation; // the installation folder
    std::wstring samples;      // the examples folder: a name (below the desktop) or a path
    std::wstring temporary;    // the session's temporary folder; may be empty
};

// The separator this platform's paths are joined with.
#ifdef _WIN32
constexpr wchar_t pathSeparator = L'\\';
#else
constexpr wchar_t pathSeparator = L'/';
#endif

// The folder followed by the component; just the component when the folder is
// empty.
std::wstring joinPath(const std::wstring& folder, std::wstring_view component);

// Whether a folder path is absolute: a drive letter, a colon and a separator,
// or a UNC root (two separators); natively also a leading "/".
bool isAbsoluteFolder(std::wstring_view path);

class DestinationResolver {
public:
    DestinationResolver(BaseFolders folders, ShellFolderLookup lookup, SharedFolderList& shared);

    // The folder a destination names. A destination without components, or
    // whose first component is not in angle brackets, is returned unchanged.
    // Otherwise the token's folder is followed by the further components; for
    // the marking tokens each folder level below the token's folder is
    // registered in the shared-folder list. <SamplePath> is the all users'
    // desktop (else the user's) when the sample folder is empty, the sample
    // folder itself when it is absolute, and else the desktop joined with it,
    // which is then registered. A shell folder that cannot be found raises
    // error 7 of the compress category.
    std::wstring resolveFolder(const std::wstring& destination);

private:
    std::wstring shellFolder(int csidl, int fallback);
    std::wstring sampleFolder();

    BaseFolders folders_;
    ShellFolderLookup lookup_;
    SharedFolderList& shared_;
};

} // namespace payload
