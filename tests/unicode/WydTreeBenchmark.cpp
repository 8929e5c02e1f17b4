// Fills a tree of 100 parents with 100 children each through the wide node list, then reads every node's text by
// absolute index; prints the time beside the same work done with raw wide tree-view messages, and the ratio.
// Usage: wyd_tree_benchmark [rounds]   (needs a display)
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "Forms.h"
#include "WydComCtrls.h"
#include "WydForms.h"

using namespace vcl;
using Clock = std::chrono::steady_clock;

namespace {

const int Parents = 100, Children = 100;

WideString ParentText(int p) { return L"\x0395\x03BB\x03BB\x03B7\x03BD\x03B9\x03BA\x03AC " + std::to_wstring(p); }
WideString ChildText(int c) { return L"\x0416\x0443\x0440\x043D\x0430\x043B " + std::to_wstring(c); }

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Each returns the characters read, so that the reading cannot be left out.
size_t ThroughNodeList(TWydTreeView* tree)
{
    TWydTreeNodes* nodes = tree->GetTreeNodes();
    nodes->BeginUpdate();
    for (int p = 0; p < Parents; ++p) {
        TWydTreeNode* parent = nodes->Add(nullptr, ParentText(p));
        for (int c = 0; c < Children; ++c)
            nodes->AddChild(parent, ChildText(c));
    }
    nodes->EndUpdate();
    size_t read = 0;
    for (int i = 0; i < nodes->GetCount(); ++i)
        read += nodes->GetItem(i)->GetText().size();
    return read;
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, const WideString& text)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, LPARAM(&insert)));
}

size_t ThroughMessages(HWND tree)
{
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    std::vector<HTREEITEM> byIndex;
    byIndex.reserve(Parents * (Children + 1));
    for (int p = 0; p < Parents; ++p) {
        HTREEITEM parent = Insert(tree, TVI_ROOT, ParentText(p));
        byIndex.push_back(parent);
        for (int c = 0; c < Children; ++c)
            byIndex.push_back(Insert(tree, parent, ChildText(c)));
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    size_t read = 0;
    wchar_t buffer[64];
    for (HTREEITEM item : byIndex) {
        TVITEMW record{};
        record.mask = TVIF_TEXT | TVIF_HANDLE;
        record.hItem = item;
        record.pszText = buffer;
        record.cchTextMax = 64;
        SendMessageW(tree, TVM_GETITEMW, 0, LPARAM(&record));
        read += wcslen(record.pszText);
    }
    return read;
}

// The best time of the rounds; each starts from an empty tree (the emptying is not timed).
template <class Empty, class Work> double Best(int rounds, Empty empty, Work work, size_t& read)
{
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        empty();
        auto start = Clock::now();
        read = work();
        best = std::min(best, Seconds(start));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    InitForms();
    InitWydForms();
    InitWydComCtrls();
    {
        std::unique_ptr<TForm> form(new TForm(nullptr, 0));
        form->SetBounds(20, 20, 640, 400);
        auto* tree = new TWydTreeView(form.get());
        tree->SetParent(form.get());
        tree->SetBounds(0, 0, 300, 380);
        form->Show();
        HWND raw = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_HASLINES, 310,
                                   0, 300, 380, form->WindowHandle, nullptr, GetModuleHandleW(nullptr), nullptr);
        size_t wideRead = 0, rawRead = 0;
        auto emptyNodeList = [&] { tree->GetTreeNodes()->Clear(); };
        auto emptyRaw = [&] { SendMessageW(raw, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT)); };
        double wide = Best(rounds, emptyNodeList, [&] { return ThroughNodeList(tree); }, wideRead);
        double messages = Best(rounds, emptyRaw, [&] { return ThroughMessages(raw); }, rawRead);
        std::printf("%d nodes, best of %d rounds\n", Parents * (Children + 1), rounds);
        std::printf("wide node list:       %.3f s (%zu characters read)\n", wide, wideRead);
        std::printf("raw wide messages:    %.3f s (%zu characters read)\n", messages, rawRead);
        std::printf("ratio node list/raw:  %.2f (aim: 2 or less)\n", wide / messages);
        bench::PrintFigure("wide tree: 10,000 nodes added and read", wide, "s", "raw wide messages", messages,
                           "at most 2x");
        DestroyWindow(raw);
    }
    DoneWydForms();
    DoneWydControls();
    DoneForms();
    return 0;
}
