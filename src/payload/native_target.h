#pragma once
// The extraction target of the native build, over std::filesystem and file
// streams: the native tests and the benchmark extract with it. The product
// uses the Windows target.

#include "payload/destination.h"
#include "payload/extraction_target.h"

namespace payload {

class NativeTarget : public ExtractionTarget {
public:
    // Shell folders come from the lookup.
    explicit NativeTarget(ShellFolderLookup lookup);

    std::wstring shellFolder(int csidl) override;
    // Equal after lexical normalisation.
    bool samePath(const std::wstring& a, const std::wstring& b) override;
    // An existing file gets its owner's write permission back.
    void prepareOutput(const std::wstring& path) override;
    // There are no access rights to grant natively.
    void grantSharedFolders(SharedFolderList& folders, const std::wstring& folder) override;
    std::unique_ptr<OutputFile> createOutput(const std::wstring& path) override;
    std::optional<std::uint32_t> readBackCrc(const std::wstring& path) override;
    void waitBeforeRetry() override;

private:
    ShellFolderLookup lookup_;
};

} // namespace payload
