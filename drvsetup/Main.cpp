// Quenfold's entry: a windowless run that ends in one message box and the exit code.
#include <windows.h>

#include "AttachedData.h"
#include "Platform.h"
#include "Setup.h"
#include "Targets.h"
#include "Utf8.h"

namespace {

// The box has no owner, so a caller can find it by its caption and close it with IDCANCEL.
void ShowSetupBox(const std::string& text, drvdb::BoxIcon icon) {
    const UINT style = MB_OK | (icon == drvdb::BoxIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
    if (drvdb::IsWinNT()) {
        MessageBoxW(nullptr, drvdb::Utf8ToUtf16(text).c_str(), drvdb::Utf8ToUtf16(drvdb::kSetupCaption).c_str(),
                    style);
        return;
    }
    std::string ansi;
    if (!drvdb::Utf8ToAnsi(text, ansi)) ansi = text;
    MessageBoxA(nullptr, ansi.c_str(), drvdb::kSetupCaption, style);
}

std::vector<std::string> InstallTargets() {
    std::vector<std::string> urls;
    drvdb::Ref<drvdb::CTargetList> targets(drvdb::EnumerateTargets());
    while (targets->Next()) urls.push_back(targets->Current());
    return urls;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    try {
        return drvdb::RunSetup(drvdb::ParseCommandLine(commandLine ? commandLine : ""), drvdb::OwnFileName(),
                               InstallTargets(), ShowSetupBox);
    } catch (...) {
        return drvdb::kInstallFailed;
    }
}
