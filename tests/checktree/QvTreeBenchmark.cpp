// Benchmark (not a test): the check tree, for a root over branches of 99 leaves (1,001 and 10,001 nodes).
// It prints in ms the cascade that checks every node from the root, without a window and in a shown tree
// whose root is open, beside the reference of the shown tree's window alone (every node's state image sent
// straight to the control, one message a node, as a tree that keeps hidden rows up to date must); then the pass before a paint (the first one, which gives every new node its box, and a later
// one over settled nodes) and a whole repaint. The ratio column is the 10,001-node figure over the
// 1,001-node one: near 10 for a linear cost.
//   qv_tree_benchmark [repeats of the later pass, default 50]
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "Forms.h"
#include "QvTreeVw.h"

using namespace vcl;

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

struct Figures {
    int nodes = 0;
    double windowlessCascade = 0, cascade = 0, windowAlone = 0, firstPass = 0, laterPass = 0, repaint = 0;
};

TTreeNode* Fill(TQvCheckTree* tree, int branches)
{
    TTreeNodes* items = tree->GetItems();
    items->BeginUpdate();
    TTreeNode* root = items->Add(nullptr, "root");
    for (int b = 0; b < branches; ++b) {
        TTreeNode* branch = items->AddChild(root, "branch " + std::to_string(b));
        for (int leaf = 0; leaf < 99; ++leaf) items->AddChild(branch, "leaf " + std::to_string(leaf));
    }
    items->EndUpdate();
    return root;
}

// Sends every node's state image straight to the window, one message a node.
void SetWindowStates(TQvCheckTree* tree, int state)
{
    for (TTreeNode* n = tree->GetItems()->GetFirstNode(); n; n = n->GetNext()) {
        TVITEMA item{};
        item.mask = TVIF_STATE | TVIF_HANDLE;
        item.hItem = n->ItemId;
        item.stateMask = TVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(state);
        SendMessageA(tree->WindowHandle, TVM_SETITEMA, 0, LPARAM(&item));
    }
}

Figures Measure(int branches, int repeats)
{
    Figures f;
    {
        TQvCheckTree windowless(nullptr);
        TTreeNode* root = Fill(&windowless, branches);
        windowless.ResolveNewNodeStates();
        const LARGE_INTEGER t0 = Now();
        windowless.ChangeNodeCheckState(root, csChecked);
        f.windowlessCascade = Milliseconds(t0, Now());
    }

    std::unique_ptr<TForm> form(new TForm(Application, 0));
    form->SetBounds(40, 40, 400, 500);
    auto* tree = new TQvCheckTree(form.get());
    tree->SetParent(form.get());
    tree->SetBounds(8, 8, 370, 450);
    TTreeNode* root = Fill(tree, branches);
    root->Expand(false);
    form->Show();
    f.nodes = tree->GetItems()->GetCount();

    const LARGE_INTEGER t0 = Now();
    tree->ResolveNewNodeStates();
    const LARGE_INTEGER t1 = Now();
    tree->ChangeNodeCheckState(root, csChecked);
    const LARGE_INTEGER t2 = Now();
    SetWindowStates(tree, csUnchecked);
    const LARGE_INTEGER t3 = Now();
    for (int i = 0; i < repeats; ++i) tree->ResolveNewNodeStates();
    const LARGE_INTEGER t4 = Now();
    for (int i = 0; i < repeats; ++i) {
        tree->Invalidate();
        tree->Update();
    }
    const LARGE_INTEGER t5 = Now();
    f.firstPass = Milliseconds(t0, t1);
    f.cascade = Milliseconds(t1, t2);
    f.windowAlone = Milliseconds(t2, t3);
    f.laterPass = Milliseconds(t3, t4) / repeats;
    f.repaint = Milliseconds(t4, t5) / repeats;
    return f;
}

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    InitForms();
    const Figures small = Measure(10, repeats), large = Measure(100, repeats);
    printf("%-34s %12s %12s %8s\n", "check tree (ms)", "1,001 nodes", "10,001 nodes", "ratio");
    auto row = [](const char* what, double a, double b) { printf("%-34s %12.3f %12.3f %8.1f\n", what, a, b, b / a); };
    row("cascade from the root, no window", small.windowlessCascade, large.windowlessCascade);
    row("cascade from the root, shown tree", small.cascade, large.cascade);
    row("  reference: every node to its window", small.windowAlone, large.windowAlone);
    printf("%-34s %12.2f %12.2f\n", "  cascade over reference", small.cascade / small.windowAlone,
           large.cascade / large.windowAlone);
    row("pass before the first paint", small.firstPass, large.firstPass);
    row("pass before a later paint", small.laterPass, large.laterPass);
    row("whole repaint (pass and drawing)", small.repaint, large.repaint);
    printf("nodes: %d and %d; the cascade's aim is under 100 ms\n", small.nodes, large.nodes);
    DoneForms();
    return 0;
}
