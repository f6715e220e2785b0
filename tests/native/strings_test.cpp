// Checks the installer's string tables as written in src/res/strings.rc: the
// blocks of every language, the English texts, and that translations keep
// the placeholders and line breaks of the English ones.
#include "install/installer_languages.h"
#include "support/language_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

const std::vector<int> baseIds{1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009,
                               1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1100,
                               1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109, 1110,
                               1111, 1112, 1113, 1114, 1115, 1117, 1118, 1119, 1120, 1121,
                               1122, 1123, 1124, 1125, 1126, 1127, 1129, 1130, 1131, 1132};

const std::map<int, std::string> englishTexts{
    {1000, "Installer"},
    {1001, "OK"},
    {1002, "Cancel"},
    {1003, "About '%1'"},
    {1004, "Exit"},
    {1005, "Back"},
    {1006, "Next"},
    {1007, "Install"},
    {1008, "Browse..."},
    {1009, "Start menu"},
    {1010, "Installation Folder Selection"},
    {1011, "OK"},
    {1012, "Failed"},
    {1013, "Uninstall %1"},
    {1014, "Select Installation Langage"},
    {1015, "Installation Method"},
    {1016, "Quick Installation (Recommended)"},
    {1017, "Advanced Installation"},
    {1018, "%1 Examples"},
    {1100, "'%1' Installation."},
    {1101, "Update from '%1' to '%2'."},
    {1102, "'%1' is already installed."},
    {1103, "A more recent Version (%1) is already installed."},
    {1104, "Do you confirm Reinstallation ?"},
    {1105, "Click on '%1' to continue or on '%2' to exit Installation."},
    {1106, "Click on '%1' to continue."},
    {1107, "Click on '%1' to exit Installation."},
    {1108, "Click on '%1' to start Installation."},
    {1109, ""},
    {1110, "Installation is not complete.\r\n\r\nDo you still confirm exit Installation ?"},
    {1111, "Select '%1' Installation Folder."},
    {1112, "Create a Shortcut in the following Menu:"},
    {1113, "Create a Shortcut on the Desktop."},
    {1114, "Preparing Installation..."},
    {1115, "Copying File  %1..."},
    {1117, "Shortcuts Creation..."},
    {1118, "Registry Data Writing..."},
    {1119, "Installation Data Writing..."},
    {1120, "Installation is complete."},
    {1121, "Installation failed (Error Code %1)."},
    {1122, "Installation Options"},
    {1123, "Installation Folder: %1."},
    {1124, "Creating a Shortcut in the Start Menu (Folder %1)."},
    {1125, "Creating a Shortcut on the Desktop."},
    {1126, "You should have Administrator Rights in order to proceed to Installation."},
    {1127, "You should close '%1' before continuing Installation."},
    {1129, "'%1' will be installed in the selected Langage, but the Installer, still under "
           "translation,  shall run in English."},
    {1130, "The installation folder must be a complete path, starting with a drive letter (C:\\) "
           "or a network share (\\\\server)."},
    {1131, "An interrupted installation of '%1' was undone: everything it had changed is as it was "
           "before."},
    {1132,
     "An interrupted installation left a record that cannot be read, so it was not undone and "
     "nothing was changed. An administrator should look at it:\r\n\r\n%1"},
};

// The STRINGTABLE entries of the file, id to text (UTF-8), escapes decoded.
std::map<int, std::string> readStringTables(const std::string& path) {
    std::ifstream file(path);
    EXPECT_TRUE(file) << "cannot read " << path;
    const std::regex entry(R"re(^\s*(\d+)\s*,\s*"(.*)"\s*$)re");
    std::map<int, std::string> texts;
    bool inTable = false;
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("STRINGTABLE", 0) == 0) {
            inTable = true;
            continue;
        }
        if (line == "END") {
            inTable = false;
            continue;
        }
        std::smatch match;
        if (!inTable || !std::regex_match(line, match, entry)) {
            continue;
        }
        const std::string raw = match[2];
        std::string text;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size()) {
                const char next = raw[++i];
                text += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
            } else if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') {
                text += '"';
                ++i;
            } else {
                text += raw[i];
            }
        }
        const int id = std::stoi(match[1]);
        EXPECT_EQ(texts.count(id), 0u) << "id " << id << " appears twice";
        texts[id] = text;
    }
    return texts;
}

// The %1, %2 ... of a text, sorted, and its line breaks.
std::vector<std::string> placeholders(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && std::isalnum(static_cast<unsigned char>(text[i + 1]))) {
            found.push_back(text.substr(i, 2));
        }
        if (text[i] == '\r' && text[i + 1] == '\n') {
            found.push_back("CRLF");
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

class StringTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        texts = new std::map<int, std::string>(
            readStringTables(std::string(KV_SOURCE_DIR) + "/src/res/strings.rc"));
    }
    static void TearDownTestSuite() {
        delete texts;
        texts = nullptr;
    }
    static const std::string* text(std::int32_t language, int base) {
        const auto found = texts->find(base + tw::languageTextOffset(language));
        return found == texts->end() ? nullptr : &found->second;
    }
    static std::map<int, std::string>* texts;
};

std::map<int, std::string>* StringTables::texts = nullptr;

TEST_F(StringTables, EveryBlockHoldsEveryBaseIdAndNothingElse) {
    std::size_t expected = 0;
    for (std::int32_t language = 0; language < tw::languageCount; ++language) {
        for (const int base : baseIds) {
            EXPECT_NE(text(language, base), nullptr) << "language " << language << " base " << base;
            ++expected;
        }
    }
    EXPECT_EQ(texts->size(), expected);
}

TEST_F(StringTables, EnglishTextsAsTheProductShowsThem) {
    for (const auto& [base, english] : englishTexts) {
        const std::string* stored = text(tw::language::english, base);
        ASSERT_NE(stored, nullptr) << "base " << base;
        EXPECT_EQ(*stored, english) << "base " << base;
    }
}

TEST_F(StringTables, InstallerLanguagesAreCompleteExceptCzechInstall) {
    for (std::int32_t language = 0; language < tw::languageCount; ++language) {
        if (!HasInstallerTexts(language)) {
            continue;
        }
        for (const int base : baseIds) {
            const std::string* stored = text(language, base);
            ASSERT_NE(stored, nullptr);
            const bool czechInstall = language == tw::language::czech && base == 1007;
            EXPECT_EQ(*stored == "#", czechInstall) << "language " << language << " base " << base;
            const bool englishEmpty = language == tw::language::english && base == 1109;
            EXPECT_EQ(stored->empty(), englishEmpty) << "language " << language << " base " << base;
        }
    }
}

TEST_F(StringTables, TranslationsKeepPlaceholdersAndLineBreaks) {
    for (std::int32_t language = 0; language < tw::languageCount; ++language) {
        if (!HasInstallerTexts(language) || language == tw::language::english) {
            continue;
        }
        for (const int base : baseIds) {
            const std::string& translated = *text(language, base);
            if (translated == "#") {
                continue;
            }
            const std::string& english = englishTexts.at(base);
            EXPECT_EQ(placeholders(translated), placeholders(english))
                << "language " << language << " base " << base << ": " << translated;
            const auto breaks = [](const std::string& s) {
                return std::count(s.begin(), s.end(), '\r') + std::count(s.begin(), s.end(), '\n');
            };
            EXPECT_EQ(breaks(translated), breaks(english))
                << "language " << language << " base " << base;
            EXPECT_EQ(translated.find("  "), std::string::npos)
                << "double blank in language " << language << " base " << base;
        }
    }
}

TEST_F(StringTables, LanguagesWithoutInstallerTextsAreUntranslated) {
    for (std::int32_t language = 0; language < tw::languageCount; ++language) {
        if (HasInstallerTexts(language)) {
            continue;
        }
        for (const int base : baseIds) {
            EXPECT_EQ(*text(language, base), "#") << "language " << language << " base " << base;
        }
    }
}

TEST_F(StringTables, TheProductsOwnExamples) {
    EXPECT_EQ(*text(tw::language::french, 1013), "D\xC3\xA9sinstaller %1");
    EXPECT_EQ(*text(tw::language::german, 1013), "Deinstallieren %1");
}

} // namespace
