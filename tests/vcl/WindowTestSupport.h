// Helpers for the window tests of the class library: the library set up once per test program, a pump
// with a time budget, message sequences compared with a table (expected and actual side by side), and a
// tree view on a form.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ComCtrls.h"
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
// Posts an end marker to the window and runs the message handling until the marker has been taken, so that
// every message posted to the window before it has been handled; false when the budget ran out first.
bool PumpPastPosted(HWND window, DWORD budgetMs = 5000);

// Puts the mouse over the control (a point of its client area) and waits, with a short hint pause, until the
// application's hint window shows; true when it did. The control's form must be showing.
bool HoverUntilHintShows(vcl::TWinControl* control, POINT local);

// The form written to a form stream and read back into a new form without a resource.
std::unique_ptr<vcl::TForm> StreamedCopy(vcl::TForm* form);

// Whether the machine has a default printer (print tests that expect none skip where one is).
bool MachineHasPrinter();

// A name for a message number in failure output.
std::string MessageName(UINT msg);

// The text a tree view window gives for one of its items (empty when it gives none).
std::string TreeItemWindowText(HWND tree, HTREEITEM item);

// A form (shown by the test when it needs one) with one tree view of the given class on it.
template <class Tree>
struct TreeOnForm {
    TreeOnForm()
    {
        form.reset(new vcl::TForm(vcl::Application, 0));
        form->SetBounds(60, 60, 360, 300);
        tree = new Tree(form.get());
        tree->SetBounds(8, 8, 300, 240);
        tree->SetParent(form.get());
    }
    // The state image the window shows for a node (0: none).
    int WindowStateImage(vcl::TTreeNode* node) const
    {
        TVITEMA item{};
        item.mask = TVIF_STATE | TVIF_HANDLE;
        item.hItem = node->ItemId;
        item.stateMask = TVIS_STATEIMAGEMASK;
        SendMessageA(tree->WindowHandle, TVM_GETITEMA, 0, LPARAM(&item));
        return int((item.state & TVIS_STATEIMAGEMASK) >> 12);
    }

    std::unique_ptr<vcl::TForm> form;
    Tree* tree = nullptr;
};

}  // namespace vcltest
