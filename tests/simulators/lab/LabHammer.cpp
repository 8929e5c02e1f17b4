// Test helper: counts and traces calls in the lab named by PAGORIN_LAB, from a process of its own.
//   lab_hammer <calls>
#include "Lab.h"

#include <shellapi.h>

#include <cstdlib>

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const int calls = argc > 1 ? _wtoi(argv[1]) : 100;
    int failures = 0;
    for (int i = 0; i < calls; ++i) {
        if (lab::InjectedFailure("HAMMER", "Hit")) ++failures;
        lab::Trace("HAMMER", "Hit", "i=" + std::to_string(i), "0");
    }
    return failures;
}
