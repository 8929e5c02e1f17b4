// Pagorin's program entry: the page path of a hot-key start, the hand-over to a running instance, the
// first-run start of the driver setup tool, and the five forms on the Unicode and check-tree layers.
#include <windows.h>

// The check-tree layer starts with the program (COM on this thread, the theme lock) and ends after it.
#include "QvShellIntf.h"
#include "QvShellUtils.h"
#include "QvUxTheme.h"

#include "About.h"
#include "Alert.h"
#include "CommandLine.h"
#include "Main.h"
#include "QvComponents.h"
#include "RegistryKey.h"
#include "SelectScanner.h"
#include "Settings.h"
#include "WideText.h"

using namespace pagorin;

namespace {

constexpr DWORD SetupWindowLimitMs = 30000;
constexpr UINT HandOverLimitMs = 30000;

// Hands the argument to the running instance; a hung instance does not hold this start forever. False when
// the instance gave no answer (hung, or gone meanwhile): the page did not reach it.
bool HandOver(HWND running, const std::string& argument)
{
    Sleep(200);
    COPYDATASTRUCT data{};
    data.cbData = DWORD(argument.size());
    data.lpData = const_cast<char*>(argument.c_str());
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               HandOverLimitMs, &result) != 0;
}

// Starts the driver setup tool and closes its result box; gives up when the tool does not start or its
// box does not show within the limit.
void RunDriverSetup()
{
    HINSTANCE started = ShellExecuteA(nullptr, "open", "Quenfold.exe", "", "", SW_HIDE);
    if (reinterpret_cast<INT_PTR>(started) <= 32)
        return;
    for (DWORD start = GetTickCount(); GetTickCount() - start < SetupWindowLimitMs; Sleep(10)) {
        if (HWND box = FindWindowA(nullptr, "Disc burning driver setup")) {
            SendMessageA(box, WM_COMMAND, IDCANCEL, 0);
            return;
        }
    }
}

void ReadInstallationFolder()
{
    RegistryKey key(KeyLocation(), false);
    if (!key.Valid()) {
        RunDriverSetup();
        return;
    }
    InstallationFolder = key.ReadString("InstallDir", MAX_PATH - 1).value_or("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    InstallationFolder.clear();
    CommandLineArgument = GetCommandLineArgument();
    // A hot-key tool learns from the exit code that its page was not handed over.
    if (HWND running = FindWindowA(nullptr, MainCaption))
        return HandOver(running, CommandLineArgument) ? 0 : 1;
    ReadInstallationFolder();

    vcl::InitForms();
    StartUnicodeLayer();
    RegisterQvComponents();
    try {
        vcl::Application->Initialize();
        vcl::Application->SetTitle("Pagorin");
        vcl::Application->CreateForm(frmMain);
        vcl::Application->CreateForm(frmSettings);
        vcl::Application->CreateForm(frmAbout);
        vcl::Application->CreateForm(frmSelectScanner);
        vcl::Application->CreateForm(frmAlert);
        vcl::Application->Run();
    } catch (vcl::Exception& e) {
        vcl::Application->ShowException(&e);
    } catch (...) {
        MessageBoxA(nullptr, "Unexpected error", "Pagorin", MB_OK | MB_ICONSTOP);
    }
    // The forms go before the layers they are made of.
    vcl::Application->DestroyComponents();
    EndUnicodeLayer();
    vcl::DoneForms();
    return 0;
}
