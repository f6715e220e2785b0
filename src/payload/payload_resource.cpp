#include "payload/payload_resource.h"

#include "support/language_state.h"

#include <algorithm>
#include <cstring>

namespace payload {

namespace {

HRSRC findPayload(HMODULE module) {
    return ::FindResourceW(module, MAKEINTRESOURCEW(payloadResourceName),
                           MAKEINTRESOURCEW(payloadResourceType));
}

} // namespace

std::size_t ResourceStream::read(char* bytes, std::size_t size) {
    const std::size_t count = std::min(size, size_ - position_);
    if (count > 0) {
        std::memcpy(bytes, bytes_ + position_, count);
        position_ += count;
    }
    return count;
}

bool ResourceStream::rewind() {
    position_ = 0;
    return is_open();
}

std::unique_ptr<ResourceStream> openPayloadResource() {
    return openPayloadResource(tw::resourceModule(), ::GetModuleHandleW(nullptr));
}

std::unique_ptr<ResourceStream> openPayloadResource(HMODULE resourceModule, HMODULE executable) {
    HMODULE module = resourceModule;
    HRSRC found = findPayload(module);
    if (found == nullptr && executable != resourceModule) {
        module = executable;
        found = findPayload(module);
    }
    if (found == nullptr) {
        return std::make_unique<ResourceStream>();
    }
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) {
        return std::make_unique<ResourceStream>();
    }
    return std::make_unique<ResourceStream>(static_cast<const char*>(bytes), size);
}

} // namespace payload
