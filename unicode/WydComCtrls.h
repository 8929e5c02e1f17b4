// The class library's common controls with UTF-16 texts: list view, tree view, tab control, page control with
// its sheets, status bar, tool bar with its buttons, progress bar, track bar, up-down, date-time picker, month
// calendar, page scroller and rich edit. Each shows its wide texts through a Unicode window, keeps them across
// window re-creation and streams them with the form.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "ComCtrls.h"
#include "WydActnList.h"
#include "WydClasses.h"
#include "WydControls.h"
#include "WydStdCtrls.h"

// Unit start: the layer's common controls become known to form streams.
void InitWydComCtrls();

// Creates a common control's Unicode window on the system class `className`; on NT the control then
// notifies its parent in wide form. Raises EWydInternalError when no class is named.
void CreateUnicodeHandle_ComCtl(vcl::TWinControl* control, const vcl::TCreateParams& params,
                                const WideString& className);

// An edited text that came in ANSI: the wide text it was made from while its ANSI form is unchanged (an edit
// ended without a change keeps characters the code page lacks), else the ANSI text widened.
inline WideString SyncedWideText(WideString wide, const AnsiString& ansi)
{
    return GetSyncedWideString(wide, ansi);
}

// The text a label edit ends with: the wide OnEdited may change it; without it the class library's ANSI
// OnEdited may, and its text counts where it changed.
template <class Item, class WideEvent, class AnsiEvent>
WideString EditedText(vcl::TObject* view, Item* item, WideString text, const WideEvent& wide, const AnsiEvent& ansi)
{
    if (wide) {
        wide(view, item, text);
    } else if (ansi) {
        AnsiString before = vcl::WideToAnsi(text), after = before;
        ansi(view, item, after);
        if (after != before)
            text = vcl::AnsiToWide(after);
    }
    return text;
}

// The class a view's OnCreateNodeClass or OnCreateItemClass chooses for a new node or item (Wide when it
// chooses none). Anything but Wide or a descendant raises EWydInternalError with `refusal`. Wide's own
// constructor joins the class library's list (Classes) on first use.
template <class Wide, class Classes, class View, class Event>
vcl::TClass ChosenWideClass(View* view, const Event& event, const char* refusal)
{
    static const bool registered = (Classes::template Register<Wide>(), true);
    (void)registered;
    vcl::TClass cls = Wide::StaticClass();
    event(view, cls);
    if (!cls || !cls->InheritsFrom(Wide::StaticClass()))
        throw EWydInternalError(refusal);
    return cls;
}

// Walks a list by index: position from -1, MoveNext while there is a next item.
template <class List, class Item> class TWydIndexEnumerator {
public:
    explicit TWydIndexEnumerator(const List* list) : list_(list) {}
    bool MoveNext()
    {
        if (position_ >= list_->GetCount() - 1)
            return false;
        ++position_;
        return true;
    }
    Item* GetCurrent() const { return list_->GetItem(position_); }

private:
    const List* list_;
    int position_ = -1;
};

// The editor of a list or tree view's labels on NT: a wide window whose keys reach the view's key handling
// (OnKeyDown, OnKeyPress, ...) first; a key the view consumes goes no further.
class TWydLabelEditHook {
public:
    using TKeyRoute = std::function<bool(vcl::TMessage&)>;
    TWydLabelEditHook(vcl::TWinControl* view, TKeyRoute route) : view_(view), route_(std::move(route)) {}
    ~TWydLabelEditHook();
    TWydLabelEditHook(const TWydLabelEditHook&) = delete;
    TWydLabelEditHook& operator=(const TWydLabelEditHook&) = delete;
    // Takes over the editor window `edit` (nothing for a null window).
    void Attach(HWND edit);

private:
    static LRESULT CALLBACK EditWndProcW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT EditMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Detach();
    vcl::TWinControl* view_;
    TKeyRoute route_;
    HWND edit_ = nullptr;
    WNDPROC previous_ = nullptr;
};

// Hands a key message of a label editor to a view's own key handling; true when the view consumed it. A
// friend of each view, as the handlers are theirs.
template <class View> bool RouteLabelEditKey(View* view, vcl::TMessage& message)
{
    switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return view->DoKeyDown(message);
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return view->DoKeyUp(message);
    case WM_CHAR: {
        MakeWMCharMsgSafeForAnsi(message);
        bool consumed = view->DoKeyPress(message);
        RestoreWMCharMsg(message);
        return consumed;
    }
    default:
        return false;
    }
}

// =============================================================================================
// List view

class TWydCustomListView;
class TWydListItems;

class TWydListColumn : public vcl::TListColumn {
    VCL_CLASS(TWydListColumn, vcl::TListColumn)
    explicit TWydListColumn(vcl::TCollection* collection = nullptr) : TListColumn(collection) {}
    // From a TWydListColumn the wide caption too; from a plain column its caption widened.
    void Assign(vcl::TPersistent* source) override;
    WYD_WIDE_PROPERTIES
    WideString GetCaption() const { return GetSyncedWideString(caption_, TListColumn::GetCaption()); }
    void SetCaption(const WideString& value);
    void SetInheritedCaption(const AnsiString& value) { TListColumn::SetCaption(value); }

private:
    mutable WideString caption_;
};

class TWydListColumns : public vcl::TListColumns {
    VCL_CLASS(TWydListColumns, vcl::TListColumns)
    explicit TWydListColumns(vcl::TCustomListView* owner = nullptr);
    TWydListColumn* Add() { return static_cast<TWydListColumn*>(TListColumns::Add()); }
    TWydListColumn* GetItem(int index) const { return static_cast<TWydListColumn*>(TListColumns::GetItem(index)); }
    void SetItem(int index, TWydListColumn* value) { GetItem(index)->Assign(value); }
    TWydCustomListView* Owner() const;
};

class TWydListItem;

// The wide sub-items of a list item. Every change is passed on to the class library's ANSI sub-items (texts in
// ANSI, objects as they are); a change made on the ANSI side comes back through the item.
class TWideSubItems : public TWydStringList {
    VCL_CLASS(TWideSubItems, TWydStringList)
    TWideSubItems(TWydListItem* item, vcl::TStrings* ansiSubItems) : item_(item), ansi_(ansiSubItems) {}
    // Takes the ANSI sub-items: an item whose ANSI form is unchanged keeps its wide text.
    void ReadAnsi();

protected:
    void Changed() override;

private:
    TWydListItem* item_;
    vcl::TStrings* ansi_;
    bool readingAnsi_ = false;
};

class TWydListItem : public vcl::TListItem {
    VCL_CLASS(TWydListItem, vcl::TListItem)
    explicit TWydListItem(vcl::TListItems* owner = nullptr);
    ~TWydListItem() override;
    // From a TWydListItem: caption, Data, ImageIndex, Indent, OverlayIndex, StateIndex, sub-items, Checked.
    void Assign(vcl::TPersistent* source) override;
    WideString GetCaption() const { return GetSyncedWideString(caption_, TListItem::GetCaption()); }
    void SetCaption(const WideString& value);
    void SetInheritedCaption(const AnsiString& value) { TListItem::SetCaption(value); }
    TWideSubItems* GetSubItems() const { return subItems_; }
    void SetSubItems(TWideStrings* value);
    TWydCustomListView* GetListView() const;
    TWydListItems* GetWydOwner() const;

protected:
    void SubItemsChanged(vcl::TObject* sender) override;

private:
    mutable WideString caption_;
    TWideSubItems* subItems_;
};

class TWydListItems;
using TWydListItemsEnumerator = TWydIndexEnumerator<TWydListItems, TWydListItem>;

class TWydListItems : public vcl::TListItems {
    VCL_CLASS(TWydListItems, vcl::TListItems)
    explicit TWydListItems(vcl::TCustomListView* owner = nullptr) : TListItems(owner) {}
    TWydListItem* Add() { return static_cast<TWydListItem*>(TListItems::Add()); }
    // A new item at index (the end for -1) made a copy of item (when given).
    TWydListItem* AddItem(TWydListItem* item, int index = -1);
    TWydListItem* Insert(int index) { return static_cast<TWydListItem*>(TListItems::Insert(index)); }
    TWydListItem* GetItem(int index) const { return static_cast<TWydListItem*>(TListItems::GetItem(index)); }
    void SetItem(int index, TWydListItem* value);
    TWydCustomListView* Owner() const;
    TWydListItemsEnumerator GetEnumerator() const { return TWydListItemsEnumerator(this); }
};

using TWydLVEditedEvent = vcl::TEvent<vcl::TObject*, TWydListItem*, WideString&>;
// Sender, Find (LVFI_ flags), FindString, FindPosition, FindData, StartIndex, Direction, Wrap, var Index.
using TWydLVOwnerDataFindEvent =
    vcl::TEvent<vcl::TObject*, int, const WideString&, POINT, void*, int, int, bool, int&>;

class TWydCustomListView : public vcl::TCustomListView, public IWideCustomListControl {
    VCL_CLASS(TWydCustomListView, vcl::TCustomListView)
    explicit TWydCustomListView(vcl::TComponent* owner);
    WYD_WIDE_CONTROL(TWydCustomListView)

    TWydListItems* GetItems() const { return static_cast<TWydListItems*>(TCustomListView::GetItems()); }
    void SetItems(TWydListItems* value);
    TWydListColumns* GetListColumns() const { return static_cast<TWydListColumns*>(GetColumns()); }
    void SetListColumns(TWydListColumns* value) { GetListColumns()->Assign(value); }
    TWydListColumn* ColumnFromIndex(int index) const;
    TWydListColumn* GetColumnFromTag(int tag) const;
    TWydListItem* GetSelected() const { return Typed(TCustomListView::GetSelected()); }
    void SetSelected(TWydListItem* value) { TCustomListView::SetSelected(value); }
    TWydListItem* GetItemFocused() const { return Typed(TCustomListView::GetItemFocused()); }
    void SetItemFocused(TWydListItem* value) { TCustomListView::SetItemFocused(value); }
    TWydListItem* GetDropTarget() const { return Typed(TCustomListView::GetDropTarget()); }
    void SetDropTarget(TWydListItem* value) { TCustomListView::SetDropTarget(value); }
    TWydListItem* GetTopItem() const { return Typed(TCustomListView::GetTopItem()); }
    // The item a notification's record means: lParam with LVIF_PARAM, else the item at iItem; below 0 the owner-data
    // item of a view with OwnerData, else none.
    TWydListItem* GetItemW(const LVITEMW& item) const;
    // A new item with the wide caption and Data = object.
    void AddItem(const WideString& item, vcl::TObject* object) override;
    // Each selected item's wide caption and Data, added to the destination (wide where it takes wide items).
    void CopySelection(vcl::TCustomListControl* destination) override;
    TWydListItem* FindCaption(int startIndex, const WideString& value, bool partial, bool inclusive,
                              bool wrap) const;
    int StringWidth(const WideString& s) const;
    WideString GetSearchString() const;
    // The index the wide OnDataFind answers; without it the class library's search with the ANSI text.
    virtual int OwnerDataFind(int find, const WideString& findString, POINT findPosition, void* findData,
                              int startIndex, int direction, bool wrap);
    int OwnerDataFind(int find, const AnsiString& findString, POINT findPosition, void* findData, int startIndex,
                      int direction, bool wrap) override;
    // Sorting compares the wide captions (lstrcmpW) unless OnCompare decides.
    int CompareItems(vcl::TListItem* item1, vcl::TListItem* item2, int data) override;
    // OnDrawItem; without it the wide caption on the item's background.
    void DrawItem(vcl::TListItem* item, RECT rect, vcl::TOwnerDrawState state) override;
    void Edit(const LVITEMA& item) override;
    void Dispatch(vcl::TMessage& message) override;

    // The wide events; where one is not assigned the class library's ANSI one of the same name runs.
    TWydLVEditedEvent OnEdited;
    TWydLVOwnerDataFindEvent OnDataFind;

protected:
    vcl::TListItem* CreateListItem() override;
    vcl::TListItems* CreateListItems() override;
    vcl::TListColumns* CreateListColumns() override;
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void WndProc(vcl::TMessage& message) override;
    // The end of a label edit with its wide text.
    void EditText(TWydListItem* item, const WideString& text);
    void CNNotify(vcl::TMessage& message);

private:
    template <class View> friend bool RouteLabelEditKey(View*, vcl::TMessage&);
    static TWydListItem* Typed(vcl::TListItem* item) { return static_cast<TWydListItem*>(item); }
    void GetDisplayInfoW(NMLVDISPINFOW* info);
    bool SetColumnW(vcl::TMessage& message);
    TWydLabelEditHook editHook_;
};

class TWydListView : public TWydCustomListView {
    VCL_CLASS(TWydListView, TWydCustomListView)
    using TWydCustomListView::TWydCustomListView;
};

// =============================================================================================
// Tree view

class TWydTreeNodes;
class TWydCustomTreeView;

class TWydTreeNode : public vcl::TTreeNode {
    VCL_CLASS(TWydTreeNode, vcl::TTreeNode)
    explicit TWydTreeNode(vcl::TTreeNodes* owner = nullptr) : TTreeNode(owner) {}
    // The inherited Assign, then the wide text of a TWydTreeNode (unless this node is being deleted).
    void Assign(vcl::TPersistent* source) override;
    WideString GetText() const { return GetSyncedWideString(text_, TTreeNode::GetText()); }
    void SetText(const WideString& value);
    void SetInheritedText(const AnsiString& value) { TTreeNode::SetText(value); }
    // Same wide text (exactly) and same Data.
    bool IsEqual(const TWydTreeNode* node) const;

    TWydTreeNode* getFirstChild() const { return Typed(TTreeNode::getFirstChild()); }
    TWydTreeNode* GetLastChild() const { return Typed(TTreeNode::GetLastChild()); }
    TWydTreeNode* GetNext() const { return Typed(TTreeNode::GetNext()); }
    TWydTreeNode* GetPrev() const { return Typed(TTreeNode::GetPrev()); }
    TWydTreeNode* GetNextChild(vcl::TTreeNode* value) const { return Typed(TTreeNode::GetNextChild(value)); }
    TWydTreeNode* GetPrevChild(vcl::TTreeNode* value) const { return Typed(TTreeNode::GetPrevChild(value)); }
    TWydTreeNode* getNextSibling() const { return Typed(TTreeNode::getNextSibling()); }
    TWydTreeNode* getPrevSibling() const { return Typed(TTreeNode::getPrevSibling()); }
    TWydTreeNode* GetNextVisible() const { return Typed(TTreeNode::GetNextVisible()); }
    TWydTreeNode* GetPrevVisible() const { return Typed(TTreeNode::GetPrevVisible()); }
    TWydTreeNode* GetParent() const { return Typed(TTreeNode::GetParent()); }
    TWydTreeNode* GetItem(int index) const { return Typed(TTreeNode::GetItem(index)); }
    void SetItem(int index, TWydTreeNode* value) { GetItem(index)->Assign(value); }
    TWydTreeNodes* GetNodeOwner() const;
    TWydCustomTreeView* GetTreeView() const;

private:
    friend class TWydTreeNodes;
    static TWydTreeNode* Typed(vcl::TTreeNode* node) { return static_cast<TWydTreeNode*>(node); }
    mutable WideString text_;
};

class TWydTreeNodes;
using TWydTreeNodesEnumerator = TWydIndexEnumerator<TWydTreeNodes, TWydTreeNode>;

// The nodes of a wide tree. Beside the class library's node data ("Data", ANSI) a form stream carries
// "Utf8Data": every node's record with its text in UTF-8.
class TWydTreeNodes : public vcl::TTreeNodes {
    VCL_CLASS(TWydTreeNodes, vcl::TTreeNodes)
    explicit TWydTreeNodes(vcl::TCustomTreeView* owner = nullptr) : TTreeNodes(owner) {}
    void DefineProperties(vcl::TFiler* filer) override;
    // Another TWydTreeNodes is copied whole: structure, indexes, Data and full wide texts.
    void Assign(vcl::TPersistent* source) override;

    // Places a node (a new one when node is null) relative to another; a new node gets text s and Data ptr.
    TWydTreeNode* AddNode(TWydTreeNode* node, TWydTreeNode* relative, const WideString& s, void* ptr,
                          vcl::TNodeAttachMode method);
    TWydTreeNode* Add(TWydTreeNode* sibling, const WideString& s);
    TWydTreeNode* AddObject(TWydTreeNode* sibling, const WideString& s, void* ptr);
    TWydTreeNode* AddFirst(TWydTreeNode* sibling, const WideString& s);
    TWydTreeNode* AddObjectFirst(TWydTreeNode* sibling, const WideString& s, void* ptr);
    TWydTreeNode* AddChild(TWydTreeNode* parent, const WideString& s);
    TWydTreeNode* AddChildObject(TWydTreeNode* parent, const WideString& s, void* ptr);
    TWydTreeNode* AddChildFirst(TWydTreeNode* parent, const WideString& s);
    TWydTreeNode* AddChildObjectFirst(TWydTreeNode* parent, const WideString& s, void* ptr);
    TWydTreeNode* Insert(TWydTreeNode* sibling, const WideString& s);
    TWydTreeNode* InsertObject(TWydTreeNode* sibling, const WideString& s, void* ptr);
    TWydTreeNode* InsertNode(TWydTreeNode* node, TWydTreeNode* sibling, const WideString& s, void* ptr);

    TWydTreeNode* GetItem(int index) const { return static_cast<TWydTreeNode*>(TTreeNodes::GetItem(index)); }
    TWydTreeNode* GetNodeFromIndex(int index) const { return GetItem(index); }
    TWydTreeNode* GetNode(HTREEITEM itemId) const { return static_cast<TWydTreeNode*>(TTreeNodes::GetNode(itemId)); }
    TWydTreeNode* GetFirstNode() const { return static_cast<TWydTreeNode*>(TTreeNodes::GetFirstNode()); }
    TWydCustomTreeView* GetNodesOwner() const;
    TWydTreeNodesEnumerator GetEnumerator() const { return TWydTreeNodesEnumerator(this); }

    // The "Utf8Data" records (see WydComCtrlsTree.cpp).
    void ReadUtf8Data(vcl::TStream* stream);
    void WriteUtf8Data(vcl::TStream* stream);

private:
    bool Utf8DataDiffers(vcl::TPersistent* ancestor) const;
};

// The lines of a tree's text form (LoadFromFile, SaveToFile, ...): one node a line, indented by its level.
class TWydTreeStrings : public TWydStringList {
    VCL_CLASS(TWydTreeStrings, TWydStringList)
    TWydTreeStrings() = default;
};

using TWydTVEditedEvent = vcl::TEvent<vcl::TObject*, TWydTreeNode*, WideString&>;

class TWydCustomTreeView : public vcl::TCustomTreeView {
    VCL_CLASS(TWydCustomTreeView, vcl::TCustomTreeView)
    explicit TWydCustomTreeView(vcl::TComponent* owner);
    WYD_WIDE_CONTROL(TWydCustomTreeView)

    TWydTreeNodes* GetTreeNodes() const { return static_cast<TWydTreeNodes*>(GetItems()); }
    void SetTreeNodes(TWydTreeNodes* value) { GetTreeNodes()->Assign(value); }
    TWydTreeNode* GetSelected() const override { return Typed(TCustomTreeView::GetSelected()); }
    void SetSelected(TWydTreeNode* value) { TCustomTreeView::SetSelected(value); }
    TWydTreeNode* GetDropTarget() const { return Typed(TCustomTreeView::GetDropTarget()); }
    void SetDropTarget(TWydTreeNode* value) { TCustomTreeView::SetDropTarget(value); }
    TWydTreeNode* GetTopItem() const { return Typed(TCustomTreeView::GetTopItem()); }
    void SetTopItem(TWydTreeNode* value) { TCustomTreeView::SetTopItem(value); }
    TWydTreeNode* GetNodeAt(int x, int y) const { return Typed(TCustomTreeView::GetNodeAt(x, y)); }
    TWydTreeNode* GetSelection(int index) const { return Typed(TCustomTreeView::GetSelection(index)); }
    // Fills list with the selected nodes; returns their count.
    int GetSelections(vcl::TList* list) const;
    // The node a notification's record means: lParam with TVIF_PARAM, else the node of hItem.
    TWydTreeNode* GetNodeFromItem(const TVITEMW& item) const;

    // The text form: one line a node in GetNext order, its level in leading tabs (tabs and spaces when read).
    // Reading raises ETreeViewError "Invalid level (%d) for item "%s"" on a jump of more than one level and
    // keeps the nodes read before.
    void LoadFromFile(const WideString& fileName);
    void LoadFromStream(vcl::TStream* stream);
    void SaveToFile(const WideString& fileName);
    void SaveToStream(vcl::TStream* stream);

    // Sorting compares the wide texts (lstrcmpW) unless OnCompare decides.
    int CompareNodes(vcl::TTreeNode* node1, vcl::TTreeNode* node2, int data) override;
    // The wide texts reach the window through TVN_GETDISPINFOW.
    bool AsksForTexts() const override { return true; }
    void Dispatch(vcl::TMessage& message) override;

    // The wide event; where it is not assigned the class library's ANSI OnEdited runs.
    TWydTVEditedEvent OnEdited;

protected:
    vcl::TTreeNode* CreateNode() override;
    vcl::TTreeNodes* CreateTreeNodes() override;
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    TWydTreeNode* FindNextToSelect() override { return Typed(TCustomTreeView::FindNextToSelect()); }
    void Edit(const TVITEMA& item) override;
    // The end of a label edit with its wide text.
    void EditText(TWydTreeNode* node, const WideString& text);
    void CNNotify(vcl::TMessage& message);

private:
    template <class View> friend bool RouteLabelEditKey(View*, vcl::TMessage&);
    static TWydTreeNode* Typed(vcl::TTreeNode* node) { return static_cast<TWydTreeNode*>(node); }
    void GetDisplayInfoW(vcl::TMessage& message);
    void LoadLines(TWydTreeStrings& lines);
    TWydLabelEditHook editHook_;
};

class TWydTreeView : public TWydCustomTreeView {
    VCL_CLASS(TWydTreeView, TWydCustomTreeView)
    using TWydCustomTreeView::TWydCustomTreeView;
};

// =============================================================================================
// Tab control, page control

class TWydCustomTabControl;

// The tabs of a wide tab control: texts through the wide tab messages, everything else (count, objects) through
// the class library's tab list. While the control has no window the tabs wait in a wide list of its own.
class TWydTabStrings : public TWydStrings {
    VCL_CLASS(TWydTabStrings, TWydStrings)
    TWydTabStrings(TWydCustomTabControl* control, vcl::TStrings* ansiTabs) : control_(control), ansi_(ansiTabs) {}
    ~TWydTabStrings() override;
    WideString Get(int index) const override;
    int GetCount() const override;
    vcl::TObject* GetObject(int index) const override;
    // Raise EListError "Failed to set tab "%s" at index %d" when the window refuses.
    void Put(int index, const WideString& s) override;
    void PutObject(int index, vcl::TObject* object) override;
    void Clear() override;
    void Delete(int index) override;
    void Insert(int index, const WideString& s) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    enum class TStore { Window, Pending, Ansi };
    TStore Store() const;
    void PlaceText(int index, const WideString& s, UINT msg, void (TWideStrings::*pending)(int, const WideString&),
                   void (vcl::TStrings::*ansi)(int, const AnsiString&));
    void SendItem(UINT msg, int index, const WideString& s);
    TWydCustomTabControl* control_;
    vcl::TStrings* ansi_;
};

class TWydCustomTabControl : public vcl::TCustomTabControl {
    VCL_CLASS(TWydCustomTabControl, vcl::TCustomTabControl)
    explicit TWydCustomTabControl(vcl::TComponent* owner);
    ~TWydCustomTabControl() override;
    WYD_WIDE_CONTROL(TWydCustomTabControl)
    TWydTabStrings* GetTabs() const { return tabs_; }
    void SetTabs(TWideStrings* value) { tabs_->Assign(value); }
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void CMDialogChar(vcl::TMessage& message);

private:
    friend class TWydTabStrings;
    TWydTabStrings* tabs_;
    TWydStringList* pendingTabs_;  // the tabs while there is no window
};

class TWydTabControl : public TWydCustomTabControl {
    VCL_CLASS(TWydTabControl, TWydCustomTabControl)
    using TWydCustomTabControl::TWydCustomTabControl;
};

class TWydTabSheet : public vcl::TTabSheet {
    VCL_CLASS(TWydTabSheet, vcl::TTabSheet)
    explicit TWydTabSheet(vcl::TComponent* owner) : TTabSheet(owner) {}
    WYD_WIDE_CONTROL(TWydTabSheet)
    WideString GetCaption() const { return WydControl_GetText(const_cast<TWydTabSheet*>(this)); }
    void SetCaption(const WideString& value) { WydControl_SetText(this, value); }
    bool IsCaptionStored() const { return WydControl_IsCaptionStored(const_cast<TWydTabSheet*>(this)); }

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
};

class TWydPageControl : public vcl::TPageControl {
    VCL_CLASS(TWydPageControl, vcl::TPageControl)
    explicit TWydPageControl(vcl::TComponent* owner) : TPageControl(owner) {}
    WYD_WIDE_CONTROL(TWydPageControl)
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    // On NT a tab's text goes to the window wide: the caption of the tab's sheet; a tab without a sheet keeps its
    // text.
    void WndProc(vcl::TMessage& message) override;
    void CMDialogChar(vcl::TMessage& message);
    // A control docks on a wide sheet, which a docked form's wide caption names and whose caption follows the
    // control's (to its first line break).
    vcl::TTabSheet* NewDockSheet(vcl::TControl* client) override;
    void CMDockNotification(vcl::TMessage& message);
};

// Which of the captions answers an accelerator character: the first whose hot key ('&') is the character
// (compared without case) and that `usable` accepts; -1 for none.
int FindAcceleratorCaption(WORD charCode, const std::vector<WideString>& captions,
                           const std::function<bool(int)>& usable);

// =============================================================================================
// Status bar

class TWydStatusPanel : public vcl::TStatusPanel {
    VCL_CLASS(TWydStatusPanel, vcl::TStatusPanel)
    explicit TWydStatusPanel(vcl::TCollection* collection = nullptr) : TStatusPanel(collection) {}
    // The inherited Assign, then the wide text of a TWydStatusPanel.
    void Assign(vcl::TPersistent* source) override;
    WYD_WIDE_PROPERTIES
    WideString GetText() const { return GetSyncedWideString(text_, TStatusPanel::GetText()); }
    void SetText(const WideString& value);
    void SetInheritedText(const AnsiString& value) { TStatusPanel::SetText(value); }

private:
    mutable WideString text_;
};

class TWydStatusPanels : public vcl::TStatusPanels {
    VCL_CLASS(TWydStatusPanels, vcl::TStatusPanels)
    using TStatusPanels::TStatusPanels;
    TWydStatusPanel* Add() { return static_cast<TWydStatusPanel*>(TStatusPanels::Add()); }
    // A new panel at index (the end for -1) made a copy of item (when given).
    TWydStatusPanel* AddItem(TWydStatusPanel* item, int index = -1);
    TWydStatusPanel* Insert(int index) { return static_cast<TWydStatusPanel*>(TCollection::Insert(index)); }
    TWydStatusPanel* GetItem(int index) const { return static_cast<TWydStatusPanel*>(TStatusPanels::GetItem(index)); }
    void SetItem(int index, TWydStatusPanel* value) { GetItem(index)->Assign(value); }
};

// Leading tabs of a status text choose its alignment: the wide text with as many leading tabs as the ANSI one.
WideString SyncLeadingTabs(const WideString& wide, const AnsiString& ansi);

class TWydCustomStatusBar : public vcl::TCustomStatusBar {
    VCL_CLASS(TWydCustomStatusBar, vcl::TCustomStatusBar)
    explicit TWydCustomStatusBar(vcl::TComponent* owner) : TCustomStatusBar(owner) {}
    WYD_WIDE_CONTROL(TWydCustomStatusBar)
    TWydStatusPanels* GetPanels() const { return static_cast<TWydStatusPanels*>(TCustomStatusBar::GetPanels()); }
    void SetPanels(TWydStatusPanels* value) { GetPanels()->Assign(value); }
    WideString GetSimpleText() const;
    void SetSimpleText(const WideString& value);
    void SetInheritedSimpleText(const AnsiString& value) { TCustomStatusBar::SetSimpleText(value); }
    // The application's hint (with AutoHint): wide, in panel 0 or the simple text.
    bool ExecuteAction(vcl::TBasicAction* action) override;

protected:
    vcl::TStatusPanels* CreatePanels() override;
    vcl::TClass GetPanelClass() const override { return TWydStatusPanel::StaticClass(); }
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    // On NT panel texts go to the window wide.
    void WndProc(vcl::TMessage& message) override;

private:
    mutable WideString simpleText_;
};

class TWydStatusBar : public TWydCustomStatusBar {
    VCL_CLASS(TWydStatusBar, TWydCustomStatusBar)
    using TWydCustomStatusBar::TWydCustomStatusBar;
    vcl::TDrawPanelEvent GetOnDrawPanel() const { return OnDrawPanel; }
    void SetOnDrawPanel(vcl::TDrawPanelEvent value) { OnDrawPanel = value; }
};

// =============================================================================================
// Tool bar

class TWydToolButton : public vcl::TToolButton {
    VCL_CLASS(TWydToolButton, vcl::TToolButton)
    explicit TWydToolButton(vcl::TComponent* owner) : TToolButton(owner) {}
    WYD_WIDE_CONTROL(TWydToolButton)
    WideString GetCaption() const { return WydControl_GetText(const_cast<TWydToolButton*>(this)); }
    void SetCaption(const WideString& value) { WydControl_SetText(this, value); }
    bool IsCaptionStored() const { return WydControl_IsCaptionStored(const_cast<TWydToolButton*>(this)); }
    // The button shows the item's caption and hint, wide from a TWydMenuItem.
    void SetMenuItem(vcl::TMenuItem* value);
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CMHintShow(vcl::TMessage& message);
};

class TWydToolBar : public vcl::TToolBar {
    VCL_CLASS(TWydToolBar, vcl::TToolBar)
    explicit TWydToolBar(vcl::TComponent* owner) : TToolBar(owner) {}
    WYD_WIDE_CONTROL(TWydToolBar)
    WideString GetCaption() const { return WydControl_GetText(const_cast<TWydToolBar*>(this)); }
    void SetCaption(const WideString& value) { WydControl_SetText(this, value); }
    // A menu replaces the buttons: one button a top-level menu item, in the menu's order.
    void SetMenu(vcl::TMainMenu* value);

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    // On NT buttons get their wide captions, and the bar keeps its caption itself.
    void WndProc(vcl::TMessage& message) override;

private:
    bool InsertButtonW(vcl::TMessage& message);
    bool CaptionMessage(vcl::TMessage& message);
    WideString caption_;
};

// =============================================================================================
// Progress bar

class TWydProgressBar : public vcl::TProgressBar {
    VCL_CLASS(TWydProgressBar, vcl::TProgressBar)
    explicit TWydProgressBar(vcl::TComponent* owner) : TProgressBar(owner) {}
    WYD_WIDE_CONTROL(TWydProgressBar)

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
};

// =============================================================================================
// Track bar, up-down, date-time picker, month calendar, page scroller: a Unicode window and a wide hint each

class TWydTrackBar : public vcl::TTrackBar {
    VCL_CLASS(TWydTrackBar, vcl::TTrackBar)
    explicit TWydTrackBar(vcl::TComponent* owner) : TTrackBar(owner) {}
    WYD_WIDE_CONTROL(TWydTrackBar)

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
};

class TWydCustomUpDown : public vcl::TCustomUpDown {
    VCL_CLASS(TWydCustomUpDown, vcl::TCustomUpDown)
    explicit TWydCustomUpDown(vcl::TComponent* owner) : TCustomUpDown(owner) {}
    WYD_WIDE_CONTROL(TWydCustomUpDown)

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
};

class TWydUpDown : public TWydCustomUpDown {
    VCL_CLASS(TWydUpDown, TWydCustomUpDown)
    using TWydCustomUpDown::TWydCustomUpDown;
};

class TWydDateTimePicker : public vcl::TDateTimePicker {
    VCL_CLASS(TWydDateTimePicker, vcl::TDateTimePicker)
    explicit TWydDateTimePicker(vcl::TComponent* owner) : TDateTimePicker(owner) {}
    WYD_WIDE_CONTROL(TWydDateTimePicker)
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    // A new window keeps Checked and waits for its first click again.
    void CreateWnd() override;
    // The first click of a window with a check box tells the class library the value the control holds.
    void WMLButtonDown(vcl::TMessage& message);

private:
    void NotifyDateTimeChange();
    bool firstClickSeen_ = false;
};

class TWydMonthCalendar : public vcl::TMonthCalendar {
    VCL_CLASS(TWydMonthCalendar, vcl::TMonthCalendar)
    explicit TWydMonthCalendar(vcl::TComponent* owner) : TMonthCalendar(owner) {}
    WYD_WIDE_CONTROL(TWydMonthCalendar)
    // Asks OnGetMonthInfo for the bold days of every month the calendar shows, and shows them.
    void ForceGetMonthInfo();

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    // On NT the new window's day states come from OnGetMonthInfo at once.
    void CreateWnd() override;
};

class TWydPageScroller : public vcl::TPageScroller {
    VCL_CLASS(TWydPageScroller, vcl::TPageScroller)
    explicit TWydPageScroller(vcl::TComponent* owner) : TPageScroller(owner) {}
    WYD_WIDE_CONTROL(TWydPageScroller)

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
};
// =============================================================================================
// Rich edit

// The lines of a rich edit window as its positions count them: a hard line break is one character (CR).
class TWydRichEditLineTable {
public:
    virtual int LineCount() const = 0;
    virtual int LineFromChar(int raw) const = 0;
    // The first position of a line; -1 past the last one.
    virtual int LineStart(int line) const = 0;
    // The characters of a line without its break; 0 past the last one.
    virtual int LineLength(int line) const = 0;

protected:
    ~TWydRichEditLineTable() = default;
};

// A position of the window as callers count it, a line break being two characters (CR LF). With word wrap
// the window's soft breaks hold no character and add nothing.
int EmulatedCharPos(const TWydRichEditLineTable& lines, bool wordWrap, int raw);
// A caller's position (CR LF counting two) as the window counts it; a position between the CR and the LF of a
// break is the one before the break.
int RawWin32CharPos(const TWydRichEditLineTable& lines, int emulated);

// How line breaks travel between callers and the rich edit window: tlbsCR for the Unicode window, whose breaks
// are single CRs; tlbsCRLF off NT or without RICHED20.DLL (the class library's own window).
TWydTextLineBreakStyle RichEditLineBreakStyle();

class TWydCustomRichEdit;

// The Lines of a rich edit: the memo's lines in rich-edit mode (breaks converted to the window's style, an
// insertion checked to land whole). Files and streams hold RTF unless the control is in plain-text mode.
class TWydRichEditStrings : public TWydMemoStrings {
    VCL_CLASS(TWydRichEditStrings, TWydMemoStrings)
    TWydRichEditStrings(TWydCustomRichEdit* richEdit, vcl::TStrings* ansiLines);
    // A refused insertion raises EOutOfResources "RichEdit line insertion error".
    void Insert(int index, const WideString& s) override;
    using TWydMemoStrings::AddStrings;
    void AddStrings(TWideStrings* strings) override;
    void LoadFromFile(const WideString& fileName) override;
    void SaveToFile(const WideString& fileName) override;
    void LoadFromStream_BOM(vcl::TStream* stream, bool withBOM) override;
    void SaveToStream_BOM(vcl::TStream* stream, bool withBOM) override;

protected:
    WideString GetTextStr() const override;
    // Sets the text without a change notification from the window.
    void SetTextStr(const WideString& text) override;

private:
    TWydCustomRichEdit* richEdit_;
    vcl::TStrings* ansiLines_;
};

class TWydCustomRichEdit : public vcl::TCustomRichEdit {
    VCL_CLASS(TWydCustomRichEdit, vcl::TCustomRichEdit)
    explicit TWydCustomRichEdit(vcl::TComponent* owner);
    ~TWydCustomRichEdit() override;
    WYD_WIDE_CONTROL(TWydCustomRichEdit)
    // The text with CR LF line breaks. A text that begins as RTF ("{\rtf") is read as rich text.
    WideString GetText() const;
    void SetText(const WideString& value);
    TWydStrings* GetLines() const { return lines_; }
    void SetRichEditStrings(TWydStrings* value) { lines_->Assign(value); }
    // Positions and lengths count a line break as CR LF, as an edit control does.
    int GetSelStart();
    void SetSelStart(int value);
    int GetSelLength();
    void SetSelLength(int value);
    WideString GetWideSelText();
    void SetWideSelText(const WideString& value);
    AnsiString GetSelText() { return vcl::WideToAnsi(GetWideSelText()); }
    // EM_SETTEXTEX with the ST_ flags (ST_SELECTION replaces the selection); the text is RTF or plain ANSI.
    void SetRTFText(DWORD flags, const AnsiString& text);
    // The position (CR LF counting) of s within [startPos, startPos + length), or -1.
    int FindText(const WideString& s, int startPos, int length, vcl::TSearchTypes options);
    // The class library's print, with the window's own text length.
    void Print(const AnsiString& caption);
    int CharPosToGet(int raw) { return EmulatedCharPos(raw); }
    int CharPosToSet(int emulated) { return RawWin32CharPos(emulated); }
    int EmulatedCharPos(int raw);
    int RawWin32CharPos(int emulated);
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateParams(vcl::TCreateParams& params) override;
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void CreateWnd() override;
    // Without WantReturns, Enter (unless with Ctrl alone) does nothing.
    void KeyDown(WORD& key, vcl::TShiftState shift) override;
    // A wide text from Windows; in plain-text mode it stays text even when it looks like RTF.
    void WMSetText(vcl::TMessage& message);
    // The wide length of the text with CR LF breaks (the window's own length while printing).
    void WMGetTextLength(vcl::TMessage& message);

private:
    friend class TWydRichEditStrings;
    bool UnicodeWindow() const;
    // Puts plain wide text into the window as text (never read as RTF).
    void StreamInWideText(const WideString& text);
    TWydRichEditStrings* lines_;
    int printLength_ = 0;  // while printing: the text's length in the window's count
};

class TWydRichEdit : public TWydCustomRichEdit {
    VCL_CLASS(TWydRichEdit, TWydCustomRichEdit)
    using TWydCustomRichEdit::TWydCustomRichEdit;
};

// Unit start: the rich edit becomes known to form streams. End: the input-method object and RICHED20.DLL go.
void InitWydRichEdit();
void DoneWydRichEdit();
