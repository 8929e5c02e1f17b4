// Standard controls: labels, buttons, check boxes, radio buttons, group boxes, edits, memos, combo
// boxes, list boxes and scroll bars, thin over the system's ANSI classes.
#pragma once

#include "ActnList.h"
#include "Controls.h"

namespace vcl {

class TCustomLabel : public TGraphicControl {
    VCL_CLASS(TCustomLabel, TGraphicControl)
    explicit TCustomLabel(TComponent* AOwner);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    void Dispatch(TMessage& Message) override;

protected:
    virtual AnsiString GetLabelText();
    // Draws (or with DT_CALCRECT measures) the text into Rect.
    virtual void DoDrawText(RECT& Rect, UINT Flags);
    void Paint() override;
    void AdjustSize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMDialogChar(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);

private:
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
    VCL_CLASS(TLabel, TCustomLabel)
    using TCustomLabel::TCustomLabel;
};

class TCustomStaticText : public TWinControl {
    VCL_CLASS(TCustomStaticText, TWinControl)
    explicit TCustomStaticText(TComponent* AOwner);
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value) { FFocusControl = Value; }
    void SetAutoSize(bool Value) override;
    void Dispatch(TMessage& Message) override;
    void Loaded() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    virtual void AdjustBounds();
    void CMDialogChar(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);

private:
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TStaticText : public TCustomStaticText {
    VCL_CLASS(TStaticText, TCustomStaticText)
    using TCustomStaticText::TCustomStaticText;
};

class TButtonActionLink : public TWinControlActionLink {
    VCL_CLASS(TButtonActionLink, TWinControlActionLink)
    bool IsCheckedLinked() const override;
    void SetChecked(bool Value) override;
};

class TButtonControl : public TWinControl {
    VCL_CLASS(TButtonControl, TWinControl)
    explicit TButtonControl(TComponent* AOwner);

protected:
    TClass GetActionLinkClass() const override { return TButtonActionLink::StaticClass(); }
    virtual bool GetChecked() const { return false; }
    virtual void SetChecked(bool) {}
    friend class TButtonActionLink;
};

class TButton : public TButtonControl {
    VCL_CLASS(TButton, TButtonControl)
    explicit TButton(TComponent* AOwner);
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool Value);
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    int GetModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    void Click() override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The button Enter would press is active: the focused button, else the default one while the focus is on a
    // control that is no button. The system button shows it with its default frame.
    virtual void SetButtonStyle(bool ADefault);
    void UpdateActive(TWinControl* Focused);
    void CNCommand(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMFocusChanged(TMessage& Message);

private:
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
    VCL_CLASS(TCustomCheckBox, TButtonControl)
    explicit TCustomCheckBox(TComponent* AOwner);
    bool GetChecked() const override { return FState == TCheckBoxState::cbChecked; }
    void SetChecked(bool Value) override;
    TCheckBoxState GetState() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool GetAllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    void Dispatch(TMessage& Message) override;

protected:
    virtual void Toggle();
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TMessage& Message);
    void CMDialogChar(TMessage& Message);

private:
    TCheckBoxState FState = TCheckBoxState::cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = TAlignment::taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
    VCL_CLASS(TCheckBox, TCustomCheckBox)
    using TCustomCheckBox::TCustomCheckBox;
};

class TRadioButton : public TButtonControl {
    VCL_CLASS(TRadioButton, TButtonControl)
    explicit TRadioButton(TComponent* AOwner);
    bool GetChecked() const override { return FChecked; }
    void SetChecked(bool Value) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TMessage& Message);
    void CMDialogChar(TMessage& Message);

private:
    bool FChecked = false;
};

class TCustomGroupBox : public TCustomControl {
    VCL_CLASS(TCustomGroupBox, TCustomControl)
    explicit TCustomGroupBox(TComponent* AOwner);
    RECT GetClientRect() const override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void CMDialogChar(TMessage& Message);
    void CMTextChanged(TMessage& Message);
};

class TGroupBox : public TCustomGroupBox {
    VCL_CLASS(TGroupBox, TCustomGroupBox)
    using TCustomGroupBox::TCustomGroupBox;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomEdit : public TWinControl {
    VCL_CLASS(TCustomEdit, TWinControl)
    explicit TCustomEdit(TComponent* AOwner);
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    char GetPasswordChar() const { return FPasswordChar; }
    // Stores the character only: the window is not re-created and its text stays as it is.
    void SetPasswordChar(char Value);
    TEditCharCase GetCharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool GetAutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool GetModified() const;
    void SetModified(bool Value);
    int GetSelStart();
    void SetSelStart(int Value);
    int GetSelLength();
    void SetSelLength(int Value);
    AnsiString GetSelText();
    void SetSelText(const AnsiString& Value);
    void SelectAll();
    void ClearSelection();
    void Clear() { SetText({}); }
    void CopyToClipboard() { Perform(WM_COPY); }
    void CutToClipboard() { Perform(WM_CUT); }
    void PasteFromClipboard() { Perform(WM_PASTE); }
    void Undo() { Perform(WM_UNDO); }
    void Dispatch(TMessage& Message) override;
    TNotifyEvent OnChange;
    TNotifyEvent GetOnChange() const { return OnChange; }
    void SetOnChange(TNotifyEvent Value) { OnChange = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    void CNCommand(TMessage& Message);
    void CMEnter(TMessage& Message);
    bool FReadOnly = false;
    int FMaxLength = 0;
    char FPasswordChar = 0;
    TEditCharCase FCharCase = TEditCharCase::ecNormal;
    bool FAutoSelect = true;
    bool FModified = false;
    bool FCreating = false;
};

class TEdit : public TCustomEdit {
    VCL_CLASS(TEdit, TCustomEdit)
    using TCustomEdit::TCustomEdit;
};

class TCustomMemo;

// The lines of a memo, read from and written to its window (or kept while it has none).
class TMemoStrings : public TStrings {
    VCL_CLASS(TMemoStrings, TStrings)
    explicit TMemoStrings(TCustomMemo* Memo = nullptr) : FMemo(Memo) {}
    AnsiString Get(int Index) const override;
    int GetCount() const override;
    void Put(int Index, const AnsiString& S) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;

protected:
    void SetUpdateState(bool Updating) override;
    AnsiString GetTextStr() const override;
    void SetTextStr(const AnsiString& Text) override;

private:
    TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
    VCL_CLASS(TCustomMemo, TCustomEdit)
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;
    TStrings* GetLines() const { return FLines; }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool GetWantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool GetWantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyPress(char& Key) override;
    void Dispatch(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message);

    TStrings* FLines;  // a descendant may put lines of its own kind here

private:
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
};

class TMemo : public TCustomMemo {
    VCL_CLASS(TMemo, TCustomMemo)
    using TCustomMemo::TCustomMemo;
};

// Items of a list-type window (combo box, list box): on the window when it exists, in a list otherwise.
class TCustomListControl;
class TListControlStrings : public TStrings {
    VCL_CLASS(TListControlStrings, TStrings)
    struct Messages {
        UINT Count, GetText, GetTextLen, GetData, SetData, Add, Insert, Delete, Reset, FindExact, Err;
    };
    TListControlStrings() = default;
    TListControlStrings(TCustomListControl* Owner, const Messages& Msgs);
    ~TListControlStrings() override;
    AnsiString Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    // Replaces the text; the item keeps its object and, when it was selected, the selection.
    void Put(int Index, const AnsiString& S) override;
    void PutObject(int Index, TObject* Object) override;
    int Add(const AnsiString& S) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int IndexOf(const AnsiString& S) const override;
    // Moves the items into the window (after creation) or out of it (before destruction).
    void LoadIntoWindow();
    void SaveFromWindow();
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value) { FSorted = Value; }

protected:
    void SetUpdateState(bool Updating) override;
    bool Live() const;
    TCustomListControl* FOwner = nullptr;

private:
    LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) const;
    LRESULT SendText(UINT Msg, WPARAM W = 0, LPARAM L = 0) const;
    Messages FMsgs{};
    TStringList* FSaved = nullptr;
    bool FSorted = false;
};

class TCustomListControl : public TWinControl {
    VCL_CLASS(TCustomListControl, TWinControl)
    using TWinControl::TWinControl;
    virtual int GetItemIndex() const = 0;
    virtual void SetItemIndex(int Value) = 0;
    virtual void AddItem(const AnsiString& Item, TObject* AObject) = 0;
    virtual void CopySelection(TCustomListControl* Destination) = 0;
    virtual void Clear() = 0;
};

using TDrawItemEvent = TEvent<TWinControl*, int, RECT, unsigned>;
using TMeasureItemEvent = TEvent<TWinControl*, int, int&>;

// A list control whose items are strings held by its window (combo box, list box): the item list, sorting,
// owner drawing and the height of owner-drawn items.
class TCustomItemListControl : public TCustomListControl {
    VCL_CLASS(TCustomItemListControl, TCustomListControl)
    // Takes the item list (made with this control as its owner).
    TCustomItemListControl(TComponent* AOwner, TListControlStrings* Items);
    ~TCustomItemListControl() override;
    TStrings* GetItems() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    void AddItem(const AnsiString& Item, TObject* AObject) override;
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value);
    int GetItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    TCanvas* GetCanvas() const { return FCanvas; }
    void Dispatch(TMessage& Message) override;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    TDrawItemEvent GetOnDrawItem() const { return OnDrawItem; }
    void SetOnDrawItem(TDrawItemEvent Value) { OnDrawItem = Value; }
    TMeasureItemEvent GetOnMeasureItem() const { return OnMeasureItem; }
    void SetOnMeasureItem(TMeasureItemEvent Value) { OnMeasureItem = Value; }

protected:
    // Draws item Index: OnDrawItem, else DrawItemText.
    virtual void DrawItem(int Index, RECT Rect, unsigned State);
    // The default look: the rectangle filled and the item's text; an index outside the items only fills.
    virtual void DrawItemText(int Index, const RECT& Rect);
    virtual void MeasureItem(int Index, int& Height);
    // True for the owner-drawn style whose items each have a height of their own.
    virtual bool HasVariableItemHeight() const = 0;
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);

    TListControlStrings* FItems;
    TCanvas* FCanvas;
    int FItemHeight = 16;
    int FSavedIndex = -1;  // the selection while there is no window

private:
    bool FSorted = false;
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
static_assert(int(TComboBoxStyle::csDropDownList) == 2 && int(TComboBoxStyle::csOwnerDrawVariable) == 4);

class TCustomComboBox : public TCustomItemListControl {
    VCL_CLASS(TCustomComboBox, TCustomItemListControl)
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;
    int GetItemIndex() const override;
    void SetItemIndex(int Value) override;
    void CopySelection(TCustomListControl* Destination) override;
    void Clear() override;
    TComboBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool GetDroppedDown();
    void SetDroppedDown(bool Value);
    bool GetAutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    bool GetAutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    int GetSelStart();
    void SetSelStart(int Value);
    int GetSelLength();
    void SetSelLength(int Value);
    AnsiString GetSelText();
    void SetSelText(const AnsiString& Value);
    // The inner windows: the edit (drop-down and simple styles) and the list.
    HWND EditHandle = nullptr;
    HWND ListHandle = nullptr;
    // Their own procedures, put back (in the character set the window has then) before the window goes.
    WNDPROC DefEditProc = nullptr;
    WNDPROC DefListProc = nullptr;
    // Every message of both inner windows passes here; the default calls the window's own procedure.
    virtual void ComboWndProc(TMessage& Message, HWND ComboWnd, WNDPROC ComboProc);
    void Dispatch(TMessage& Message) override;
    // The notifications of a changed text and of a selection (OnSelect, else OnChange), also for a layer that
    // selects an item itself.
    virtual void Change();
    virtual void Select();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TNotifyEvent GetOnChange() const { return OnChange; }
    void SetOnChange(TNotifyEvent Value) { OnChange = Value; }
    TNotifyEvent GetOnSelect() const { return OnSelect; }
    void SetOnSelect(TNotifyEvent Value) { OnSelect = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    bool HasVariableItemHeight() const override { return FStyle == TComboBoxStyle::csOwnerDrawVariable; }
    virtual void DropDown();
    virtual void CloseUp();
    void CNCommand(TMessage& Message);
    void WMChar(TMessage& Message);
    // Completion: with AutoComplete and AutoDropDown a typed character drops the list down and Tab closes it;
    // Backspace and Escape leave it as it is.
    void KeyPress(char& Key) override;

private:
    static LRESULT CALLBACK InnerWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void HookInnerWindow(HWND Window, WNDPROC& Saved);
    void UnhookInnerWindow(HWND& Window, WNDPROC& Saved);
    TComboBoxStyle FStyle = TComboBoxStyle::csDropDown;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    bool FAutoComplete = true;
    bool FAutoDropDown = false;
};

class TComboBox : public TCustomComboBox {
    VCL_CLASS(TComboBox, TCustomComboBox)
    using TCustomComboBox::TCustomComboBox;
};

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

// The items of a virtual list box come from its events: the text, the object, and the index of a text.
using TLBGetDataEvent = TEvent<TWinControl*, int, AnsiString&>;
using TLBGetDataObjectEvent = TEvent<TWinControl*, int, TObject*&>;
using TLBFindDataEvent = TEvent<TWinControl*, const AnsiString&, int&>;

class TCustomListBox : public TCustomItemListControl {
    VCL_CLASS(TCustomListBox, TCustomItemListControl)
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    int GetItemIndex() const override;
    void SetItemIndex(int Value) override;
    void CopySelection(TCustomListControl* Destination) override;
    void Clear() override;
    // The number of items; a virtual list box is told it with SetCount.
    virtual int GetCount() const;
    void SetCount(int Value);
    TListBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    bool IsVirtual() const { return FStyle == TListBoxStyle::lbVirtual || FStyle == TListBoxStyle::lbVirtualOwnerDraw; }
    bool GetMultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool GetSelected(int Index);
    void SetSelected(int Index, bool Value);
    int GetSelCount();
    int GetTopIndex();
    void SetTopIndex(int Value);
    int ItemAtPos(POINT Pos, bool Existing);
    RECT ItemRect(int Index);
    // The window's own item operations, which the item list uses while the window exists.
    virtual void DeleteString(int Index);
    virtual void ResetContent();
    // While set, a deleted item and the next inserted one are the same item moving: a selected item stays
    // selected at its new place.
    bool GetMoving() const { return FMoving; }
    void SetMoving(bool Value);
    // A virtual list box's item text (from OnData), object (OnDataObject) and the index of a text
    // (OnDataFind, -1 when not found). The text is false when the index is outside the items or no event
    // supplies it; a layer with its own data event supplies it here too.
    virtual bool GetVirtualItem(int Index, AnsiString& Data);
    TObject* GetVirtualObject(int Index);
    int FindVirtualItem(const AnsiString& S);
    void Dispatch(TMessage& Message) override;
    TNotifyEvent OnChange;
    TLBGetDataEvent OnData;
    TLBGetDataObjectEvent OnDataObject;
    TLBFindDataEvent OnDataFind;
    TLBGetDataEvent GetOnData() const { return OnData; }
    void SetOnData(TLBGetDataEvent Value) { OnData = Value; }
    TLBGetDataObjectEvent GetOnDataObject() const { return OnDataObject; }
    void SetOnDataObject(TLBGetDataObjectEvent Value) { OnDataObject = Value; }
    TLBFindDataEvent GetOnDataFind() const { return OnDataFind; }
    void SetOnDataFind(TLBFindDataEvent Value) { OnDataFind = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    bool HasVariableItemHeight() const override { return FStyle == TListBoxStyle::lbOwnerDrawVariable; }
    void CNCommand(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void LBGetText(TMessage& Message);
    void LBGetTextLen(TMessage& Message);
    void LBGetItemData(TMessage& Message);
    void LBFindStringExact(TMessage& Message);
    void LBDeleteString(TMessage& Message);
    void LBInsertString(TMessage& Message);

private:
    TListBoxStyle FStyle = TListBoxStyle::lbStandard;
    bool FMultiSelect = false;
    int FSavedTop = 0;
    int FCount = 0;  // the item count of a virtual list box
    bool FMoving = false;
    int FMovedSelected = -1;  // while moving: whether the deleted item was selected (1), not (0), unknown (-1)
};

class TListBox : public TCustomListBox {
    VCL_CLASS(TListBox, TCustomListBox)
    using TCustomListBox::TCustomListBox;
};

enum class TScrollBarKind { sbHorizontal, sbVertical };

class TScrollBar : public TWinControl {
    VCL_CLASS(TScrollBar, TWinControl)
    explicit TScrollBar(TComponent* AOwner);
    TScrollBarKind GetKind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int GetPosition() const { return FPosition; }
    void SetPosition(int Value);
    int GetMin() const { return FMin; }
    int GetMax() const { return FMax; }
    void SetParams(int APosition, int AMin, int AMax);
    void Dispatch(TMessage& Message) override;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNScroll(TMessage& Message);

private:
    TScrollBarKind FKind = TScrollBarKind::sbHorizontal;
    int FPosition = 0, FMin = 0, FMax = 100;
};

// The published properties of the standard classes beyond their caption, text and items, shared by the
// class library's classes and a layer's descendants (which publish a caption and items of their own). Items
// come before these, so that a stream sets the selection after the items.
template <class C> void PublishLabelProperties(TMetaClass& m)
{
    m.Publish("Alignment", &C::GetAlignment, &C::SetAlignment)
        .WithNames({"taLeftJustify", "taRightJustify", "taCenter"})
        .WithDefault(0);
    m.Publish("AutoSize", &C::GetAutoSize, &C::SetAutoSize).WithDefault(1);
    m.Publish("Layout", &C::GetLayout, &C::SetLayout).WithNames({"tlTop", "tlCenter", "tlBottom"}).WithDefault(0);
    m.Publish("WordWrap", &C::GetWordWrap, &C::SetWordWrap).WithDefault(0);
    m.Publish("Transparent", &C::GetTransparent, &C::SetTransparent).WithDefault(0);
    m.Publish("ShowAccelChar", &C::GetShowAccelChar, &C::SetShowAccelChar).WithDefault(1);
    m.Publish("FocusControl", &C::GetFocusControl, &C::SetFocusControl);
}

template <class C> void PublishStaticTextProperties(TMetaClass& m)
{
    m.Publish<C, bool, bool>("AutoSize", &C::GetAutoSize, &C::SetAutoSize).WithDefault(1);
    m.Publish("ShowAccelChar", &C::GetShowAccelChar, &C::SetShowAccelChar).WithDefault(1);
    m.Publish("FocusControl", &C::GetFocusControl, &C::SetFocusControl);
}

template <class C> void PublishCheckBoxProperties(TMetaClass& m)
{
    m.Publish("Checked", &C::GetChecked, &C::SetChecked).WithDefault(0);
    m.Publish("AllowGrayed", &C::GetAllowGrayed, &C::SetAllowGrayed).WithDefault(0);
    m.Publish("State", &C::GetState, &C::SetState).WithNames({"cbUnchecked", "cbChecked", "cbGrayed"}).WithDefault(0);
}

template <class C> void PublishEditProperties(TMetaClass& m)
{
    m.Publish("MaxLength", &C::GetMaxLength, &C::SetMaxLength).WithDefault(0);
    m.Publish("ReadOnly", &C::GetReadOnly, &C::SetReadOnly).WithDefault(0);
    m.Publish("OnChange", &C::GetOnChange, &C::SetOnChange);
}

template <class C> void PublishMemoProperties(TMetaClass& m)
{
    m.Publish("WordWrap", &C::GetWordWrap, &C::SetWordWrap).WithDefault(1);
    m.Publish("ScrollBars", &C::GetScrollBars, &C::SetScrollBars)
        .WithNames({"ssNone", "ssHorizontal", "ssVertical", "ssBoth"})
        .WithDefault(0);
    PublishEditProperties<C>(m);
}

template <class C> void PublishOwnerDrawEvents(TMetaClass& m)
{
    m.Publish("OnDrawItem", &C::GetOnDrawItem, &C::SetOnDrawItem);
    m.Publish("OnMeasureItem", &C::GetOnMeasureItem, &C::SetOnMeasureItem);
}

template <class C> void PublishComboBoxProperties(TMetaClass& m)
{
    m.Publish("Style", &C::GetStyle, &C::SetStyle)
        .WithNames({"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"})
        .WithDefault(0);
    m.Publish("ItemIndex", &C::GetItemIndex, &C::SetItemIndex).WithDefault(-1);
    m.Publish("DropDownCount", &C::GetDropDownCount, &C::SetDropDownCount).WithDefault(8);
    m.Publish("MaxLength", &C::GetMaxLength, &C::SetMaxLength).WithDefault(0);
    m.Publish("Sorted", &C::GetSorted, &C::SetSorted).WithDefault(0);
    m.Publish("AutoComplete", &C::GetAutoComplete, &C::SetAutoComplete).WithDefault(1);
    m.Publish("AutoDropDown", &C::GetAutoDropDown, &C::SetAutoDropDown).WithDefault(0);
    m.Publish("OnChange", &C::GetOnChange, &C::SetOnChange);
    m.Publish("OnSelect", &C::GetOnSelect, &C::SetOnSelect);
    PublishOwnerDrawEvents<C>(m);
}

template <class C> void PublishListBoxProperties(TMetaClass& m)
{
    m.Publish("Style", &C::GetStyle, &C::SetStyle)
        .WithNames({"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual", "lbVirtualOwnerDraw"})
        .WithDefault(0);
    m.Publish("ItemIndex", &C::GetItemIndex, &C::SetItemIndex).WithDefault(-1);
    m.Publish("MultiSelect", &C::GetMultiSelect, &C::SetMultiSelect).WithDefault(0);
    m.Publish("Sorted", &C::GetSorted, &C::SetSorted).WithDefault(0);
    m.Publish("OnData", &C::GetOnData, &C::SetOnData);  // a layer's class may give its own kind of data event
    m.Publish("OnDataObject", &C::GetOnDataObject, &C::SetOnDataObject);
    m.Publish("OnDataFind", &C::GetOnDataFind, &C::SetOnDataFind);
    PublishOwnerDrawEvents<C>(m);
}

}  // namespace vcl
