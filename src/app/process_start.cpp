#include "app/process_start.h"

#include <windows.h>

namespace {

bool processorFlag = false;

constexpr wchar_t incompatibleText[] =
    L"This Version is not compatible with your Configuration.\n\n"
    L"Cette version n'est pas compatible avec votre configuration.\n\n"
    L"Diese Version ist nicht mit Ihrer Konfiguration kompatibel.";

// PF_XMMI64_INSTRUCTIONS_AVAILABLE: SSE2.
constexpr DWORD sse2Feature = 10;

} // namespace

bool checkProcessor() {
    if (!::IsProcessorFeaturePresent(sse2Feature)) {
        ::MessageBoxW(nullptr, incompatibleText, nullptr, MB_ICONERROR);
        return false;
    }
    processorFlag = true;
    return true;
}

bool processorChecked() noexcept {
    return processorFlag;
}
