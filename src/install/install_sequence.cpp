#include "install/install_sequence.h"

#include "app/format_text.h"
#include "app/texts.h"
#include "install/install_view.h"

// STAND-IN until the installation sequence arrives: announces the start and
// reports that nothing could be installed (error 7, "unexpected error").
bool RunInstallation(InstallView& view) {
    view.mainProgramPath.clear();
    view.uninstallerPath.clear();
    view.AppendLog(L"", true);
    view.SetStatus(LoadText(1114));
    view.AppendLog(LoadText(1114) + LoadText(1012) + L"\r\n");
    view.SetStatus(FormatText(LoadText(1121), {L"7"}));
    return false;
}
