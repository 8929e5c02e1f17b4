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
// A closing instance waits for its PDFs and its threads before it ends.
constexpr DWORD ClosingInstanceLimitMs = 60000;
// Instances that close one after another while this start waits for each; beyond that it gives up.
constexpr int HandOverAttempts = 5;
// How often a start looks again for the window of an instance that is still starting.
constexpr DWORD InstanceStartPollMs = 100;

enum class HandOverOutcome { Answered, NoAnswer, InstanceEnded };

bool WaitForWindowGone(HWND window, DWORD limitMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < limitMs; Sleep(50))
        if (!IsWindow(window))
            return true;
    return !IsWindow(window);
}

// Hands the argument to the running instance; a hung instance does not hold this start forever, but one only
// busy for some seconds (a long restore, a loaded machine) is waited for, as the system's own "hung" mark
// comes after five seconds and would lose the page. An instance that is closing (it says so, or its window
// went away meanwhile) takes nothing more: this start waits for it to end, so that the page is not lost.
HandOverOutcome HandOver(HWND running, const std::string& argument)
{
    Sleep(200);
    COPYDATASTRUCT data{};
    data.cbData = DWORD(argument.size());
    data.lpData = const_cast<char*>(argument.c_str());
    DWORD_PTR result = 0;
    bool answered = SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                                        HandOverLimitMs, &result) != 0;
    bool closing = answered ? result == DWORD_PTR(HandOverClosing) : !IsWindow(running);
    if (!closing)
        return answered ? HandOverOutcome::Answered : HandOverOutcome::NoAnswer;
    return WaitForWindowGone(running, ClosingInstanceLimitMs) ? HandOverOutcome::InstanceEnded
                                                              : HandOverOutcome::NoAnswer;
}

// Being the instance is decided by a named mutex that the instance holds for its whole life, not by its
// window: starts that waited together for a closing instance would otherwise all find no window and each
// become an instance, driving the same robot at once. The system releases the mutex when the instance ends.
bool BecameTheInstance(HANDLE instanceMutex, DWORD waitMs)
{
    DWORD result = WaitForSingleObject(instanceMutex, waitMs);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

// Gives the argument to a running instance. True when this start has nothing more to do; `exitCode` tells a
// hot-key tool whether its page reached an instance (0) or not (1). False when no instance runs (any more):
// this start has become the instance. An instance still starting has no window yet: the start waits for
// either its window or its end.
bool HandedToRunningInstance(HANDLE instanceMutex, int& exitCode)
{
    exitCode = 1;
    int endedInstances = 0;
    DWORD noWindowSince = GetTickCount();
    for (;;) {
        if (BecameTheInstance(instanceMutex, 0))
            return false;
        HWND running = FindWindowA(nullptr, MainCaption);
        if (!running) {
            if (GetTickCount() - noWindowSince >= ClosingInstanceLimitMs)
                return true;
            if (BecameTheInstance(instanceMutex, InstanceStartPollMs))
                return false;
            continue;
        }
        HandOverOutcome outcome = HandOver(running, CommandLineArgument);
        if (outcome != HandOverOutcome::InstanceEnded) {
            exitCode = outcome == HandOverOutcome::Answered ? 0 : 1;
            return true;
        }
        if (++endedInstances == HandOverAttempts)
            return true;
        noWindowSince = GetTickCount();
    }
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
    // Held until the process ends; never closed, so that the next start waits for this one's end.
    HANDLE instanceMutex = CreateMutexA(nullptr, FALSE, "Pagorin.Instance");
    int exitCode = 0;
    if (instanceMutex && HandedToRunningInstance(instanceMutex, exitCode))
        return exitCode;
    ReadInstallationFolder();

    vcl::InitForms();
    StartUnicodeLayer();
    RegisterQvComponents();
    try {
        vcl::Application->Initialize();
        vcl::Application->SetTitle("Pagorin");
        vcl::Application->CreateForm(frmMain);
        // The operator sees the main window, drawn whole, while its hidden controls' windows and the dialogs
        // are made: no command can open one before the message loop runs, and by then each exists.
        frmMain->Show();
        frmMain->Update();
        frmMain->CreateDeferredWindows();
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
    return ProgramExitCode;
}
