// The main thread's loop as Pagorin runs it while scanning: every message passes the TWAIN session's event
// check, then goes to its window. For the tests and the benchmark, which have no class-library loop.
#pragma once

#include <windows.h>

#include "Twain.h"

namespace twaintest {

// Runs the loop until `done` or the time is up; gives `done`.
template <class Done>
bool PumpThroughEventCheck(pagorin::TwainSession& twain, Done done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            twain.CheckEvent(message);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DWORD waited = GetTickCount() - start;
        if (done() || waited >= timeoutMs)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - waited, QS_ALLINPUT);
    }
    return done();
}

}  // namespace twaintest
