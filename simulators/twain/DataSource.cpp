// The entry of the virtual scanner's data source (DS_Entry), as the TWAIN source manager loads it. The scanner
// tells the application of its events through the manager's DSM_Entry, from a timer on the application's thread.
#include "Scanner.h"

namespace {

void Arm(DWORD milliseconds);

twain::Scanner& TheScanner() {
    static twain::Scanner scanner(Arm);
    return scanner;
}

UINT_PTR signalTimer = 0;

// The manager that loaded this source; it is already in the process.
DSMENTRYPROC Manager() {
    HMODULE manager = GetModuleHandleW(L"twain_32.dll");
    return manager ? reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(manager, "DSM_Entry")))
                   : nullptr;
}

void CALLBACK SignalTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (id == signalTimer) signalTimer = 0;
    try {
        twain::Scanner& scanner = TheScanner();
        const TW_UINT16 message = scanner.Announce();
        const DSMENTRYPROC manager = Manager();
        if (message != MSG_NULL && manager)
            manager(&scanner.Identity(), &scanner.Application(), DG_CONTROL, DAT_NULL, message, nullptr);
    } catch (...) {
    }
}

void Arm(DWORD milliseconds) {
    if (signalTimer) KillTimer(nullptr, signalTimer);
    signalTimer = milliseconds == INFINITE ? 0 : SetTimer(nullptr, 0, milliseconds, SignalTimer);
}

}  // namespace

extern "C" TW_UINT16 WINAPI DS_Entry(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 data, TW_UINT16 message,
                                     TW_MEMREF pointer) {
    try {
        return TheScanner().Entry(origin, group, data, message, pointer);
    } catch (...) {
        return TWRC_FAILURE;
    }
}
