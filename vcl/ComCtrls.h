// Common controls: tree view with its nodes, list view, page and tab controls, status bar, tool bar,
// progress bar. ANSI messages to the system controls; A and W notifications both understood.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <map>

#include "ActnList.h"
#include "Controls.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"

namespace vcl {

VCL_EXCEPTION(ETreeViewError, Exception)

// The version of comctl32 packed as major << 16 | minor (4.71 = 0x00040047).
DWORD GetComCtlVersion();

// Copies a text a notification asks for into its buffer of `Size` characters: cut to fit, always terminated,
// nothing at all for a missing buffer or a size below 1.
void CopyDisplayText(const AnsiString& Text, char* Buffer, int Size);
void CopyDisplayText(const WideString& Text, wchar_t* Buffer, int Size);
// The same for a notification that came in either form: a wide one gets the text widened.
void CopyDisplayText(const AnsiString& Text, void* Buffer, int Size, bool Wide);

// A canvas lent the DC of an owner-drawn item for the scope; the DC goes back when the scope ends.
class TLentCanvas {
public:
    TLentCanvas(TCanvas* Canvas, HDC DC) : FCanvas(Canvas) { FCanvas->SetHandle(DC); }
    ~TLentCanvas() { FCanvas->SetHandle(nullptr); }
    TLentCanvas(const TLentCanvas&) = delete;
    TLentCanvas& operator=(const TLentCanvas&) = delete;

private:
    TCanvas* FCanvas;
};

// Asks a control for a text it reports in two steps: its length (no buffer), then the text into a buffer that
// holds it. Send is SendMessageA or SendMessageW, as the string's characters are.
template <class String>
String ReadReportedText(HWND Window, UINT Msg, LRESULT(WINAPI* Send)(HWND, UINT, WPARAM, LPARAM))
{
    int length = int(Send(Window, Msg, 0, 0));
    if (length <= 0)
        return String();
    String text(size_t(length) + 1, typename String::value_type());
    int copied = int(Send(Window, Msg, 0, LPARAM(text.data())));
    text.resize(size_t(std::clamp(copied, 0, length)));
    return text;
}

// A batch of changes to a view's items: the first begin stops the window's redrawing, the last end redraws it.
void BeginViewUpdate(TWinControl* View, int& UpdateCount);
void EndViewUpdate(TWinControl* View, int& UpdateCount);

// The classes of the objects a view makes on request (tree nodes, list items, chosen by OnCreateNodeClass and
// OnCreateItemClass): each is constructed with its owner list already set, so its own constructor can use it.
// A class other than the base registers its constructor once (TTreeNodeClasses::Register<TMyNode>()).
template <class Item, class Owner> class TOwnedClasses {
public:
    using Constructor = Item* (*)(Owner*);
    template <class T> static void Register()
    {
        Table()[T::StaticClass()] = [](Owner* AOwner) -> Item* { return new T(AOwner); };
    }
    // Raises EInvalidOperation for a class that is neither the base nor registered.
    static Item* Create(TClass Cls, Owner* AOwner)
    {
        if (Cls == Item::StaticClass())
            return new Item(AOwner);
        auto it = Table().find(Cls);
        if (it == Table().end())
            throw EInvalidOperation("Cannot create an item of class %s", {Cls ? Cls->ClassName() : "nil"});
        return it->second(AOwner);
    }

private:
    static std::map<TClass, Constructor>& Table()
    {
        static std::map<TClass, Constructor> table;
        return table;
    }
};

class TCustomTreeView;
class TTreeNodes;

enum class TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
enum class TSortType { stNone, stData, stText, stBoth };

// One node of a tree view. The node objects hold the whole tree (text, data, indexes, state), so nodes
// work without a window and survive its re-creation; the window shows them through callbacks.
class TTreeNode : public TPersistent {
    VCL_CLASS(TTreeNode, TPersistent)
    explicit TTreeNode(TTreeNodes* AOwner = nullptr);
    ~TTreeNode() override;
    void Assign(TPersistent* Source) override;

    AnsiString GetText() const { return FText; }
    void SetText(const AnsiString& Value);
    void* Data = nullptr;
    void* GetData() const { return Data; }
    void SetData(void* Value) { Data = Value; }
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int GetSelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    int GetOverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int Value);
    // -1 for a new node; n >= 1 shows state image n, 0 and -1 show none.
    int GetStateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    bool GetHasChildren() const;
    void SetHasChildren(bool Value);
    bool GetExpanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    bool GetSelected() const;
    void SetSelected(bool Value);
    bool GetFocused() const;
    bool GetDeleting() const { return FDeleting; }
    bool GetCut() const { return FCut; }
    void SetCut(bool Value);
    bool GetDropTarget() const;
    void SetDropTarget(bool Value);

    int GetCount() const { return int(FChildren.size()); }
    TTreeNode* GetItem(int Index) const;
    TTreeNode* GetParent() const { return FParent; }
    int GetLevel() const;
    // The position among the siblings; -1 while the node is in no tree.
    int GetIndex() const { return FIndex; }
    // The position in GetNext order, from the node list's index (made once after each change).
    int GetAbsoluteIndex() const;
    HTREEITEM ItemId = nullptr;
    HTREEITEM GetItemId() const { return ItemId; }
    TTreeNodes* GetOwner() const { return FOwner; }
    TCustomTreeView* GetTreeView() const;
    bool IsVisible() const;

    TTreeNode* getFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    TTreeNode* GetNextChild(TTreeNode* Value) const { return Value ? Value->getNextSibling() : nullptr; }
    TTreeNode* GetPrevChild(TTreeNode* Value) const { return Value ? Value->getPrevSibling() : nullptr; }
    bool HasAsParent(const TTreeNode* Value) const;

    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    void MakeVisible();
    void Delete();
    void DeleteChildren();
    void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);
    bool EditText();
    void EndEdit(bool Cancel);
    // The node's rectangle in the tree's client area; all zero while it is not shown.
    RECT DisplayRect(bool TextOnly) const;
    bool AlphaSort(bool Recurse = false);

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    // Asks the window to fetch the changed parts again; the state of a row that cannot be seen, or of any row
    // during a state update, waits.
    void UpdateItem(UINT Mask);
    void SendItem(UINT Mask);
    // The text as the window's items take it: the node's own, or the callback mark for a view that answers
    // for its texts.
    char* TextForWindow();
    // Sends the states that waited to the rows that show once this node is open.
    void SendWaitingStatesBelow();
    // The program's own expand or collapse: asks the tree, then follows what the window did.
    void ChangeExpanded(bool Expanding);
    AnsiString FText;
    int FImageIndex = 0;
    int FSelectedIndex = 0;
    int FOverlayIndex = -1;
    int FStateIndex = -1;
    bool FExpanded = false;
    bool FDeleting = false;
    bool FCut = false;
    bool FStateWaiting = false;  // the window item's state is older than the node's
    int FHasChildren = -1;  // -1: as the children say
    int FIndex = -1;
    mutable int FAbsoluteIndex = -1;  // valid while the node list's index is
    TTreeNodes* FOwner;
    TTreeNode* FParent = nullptr;
    std::vector<TTreeNode*> FChildren;
};

using TTVChangedEvent = TEvent<TObject*, TTreeNode*>;
using TTVChangingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVExpandingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVExpandedEvent = TEvent<TObject*, TTreeNode*>;
using TTVEditingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVEditedEvent = TEvent<TObject*, TTreeNode*, AnsiString&>;
using TTVCompareEvent = TEvent<TObject*, TTreeNode*, TTreeNode*, int, int&>;
using TTVCreateNodeClassEvent = TEvent<TCustomTreeView*, TClass&>;

// All nodes of a tree view; owns the node objects.
class TTreeNodes : public TPersistent {
    VCL_CLASS(TTreeNodes, TPersistent)
    explicit TTreeNodes(TCustomTreeView* AOwner = nullptr);
    ~TTreeNodes() override;
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    TTreeNode* Add(TTreeNode* Sibling, const AnsiString& S);
    TTreeNode* AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
    TTreeNode* AddFirst(TTreeNode* Sibling, const AnsiString& S);
    TTreeNode* AddObjectFirst(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
    TTreeNode* AddChild(TTreeNode* Parent, const AnsiString& S);
    TTreeNode* AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const AnsiString& S);
    TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const AnsiString& S, void* Ptr);
    TTreeNode* Insert(TTreeNode* Sibling, const AnsiString& S);
    TTreeNode* InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
    // Places a node relative to another. A new node (null: made here; or one not in the tree yet, which the node
    // list then owns) gets text S and Data Ptr; a node already in the tree moves.
    TTreeNode* AddNode(TTreeNode* Node, TTreeNode* Relative, const AnsiString& S, void* Ptr, TNodeAttachMode Method);
    void Delete(TTreeNode* Node);
    void Clear();
    int GetCount() const { return FCount; }
    // The node at an absolute index (GetNext order); raises ETreeViewError "Invalid index".
    TTreeNode* GetItem(int Index) const;
    TTreeNode* GetNodeFromIndex(int Index) const { return GetItem(Index); }
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
    TTreeNode* GetNode(HTREEITEM ItemId) const;
    TCustomTreeView* GetOwner() const { return FOwner; }
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return FUpdateCount; }
    // While a state update runs, the state images of shown rows wait too; its end sends them row by row when
    // they are few (each costs the window a pass over its shown rows), else under one redraw, which costs a
    // pass over every item of the window. A tick of one row of a long tree so stays cheap.
    void BeginStateUpdate() { ++FStateUpdateCount; }
    void EndStateUpdate();
    // Forgets the index of absolute positions; the next lookup by index makes it again in one pass.
    void ClearCache() { FIndexValid = false; }
    // Set while the nodes are rebuilt from a stream: nodes are announced (Added) once their record is read.
    bool Reading = false;
    const std::vector<TTreeNode*>& Roots() const { return FRoots; }

protected:
    // Announces a node to the tree view (its Added and OnAddition).
    void Added(TTreeNode* Node);

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->FChildren : FRoots; }
    void Attach(TTreeNode* Node, TTreeNode* Parent, size_t Position);
    void Detach(TTreeNode* Node);
    void RemoveFromWindow(TTreeNode* Node);
    void Renumber(TTreeNode* Parent, size_t From);
    void BuildIndex() const;
    // Adds to Found the nodes of Shown, and of the open branches below them, whose state waits.
    static void CollectWaitingStates(const std::vector<TTreeNode*>& Shown, std::vector<TTreeNode*>& Found);
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);
    TCustomTreeView* FOwner;
    std::vector<TTreeNode*> FRoots;
    int FCount = 0;
    mutable std::vector<TTreeNode*> FByIndex;  // every node in GetNext order
    mutable bool FIndexValid = false;
    int FUpdateCount = 0;
    int FStateUpdateCount = 0;
};

using TTreeNodeClasses = TOwnedClasses<TTreeNode, TTreeNodes>;

// The compare routine the tree sorts with (lParam values are nodes, Data the tree view); replaceable.
using TTreeSortCallback = int(CALLBACK*)(LPARAM Node1, LPARAM Node2, LPARAM Data);
int CALLBACK DefaultTreeViewSort(LPARAM Node1, LPARAM Node2, LPARAM Data);
extern TTreeSortCallback TreeViewSortCallback;

class TCustomTreeView : public TWinControl {
    VCL_CLASS(TCustomTreeView, TWinControl)
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    // Made by CreateTreeNodes on first use, so a descendant's override makes it.
    TTreeNodes* GetItems() const;
    void SetItems(TTreeNodes* Value) { GetItems()->Assign(Value); }
    // The caret node; with RightClickSelect, the right-clicked node while its click is handled.
    virtual TTreeNode* GetSelected() const;
    void SetSelected(TTreeNode* Value);
    TTreeNode* GetTopItem() const;
    void SetTopItem(TTreeNode* Value);
    TTreeNode* GetDropTarget() const;
    void SetDropTarget(TTreeNode* Value);
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* GetStateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    bool GetAutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value);
    bool GetRightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
    bool GetHideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool GetShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool GetShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool GetShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool GetRowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    int GetIndent() const;
    void SetIndent(int Value);
    TSortType GetSortType() const { return FSortType; }
    void SetSortType(TSortType Value);
    bool IsEditing() const;
    bool Dragging() const { return FDragging; }
    int GetSelectionCount() const { return GetSelected() ? 1 : 0; }
    TTreeNode* GetSelection(int Index) const { return Index == 0 ? GetSelected() : nullptr; }

    TTreeNode* GetNodeAt(int X, int Y) const;
    UINT GetHitTestInfoAt(int X, int Y) const;
    void FullExpand();
    void FullCollapse();
    bool AlphaSort(bool Recurse = true);
    bool CustomSort(TTreeSortCallback SortProc, LPARAM Data, bool Recurse = true);
    void Dispatch(TMessage& Message) override;

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVExpandingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVExpandedEvent OnDeletion;
    TTVExpandedEvent OnAddition;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandedEvent OnCancelEdit;
    TTVCompareEvent OnCompare;
    TTVCreateNodeClassEvent OnCreateNodeClass;
    TTVChangedEvent GetOnChange() const { return OnChange; }
    void SetOnChange(TTVChangedEvent Value) { OnChange = Value; }
    TTVExpandingEvent GetOnExpanding() const { return OnExpanding; }
    void SetOnExpanding(TTVExpandingEvent Value) { OnExpanding = Value; }
    TTVExpandedEvent GetOnDeletion() const { return OnDeletion; }
    void SetOnDeletion(TTVExpandedEvent Value) { OnDeletion = Value; }

    // Node factories; a descendant makes nodes of its own class.
    virtual TTreeNode* CreateNode();
    virtual TTreeNodes* CreateTreeNodes();
    // A node of the given class for this tree's node list (see TTreeNodeClasses).
    TTreeNode* NewNode(TClass NodeClass);
    virtual int GetImageIndex(TTreeNode* Node);
    virtual int GetSelectedIndex(TTreeNode* Node);
    // Compares two nodes for sorting: OnCompare, else by text (stText) or by data (stData).
    virtual int CompareNodes(TTreeNode* Node1, TTreeNode* Node2, int Data);
    // Whether the window asks for the nodes' texts (TVN_GETDISPINFO) instead of holding them: a view whose
    // texts are not the nodes' own (wide ones, say) says so.
    virtual bool AsksForTexts() const { return false; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanExpand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual void Expand(TTreeNode* Node);
    virtual void Collapse(TTreeNode* Node);
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual void Delete(TTreeNode* Node);
    virtual void Added(TTreeNode* Node);
    virtual bool CanEdit(TTreeNode* Node);
    virtual void Edit(const TVITEMA& Item);
    virtual TTreeNode* FindNextToSelect();
    // Handlers a descendant may override through its own message map.
    void CNNotify(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMNotify(TMessage& Message);
    void WMSetRedraw(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    // The node a right click is being handled for (the selection does not move); nullptr otherwise.
    TTreeNode* FRightClickNode = nullptr;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    void InsertItem(TTreeNode* Node);
    void InsertBranch(TTreeNode* Node);
    void ApplyImageLists();
    void ImageListChange(TObject* Sender);
    TTreeNode* NodeOfNotify(LPARAM ItemParam) const { return reinterpret_cast<TTreeNode*>(ItemParam); }
    void SortChildren(TTreeNode* Parent, bool Recurse, TTreeSortCallback Proc, LPARAM Data);
    mutable TTreeNodes* FItems = nullptr;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    TTreeNode* FSavedSelected = nullptr;
    TTreeNode* FSavedTop = nullptr;
    bool FAutoExpand = false;
    bool FRightClickSelect = false;
    bool FHideSelection = true;
    bool FReadOnly = false;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FShowButtons = true;
    bool FRowSelect = false;
    int FIndent = -1;
    TSortType FSortType = TSortType::stNone;
    bool FDragging = false;
    bool FMouseUpSeen = false;
    bool FRebuilding = false;
    bool FProgramExpand = false;  // the window's reports of the program's own TVM_EXPAND are not news
    bool FDrawingOff = false;     // WM_SETREDRAW took the window's own drawing off
};

class TTreeView : public TCustomTreeView {
    VCL_CLASS(TTreeView, TCustomTreeView)
    using TCustomTreeView::TCustomTreeView;
};

// What TTreeView publishes; a descendant of TCustomTreeView that publishes the same calls it too.
void PublishTreeViewProperties(TMetaClass& m);

// ---- progress bar ------------------------------------------------------------------------------

// ---- rich edit -------------------------------------------------------------------------------

class TCustomRichEdit;

// The lines of a rich edit; an insertion the window refuses raises EOutOfResources. Streams and files
// hold RTF while the control formats its text (PlainText off), plain text otherwise.
class TRichEditStrings : public TMemoStrings {
    VCL_CLASS(TRichEditStrings, TMemoStrings)
    explicit TRichEditStrings(TCustomRichEdit* RichEdit = nullptr);
    void Insert(int Index, const AnsiString& S) override;
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;

private:
    TCustomRichEdit* FRichEdit;
};

VCL_EXCEPTION(EPrinter, Exception)

enum class TSearchType { stWholeWord, stMatchCase };
using TSearchTypes = TSet<TSearchType>;

// The system rich edit control (the ANSI class of riched20, or msftedit's where that is missing).
class TCustomRichEdit : public TCustomMemo {
    VCL_CLASS(TCustomRichEdit, TCustomMemo)
    explicit TCustomRichEdit(TComponent* AOwner);
    // Plain text only: no formatting, and RTF given as text stays text.
    bool GetPlainText() const { return FPlainText; }
    void SetPlainText(bool Value);
    // Position of S within [StartPos, StartPos + Length), or -1. The search goes through the wide message,
    // which every rich edit window reads the same way, whatever its own character set.
    int FindText(const AnsiString& S, int StartPos, int Length, TSearchTypes Options);
    // Prints the text as one document named Caption on the printer the print dialogs chose last, else on
    // the default printer; raises EPrinter when there is no printer or the control lays out none of its
    // text, EOSError when the printer refuses.
    void Print(const AnsiString& Caption);
    // The content in or out in an EM_STREAMIN/EM_STREAMOUT format (SF_RTF, SF_TEXT); needs the window.
    void StreamIn(TStream* Stream, UINT Format);
    void StreamOut(TStream* Stream, UINT Format);
    TNotifyEvent OnSelectionChange;
    TNotifyEvent GetOnSelectionChange() const { return OnSelectionChange; }
    void SetOnSelectionChange(TNotifyEvent Value) { OnSelectionChange = Value; }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // Keeps the content, formatting included, for the next window.
    void DestroyWnd() override;
    virtual void SelectionChange();
    // Lays the text out page by page on a device, from the start to the length WM_GETTEXTLENGTH reports;
    // NewPage runs between two pages. Returns the characters laid out.
    int FormatPages(HDC Device, const std::function<void()>& NewPage);
    void CNNotify(TMessage& Message);
    // The text's length as WM_GETTEXT gives it: ANSI bytes in the system code page, line breaks as CR LF.
    void WMGetTextLength(TMessage& Message);
    // In plain-text mode a text that looks like RTF stays text (the control would read it as RTF).
    void WMSetText(TMessage& Message);

private:
    void RunStream(TStream* Stream, UINT Msg, UINT Format, EDITSTREAMCALLBACK Callback, const char* Failure);
    bool FPlainText = false;
    std::unique_ptr<TMemoryStream> FSaved;  // between DestroyWnd and CreateWnd
    UINT FSavedFormat = SF_RTF;
};

class TRichEdit : public TCustomRichEdit {
    VCL_CLASS(TRichEdit, TCustomRichEdit)
    using TCustomRichEdit::TCustomRichEdit;
};

class TProgressBar : public TWinControl {
    VCL_CLASS(TProgressBar, TWinControl)
    explicit TProgressBar(TComponent* AOwner);
    int GetMin() const { return FMin; }
    void SetMin(int Value);
    int GetMax() const { return FMax; }
    void SetMax(int Value);
    // Clamped to Min..Max.
    int GetPosition() const;
    void SetPosition(int Value);
    bool GetSmooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    int GetStep() const { return FStep; }
    void SetStep(int Value);
    void StepIt();
    void StepBy(int Delta) { SetPosition(GetPosition() + Delta); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    bool FSmooth = false;
};

// ---- status bar --------------------------------------------------------------------------------

enum class TStatusPanelStyle { psText, psOwnerDraw };
class TCustomStatusBar;

class TStatusPanel : public TCollectionItem {
    VCL_CLASS(TStatusPanel, TCollectionItem)
    explicit TStatusPanel(TCollection* ACollection = nullptr);
    void Assign(TPersistent* Source) override;
    AnsiString GetText() const { return FText; }
    void SetText(const AnsiString& Value);
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelStyle GetStyle() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);

private:
    AnsiString FText;
    int FWidth = 50;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TStatusPanelStyle FStyle = TStatusPanelStyle::psText;
};

class TStatusPanels : public TCollection {
    VCL_CLASS(TStatusPanels, TCollection)
    explicit TStatusPanels(TCustomStatusBar* AOwner = nullptr, TClass PanelClass = TStatusPanel::StaticClass());
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* GetItem(int Index) const { return static_cast<TStatusPanel*>(GetItems(Index)); }
    TPersistent* GetOwner() override;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomStatusBar* FStatusBar;
};

using TDrawPanelEvent = TEvent<TCustomStatusBar*, TStatusPanel*, RECT>;

class TCustomStatusBar : public TWinControl {
    VCL_CLASS(TCustomStatusBar, TWinControl)
    explicit TCustomStatusBar(TComponent* AOwner);
    ~TCustomStatusBar() override;
    // Made by CreatePanels on first use, so a descendant's override makes them.
    TStatusPanels* GetPanels() const;
    void SetPanels(TStatusPanels* Value) { GetPanels()->Assign(Value); }
    AnsiString GetSimpleText() const { return FSimpleText; }
    void SetSimpleText(const AnsiString& Value);
    bool GetSimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    bool GetSizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    bool GetAutoHint() const { return FAutoHint; }
    void SetAutoHint(bool Value) { FAutoHint = Value; }
    TCanvas* GetCanvas() const { return FCanvas; }
    // Shows the application's hint (THintAction) when AutoHint is on.
    bool ExecuteAction(TBasicAction* Action) override;
    void UpdatePanels();
    void UpdatePanel(int Index);
    void Dispatch(TMessage& Message) override;
    TDrawPanelEvent OnDrawPanel;
    TNotifyEvent OnHint;

protected:
    virtual TStatusPanels* CreatePanels();
    // The class of the panels CreatePanels makes.
    virtual TClass GetPanelClass() const;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void DrawPanel(TStatusPanel* Panel, const RECT& Rect);
    void CNDrawItem(TMessage& Message);
    void WMSize(TMessage& Message);
    void CMFontChanged(TMessage& Message);

private:
    mutable TStatusPanels* FPanels = nullptr;
    TCanvas* FCanvas;
    AnsiString FSimpleText;
    bool FSimplePanel = false;
    bool FSizeGrip = true;
    bool FAutoHint = false;
};

class TStatusBar : public TCustomStatusBar {
    VCL_CLASS(TStatusBar, TCustomStatusBar)
    using TCustomStatusBar::TCustomStatusBar;
};

// What TStatusBar publishes; a descendant of TCustomStatusBar that publishes the same calls it too.
void PublishStatusBarProperties(TMetaClass& m);

// ---- tab control and page control --------------------------------------------------------------

class TCustomTabControl;

// The tab captions of a tab control, on its window.
class TTabStrings : public TStrings {
    VCL_CLASS(TTabStrings, TStrings)
    explicit TTabStrings(TCustomTabControl* AOwner = nullptr) : FTabControl(AOwner) {}
    AnsiString Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const AnsiString& S) override;
    void PutObject(int Index, TObject* Object) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    TCustomTabControl* FTabControl;
};

using TTabChangingEvent = TEvent<TObject*, bool&>;
using TTabGetImageEvent = TEvent<TObject*, int, int&>;  // Sender, TabIndex, var ImageIndex

class TCustomTabControl : public TWinControl {
    VCL_CLASS(TCustomTabControl, TWinControl)
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;
    TStrings* GetTabs() const { return FTabs; }
    void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
    int GetTabIndex() const;
    void SetTabIndex(int Value);
    bool GetMultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    // The area inside the tabs and border, in client coordinates.
    RECT GetDisplayRect() const;
    RECT GetClientRect() const override;
    // The image a tab shows: its own index unless OnGetImageIndex gives another.
    virtual int GetImageIndex(int TabIndex);
    void Dispatch(TMessage& Message) override;
    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TTabGetImageEvent OnGetImageIndex;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual bool CanChange();
    virtual void Change();
    virtual bool CanShowTab(int TabIndex) const;
    void CNNotify(TMessage& Message);
    void WMSize(TMessage& Message);
    // Keeps the tabs while the window is re-created.
    TStringList* FSavedTabs = nullptr;
    int FSavedTabIndex = -1;

private:
    friend class TTabStrings;
    TTabStrings* FTabs;
    bool FMultiLine = false;
};

class TTabControl : public TCustomTabControl {
    VCL_CLASS(TTabControl, TCustomTabControl)
    using TCustomTabControl::TCustomTabControl;
};

class TPageControl;

class TTabSheet : public TWinControl {
    VCL_CLASS(TTabSheet, TWinControl)
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    TPageControl* GetPageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    int GetPageIndex() const;
    void SetPageIndex(int Value);
    // The index among the visible tabs; -1 when the tab is hidden.
    int GetTabIndex() const;
    bool GetTabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    void SetParentComponent(TComponent* Value) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CMTextChanged(TMessage& Message);

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
};

class TPageControl : public TCustomTabControl {
    VCL_CLASS(TPageControl, TCustomTabControl)
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    int GetPageCount() const { return int(FPages.size()); }
    TTabSheet* GetPage(int Index) const { return FPages.at(size_t(Index)); }
    TTabSheet* GetActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Value);
    int GetActivePageIndex() const;
    void SetActivePageIndex(int Value);
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    // The sheet that shows as tab TabIndex (hidden sheets have no tab); nullptr for none.
    TTabSheet* GetPageForTab(int TabIndex) const;
    // The sheet's ImageIndex, unless OnGetImageIndex gives another.
    int GetImageIndex(int TabIndex) override;
    void SelectNextPage(bool GoForward);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;
    void Dispatch(TMessage& Message) override;
    // The sheet a control docked on the page control sits on; nullptr for none.
    TTabSheet* GetPageFromDockClient(TControl* Client) const;

protected:
    void Change() override;
    void CreateWnd() override;
    void CMDialogChar(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    // Docking: each control docked on the page control gets a sheet of its own (CMDockClient), which follows the
    // control's caption and visibility (CMDockNotification) and goes when the control leaves.
    void CMDockClient(TMessage& Message);
    void CMDockNotification(TMessage& Message);
    void DoAddDockClient(TControl* Client, const RECT& ARect) override;
    void DoRemoveDockClient(TControl* Client) override;
    bool DoUndock(TWinControl* NewTarget, TControl* Client) override;
    // The sheet made for a control docking on the page control: a docked form's caption names it.
    virtual TTabSheet* NewDockSheet(TControl* Client);

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void UpdateTabs();
    void ShowActivePage();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    AnsiString FActivePageName;
    TTabSheet* FNewDockSheet = nullptr;   // the sheet a control is being docked on
    TTabSheet* FUndockingPage = nullptr;  // the sheet of a control that is leaving
};

// ---- list view ---------------------------------------------------------------------------------

class TCustomListView;
class TListItems;
enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TItemChangeKind { ctText, ctImage, ctState };

class TListColumn : public TCollectionItem {
    VCL_CLASS(TListColumn, TCollectionItem)
    explicit TListColumn(TCollection* ACollection = nullptr);
    void Assign(TPersistent* Source) override;
    AnsiString GetCaption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    int GetWidth() const;
    void SetWidth(int Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The column's tag in the window (stays with the column when columns move).
    int GetTag() const { return GetID(); }

private:
    friend class TCustomListView;
    TCustomListView* ListView() const;
    void Update();
    AnsiString FCaption;
    int FWidth = 50;
    TAlignment FAlignment = TAlignment::taLeftJustify;
};

class TListColumns : public TCollection {
    VCL_CLASS(TListColumns, TCollection)
    explicit TListColumns(TCustomListView* AOwner = nullptr, TClass ItemClass = TListColumn::StaticClass());
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* GetItem(int Index) const { return static_cast<TListColumn*>(GetItems(Index)); }
    TPersistent* GetOwner() override;
    TCustomListView* GetListView() const { return FOwner; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomListView* FOwner;
};

class TListItem : public TPersistent {
    VCL_CLASS(TListItem, TPersistent)
    explicit TListItem(TListItems* AOwner = nullptr);
    ~TListItem() override;
    void Assign(TPersistent* Source) override;
    AnsiString GetCaption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    TStrings* GetSubItems() const { return FSubItems; }
    void SetSubItems(TStrings* Value) { FSubItems->Assign(Value); }
    void* Data = nullptr;
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int GetStateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    int GetIndent() const { return FIndent; }
    void SetIndent(int Value);
    int GetOverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int Value);
    bool GetChecked() const;
    void SetChecked(bool Value);
    bool GetSelected() const;
    void SetSelected(bool Value);
    bool GetFocused() const;
    void SetFocused(bool Value);
    int GetIndex() const;
    TListItems* GetOwner() const { return FOwner; }
    TCustomListView* GetListView() const;
    void Delete();
    void MakeVisible(bool PartialOK);
    RECT DisplayRect(int Code) const;

protected:
    // Called after every change of the sub-items (also from the class library itself).
    virtual void SubItemsChanged(TObject* Sender);

private:
    friend class TListItems;
    friend class TCustomListView;
    TListItems* FOwner;
    AnsiString FCaption;
    TStringList* FSubItems;
    int FImageIndex = -1;
    int FStateIndex = -1;
    int FIndent = 0;
    int FOverlayIndex = -1;
    bool FChecked = false;
    bool FSelected = false;
};

class TListItems : public TPersistent {
    VCL_CLASS(TListItems, TPersistent)
    explicit TListItems(TCustomListView* AOwner = nullptr);
    ~TListItems() override;
    TListItem* Add();
    TListItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int GetCount() const;
    void SetCount(int Value);
    // nullptr (no raise) for an index that names no item.
    TListItem* GetItem(int Index) const;
    int IndexOf(const TListItem* Item) const;
    TCustomListView* GetOwner() const { return FOwner; }
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TCustomListView;
    friend class TListItem;
    TCustomListView* FOwner;
    std::vector<TListItem*> FItems;
    int FVirtualCount = 0;
    int FUpdateCount = 0;
};

using TListItemClasses = TOwnedClasses<TListItem, TListItems>;

class TListViewActionLink : public TWinControlActionLink {
    VCL_CLASS(TListViewActionLink, TWinControlActionLink)
};

enum class TItemRequestKind { irText, irImage, irParam, irState, irIndent };
using TItemRequest = TSet<int>;
using TLVChangeEvent = TEvent<TObject*, TListItem*, TItemChangeKind>;
using TLVNotifyEvent = TEvent<TObject*, TListItem*>;
using TLVCompareEvent = TEvent<TObject*, TListItem*, TListItem*, int, int&>;
using TLVEditedEvent = TEvent<TObject*, TListItem*, AnsiString&>;
using TLVInfoTipEvent = TEvent<TObject*, TListItem*, AnsiString&>;
using TLVCreateItemClassEvent = TEvent<TCustomListView*, TClass&>;
using TLVDrawItemEvent = TEvent<TCustomListView*, TListItem*, RECT, TOwnerDrawState>;
// Sender, Find (LVFI_ flags), FindString, FindPosition, FindData, StartIndex, Direction, Wrap, var Index.
using TLVOwnerDataFindEvent = TEvent<TObject*, int, const AnsiString&, POINT, void*, int, int, bool, int&>;

// The compare routine the list sorts with (lParam values are items, Data the list view); replaceable.
using TListSortCallback = int(CALLBACK*)(LPARAM Item1, LPARAM Item2, LPARAM Data);
int CALLBACK DefaultListViewSort(LPARAM Item1, LPARAM Item2, LPARAM Data);
extern TListSortCallback ListViewSortCallback;

class TCustomListView : public TCustomListControl {
    VCL_CLASS(TCustomListView, TCustomListControl)
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;
    // Made by CreateListItems and CreateListColumns on first use, so a descendant's overrides make them.
    TListItems* GetItems() const;
    TListColumns* GetColumns() const;
    TListColumn* ColumnFromIndex(int Index) const;
    TListColumn* GetColumnFromTag(int Tag) const;
    TViewStyle GetViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    bool GetShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool GetRowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool GetHideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool GetCheckboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool Value);
    bool GetMultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool GetOwnerData() const { return FOwnerData; }
    // The scratch item OnData fills for an owner-data view (made with the window; nullptr before).
    TListItem* GetOwnerDataItem() const { return FOwnerDataItem; }
    void SetOwnerData(bool Value);
    bool GetGridLines() const { return FGridLines; }
    void SetGridLines(bool Value);
    // The items are painted by DrawItem (report view only).
    bool GetOwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    TCanvas* GetCanvas() const { return FCanvas; }
    TListItem* GetSelected() const;
    void SetSelected(TListItem* Value);
    int GetItemIndex() const override;
    void SetItemIndex(int Value) override;
    TListItem* GetItemFocused() const;
    void SetItemFocused(TListItem* Value);
    TListItem* GetDropTarget() const;
    void SetDropTarget(TListItem* Value);
    TListItem* GetTopItem() const;
    TListItem* GetItemAt(int X, int Y) const;
    TListItem* FindCaption(int StartIndex, const AnsiString& Value, bool Partial, bool Inclusive, bool Wrap) const;
    int StringWidth(const AnsiString& S) const;
    // What the user has typed of an incremental search; empty without one.
    AnsiString GetSearchString() const;
    // A new item with the caption and Data = AObject.
    void AddItem(const AnsiString& Item, TObject* AObject) override;
    // Each selected item's caption and Data, added to Destination.
    void CopySelection(TCustomListControl* Destination) override;
    void Clear() override;
    bool AlphaSort();
    bool CustomSort(TListSortCallback SortProc, LPARAM Data);
    TCustomImageList* GetSmallImages() const { return FSmallImages; }
    void SetSmallImages(TCustomImageList* Value);
    TCustomImageList* GetLargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    TCustomImageList* GetStateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    void Dispatch(TMessage& Message) override;

    TLVChangeEvent OnChange;
    TLVNotifyEvent OnData;
    TLVCompareEvent OnCompare;
    TLVEditedEvent OnEdited;
    TLVInfoTipEvent OnInfoTip;
    TLVNotifyEvent OnDeletion;
    TLVCreateItemClassEvent OnCreateItemClass;
    TLVDrawItemEvent OnDrawItem;
    TLVOwnerDataFindEvent OnDataFind;
    TEvent<TObject*, int> OnColumnClick;

    virtual TListItem* CreateListItem();
    virtual TListItems* CreateListItems();
    virtual TListColumns* CreateListColumns();
    // An item of the given class for this view's item list (see TListItemClasses).
    TListItem* NewListItem(TClass ItemClass);
    // Fills an owner-data item from OnData; true when it was handled.
    virtual bool OwnerDataFetch(TListItem* Item, TItemRequest Request);
    // The index OnDataFind answers; without it the first item (from OnData) whose caption starts with FindString.
    virtual int OwnerDataFind(int Find, const AnsiString& FindString, POINT FindPosition, void* FindData,
                              int StartIndex, int Direction, bool Wrap);
    virtual bool CanEdit(TListItem* Item);
    virtual void Edit(const LVITEMA& Item);
    virtual int CompareItems(TListItem* Item1, TListItem* Item2, int Data);
    // OnDrawItem; without it the caption on the item's background.
    virtual void DrawItem(TListItem* Item, RECT Rect, TOwnerDrawState State);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TClass GetActionLinkClass() const override { return TListViewActionLink::StaticClass(); }
    virtual void Change(TListItem* Item, TItemChangeKind Kind);
    // The first item from StartIndex (after it unless Inclusive, wrapping round when Wrap) that Match accepts.
    TListItem* FindItem(int StartIndex, bool Inclusive, bool Wrap, const std::function<bool(TListItem*)>& Match) const;
    void CNNotify(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void WMNotify(TMessage& Message);

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumn;
    friend class TListColumns;
    void HeaderNotify(TMessage& Message);
    void InsertItemInWindow(TListItem* Item, int Index);
    void InsertColumnInWindow(TListColumn* Column, int Index);
    void UpdateColumns();
    void ApplyExtendedStyle();
    void ApplyImageLists();
    TListItem* ItemOfParam(LPARAM Param) const;
    mutable TListItems* FItems = nullptr;
    mutable TListColumns* FColumns = nullptr;
    TCanvas* FCanvas;
    TCustomImageList* FSmallImages = nullptr;
    TCustomImageList* FLargeImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    TListItem* FOwnerDataItem = nullptr;  // the scratch item OnData fills
    TViewStyle FViewStyle = TViewStyle::vsIcon;
    bool FShowColumnHeaders = true;
    bool FReadOnly = false;
    bool FRowSelect = false;
    bool FHideSelection = true;
    bool FCheckboxes = false;
    bool FMultiSelect = false;
    bool FOwnerData = false;
    bool FGridLines = false;
    bool FOwnerDraw = false;
    int FSavedIndex = -1;
    bool FRebuilding = false;
};

class TListView : public TCustomListView {
    VCL_CLASS(TListView, TCustomListView)
    using TCustomListView::TCustomListView;
};

// What TListView publishes; a descendant of TCustomListView that publishes the same calls it too.
void PublishListViewProperties(TMetaClass& m);

// ---- tool bar ----------------------------------------------------------------------------------

class TToolBar;
enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButtonActionLink : public TControlActionLink {
    VCL_CLASS(TToolButtonActionLink, TControlActionLink)
};

// A button of a tool bar: a windowless control whose face is the tool bar's native button.
class TToolButton : public TGraphicControl {
    VCL_CLASS(TToolButton, TGraphicControl)
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;
    TToolBar* GetToolBar() const;
    TToolButtonStyle GetStyle() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool GetDown() const { return FDown; }
    void SetDown(bool Value);
    bool GetGrouped() const { return FGrouped; }
    void SetGrouped(bool Value) { FGrouped = Value; }
    TMenuItem* GetMenuItem() const { return FMenuItem; }
    void SetMenuItem(TMenuItem* Value);
    int GetIndex() const;
    void SetEnabled(bool Value) override;
    void SetParent(TWinControl* Value) override;
    void Click() override;
    void Dispatch(TMessage& Message) override;

protected:
    TClass GetActionLinkClass() const override { return TToolButtonActionLink::StaticClass(); }
    void CMVisibleChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMHintShow(TMessage& Message);

private:
    friend class TToolBar;
    void UpdateButton();
    TToolButtonStyle FStyle = TToolButtonStyle::tbsButton;
    int FImageIndex = -1;
    bool FDown = false;
    bool FGrouped = false;
    TMenuItem* FMenuItem = nullptr;
};

class TToolBar : public TWinControl {
    VCL_CLASS(TToolBar, TWinControl)
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;
    int GetButtonCount() const { return int(FButtons.size()); }
    TToolButton* GetButton(int Index) const { return FButtons.at(size_t(Index)); }
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool GetShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool Value);
    int GetButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    int GetButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    TMainMenu* GetMenu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    void UpdateButton(TToolButton* Button);
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CNCommand(TMessage& Message);
    void CNNotify(TMessage& Message);
    void WMGetText(TMessage& Message);
    void WMSetText(TMessage& Message);

private:
    friend class TToolButton;
    void InsertButton(TToolButton* Button);
    void RemoveButton(TToolButton* Button);
    void InsertInWindow(TToolButton* Button, int Index);
    void RebuildButtons();
    std::vector<TToolButton*> FButtons;
    TCustomImageList* FImages = nullptr;
    TMainMenu* FMenu = nullptr;
    bool FShowCaptions = false;
    bool FFlat = false;
    int FButtonWidth = 23;
    int FButtonHeight = 22;
};

// ---- a property only a new window shows -------------------------------------------------------

// Sets Field and, when it changed, makes the control's window again (a style of the window).
template <class T>
void SetWindowStyleProperty(TWinControl* Control, T& Field, T Value)
{
    if (Field != Value) {
        Field = Value;
        Control->RecreateWnd();
    }
}

// ---- track bar ---------------------------------------------------------------------------------

enum class TTrackBarOrientation { trHorizontal, trVertical };
enum class TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum class TTickStyle { tsNone, tsAuto, tsManual };

// A slider over Min..Max; OnChange follows every move of the thumb, by the user or by Position.
class TTrackBar : public TWinControl {
    VCL_CLASS(TTrackBar, TWinControl)
    explicit TTrackBar(TComponent* AOwner);
    int GetMin() const { return FMin; }
    void SetMin(int Value);
    int GetMax() const { return FMax; }
    void SetMax(int Value);
    // Clamped to Min..Max.
    int GetPosition() const;
    void SetPosition(int Value);
    int GetFrequency() const { return FFrequency; }
    void SetFrequency(int Value);
    int GetLineSize() const { return FLineSize; }
    void SetLineSize(int Value);
    int GetPageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    TTrackBarOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);
    TTickMark GetTickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark Value);
    TTickStyle GetTickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle Value);
    // The highlighted range (SelStart = SelEnd: none).
    int GetSelStart() const { return FSelStart; }
    void SetSelStart(int Value);
    int GetSelEnd() const { return FSelEnd; }
    void SetSelEnd(int Value);
    // A tick of its own at Value (with tsManual).
    void SetTick(int Value);
    TNotifyEvent OnChange;
    TNotifyEvent GetOnChange() const { return OnChange; }
    void SetOnChange(TNotifyEvent Value) { OnChange = Value; }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void Changed();
    void CNScroll(TMessage& Message);

private:
    void ApplyRange();
    void ApplySelection();
    int FMin = 0, FMax = 10, FPosition = 0;
    int FFrequency = 1, FLineSize = 1, FPageSize = 2;
    int FSelStart = 0, FSelEnd = 0;
    TTrackBarOrientation FOrientation = TTrackBarOrientation::trHorizontal;
    TTickMark FTickMarks = TTickMark::tmBottomRight;
    TTickStyle FTickStyle = TTickStyle::tsAuto;
};

// ---- up-down -----------------------------------------------------------------------------------

enum class TUDAlignButton { udLeft, udRight };
enum class TUDOrientation { udHorizontal, udVertical };
enum class TUDBtnType { btNext, btPrev };
using TUDChangingEvent = TEvent<TObject*, bool&>;
using TUDClickEvent = TEvent<TObject*, TUDBtnType>;

// Two arrow buttons stepping Position by Increment within Min..Max; with an Associate (an edit) beside
// it, the position shows as the associate's text.
class TCustomUpDown : public TWinControl {
    VCL_CLASS(TCustomUpDown, TWinControl)
    explicit TCustomUpDown(TComponent* AOwner);
    int GetMin() const { return FMin; }
    void SetMin(int Value);
    int GetMax() const { return FMax; }
    void SetMax(int Value);
    int GetPosition() const;
    void SetPosition(int Value);
    int GetIncrement() const { return FIncrement; }
    void SetIncrement(int Value);
    TWinControl* GetAssociate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);
    TUDAlignButton GetAlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton Value);
    TUDOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    bool GetArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool Value);
    bool GetThousands() const { return FThousands; }
    void SetThousands(bool Value);
    bool GetWrap() const { return FWrap; }
    void SetWrap(bool Value);
    TUDChangingEvent OnChanging;
    TUDClickEvent OnClick;
    TUDChangingEvent GetOnChanging() const { return OnChanging; }
    void SetOnChanging(TUDChangingEvent Value) { OnChanging = Value; }
    TUDClickEvent GetOnClick() const { return OnClick; }
    void SetOnClick(TUDClickEvent Value) { OnClick = Value; }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Asked before each step; false keeps the position.
    virtual bool CanChange();
    virtual void Click(TUDBtnType Button);
    void CNNotify(TMessage& Message);
    void CNScroll(TMessage& Message);

private:
    void ApplyRange();
    void ApplyAssociate();
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    int FLastDelta = 0;
    TWinControl* FAssociate = nullptr;
    TUDAlignButton FAlignButton = TUDAlignButton::udRight;
    TUDOrientation FOrientation = TUDOrientation::udVertical;
    bool FArrowKeys = true;
    bool FThousands = true;
    bool FWrap = false;
};

class TUpDown : public TCustomUpDown {
    VCL_CLASS(TUpDown, TCustomUpDown)
    using TCustomUpDown::TCustomUpDown;
};

// What TUpDown publishes; a descendant of TCustomUpDown that publishes the same calls it too.
void PublishUpDownProperties(TMetaClass& m);

// ---- page scroller -----------------------------------------------------------------------------

enum class TPageScrollerOrientation { soHorizontal, soVertical };

// Shows one control larger than itself, with arrow buttons that scroll it.
class TPageScroller : public TWinControl {
    VCL_CLASS(TPageScroller, TWinControl)
    explicit TPageScroller(TComponent* AOwner);
    // The scrolled control; it becomes the scroller's child.
    TWinControl* GetControl() const { return FControl; }
    void SetControl(TWinControl* Value);
    TPageScrollerOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(TPageScrollerOrientation Value);
    int GetPosition() const;
    void SetPosition(int Value);
    int GetButtonSize() const { return FButtonSize; }
    void SetButtonSize(int Value);
    int GetMargin() const { return FMargin; }
    void SetMargin(int Value);
    bool GetAutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    bool GetDragScroll() const { return FDragScroll; }
    void SetDragScroll(bool Value);
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AlignControls(TControl* AControl, RECT& Rect) override;
    void CNNotify(TMessage& Message);

private:
    void AttachControl();
    TWinControl* FControl = nullptr;
    TPageScrollerOrientation FOrientation = TPageScrollerOrientation::soHorizontal;
    int FPosition = 0;
    int FButtonSize = 12;
    int FMargin = 0;
    bool FAutoScroll = false;
    bool FDragScroll = true;
};

// ---- date-time picker and month calendar --------------------------------------------------------

VCL_EXCEPTION(EDateTimeError, Exception)

enum class TDateTimeKind { dtkDate, dtkTime };
enum class TDTDateFormat { dfShort, dfLong };
enum class TDTDateMode { dmComboBox, dmUpDown };
enum class TDTCalAlignment { dtaLeft, dtaRight };

// A date or a time to edit in place, with a drop-down calendar for dates. With ShowCheckbox the value
// may also be switched off (Checked false).
class TDateTimePicker : public TWinControl {
    VCL_CLASS(TDateTimePicker, TWinControl)
    explicit TDateTimePicker(TComponent* AOwner);
    TDateTime GetDateTime() const;
    void SetDateTime(TDateTime Value);
    // The date part, and the time part, of DateTime; setting one keeps the other.
    TDateTime GetDate() const;
    void SetDate(TDateTime Value);
    TDateTime GetTime() const;
    void SetTime(TDateTime Value);
    TDateTimeKind GetKind() const { return FKind; }
    void SetKind(TDateTimeKind Value);
    TDTDateFormat GetDateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat Value);
    TDTDateMode GetDateMode() const { return FDateMode; }
    void SetDateMode(TDTDateMode Value);
    TDTCalAlignment GetCalAlignment() const { return FCalAlignment; }
    void SetCalAlignment(TDTCalAlignment Value);
    bool GetShowCheckbox() const { return FShowCheckbox; }
    void SetShowCheckbox(bool Value);
    bool GetChecked() const;
    void SetChecked(bool Value);
    // The earliest and latest dates the picker allows; 0 = no limit.
    TDateTime GetMinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime GetMaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    // A format of the picker's own ("dd.MM.yyyy"); empty = the one Kind and DateFormat choose.
    AnsiString GetFormat() const { return FFormat; }
    void SetFormat(const AnsiString& Value);
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TNotifyEvent GetOnChange() const { return OnChange; }
    void SetOnChange(TNotifyEvent Value) { OnChange = Value; }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    void CNNotify(TMessage& Message);

private:
    void ApplyValue();
    void ApplyRange();
    TDateTime FDateTime;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    AnsiString FFormat;
    TDateTimeKind FKind = TDateTimeKind::dtkDate;
    TDTDateFormat FDateFormat = TDTDateFormat::dfShort;
    TDTDateMode FDateMode = TDTDateMode::dmComboBox;
    TDTCalAlignment FCalAlignment = TDTCalAlignment::dtaLeft;
    bool FShowCheckbox = false;
    bool FChecked = true;
};

enum class TCalDayOfWeek { dowMonday, dowTuesday, dowWednesday, dowThursday, dowFriday, dowSaturday, dowSunday,
                           dowLocaleDefault };
// Month is 1..12; bit n - 1 of MonthBoldInfo set shows day n bold.
using TOnGetMonthInfoEvent = TEvent<TObject*, unsigned, unsigned&>;

// A month calendar to pick a date (or, with MultiSelect, a range of dates).
class TMonthCalendar : public TWinControl {
    VCL_CLASS(TMonthCalendar, TWinControl)
    explicit TMonthCalendar(TComponent* AOwner);
    // The selected date (whole days), and the last day of a selected range.
    TDateTime GetDate() const { return FDate; }
    void SetDate(TDateTime Value);
    TDateTime GetEndDate() const { return FEndDate; }
    void SetEndDate(TDateTime Value);
    bool GetMultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    int GetMaxSelectRange() const { return FMaxSelectRange; }
    void SetMaxSelectRange(int Value);
    TDateTime GetMinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime GetMaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    bool GetWeekNumbers() const { return FWeekNumbers; }
    void SetWeekNumbers(bool Value);
    bool GetShowToday() const { return FShowToday; }
    void SetShowToday(bool Value);
    bool GetShowTodayCircle() const { return FShowTodayCircle; }
    void SetShowTodayCircle(bool Value);
    TCalDayOfWeek GetFirstDayOfWeek() const { return FFirstDayOfWeek; }
    void SetFirstDayOfWeek(TCalDayOfWeek Value);
    TNotifyEvent OnChange;
    TOnGetMonthInfoEvent OnGetMonthInfo;
    TNotifyEvent GetOnChange() const { return OnChange; }
    void SetOnChange(TNotifyEvent Value) { OnChange = Value; }
    TOnGetMonthInfoEvent GetOnGetMonthInfo() const { return OnGetMonthInfo; }
    void SetOnGetMonthInfo(TOnGetMonthInfoEvent Value) { OnGetMonthInfo = Value; }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void Change();
    // Fills the bold days of each month the calendar shows (MCN_GETDAYSTATE).
    virtual void GetMonthInfo(const SYSTEMTIME& Start, int Count, MONTHDAYSTATE* States);
    void CNNotify(TMessage& Message);

private:
    void ApplySelection();
    void ApplyRange();
    void ApplyFirstDayOfWeek();
    TDateTime FDate;
    TDateTime FEndDate;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    int FMaxSelectRange = 7;
    bool FMultiSelect = false;
    bool FWeekNumbers = false;
    bool FShowToday = true;
    bool FShowTodayCircle = true;
    TCalDayOfWeek FFirstDayOfWeek = TCalDayOfWeek::dowLocaleDefault;
};

// ---- extended combo box ------------------------------------------------------------------------

class TCustomComboBoxEx;

// One item of an extended combo box: text, images and indentation.
class TComboExItem : public TCollectionItem {
    VCL_CLASS(TComboExItem, TCollectionItem)
    explicit TComboExItem(TCollection* ACollection = nullptr);
    void Assign(TPersistent* Source) override;
    AnsiString GetCaption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int GetSelectedImageIndex() const { return FSelectedImageIndex; }
    void SetSelectedImageIndex(int Value);
    int GetOverlayImageIndex() const { return FOverlayImageIndex; }
    void SetOverlayImageIndex(int Value);
    int GetIndent() const { return FIndent; }
    void SetIndent(int Value);
    void* Data = nullptr;

private:
    void Set(int& Field, int Value);
    AnsiString FCaption;
    int FImageIndex = -1;
    int FSelectedImageIndex = -1;
    int FOverlayImageIndex = -1;
    int FIndent = 0;
};

class TComboExItems : public TCollection {
    VCL_CLASS(TComboExItems, TCollection)
    explicit TComboExItems(TCustomComboBoxEx* AOwner = nullptr);
    TComboExItem* Add() { return static_cast<TComboExItem*>(TCollection::Add()); }
    TComboExItem* AddItem(const AnsiString& Caption, int ImageIndex = -1, int SelectedImageIndex = -1,
                          int OverlayImageIndex = -1, int Indent = 0, void* Data = nullptr);
    TComboExItem* GetItem(int Index) const { return static_cast<TComboExItem*>(GetItems(Index)); }
    TPersistent* GetOwner() override;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomComboBoxEx* FComboBox;
};

class TComboBoxExActionLink : public TWinControlActionLink {
    VCL_CLASS(TComboBoxExActionLink, TWinControlActionLink)
};

enum class TComboBoxExStyle { csExDropDown, csExSimple, csExDropDownList };

// A combo box whose items carry images and indentation (the system's ComboBoxEx32).
class TCustomComboBoxEx : public TCustomListControl {
    VCL_CLASS(TCustomComboBoxEx, TCustomListControl)
    explicit TCustomComboBoxEx(TComponent* AOwner);
    ~TCustomComboBoxEx() override;
    TComboExItems* GetItemsEx() const { return FItemsEx; }
    void SetItemsEx(TComboExItems* Value) { FItemsEx->Assign(Value); }
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TComboBoxExStyle GetStyle() const { return FStyle; }
    void SetStyle(TComboBoxExStyle Value);
    int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    int GetItemIndex() const override;
    void SetItemIndex(int Value) override;
    void AddItem(const AnsiString& Item, TObject* AObject) override;
    void CopySelection(TCustomListControl* Destination) override;
    void Clear() override;
    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent GetOnChange() const { return OnChange; }
    void SetOnChange(TNotifyEvent Value) { OnChange = Value; }
    TNotifyEvent GetOnSelect() const { return OnSelect; }
    void SetOnSelect(TNotifyEvent Value) { OnSelect = Value; }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TClass GetActionLinkClass() const override { return TComboBoxExActionLink::StaticClass(); }
    virtual void Change();
    // OnSelect when assigned, else Change.
    virtual void Select();
    void CNCommand(TMessage& Message);

private:
    friend class TComboExItems;
    // Puts the items into the window again (after a change of the collection or a new window).
    void UpdateItems();
    TComboExItems* FItemsEx;
    TCustomImageList* FImages = nullptr;
    TComboBoxExStyle FStyle = TComboBoxExStyle::csExDropDown;
    int FDropDownCount = 8;
    int FItemIndex = -1;
};

class TComboBoxEx : public TCustomComboBoxEx {
    VCL_CLASS(TComboBoxEx, TCustomComboBoxEx)
    using TCustomComboBoxEx::TCustomComboBoxEx;
};

// Registers the classes of the sections above for form streaming.
void RegisterExtendedCommonControls();

}  // namespace vcl
