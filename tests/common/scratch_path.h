#pragma once
// A scratch path for GoogleTest tests that work on the host's file system.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace testing_support {

// A path under the temporary folder named after the running test
// ("Suite/Test/Param" joined with "-") behind the prefix, so that tests
// running side by side do not meet. Nothing is created.
inline std::filesystem::path scratchPath(const std::string& prefix) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = prefix + test->test_suite_name() + "-" + test->name();
    std::replace(name.begin(), name.end(), '/', '-');
    return std::filesystem::temp_directory_path() / name;
}

} // namespace testing_support
