#include "payload/temp_folder.h"

#include "support/hex_digits.h"

#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid_io.hpp>

namespace payload {

std::wstring randomFolderLeaf(std::wstring_view prefix) {
    boost::uuids::random_generator generate;
    return std::wstring(prefix) + L"{" + boost::uuids::to_wstring(generate()) + L"}";
}

std::wstring tempFolderLeaf() {
    return randomFolderLeaf(L"tarnwick_");
}

std::wstring stepErrorText(std::uint32_t code, std::wstring_view step) {
    return tw::lowerHex(code, 8) + L" (" + std::wstring(step) + L")";
}

} // namespace payload
