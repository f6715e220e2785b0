#include "support/path_stem.h"

#include <gtest/gtest.h>

namespace {

struct StemCase {
    const wchar_t* path;
    const wchar_t* stem;
};

class FileStem : public testing::TestWithParam<StemCase> {};

TEST_P(FileStem, FollowsThePathRules) {
    EXPECT_EQ(tw::fileStem(GetParam().path), GetParam().stem);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileStem,
    testing::Values(StemCase{L"C:\\Setup\\InstallKelvane3.00g.exe", L"InstallKelvane3.00g"},
                    StemCase{L"C:/Setup/setup.exe", L"setup"}, StemCase{L"setup", L"setup"},
                    StemCase{L"C:\\Setup\\archive.tar.gz", L"archive.tar"},
                    StemCase{L"C:\\Setup\\.profile", L".profile"}, StemCase{L"C:\\Setup\\.", L"."},
                    StemCase{L"C:\\Setup\\..", L".."},
                    StemCase{L"C:\\Setup\\data.bin:stream", L"data"},
                    StemCase{L"C:setup.exe", L"setup"}, StemCase{L"C:\\Setup\\", L""},
                    StemCase{L"", L""}));

} // namespace
