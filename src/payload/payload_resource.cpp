#include "payload/payload_resource.h"

#include "support/language_state.h"

namespace payload {

namespace {

HRSRC findPayload(HMODULE module) {
    return ::FindResourceW(module, MAKEINTRESOURCEW(payloadResourceName),
                           MAKEINTRESOURCEW(payloadResourceType));
}

} // namespace

std::unique_ptr<ResourceStream> OpenPayloadResource() {
    return OpenPayloadResource(tw::resourceModule(), ::GetModuleHandleW(nullptr));
}

std::unique_ptr<ResourceStream> OpenPayloadResource(HMODULE resourceModule, HMODULE executable) {
    HMODULE module = resourceModule;
    HRSRC found = findPayload(module);
    if (found == nullptr && executable != resourceModule) {
        module = executable;
        found = findPayload(module);
    }
    auto stream = std::make_unique<ResourceStream>();
    if (found == nullptr) {
        return stream;
    }
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes != nullptr && size != 0) {
        stream->open(boost::iostreams::array_source(static_cast<const char*>(bytes), size));
    }
    return stream;
}

} // namespace payload
