// The tree view and its nodes. The node objects are the tree; the window shows them, holding their texts
// (a view that asks for them instead answers TVN_GETDISPINFO) and asking for images through TVN_GETDISPINFO
// (lParam = the node).
#include "ComCtrls.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <functional>

#include "Forms.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TTreeNode, TPersistent)
VCL_IMPLEMENT_CLASS(TTreeNodes, TPersistent)
VCL_IMPLEMENT_CLASS(TCustomTreeView, TWinControl)
VCL_IMPLEMENT_CLASS(TTreeView, TCustomTreeView, { PublishTreeViewProperties(m); })

void PublishTreeViewProperties(TMetaClass& m)
{
    m.PublishReadOnly("Items", &TCustomTreeView::GetItems);
    m.Publish("Images", &TCustomTreeView::GetImages, &TCustomTreeView::SetImages);
    m.Publish("StateImages", &TCustomTreeView::GetStateImages, &TCustomTreeView::SetStateImages);
    m.Publish("AutoExpand", &TCustomTreeView::GetAutoExpand, &TCustomTreeView::SetAutoExpand).WithDefault(0);
    m.Publish("HideSelection", &TCustomTreeView::GetHideSelection, &TCustomTreeView::SetHideSelection).WithDefault(1);
    m.Publish("ReadOnly", &TCustomTreeView::GetReadOnly, &TCustomTreeView::SetReadOnly).WithDefault(0);
    m.Publish("RightClickSelect", &TCustomTreeView::GetRightClickSelect, &TCustomTreeView::SetRightClickSelect)
        .WithDefault(0);
    m.Publish("ShowLines", &TCustomTreeView::GetShowLines, &TCustomTreeView::SetShowLines).WithDefault(1);
    m.Publish("ShowRoot", &TCustomTreeView::GetShowRoot, &TCustomTreeView::SetShowRoot).WithDefault(1);
    m.Publish("ShowButtons", &TCustomTreeView::GetShowButtons, &TCustomTreeView::SetShowButtons).WithDefault(1);
    m.Publish("RowSelect", &TCustomTreeView::GetRowSelect, &TCustomTreeView::SetRowSelect).WithDefault(0);
    m.Publish("SortType", &TCustomTreeView::GetSortType, &TCustomTreeView::SetSortType)
        .WithNames({"stNone", "stData", "stText", "stBoth"})
        .WithDefault(0);
    m.Publish("OnChange", &TCustomTreeView::GetOnChange, &TCustomTreeView::SetOnChange);
    m.Publish("OnExpanding", &TCustomTreeView::GetOnExpanding, &TCustomTreeView::SetOnExpanding);
    m.Publish("OnDeletion", &TCustomTreeView::GetOnDeletion, &TCustomTreeView::SetOnDeletion);
}

TTreeSortCallback TreeViewSortCallback = &DefaultTreeViewSort;

namespace {

bool IsLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }
bool IsDestroying(const TComponent* c) { return c->GetComponentState().Contains(csDestroying); }

// Tree-view notification codes in their ANSI and wide forms.
bool Is(UINT code, UINT ansi, UINT wide) { return code == ansi || code == wide; }

}  // namespace

DWORD GetComCtlVersion()
{
    static DWORD version = [] {
        HMODULE module = GetModuleHandleA("comctl32.dll");
        auto get = module ? reinterpret_cast<HRESULT(CALLBACK*)(DLLVERSIONINFO*)>(
                                reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")))
                          : nullptr;
        DLLVERSIONINFO info{};
        info.cbSize = sizeof info;
        if (!get || FAILED(get(&info)))
            return DWORD(0x00040000);
        return DWORD(info.dwMajorVersion << 16 | info.dwMinorVersion);
    }();
    return version;
}

void CopyDisplayText(const AnsiString& Text, char* Buffer, int Size)
{
    if (!Buffer || Size < 1)
        return;
    size_t length = std::min(Text.size(), size_t(Size) - 1);
    std::memcpy(Buffer, Text.data(), length);
    Buffer[length] = '\0';
}

void CopyDisplayText(const WideString& Text, wchar_t* Buffer, int Size)
{
    if (!Buffer || Size < 1)
        return;
    size_t length = std::min(Text.size(), size_t(Size) - 1);
    // Never end on the first half of a surrogate pair.
    if (length > 0 && length < Text.size() && IS_HIGH_SURROGATE(Text[length - 1]))
        --length;
    std::wmemcpy(Buffer, Text.data(), length);
    Buffer[length] = L'\0';
}

void CopyDisplayText(const AnsiString& Text, void* Buffer, int Size, bool Wide)
{
    if (Wide)
        CopyDisplayText(AnsiToWide(Text), static_cast<wchar_t*>(Buffer), Size);
    else
        CopyDisplayText(Text, static_cast<char*>(Buffer), Size);
}

void BeginViewUpdate(TWinControl* View, int& UpdateCount)
{
    if (UpdateCount++ == 0 && View && View->HandleAllocated())
        View->Perform(WM_SETREDRAW, FALSE, 0);
}

void EndViewUpdate(TWinControl* View, int& UpdateCount)
{
    if (UpdateCount > 0 && --UpdateCount == 0 && View && View->HandleAllocated()) {
        View->Perform(WM_SETREDRAW, TRUE, 0);
        View->Invalidate();
    }
}

// =============================================================================================
// TTreeNode

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::GetTreeView() const
{
    return FOwner ? FOwner->GetOwner() : nullptr;
}

void TTreeNode::Assign(TPersistent* Source)
{
    if (auto* node = dynamic_cast<TTreeNode*>(Source)) {
        SetText(node->FText);
        Data = node->Data;
        SetImageIndex(node->FImageIndex);
        SetSelectedIndex(node->FSelectedIndex);
        SetStateIndex(node->FStateIndex);
        SetOverlayIndex(node->FOverlayIndex);
        FHasChildren = node->FHasChildren;
        return;
    }
    TPersistent::Assign(Source);
}

// The state (state image, overlay, cut) of a row nobody can see is sent when its parent opens: a message for
// each hidden row was most of the time a change of thousands of nodes took (under Wine even a hidden item
// costs a message through the window).
void TTreeNode::UpdateItem(UINT Mask)
{
    if ((Mask & TVIF_STATE) && (FOwner->FStateUpdateCount > 0 || !IsVisible())) {
        FStateWaiting = true;
        Mask &= ~UINT(TVIF_STATE);
    }
    if (Mask)
        SendItem(Mask);
}

void TTreeNode::SendItem(UINT Mask)
{
    TCustomTreeView* tree = GetTreeView();
    if (!ItemId || !tree || !tree->HandleAllocated())
        return;
    if (Mask & TVIF_STATE)
        FStateWaiting = false;
    TVITEMA item{};
    item.mask = Mask | TVIF_HANDLE;
    item.hItem = ItemId;
    item.pszText = TextForWindow();
    item.iImage = I_IMAGECALLBACK;
    item.iSelectedImage = I_IMAGECALLBACK;
    item.cChildren = I_CHILDRENCALLBACK;
    item.stateMask = TVIS_STATEIMAGEMASK | TVIS_OVERLAYMASK | TVIS_CUT;
    item.state = (FStateIndex > 0 ? INDEXTOSTATEIMAGEMASK(FStateIndex) : 0) |
                 (FOverlayIndex >= 0 ? INDEXTOOVERLAYMASK(FOverlayIndex) : 0) | (FCut ? TVIS_CUT : 0);
    tree->Perform(TVM_SETITEMA, 0, LPARAM(&item));
}

// The window holds the text itself: a window that asks for every row's text when it measures its rows
// (thousands at once when its redraw comes back on) costs a notification per row otherwise.
char* TTreeNode::TextForWindow()
{
    TCustomTreeView* tree = GetTreeView();
    return tree && tree->AsksForTexts() ? LPSTR_TEXTCALLBACKA : FText.data();
}

// A sorted tree keeps the node in place among its siblings (top-level ones too).
void TTreeNode::SetText(const AnsiString& Value)
{
    FText = Value;
    UpdateItem(TVIF_TEXT);
    TCustomTreeView* tree = GetTreeView();
    if (tree && tree->FSortType != TSortType::stNone && tree->FSortType != TSortType::stData && FIndex >= 0)
        tree->SortChildren(FParent, false, nullptr, 0);
}

void TTreeNode::SetImageIndex(int Value)
{
    FImageIndex = Value;
    UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetSelectedIndex(int Value)
{
    FSelectedIndex = Value;
    UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetOverlayIndex(int Value)
{
    FOverlayIndex = Value;
    UpdateItem(TVIF_STATE);
}

void TTreeNode::SetStateIndex(int Value)
{
    FStateIndex = Value;
    UpdateItem(TVIF_STATE);
}

void TTreeNode::SetCut(bool Value)
{
    FCut = Value;
    UpdateItem(TVIF_STATE);
}

bool TTreeNode::GetHasChildren() const
{
    return FHasChildren >= 0 ? FHasChildren != 0 : !FChildren.empty();
}

void TTreeNode::SetHasChildren(bool Value)
{
    FHasChildren = Value;
    UpdateItem(TVIF_CHILDREN);
}

void TTreeNode::SetExpanded(bool Value)
{
    if (Value)
        Expand(false);
    else
        Collapse(false);
}

bool TTreeNode::GetSelected() const
{
    TCustomTreeView* tree = GetTreeView();
    return tree && tree->GetSelected() == this;
}

void TTreeNode::SetSelected(bool Value)
{
    TCustomTreeView* tree = GetTreeView();
    if (!tree)
        return;
    if (Value)
        tree->SetSelected(const_cast<TTreeNode*>(this));
    else if (GetSelected())
        tree->SetSelected(nullptr);
}

bool TTreeNode::GetFocused() const
{
    return GetSelected() && GetTreeView()->Focused();
}

bool TTreeNode::GetDropTarget() const
{
    TCustomTreeView* tree = GetTreeView();
    return tree && tree->GetDropTarget() == this;
}

void TTreeNode::SetDropTarget(bool Value)
{
    if (TCustomTreeView* tree = GetTreeView())
        tree->SetDropTarget(Value ? this : nullptr);
}

TTreeNode* TTreeNode::GetItem(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        throw ETreeViewError("Invalid index");
    return FChildren[size_t(Index)];
}

int TTreeNode::GetLevel() const
{
    int level = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent)
        ++level;
    return level;
}

int TTreeNode::GetAbsoluteIndex() const
{
    if (FIndex < 0)
        return -1;
    if (!FOwner->FIndexValid)
        FOwner->BuildIndex();
    return FAbsoluteIndex;
}

TTreeNode* TTreeNode::getNextSibling() const
{
    if (FIndex < 0)
        return nullptr;
    const auto& siblings = FOwner->SiblingsOf(FParent);
    return size_t(FIndex) + 1 < siblings.size() ? siblings[size_t(FIndex) + 1] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const
{
    return FIndex > 0 ? FOwner->SiblingsOf(FParent)[size_t(FIndex) - 1] : nullptr;
}

// Depth first: the first child, else the next sibling of the nearest node that has one.
TTreeNode* TTreeNode::GetNext() const
{
    if (!FChildren.empty())
        return FChildren.front();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* next = n->getNextSibling())
            return next;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const
{
    TTreeNode* prev = getPrevSibling();
    if (!prev)
        return FParent;
    while (!prev->FChildren.empty())
        prev = prev->FChildren.back();
    return prev;
}

bool TTreeNode::IsVisible() const
{
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (!p->FExpanded)
            return false;
    return true;
}

TTreeNode* TTreeNode::GetNextVisible() const
{
    for (TTreeNode* n = GetNext(); n; n = n->GetNext())
        if (n->IsVisible())
            return n;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const
{
    for (TTreeNode* n = GetPrev(); n; n = n->GetPrev())
        if (n->IsVisible())
            return n;
    return nullptr;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const
{
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (p == Value)
            return true;
    return false;
}

void TTreeNode::Expand(bool Recurse)
{
    if (GetHasChildren() && !FExpanded)
        ChangeExpanded(true);
    if (Recurse)
        for (TTreeNode* child : std::vector<TTreeNode*>(FChildren))
            child->Expand(true);
}

void TTreeNode::Collapse(bool Recurse)
{
    if (FExpanded)
        ChangeExpanded(false);
    if (Recurse)
        for (TTreeNode* child : std::vector<TTreeNode*>(FChildren))
            child->Collapse(true);
}

// The window reports a program's TVM_EXPAND only the first time a node opens, so the node does not wait for
// the report: it asks the tree (OnExpanding, OnCollapsing) itself, takes the window's answer and tells the tree
// (OnExpanded, OnCollapsed).
void TTreeNode::ChangeExpanded(bool Expanding)
{
    TCustomTreeView* tree = GetTreeView();
    if (tree && !(Expanding ? tree->CanExpand(this) : tree->CanCollapse(this)))
        return;
    if (!tree || !ItemId || !tree->HandleAllocated()) {
        FExpanded = Expanding;
        return;
    }
    if (Expanding)
        SendWaitingStatesBelow();  // while those rows are still hidden
    {
        TScopedValue<bool> program(tree->FProgramExpand, true);
        tree->Perform(TVM_EXPAND, Expanding ? TVE_EXPAND : TVE_COLLAPSE, LPARAM(ItemId));
    }
    FExpanded = (tree->Perform(TVM_GETITEMSTATE, WPARAM(ItemId), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    if (FExpanded != Expanding)
        return;
    if (Expanding)
        tree->Expand(this);
    else
        tree->Collapse(this);
}

void TTreeNode::SendWaitingStatesBelow()
{
    std::vector<TTreeNode*> waiting;
    TTreeNodes::CollectWaitingStates(FChildren, waiting);
    for (TTreeNode* node : waiting)
        node->SendItem(TVIF_STATE);
}

void TTreeNode::MakeVisible()
{
    for (TTreeNode* p = FParent; p; p = p->FParent)
        p->Expand(false);
    TCustomTreeView* tree = GetTreeView();
    if (tree && ItemId && tree->HandleAllocated())
        tree->Perform(TVM_ENSUREVISIBLE, 0, LPARAM(ItemId));
}

void TTreeNode::Delete()
{
    FOwner->Delete(this);
}

void TTreeNode::DeleteChildren()
{
    while (!FChildren.empty())
        FOwner->Delete(FChildren.back());
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode)
{
    if (Destination == this || (Destination && Destination->HasAsParent(this)))
        throw ETreeViewError("Invalid item level assignment");
    FOwner->AddNode(this, Destination, FText, Data, Mode);
}

bool TTreeNode::EditText()
{
    TCustomTreeView* tree = GetTreeView();
    return tree && ItemId && tree->Perform(TVM_EDITLABELA, 0, LPARAM(ItemId)) != 0;
}

void TTreeNode::EndEdit(bool Cancel)
{
    if (TCustomTreeView* tree = GetTreeView())
        tree->Perform(TVM_ENDEDITLABELNOW, Cancel, 0);
}

RECT TTreeNode::DisplayRect(bool TextOnly) const
{
    RECT r{0, 0, 0, 0};
    TCustomTreeView* tree = GetTreeView();
    if (tree && ItemId && tree->HandleAllocated()) {
        std::memcpy(&r, &ItemId, sizeof ItemId);  // the message takes the item in the rectangle's place
        if (!tree->Perform(TVM_GETITEMRECT, TextOnly, LPARAM(&r)))
            r = RECT{0, 0, 0, 0};
    }
    return r;
}

bool TTreeNode::AlphaSort(bool Recurse)
{
    TCustomTreeView* tree = GetTreeView();
    if (!tree)
        return false;
    tree->SortChildren(this, Recurse, nullptr, 0);
    return true;
}

// =============================================================================================
// TTreeNodes

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner) {}

TTreeNodes::~TTreeNodes()
{
    Clear();
}

// One walk in GetNext order numbers every node; any change of the tree's shape forgets it.
void TTreeNodes::BuildIndex() const
{
    FByIndex.clear();
    FByIndex.reserve(size_t(FCount));
    for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext()) {
        n->FAbsoluteIndex = int(FByIndex.size());
        FByIndex.push_back(n);
    }
    FIndexValid = true;
}

TTreeNode* TTreeNodes::GetItem(int Index) const
{
    if (!FIndexValid)
        BuildIndex();
    if (Index < 0 || Index >= int(FByIndex.size()))
        throw ETreeViewError("Invalid index");
    return FByIndex[size_t(Index)];
}

void TTreeNodes::Added(TTreeNode* Node)
{
    if (FOwner)
        FOwner->Added(Node);
}

// The siblings' own positions from `From` on.
void TTreeNodes::Renumber(TTreeNode* Parent, size_t From)
{
    auto& siblings = SiblingsOf(Parent);
    for (size_t i = From; i < siblings.size(); ++i)
        siblings[i]->FIndex = int(i);
}

namespace {
int SubtreeSize(const TTreeNode* Node)
{
    int size = 1;
    for (int i = 0; i < Node->GetCount(); ++i)
        size += SubtreeSize(Node->GetItem(i));
    return size;
}
}  // namespace

TTreeNode* TTreeNodes::GetNode(HTREEITEM ItemId) const
{
    if (!ItemId)
        return nullptr;
    if (FOwner && FOwner->HandleAllocated()) {
        TVITEMA item{};
        item.mask = TVIF_PARAM | TVIF_HANDLE;
        item.hItem = ItemId;
        if (FOwner->Perform(TVM_GETITEMA, 0, LPARAM(&item)))
            return reinterpret_cast<TTreeNode*>(item.lParam);
    }
    for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext())
        if (n->ItemId == ItemId)
            return n;
    return nullptr;
}

void TTreeNodes::Attach(TTreeNode* Node, TTreeNode* Parent, size_t Position)
{
    if (Parent && Parent->GetLevel() >= 1000)
        throw ETreeViewError("Invalid level (" + std::to_string(Parent->GetLevel() + 1) + ") for item \"" +
                             Node->FText + "\"");
    auto& siblings = SiblingsOf(Parent);
    Position = std::min(Position, siblings.size());
    siblings.insert(siblings.begin() + std::ptrdiff_t(Position), Node);
    Node->FParent = Parent;
    Renumber(Parent, Position);
    FCount += SubtreeSize(Node);
    FIndexValid = false;
    if (FOwner) {
        FOwner->InsertBranch(Node);
        if (Parent && Parent->FChildren.size() == 1)
            Parent->UpdateItem(TVIF_CHILDREN);  // the first child: the parent shows its button
    }
}

void TTreeNodes::Detach(TTreeNode* Node)
{
    auto& siblings = SiblingsOf(Node->FParent);
    size_t position = size_t(Node->FIndex);
    siblings.erase(siblings.begin() + std::ptrdiff_t(position));
    TTreeNode* parent = Node->FParent;
    Renumber(parent, position);
    Node->FParent = nullptr;
    Node->FIndex = -1;
    FCount -= SubtreeSize(Node);
    FIndexValid = false;
    RemoveFromWindow(Node);
    if (parent && parent->FChildren.empty())
        parent->UpdateItem(TVIF_CHILDREN);
}

// The window lets go of the node's item and with it of the whole branch, in one message.
void TTreeNodes::RemoveFromWindow(TTreeNode* Node)
{
    if (!FOwner || !Node->ItemId || !FOwner->HandleAllocated())
        return;
    HTREEITEM id = Node->ItemId;
    for (TTreeNode* n = Node; n && (n == Node || n->HasAsParent(Node)); n = n->GetNext())
        n->ItemId = nullptr;
    TScopedValue<bool> rebuilding(FOwner->FRebuilding, true);
    FOwner->Perform(TVM_DELETEITEM, 0, LPARAM(id));
}

TTreeNode* TTreeNodes::AddNode(TTreeNode* Node, TTreeNode* Relative, const AnsiString& S, void* Ptr,
                               TNodeAttachMode Method)
{
    bool isNew = !Node || Node->FIndex < 0;  // made here, or made by the caller and not in the tree yet
    if (!Node)
        Node = FOwner ? FOwner->CreateNode() : new TTreeNode(this);
    if (isNew) {
        Node->FText = S;
        Node->Data = Ptr;
    } else {
        Detach(Node);
    }
    TTreeNode* parent = nullptr;
    size_t position = 0;
    switch (Method) {
    case TNodeAttachMode::naAdd:
        parent = Relative ? Relative->FParent : nullptr;
        position = SiblingsOf(parent).size();
        break;
    case TNodeAttachMode::naAddFirst:
        parent = Relative ? Relative->FParent : nullptr;
        position = 0;
        break;
    case TNodeAttachMode::naAddChild:
        parent = Relative;
        position = SiblingsOf(parent).size();
        break;
    case TNodeAttachMode::naAddChildFirst:
        parent = Relative;
        position = 0;
        break;
    case TNodeAttachMode::naInsert:
        parent = Relative ? Relative->FParent : nullptr;
        position = Relative ? size_t(Relative->GetIndex()) : SiblingsOf(parent).size();
        break;
    }
    try {
        Attach(Node, parent, position);
    } catch (...) {
        if (isNew)
            delete Node;
        throw;
    }
    if (FOwner && (FOwner->FSortType == TSortType::stText || FOwner->FSortType == TSortType::stBoth ||
                   (FOwner->FSortType == TSortType::stData && FOwner->OnCompare)))
        FOwner->SortChildren(parent, false, nullptr, 0);
    if (isNew && !Reading)
        Added(Node);
    return Node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const AnsiString& S)
{
    return AddNode(nullptr, Sibling, S, nullptr, TNodeAttachMode::naAdd);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr)
{
    return AddNode(nullptr, Sibling, S, Ptr, TNodeAttachMode::naAdd);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const AnsiString& S)
{
    return AddNode(nullptr, Sibling, S, nullptr, TNodeAttachMode::naAddFirst);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const AnsiString& S, void* Ptr)
{
    return AddNode(nullptr, Sibling, S, Ptr, TNodeAttachMode::naAddFirst);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const AnsiString& S)
{
    return AddNode(nullptr, Parent, S, nullptr, TNodeAttachMode::naAddChild);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr)
{
    return AddNode(nullptr, Parent, S, Ptr, TNodeAttachMode::naAddChild);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const AnsiString& S)
{
    return AddNode(nullptr, Parent, S, nullptr, TNodeAttachMode::naAddChildFirst);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const AnsiString& S, void* Ptr)
{
    return AddNode(nullptr, Parent, S, Ptr, TNodeAttachMode::naAddChildFirst);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const AnsiString& S)
{
    return AddNode(nullptr, Sibling, S, nullptr, TNodeAttachMode::naInsert);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr)
{
    return AddNode(nullptr, Sibling, S, Ptr, TNodeAttachMode::naInsert);
}

// Children go first; each node is announced (OnDeletion) before its object is freed.
void TTreeNodes::Delete(TTreeNode* Node)
{
    if (!Node || Node->FDeleting)
        return;
    Node->FDeleting = true;
    RemoveFromWindow(Node);
    while (!Node->FChildren.empty())
        Delete(Node->FChildren.back());
    if (FOwner && FOwner->FSavedSelected == Node)
        FOwner->FSavedSelected = nullptr;
    if (FOwner && FOwner->FSavedTop == Node)
        FOwner->FSavedTop = nullptr;
    if (FOwner && FOwner->FRightClickNode == Node)
        FOwner->FRightClickNode = nullptr;
    if (FOwner && !IsDestroying(FOwner))
        FOwner->Delete(Node);
    Detach(Node);
    delete Node;
}

void TTreeNodes::Clear()
{
    BeginUpdate();
    while (!FRoots.empty())
        Delete(FRoots.back());
    EndUpdate();
}

void TTreeNodes::BeginUpdate()
{
    BeginViewUpdate(FOwner, FUpdateCount);
}

void TTreeNodes::EndUpdate()
{
    EndViewUpdate(FOwner, FUpdateCount);
}

void TTreeNodes::EndStateUpdate()
{
    if (FStateUpdateCount == 0 || --FStateUpdateCount > 0 || !FOwner || !FOwner->HandleAllocated())
        return;
    constexpr size_t RowByRowLimit = 64;
    std::vector<TTreeNode*> waiting;
    CollectWaitingStates(FRoots, waiting);
    const bool redrawOnce = waiting.size() > RowByRowLimit;
    if (redrawOnce)
        BeginUpdate();
    for (TTreeNode* node : waiting)
        node->SendItem(TVIF_STATE);
    if (redrawOnce)
        EndUpdate();
}

void TTreeNodes::CollectWaitingStates(const std::vector<TTreeNode*>& Shown, std::vector<TTreeNode*>& Found)
{
    for (TTreeNode* node : Shown) {
        if (node->FStateWaiting)
            Found.push_back(node);
        if (node->FExpanded)
            CollectWaitingStates(node->FChildren, Found);
    }
}

void TTreeNodes::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TTreeNodes*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    Clear();
    std::function<void(TTreeNode*, TTreeNode*)> copy = [&](TTreeNode* from, TTreeNode* parent) {
        TTreeNode* node = AddChildObject(parent, from->FText, from->Data);
        node->Assign(from);
        for (TTreeNode* child : from->FChildren)
            copy(child, node);
    };
    for (TTreeNode* root : other->FRoots)
        copy(root, nullptr);
    EndUpdate();
}

// The nodes' own stream "Data": for each top-level node, depth first:
//   Int32 ImageIndex, SelectedIndex, StateIndex, OverlayIndex, ChildCount, TextLength; text (ANSI)
// preceded by the Int32 number of top-level nodes.
void TTreeNodes::DefineProperties(TFiler* Filer)
{
    TPersistent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, !FRoots.empty());
}

void TTreeNodes::ReadData(TStream* Stream)
{
    auto readInt = [&] {
        std::int32_t v = 0;
        Stream->ReadBuffer(&v, sizeof v);
        return int(v);
    };
    TScopedValue<bool> reading(Reading, true);
    BeginUpdate();
    Clear();
    std::function<void(TTreeNode*)> readNode = [&](TTreeNode* parent) {
        int image = readInt(), selected = readInt(), state = readInt(), overlay = readInt();
        int children = readInt(), length = readInt();
        if (length < 0 || length > 1 << 20 || children < 0)
            throw EReadError("Invalid property value");
        AnsiString text(size_t(length), '\0');
        Stream->ReadBuffer(text.data(), length);
        TTreeNode* node = AddChild(parent, text);
        node->FImageIndex = image;
        node->FSelectedIndex = selected;
        node->FStateIndex = state;
        node->FOverlayIndex = overlay;
        node->UpdateItem(TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE);
        Added(node);
        for (int i = 0; i < children; ++i)
            readNode(node);
    };
    int roots = readInt();
    for (int i = 0; i < roots; ++i)
        readNode(nullptr);
    EndUpdate();
}

void TTreeNodes::WriteData(TStream* Stream)
{
    auto writeInt = [&](int value) {
        std::int32_t v = value;
        Stream->WriteBuffer(&v, sizeof v);
    };
    std::function<void(TTreeNode*)> writeNode = [&](TTreeNode* node) {
        writeInt(node->FImageIndex);
        writeInt(node->FSelectedIndex);
        writeInt(node->FStateIndex);
        writeInt(node->FOverlayIndex);
        writeInt(node->GetCount());
        writeInt(int(node->FText.size()));
        Stream->WriteBuffer(node->FText.data(), int(node->FText.size()));
        for (TTreeNode* child : node->FChildren)
            writeNode(child);
    };
    writeInt(int(FRoots.size()));
    for (TTreeNode* root : FRoots)
        writeNode(root);
}

// =============================================================================================
// TCustomTreeView

int CALLBACK DefaultTreeViewSort(LPARAM Node1, LPARAM Node2, LPARAM Data)
{
    auto* tree = reinterpret_cast<TCustomTreeView*>(Data);
    try {
        return tree->CompareNodes(reinterpret_cast<TTreeNode*>(Node1), reinterpret_cast<TTreeNode*>(Node2), 0);
    } catch (...) {
        HandleControlException(tree);
        return 0;
    }
}

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle >> csClickEvents;  // clicks come as NM_CLICK
    FWidth = 121;
    FHeight = 97;
    FTabStop = true;
    FColor = clWindow;
    FParentColor = false;
    GetBrush()->SetColor(clWindow);
}

TCustomTreeView::~TCustomTreeView()
{
    Destroying();
    DestroyHandle();
    SetImages(nullptr);
    SetStateImages(nullptr);
    delete FItems;
}

TTreeNodes* TCustomTreeView::GetItems() const
{
    if (!FItems)
        FItems = const_cast<TCustomTreeView*>(this)->CreateTreeNodes();
    return FItems;
}

TTreeNodes* TCustomTreeView::CreateTreeNodes()
{
    return new TTreeNodes(this);
}

TTreeNode* TCustomTreeView::NewNode(TClass NodeClass)
{
    return TTreeNodeClasses::Create(NodeClass, GetItems());
}

TTreeNode* TCustomTreeView::CreateNode()
{
    TClass cls = TTreeNode::StaticClass();
    OnCreateNodeClass(this, cls);
    return NewNode(cls);
}

void TCustomTreeView::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TREEVIEWA);
    Params.Style |= (FShowLines ? TVS_HASLINES : 0) | (FShowRoot ? TVS_LINESATROOT : 0) |
                    (FShowButtons ? TVS_HASBUTTONS : 0) | (FReadOnly ? 0 : TVS_EDITLABELS) |
                    (FHideSelection ? 0 : TVS_SHOWSELALWAYS) | (FAutoExpand ? TVS_SINGLEEXPAND : 0) |
                    (FRowSelect ? TVS_FULLROWSELECT : 0);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

// The nodes go into the new window in GetNext order, with their state.
void TCustomTreeView::CreateWnd()
{
    TWinControl::CreateWnd();
    Perform(TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(FColor)));
    Perform(TVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(FFont->GetColor())));
    if (FIndent >= 0)
        Perform(TVM_SETINDENT, WPARAM(FIndent), 0);
    ApplyImageLists();
    TScopedValue<bool> rebuilding(FRebuilding, true);
    for (TTreeNode* root : GetItems()->FRoots)
        InsertBranch(root);
    for (TTreeNode* n = GetItems()->GetFirstNode(); n; n = n->GetNext())
        if (n->FExpanded && n->ItemId)
            Perform(TVM_EXPAND, TVE_EXPAND, LPARAM(n->ItemId));
    if (FSavedSelected && FSavedSelected->ItemId)
        Perform(TVM_SELECTITEM, TVGN_CARET, LPARAM(FSavedSelected->ItemId));
    if (FSavedTop && FSavedTop->ItemId)
        Perform(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, LPARAM(FSavedTop->ItemId));
    FSavedSelected = FSavedTop = nullptr;
}

void TCustomTreeView::DestroyWnd()
{
    FSavedSelected = GetSelected();
    FSavedTop = GetTopItem();
    FDrawingOff = false;  // the next window draws from the start
    TScopedValue<bool> rebuilding(FRebuilding, true);
    TWinControl::DestroyWnd();
    for (TTreeNode* n = GetItems()->GetFirstNode(); n; n = n->GetNext())
        n->ItemId = nullptr;
}

void TCustomTreeView::InsertItem(TTreeNode* Node)
{
    if (!HandleAllocated() || IsDestroying(this))
        return;
    TVINSERTSTRUCTA insert{};
    insert.hParent = Node->FParent ? Node->FParent->ItemId : TVI_ROOT;
    TTreeNode* prev = Node->getPrevSibling();
    insert.hInsertAfter = prev && prev->ItemId ? prev->ItemId : TVI_FIRST;
    if (Node->FParent && !Node->FParent->ItemId)
        return;
    TVITEMA& item = insert.item;
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
    item.pszText = Node->TextForWindow();
    item.iImage = I_IMAGECALLBACK;
    item.iSelectedImage = I_IMAGECALLBACK;
    item.cChildren = I_CHILDRENCALLBACK;
    item.lParam = LPARAM(Node);
    item.stateMask = TVIS_STATEIMAGEMASK | TVIS_OVERLAYMASK | TVIS_CUT;
    item.state = (Node->FStateIndex > 0 ? INDEXTOSTATEIMAGEMASK(Node->FStateIndex) : 0) |
                 (Node->FOverlayIndex >= 0 ? INDEXTOOVERLAYMASK(Node->FOverlayIndex) : 0) |
                 (Node->FCut ? TVIS_CUT : 0);
    Node->ItemId = reinterpret_cast<HTREEITEM>(Perform(TVM_INSERTITEMA, 0, LPARAM(&insert)));
    if (!Node->ItemId)
        throw ETreeViewError("Failed to insert item \"" + Node->FText + "\"");
    Node->FStateWaiting = false;
}

void TCustomTreeView::InsertBranch(TTreeNode* Node)
{
    InsertItem(Node);
    for (TTreeNode* child : Node->FChildren)
        InsertBranch(child);
}

void TCustomTreeView::Loaded()
{
    TWinControl::Loaded();
    if (FSortType != TSortType::stNone)
        AlphaSort(true);
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FImages)
            SetImages(nullptr);
        if (AComponent == FStateImages)
            SetStateImages(nullptr);
    }
}

void TCustomTreeView::ApplyImageLists()
{
    if (!HandleAllocated())
        return;
    Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(FImages ? FImages->GetHandle() : nullptr));
    Perform(TVM_SETIMAGELIST, TVSIL_STATE, LPARAM(FStateImages ? FStateImages->GetHandle() : nullptr));
}

void TCustomTreeView::ImageListChange(TObject*)
{
    ApplyImageLists();
    Invalidate();
}

void TCustomTreeView::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages) {
        FImages->RemoveFreeNotification(this);
        FImages->OnChange = TNotifyEvent();
    }
    FImages = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->OnChange = TNotifyEvent(this, &TCustomTreeView::ImageListChange);
    }
    ApplyImageLists();
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value)
{
    if (FStateImages == Value)
        return;
    if (FStateImages) {
        FStateImages->RemoveFreeNotification(this);
        FStateImages->OnChange = TNotifyEvent();
    }
    FStateImages = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->OnChange = TNotifyEvent(this, &TCustomTreeView::ImageListChange);
    }
    ApplyImageLists();
}

namespace {
void SetStyleBit(TWinControl* control, DWORD bit, bool on)
{
    if (!control->HandleAllocated())
        return;
    LONG_PTR style = GetWindowLongPtrA(control->WindowHandle, GWL_STYLE);
    SetWindowLongPtrA(control->WindowHandle, GWL_STYLE, on ? style | LONG_PTR(bit) : style & ~LONG_PTR(bit));
    control->Invalidate();
}
}  // namespace

void TCustomTreeView::SetAutoExpand(bool Value)
{
    FAutoExpand = Value;
    SetStyleBit(this, TVS_SINGLEEXPAND, Value);
}

void TCustomTreeView::SetHideSelection(bool Value)
{
    FHideSelection = Value;
    SetStyleBit(this, TVS_SHOWSELALWAYS, !Value);
}

void TCustomTreeView::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    SetStyleBit(this, TVS_EDITLABELS, !Value);
}

void TCustomTreeView::SetShowLines(bool Value)
{
    FShowLines = Value;
    SetStyleBit(this, TVS_HASLINES, Value);
}

void TCustomTreeView::SetShowRoot(bool Value)
{
    FShowRoot = Value;
    SetStyleBit(this, TVS_LINESATROOT, Value);
}

void TCustomTreeView::SetShowButtons(bool Value)
{
    FShowButtons = Value;
    SetStyleBit(this, TVS_HASBUTTONS, Value);
}

void TCustomTreeView::SetRowSelect(bool Value)
{
    FRowSelect = Value;
    SetStyleBit(this, TVS_FULLROWSELECT, Value);
}

int TCustomTreeView::GetIndent() const
{
    return HandleAllocated() ? int(SendMessageA(WindowHandle, TVM_GETINDENT, 0, 0)) : FIndent;
}

void TCustomTreeView::SetIndent(int Value)
{
    FIndent = Value;
    if (HandleAllocated())
        Perform(TVM_SETINDENT, WPARAM(Value), 0);
}

void TCustomTreeView::SetSortType(TSortType Value)
{
    if (FSortType == Value)
        return;
    FSortType = Value;
    if (Value != TSortType::stNone && !IsLoading(this))
        AlphaSort(true);
}

TTreeNode* TCustomTreeView::GetSelected() const
{
    if (FRightClickSelect && FRightClickNode)
        return FRightClickNode;
    if (!HandleAllocated())
        return FSavedSelected;
    auto id = reinterpret_cast<HTREEITEM>(SendMessageA(WindowHandle, TVM_GETNEXTITEM, TVGN_CARET, 0));
    return GetItems()->GetNode(id);
}

void TCustomTreeView::SetSelected(TTreeNode* Value)
{
    if (!HandleAllocated()) {
        FSavedSelected = Value;
        return;
    }
    if (Value && !Value->ItemId)
        return;
    Perform(TVM_SELECTITEM, TVGN_CARET, LPARAM(Value ? Value->ItemId : nullptr));
}

TTreeNode* TCustomTreeView::GetTopItem() const
{
    if (!HandleAllocated())
        return FSavedTop;
    return GetItems()->GetNode(
        reinterpret_cast<HTREEITEM>(SendMessageA(WindowHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

void TCustomTreeView::SetTopItem(TTreeNode* Value)
{
    if (Value && Value->ItemId)
        Perform(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, LPARAM(Value->ItemId));
}

TTreeNode* TCustomTreeView::GetDropTarget() const
{
    if (!HandleAllocated())
        return nullptr;
    return GetItems()->GetNode(
        reinterpret_cast<HTREEITEM>(SendMessageA(WindowHandle, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)));
}

void TCustomTreeView::SetDropTarget(TTreeNode* Value)
{
    Perform(TVM_SELECTITEM, TVGN_DROPHILITE, LPARAM(Value ? Value->ItemId : nullptr));
}

bool TCustomTreeView::IsEditing() const
{
    return HandleAllocated() && SendMessageA(WindowHandle, TVM_GETEDITCONTROL, 0, 0) != 0;
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) const
{
    if (!HandleAllocated())
        return nullptr;
    TVHITTESTINFO hit{};
    hit.pt = {X, Y};
    SendMessageA(WindowHandle, TVM_HITTEST, 0, LPARAM(&hit));
    if (!hit.hItem || !(hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMRIGHT)))
        return nullptr;
    return GetItems()->GetNode(hit.hItem);
}

UINT TCustomTreeView::GetHitTestInfoAt(int X, int Y) const
{
    if (!HandleAllocated())
        return 0;
    TVHITTESTINFO hit{};
    hit.pt = {X, Y};
    SendMessageA(WindowHandle, TVM_HITTEST, 0, LPARAM(&hit));
    return hit.flags;
}

void TCustomTreeView::FullExpand()
{
    for (TTreeNode* root : std::vector<TTreeNode*>(GetItems()->FRoots))
        root->Expand(true);
}

void TCustomTreeView::FullCollapse()
{
    for (TTreeNode* root : std::vector<TTreeNode*>(GetItems()->FRoots))
        root->Collapse(true);
}

int TCustomTreeView::CompareNodes(TTreeNode* Node1, TTreeNode* Node2, int Data)
{
    int result = 0;
    if (OnCompare && FSortType != TSortType::stText)
        OnCompare(this, Node1, Node2, Data, result);
    else
        result = lstrcmpiA(Node1->FText.c_str(), Node2->FText.c_str());
    return result;
}

namespace {
// Orders the window's items as the node objects already are.
int CALLBACK SortByPosition(LPARAM Node1, LPARAM Node2, LPARAM)
{
    return reinterpret_cast<TTreeNode*>(Node1)->GetIndex() - reinterpret_cast<TTreeNode*>(Node2)->GetIndex();
}
}  // namespace

// Sorts the node objects, then lets the window sort its items the same way (by their order).
void TCustomTreeView::SortChildren(TTreeNode* Parent, bool Recurse, TTreeSortCallback Proc, LPARAM Data)
{
    auto& siblings = GetItems()->SiblingsOf(Parent);
    TTreeSortCallback compare = Proc ? Proc : TreeViewSortCallback;
    LPARAM data = Proc ? Data : LPARAM(this);
    std::stable_sort(siblings.begin(), siblings.end(), [&](TTreeNode* a, TTreeNode* b) {
        return compare(LPARAM(a), LPARAM(b), data) < 0;
    });
    GetItems()->Renumber(Parent, 0);
    GetItems()->ClearCache();
    if (HandleAllocated() && (!Parent || Parent->ItemId)) {
        TVSORTCB sort{};
        sort.hParent = Parent ? Parent->ItemId : TVI_ROOT;
        sort.lpfnCompare = &SortByPosition;
        Perform(TVM_SORTCHILDRENCB, 0, LPARAM(&sort));
    }
    if (Recurse)
        for (TTreeNode* child : siblings)
            SortChildren(child, true, Proc, Data);
}

bool TCustomTreeView::AlphaSort(bool Recurse)
{
    SortChildren(nullptr, Recurse, nullptr, 0);
    return true;
}

bool TCustomTreeView::CustomSort(TTreeSortCallback SortProc, LPARAM Data, bool Recurse)
{
    SortChildren(nullptr, Recurse, SortProc, Data);
    return true;
}

int TCustomTreeView::GetImageIndex(TTreeNode* Node)
{
    OnGetImageIndex(this, Node);
    return Node->FImageIndex;
}

int TCustomTreeView::GetSelectedIndex(TTreeNode* Node)
{
    OnGetSelectedIndex(this, Node);
    return Node->FSelectedIndex;
}

bool TCustomTreeView::CanExpand(TTreeNode* Node)
{
    bool allow = true;
    OnExpanding(this, Node, allow);
    return allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node)
{
    bool allow = true;
    OnCollapsing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node)
{
    OnExpanded(this, Node);
}

void TCustomTreeView::Collapse(TTreeNode* Node)
{
    OnCollapsed(this, Node);
}

bool TCustomTreeView::CanChange(TTreeNode* Node)
{
    bool allow = true;
    OnChanging(this, Node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* Node)
{
    OnChange(this, Node);
}

void TCustomTreeView::Delete(TTreeNode* Node)
{
    OnDeletion(this, Node);
}

void TCustomTreeView::Added(TTreeNode* Node)
{
    OnAddition(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node)
{
    bool allow = !FReadOnly;
    OnEditing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Edit(const TVITEMA& Item)
{
    if (!Item.pszText)
        return;
    TTreeNode* node = GetItems()->GetNode(Item.hItem);
    if (!node)
        return;
    AnsiString text = Item.pszText;
    OnEdited(this, node, text);
    node->SetText(text);
}

TTreeNode* TCustomTreeView::FindNextToSelect()
{
    TTreeNode* selected = GetSelected();
    if (!selected)
        return nullptr;
    if (TTreeNode* next = selected->getNextSibling())
        return next;
    if (TTreeNode* prev = selected->getPrevSibling())
        return prev;
    return selected->GetParent();
}

VCL_BEGIN_MESSAGE_MAP(TCustomTreeView)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
    VCL_MESSAGE(WM_LBUTTONDOWN, WMLButtonDown)
    VCL_MESSAGE(WM_LBUTTONUP, WMLButtonUp)
    VCL_MESSAGE(WM_CONTEXTMENU, WMContextMenu)
    VCL_MESSAGE(WM_NOTIFY, WMNotify)
    VCL_MESSAGE(WM_SETREDRAW, WMSetRedraw)
    VCL_MESSAGE(CM_COLORCHANGED, CMColorChanged)
    VCL_MESSAGE(CM_SYSCOLORCHANGE, CMSysColorChange)
VCL_END_MESSAGE_MAP(TWinControl)

// The native tree runs a drag-detection loop inside its button-down handling, which swallows the
// button-up. When no drag began and no button-up arrived or waits, the mouse-up is delivered here.
void TCustomTreeView::WMLButtonDown(TMessage& Message)
{
    FDragging = false;
    FMouseUpSeen = false;
    TMessage saved = Message;
    TWinControl::Dispatch(Message);  // default handling, then MouseDown
    if (FDragging || FMouseUpSeen || !HandleAllocated())
        return;
    MSG pending;
    if (PeekMessageA(&pending, WindowHandle, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE))
        return;
    if (GetKeyState(VK_LBUTTON) < 0 && GetCapture() == WindowHandle)
        return;  // still held: a real button-up will come
    MouseUp(TMouseButton::mbLeft, KeysToShiftState(saved.WParam) - TShiftState{ssLeft}, short(LOWORD(saved.LParam)),
            short(HIWORD(saved.LParam)));
}

void TCustomTreeView::WMLButtonUp(TMessage& Message)
{
    FMouseUpSeen = true;
    TWinControl::Dispatch(Message);
}

void TCustomTreeView::WMContextMenu(TMessage& Message)
{
    TWinControl::Dispatch(Message);
}

void TCustomTreeView::WMNotify(TMessage& Message)
{
    TWinControl::Dispatch(Message);
}

// The tree control goes on redrawing its scroll bars for each changed row while its own redraw is off (under
// Wine milliseconds a row): the window's own drawing goes off as well, as the default handling would take it,
// and comes back with the whole window, frame and scroll bars included, to be drawn. A window hidden before or
// meanwhile stays hidden.
void TCustomTreeView::WMSetRedraw(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    if (!HandleAllocated())
        return;
    if (!Message.WParam && !FDrawingOff && (GetWindowLongPtrA(WindowHandle, GWL_STYLE) & WS_VISIBLE)) {
        DefWindowProcA(WindowHandle, WM_SETREDRAW, FALSE, 0);
        FDrawingOff = true;
    } else if (Message.WParam && FDrawingOff) {
        FDrawingOff = false;
        if (!GetVisible())
            return;
        DefWindowProcA(WindowHandle, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(WindowHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void TCustomTreeView::CMColorChanged(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    if (HandleAllocated())
        Perform(TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(FColor)));
}

void TCustomTreeView::CMSysColorChange(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    if (HandleAllocated())
        Perform(TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(FColor)));
}

void TCustomTreeView::CNNotify(TMessage& Message)
{
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    UINT code = header->code;
    auto* nmtv = reinterpret_cast<NMTREEVIEWA*>(header);  // same layout as the wide form up to the items' lParam
    Message.Result = 0;
    if (Is(code, TVN_GETDISPINFOA, TVN_GETDISPINFOW)) {
        auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
        TTreeNode* node = NodeOfNotify(info->item.lParam);
        if (!node || FRebuilding)
            return;
        if (info->item.mask & TVIF_TEXT)
            CopyDisplayText(node->FText, info->item.pszText, info->item.cchTextMax, code == UINT(TVN_GETDISPINFOW));
        if (info->item.mask & TVIF_IMAGE)
            info->item.iImage = GetImageIndex(node);
        if (info->item.mask & TVIF_SELECTEDIMAGE)
            info->item.iSelectedImage = GetSelectedIndex(node);
        if (info->item.mask & TVIF_CHILDREN)
            info->item.cChildren = node->GetHasChildren() ? 1 : 0;
        return;
    }
    if (Is(code, TVN_SELCHANGINGA, TVN_SELCHANGINGW)) {
        Message.Result = FRebuilding ? 0 : !CanChange(NodeOfNotify(nmtv->itemNew.lParam));
        return;
    }
    if (Is(code, TVN_SELCHANGEDA, TVN_SELCHANGEDW)) {
        if (!FRebuilding)
            Change(NodeOfNotify(nmtv->itemNew.lParam));
        return;
    }
    if (Is(code, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDINGW)) {
        TTreeNode* node = NodeOfNotify(nmtv->itemNew.lParam);
        if (!node || FRebuilding || FProgramExpand)
            return;
        bool expanding = (nmtv->action & TVE_EXPAND) != 0;
        bool allow = expanding ? CanExpand(node) : CanCollapse(node);
        if (allow && expanding)
            node->SendWaitingStatesBelow();
        Message.Result = !allow;
        return;
    }
    if (Is(code, TVN_ITEMEXPANDEDA, TVN_ITEMEXPANDEDW)) {
        TTreeNode* node = NodeOfNotify(nmtv->itemNew.lParam);
        if (!node || FProgramExpand)
            return;
        node->FExpanded = (nmtv->action & TVE_EXPAND) != 0;
        if (!FRebuilding) {
            if (node->FExpanded)
                Expand(node);
            else
                Collapse(node);
        }
        return;
    }
    if (Is(code, TVN_DELETEITEMA, TVN_DELETEITEMW)) {
        // The node objects are the library's: the window only lets go of its item.
        if (TTreeNode* node = NodeOfNotify(nmtv->itemOld.lParam))
            if (node->ItemId == nmtv->itemOld.hItem)
                node->ItemId = nullptr;
        return;
    }
    if (Is(code, TVN_BEGINDRAGA, TVN_BEGINDRAGW) || Is(code, TVN_BEGINRDRAGA, TVN_BEGINRDRAGW)) {
        FDragging = true;
        return;
    }
    if (Is(code, TVN_BEGINLABELEDITA, TVN_BEGINLABELEDITW)) {
        auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
        TTreeNode* node = NodeOfNotify(info->item.lParam);
        Message.Result = !(node && CanEdit(node));
        return;
    }
    if (code == UINT(TVN_ENDLABELEDITA)) {
        auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
        if (!info->item.pszText) {
            if (TTreeNode* node = NodeOfNotify(info->item.lParam))
                OnCancelEdit(this, node);
        }
        Edit(info->item);
        return;
    }
    if (code == UINT(TVN_ENDLABELEDITW)) {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
        TVITEMA item{};
        item.mask = info->item.mask;
        item.hItem = info->item.hItem;
        item.lParam = info->item.lParam;
        AnsiString text;
        if (info->item.pszText) {
            text = WideToAnsi(info->item.pszText);
            item.pszText = text.data();
        } else if (TTreeNode* node = NodeOfNotify(info->item.lParam)) {
            OnCancelEdit(this, node);
        }
        Edit(item);
        return;
    }
    if (code == UINT(NM_CLICK)) {
        Click();
        return;
    }
    if (code == UINT(NM_DBLCLK)) {
        DblClick();
        return;
    }
    if (code == UINT(NM_RCLICK)) {
        // The context menu belongs to the point of the click. With RightClickSelect the node there is what
        // GetSelected answers while the menu is handled; the selection itself stays (no OnChange).
        POINT p;
        GetCursorPos(&p);
        POINT local = p;
        ::ScreenToClient(WindowHandle, &local);
        TScopedValue<TTreeNode*> clicked(FRightClickNode,
                                         FRightClickNode ? FRightClickNode : GetNodeAt(local.x, local.y));
        Perform(WM_CONTEXTMENU, WPARAM(WindowHandle), MAKELPARAM(p.x, p.y));
        Message.Result = 1;
        return;
    }
}

}  // namespace vcl
