#include "payload/compress_error.h"

namespace payload {

namespace {

class CompressCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "compress"; }
    std::string message(int code) const override {
        switch (static_cast<compress_errc>(code)) {
        case compress_errc::invalid_checksum:
            return "invalid checksum";
        case compress_errc::interrupted:
            return "interrupted";
        case compress_errc::bzip2:
            return "bzip2 error";
        case compress_errc::unexpected:
            return "unexpected error";
        case compress_errc::unknown:
            break;
        }
        return "unknown error";
    }
};

} // namespace

const std::error_category& compress_category() noexcept {
    static const CompressCategory category;
    return category;
}

std::error_code make_error_code(compress_errc code) noexcept {
    return {static_cast<int>(code), compress_category()};
}

void raise(compress_errc code) {
    throw std::system_error(make_error_code(code));
}

} // namespace payload
