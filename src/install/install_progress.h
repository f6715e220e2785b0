#pragma once
// What the installation tells whoever shows it while it runs: typed events,
// which the progress page turns into its status line, log lines and progress
// bar, and where that bar stands.

#include <cstdint>
#include <string>

// The progress bar's position (0 to 100) for position bytes of total: rounded,
// halves up; 100 is shown only when position has reached total.
int progressPercent(std::uint64_t position, std::uint64_t total);

// The steps that are announced to the user, each on a line of the log that
// its outcome completes.
enum class InstallStep { Preparation, Shortcuts, RegistryData, InstallationData };

class InstallProgress {
public:
    virtual ~InstallProgress() = default;

    // The run begins; nothing is prepared yet.
    virtual void runStarted() = 0;
    // The run could not begin (no temporary folder name); nothing has been
    // changed. errorCode is the code as the user sees it.
    virtual void preparationFailed(const std::wstring& errorCode) = 0;
    // The extraction is about to start: its progress begins at 0.
    virtual void extractionStarted() = 0;
    virtual void stepStarted(InstallStep step) = 0;
    virtual void stepEnded(bool succeeded) = 0;
    // A file of the payload is about to be written, and has been written and
    // verified.
    virtual void fileStarted(const std::wstring& path) = 0;
    virtual void fileEnded() = 0;
    // How much of the payload has been extracted, 0 to 100.
    virtual void progress(int percent) = 0;
    // The step or file under way failed and the installation is undone.
    // errorCode is the code as the user sees it.
    virtual void failed(const std::wstring& errorCode) = 0;
    // Every step has run.
    virtual void runEnded() = 0;
};
