// Helpers of the tree-view tests: trees built from rows of (level, text, state), the check-state events
// written down in order, a pop-up menu that records where it would have opened, and a tree on a form.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "QvThemeSrv.h"
#include "QvTreeVw.h"
#include "WindowTestSupport.h"

namespace qvtreetest {

struct NodeRow {
    int level;
    const char* text;
    int state = -1;
};

// Adds the rows in tree order; each row is a child of the last row one level up.
inline void BuildTree(vcl::TCustomTreeView* tree, const std::vector<NodeRow>& rows)
{
    std::vector<vcl::TTreeNode*> parents;
    for (const NodeRow& row : rows) {
        parents.resize(size_t(row.level));
        vcl::TTreeNode* node = tree->GetItems()->AddChild(parents.empty() ? nullptr : parents.back(), row.text);
        node->SetStateIndex(row.state);
        parents.push_back(node);
    }
}

// The node with that text (the first in tree order).
inline vcl::TTreeNode* Node(vcl::TCustomTreeView* tree, const std::string& text)
{
    for (vcl::TTreeNode* n = tree->GetItems()->GetFirstNode(); n; n = n->GetNext())
        if (n->GetText() == text) return n;
    ADD_FAILURE() << "no node " << text;
    return nullptr;
}

// Every node's state in tree order, as "text=state".
inline std::vector<std::string> States(vcl::TCustomTreeView* tree)
{
    std::vector<std::string> states;
    for (vcl::TTreeNode* n = tree->GetItems()->GetFirstNode(); n; n = n->GetNext())
        states.push_back(n->GetText() + "=" + std::to_string(n->GetStateIndex()));
    return states;
}

// Writes down the check-state events as "changing A 2", "change A 2" and "children"; a node named in
// `refuse` is refused its changes.
class EventLog {
public:
    explicit EventLog(TQvCheckTree* tree)
    {
        tree->OnStateChanging = vcl::MakeEvent<vcl::TObject*, vcl::TTreeNode*, TQvCheckState, bool&>(
            this, [this](vcl::TObject*, vcl::TTreeNode* node, TQvCheckState state, bool& allow) {
                entries.push_back("changing " + node->GetText() + " " + std::to_string(int(state)));
                if (node->GetText() == refuse) allow = false;
            });
        tree->OnStateChange = vcl::MakeEvent<vcl::TObject*, vcl::TTreeNode*, TQvCheckState>(
            this, [this](vcl::TObject*, vcl::TTreeNode* node, TQvCheckState state) {
                entries.push_back("change " + node->GetText() + " " + std::to_string(int(state)));
            });
        tree->OnUpdateChildren =
            vcl::MakeEvent<vcl::TObject*>(this, [this](vcl::TObject*) { entries.push_back("children"); });
    }
    std::vector<std::string> entries;
    std::string refuse;
};

// Opens nowhere: records the position and the component it was opened for.
class RecordingPopupMenu : public vcl::TPopupMenu {
public:
    explicit RecordingPopupMenu(vcl::TComponent* owner) : vcl::TPopupMenu(owner) {}
    void Popup(int X, int Y) override
    {
        ++shown;
        at = POINT{X, Y};
        openedFor = PopupComponent;
    }
    int shown = 0;
    POINT at{};
    vcl::TComponent* openedFor = nullptr;
};

// A check tree without a window. The theme services it woke are freed after each case, so that cases
// counting the theme library's users find none.
class WindowlessCheckTree : public ::testing::Test {
protected:
    void SetUp() override { tree = std::make_unique<TQvCheckTree>(nullptr); }
    void TearDown() override
    {
        tree.reset();
        FreeThemeServices();
    }
    std::unique_ptr<TQvCheckTree> tree;
};

// A tree view on a form, with the pixels of its window.
template <class Tree>
class TreeOnForm : public vcltest::TreeOnForm<Tree> {
public:
    using vcltest::TreeOnForm<Tree>::tree;
    // A pixel of the tree's window, non-client area included (0, 0 is the window's corner).
    vcl::TColor WindowPixel(int x, int y) const { return Pixel(x, y, true); }
    vcl::TColor ClientPixel(int x, int y) const { return Pixel(x, y, false); }

private:
    vcl::TColor Pixel(int x, int y, bool wholeWindow) const
    {
        const HWND window = tree->WindowHandle;
        HDC dc = wholeWindow ? GetWindowDC(window) : GetDC(window);
        const COLORREF pixel = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return vcl::TColor(pixel);
    }
};

}  // namespace qvtreetest
