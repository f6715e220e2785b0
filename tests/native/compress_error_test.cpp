#include "payload/compress_error.h"
#include "payload/file_error.h"

#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/system/system_error.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <future>
#include <ios>
#include <stdexcept>

namespace {

using namespace payload;

TEST(CompressCategory, NamesAndMessages) {
    const std::error_category& category = compress_category();
    EXPECT_STREQ(category.name(), "compress");
    EXPECT_EQ(category.message(3), "invalid checksum");
    EXPECT_EQ(category.message(4), "unknown error");
    EXPECT_EQ(category.message(5), "interrupted");
    EXPECT_EQ(category.message(6), "bzip2 error");
    EXPECT_EQ(category.message(7), "unexpected error");
    EXPECT_EQ(category.message(0), "unknown error");
    EXPECT_EQ(category.message(42), "unknown error");
    EXPECT_EQ(std::error_code(compress_errc::bzip2), make_error_code(compress_errc::bzip2));
}

// A Boost category other than Boost's system and generic ones. (Boost's base
// class has a protected, non-virtual destructor.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CustomBoostCategory : public boost::system::error_category {
public:
    const char* name() const noexcept override { return "custom"; }
    std::string message(int) const override { return "custom"; }
};
#pragma GCC diagnostic pop

struct Thrown {
    const char* name;
    std::function<void()> raise;
    std::error_code code;
};

class ExceptionCode : public testing::TestWithParam<Thrown> {};

TEST_P(ExceptionCode, IsMappedFirstMatchFirst) {
    try {
        GetParam().raise();
        FAIL() << "nothing thrown";
    } catch (...) {
        EXPECT_EQ(errorCodeOf(std::current_exception()), GetParam().code);
    }
}

const CustomBoostCategory customCategory;

INSTANTIATE_TEST_SUITE_P(
    Order, ExceptionCode,
    testing::Values(
        Thrown{"StreamFailureWithCode",
               [] { throw std::ios_base::failure("x", std::io_errc::stream); },
               std::error_code(std::io_errc::stream)},
        Thrown{
            "StreamFailureWithSystemCode",
            [] { throw std::ios_base::failure("x", std::error_code(5, std::system_category())); },
            std::error_code(5, std::system_category())},
        Thrown{"StreamFailureWithoutCode",
               [] { throw std::ios_base::failure("x", std::error_code()); },
               make_error_code(compress_errc::unexpected)},
        Thrown{"Bzip2Error", [] { throw boost::iostreams::bzip2_error(-4); },
               make_error_code(compress_errc::bzip2)},
        Thrown{"SystemError", [] { throw std::system_error(183, std::system_category()); },
               std::error_code(183, std::system_category())},
        Thrown{"CompressError", [] { raise(compress_errc::invalid_checksum); },
               make_error_code(compress_errc::invalid_checksum)},
        Thrown{"FileSystemError",
               [] {
                   throw std::filesystem::filesystem_error(
                       "x", "C:\\a", std::error_code(3, std::system_category()));
               },
               std::error_code(3, std::system_category())},
        Thrown{"ExtractionFileError",
               [] { throw FileError(std::error_code(5, std::system_category()), L"C:\\a", "x"); },
               std::error_code(5, std::system_category())},
        Thrown{"BoostSystemCategory",
               [] {
                   throw boost::system::system_error(
                       boost::system::error_code(32, boost::system::system_category()));
               },
               std::error_code(32, std::system_category())},
        Thrown{"BoostGenericCategory",
               [] {
                   throw boost::system::system_error(
                       boost::system::error_code(2, boost::system::generic_category()));
               },
               std::error_code(2, std::generic_category())},
        Thrown{
            "BoostOtherCategory",
            [] { throw boost::system::system_error(boost::system::error_code(9, customCategory)); },
            make_error_code(compress_errc::unexpected)},
        Thrown{"RuntimeError", [] { throw std::runtime_error("x"); },
               make_error_code(compress_errc::unexpected)},
        Thrown{"NotAnException", [] { throw 42; }, make_error_code(compress_errc::unexpected)}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(FilesystemErrorPath, IsThePathOfAFileSystemErrorOnly) {
    try {
        throw FileError(std::error_code(3, std::system_category()), L"C:\\a", "x");
    } catch (...) {
        EXPECT_EQ(filesystemErrorPath(std::current_exception()), L"C:\\a");
    }
    try {
        throw std::runtime_error("x");
    } catch (...) {
        EXPECT_EQ(filesystemErrorPath(std::current_exception()), L"");
    }
}

struct Display {
    std::error_code code;
    const wchar_t* text;
};

class DisplayErrorCode : public testing::TestWithParam<Display> {};

TEST_P(DisplayErrorCode, FollowsTheCategory) {
    EXPECT_EQ(displayErrorCode(GetParam().code), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DisplayErrorCode,
    testing::Values(Display{std::error_code(5, std::system_category()), L"1:00000005"},
                    Display{std::error_code(0x3E6, std::system_category()), L"1:000003E6"},
                    Display{std::error_code(static_cast<int>(0x80070005), std::system_category()),
                            L"1:80070005"},
                    Display{std::error_code(2, std::generic_category()), L"2:00000002"},
                    Display{std::error_code(0x1c, std::generic_category()), L"2:0000001C"},
                    Display{make_error_code(compress_errc::invalid_checksum), L"3"},
                    Display{make_error_code(compress_errc::unknown), L"4"},
                    Display{make_error_code(compress_errc::unexpected), L"7"},
                    Display{std::error_code(std::io_errc::stream), L"7"},
                    Display{std::error_code(std::future_errc::broken_promise), L"7"}));

} // namespace
