// Helpers for the window tests of the class library: the library set up once per test program, a pump
// with a time budget, and message sequences compared with a table (expected and actual side by side).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Forms.h"

namespace vcltest {

// One expected message; optional ones may be missing from the actual sequence.
struct ExpectedMessage {
    UINT Msg;
    bool Optional = false;
};

// Checks that `actual` holds the expected messages in order (extra messages between them are allowed
// only where `strict` is false); on failure prints both sequences.
::testing::AssertionResult MatchSequence(const std::vector<UINT>& actual, const std::vector<ExpectedMessage>& expected,
                                         bool strict);

// Runs the library's message handling until `done` holds or the budget is spent; true when done.
bool PumpUntil(const std::function<bool()>& done, DWORD budgetMs = 5000);
// Runs the message handling for the whole budget.
void PumpFor(DWORD ms);

// Puts the mouse over the control (a point of its client area) and waits, with a short hint pause, until the
// application's hint window shows; true when it did. The control's form must be showing.
bool HoverUntilHintShows(vcl::TWinControl* control, POINT local);

// The form written to a form stream and read back into a new form without a resource.
std::unique_ptr<vcl::TForm> StreamedCopy(vcl::TForm* form);

// A name for a message number in failure output.
std::string MessageName(UINT msg);

}  // namespace vcltest
