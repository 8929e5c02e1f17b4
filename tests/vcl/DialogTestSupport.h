// Helpers for tests of the system's common dialogs: the test's thread runs a dialog while a second
// thread finds it by caption and answers it as a user would.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace vcltest {

// Answers the next visible window of this process with this caption from a second thread. When none
// shows in time, every dialog of the process is cancelled, so that the test fails instead of hanging.
class DialogAnswerer {
public:
    using Answer = std::function<void(HWND Dialog)>;
    DialogAnswerer(std::wstring Caption, Answer Respond, DWORD TimeoutMs = 15000);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    // Waits for the second thread; true when the dialog was found and answered.
    bool Answered();

private:
    void Run(std::wstring Caption, Answer Respond, DWORD TimeoutMs);
    std::atomic<bool> FAnswered{false};
    std::thread FThread;
};

// Clicks a dialog's button as the button itself would tell the dialog (posted: the caller does not wait).
void ClickButton(HWND Dialog, int Id);
// Waits until the window is gone; true when it went in time.
bool WaitGone(HWND Window, DWORD TimeoutMs = 5000);
// Waits until Condition holds (polling, for the answering thread); true when it did in time.
bool WaitFor(const std::function<bool()>& Condition, DWORD TimeoutMs = 5000);
// Cancels every dialog (class #32770) this process shows.
void CancelAllDialogs();

}  // namespace vcltest
