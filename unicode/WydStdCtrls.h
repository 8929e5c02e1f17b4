// The class library's standard controls with UTF-16 captions, texts, hints and items: edit, memo, label, push
// button, check box, radio button, scroll bar, group box, static text, combo box and list box.
#pragma once

#include <windows.h>

#include <functional>

#include "StdCtrls.h"
#include "WydActnList.h"
#include "WydClasses.h"
#include "WydControls.h"

// The shared wide text, caption and hint of a control class C (a Unicode descendant of a class-library
// control), with its links to actions. Text and Caption are the same wide text; which one a class publishes
// follows its base.
#define WYD_WIDE_TEXT_AND_HINT(C)                                                                         \
    WideString GetText() const { return WydControl_GetText(const_cast<C*>(this)); }                      \
    void SetText(const WideString& value) { WydControl_SetText(this, value); }                             \
    WideString GetCaption() const { return GetText(); }                                                    \
    void SetCaption(const WideString& value) { SetText(value); }                                           \
    bool IsCaptionStored() const { return WydControl_IsCaptionStored(const_cast<C*>(this)); }             \
    WYD_WIDE_CONTROL(C)

// ---- Edit

// The edit routines, shared by every edit-like control (memo, rich edit). The wide password character is
// kept by the caller (`kept`).
void WydCustomEdit_CreateWindowHandle(vcl::TCustomEdit* edit, const vcl::TCreateParams& params);
void WydCustomEdit_AfterInherited_CreateWnd(vcl::TCustomEdit* edit, wchar_t& kept);
int WydCustomEdit_GetSelStart(vcl::TCustomEdit* edit);
void WydCustomEdit_SetSelStart(vcl::TCustomEdit* edit, int value);
int WydCustomEdit_GetSelLength(vcl::TCustomEdit* edit);
void WydCustomEdit_SetSelLength(vcl::TCustomEdit* edit, int value);
WideString WydCustomEdit_GetSelText(vcl::TCustomEdit* edit);
void WydCustomEdit_SetSelText(vcl::TCustomEdit* edit, const WideString& value);
// The kept wide character while its ANSI form is the class library's PasswordChar; otherwise the class
// library's character, which then becomes the kept one.
wchar_t WydCustomEdit_GetPasswordChar(vcl::TCustomEdit* edit, wchar_t& kept);
void WydCustomEdit_SetPasswordChar(vcl::TCustomEdit* edit, wchar_t& kept, wchar_t value);
// The ANSI form of a password character: itself below 256, else '*'.
char AnsiPasswordChar(wchar_t c);

// Selection positions off a Unicode platform, where the edits count bytes of the ANSI text: the wide start of
// an ANSI one, and the ANSI length of count wide characters from start.
int WideSelStartFromAnsi(const AnsiString& ansiText, int ansiStart);
int AnsiLengthOfWide(const WideString& text, int start, int count);

class TWydCustomEdit : public vcl::TCustomEdit {
    VCL_CLASS(TWydCustomEdit, vcl::TCustomEdit)
    explicit TWydCustomEdit(vcl::TComponent* owner) : TCustomEdit(owner) {}
    WYD_WIDE_TEXT_AND_HINT(TWydCustomEdit)
    virtual int GetSelStart() { return WydCustomEdit_GetSelStart(this); }
    virtual void SetSelStart(int value) { WydCustomEdit_SetSelStart(this, value); }
    virtual int GetSelLength() { return WydCustomEdit_GetSelLength(this); }
    virtual void SetSelLength(int value) { WydCustomEdit_SetSelLength(this, value); }
    virtual WideString GetSelText() { return WydCustomEdit_GetSelText(this); }
    void SetSelText(const WideString& value) { WydCustomEdit_SetSelText(this, value); }
    wchar_t GetPasswordChar() const;
    void SetPasswordChar(wchar_t value) { WydCustomEdit_SetPasswordChar(this, passwordChar_, value); }

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void CreateWnd() override;

private:
    mutable wchar_t passwordChar_ = 0;
};

class TWydEdit : public TWydCustomEdit {
    VCL_CLASS(TWydEdit, TWydCustomEdit)
    using TWydCustomEdit::TWydCustomEdit;
};

// ---- Memo

// Memo line routines on a Unicode window (an assertion fails elsewhere).
int WydMemo_LineStart(HWND window, int line);
int WydMemo_LineLength(HWND window, int line, int start = -1);
// Where a line inserted before line `index` of a memo window goes and the text (the line with its break) that puts
// it there; past the last line it follows that line's end, which must hold text. False when it cannot go in.
bool WydMemo_LineInsertion(HWND window, int index, const WideString& line, int& position, WideString& text);

// The memo's lines: read and written with the wide edit messages on a Unicode window, through the wide text
// while the memo has no window, and through the class library's lines on an ANSI window.
class TWydMemoStrings : public TWydStrings {
    VCL_CLASS(TWydMemoStrings, TWydStrings)
    TWydMemoStrings(vcl::TCustomMemo* memo, vcl::TStrings* ansiLines) : memo_(memo), ansiLines_(ansiLines) {}
    WideString Get(int index) const override;
    int GetCount() const override;
    void Put(int index, const WideString& s) override;
    void Clear() override;
    void Delete(int index) override;
    void Insert(int index, const WideString& s) override;

protected:
    WideString GetTextStr() const override;
    void SetTextStr(const WideString& text) override;
    void SetUpdateState(bool updating) override;

private:
    bool UnicodeWindow() const;
    // The lines of the wide text, changed by `change` and written back (the memo without a window).
    template <typename Change> void ChangeTextLines(Change change);
    vcl::TCustomMemo* memo_;
    vcl::TStrings* ansiLines_;
};

class TWydCustomMemo : public vcl::TCustomMemo {
    VCL_CLASS(TWydCustomMemo, vcl::TCustomMemo)
    explicit TWydCustomMemo(vcl::TComponent* owner);
    ~TWydCustomMemo() override;
    WYD_WIDE_TEXT_AND_HINT(TWydCustomMemo)
    TWydStrings* GetLines() const { return lines_; }
    virtual void SetLines(TWydStrings* value) { lines_->Assign(value); }
    virtual int GetSelStart() { return WydCustomEdit_GetSelStart(this); }
    virtual void SetSelStart(int value) { WydCustomEdit_SetSelStart(this, value); }
    virtual int GetSelLength() { return WydCustomEdit_GetSelLength(this); }
    virtual void SetSelLength(int value) { WydCustomEdit_SetSelLength(this, value); }
    WideString GetSelText() { return WydCustomEdit_GetSelText(this); }
    void SetSelText(const WideString& value) { WydCustomEdit_SetSelText(this, value); }

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;

private:
    TWydMemoStrings* lines_;
};

class TWydMemo : public TWydCustomMemo {
    VCL_CLASS(TWydMemo, TWydCustomMemo)
    using TWydCustomMemo::TWydCustomMemo;
};

// ---- Label and static text

// Draws (or with DT_CALCRECT measures) the wide text of a label; on a Unicode platform only.
void WydLabel_DoDrawText(vcl::TCustomLabel* label, RECT& rect, UINT flags, const WideString& text);
// CM_DIALOGCHAR of a label-like control: focuses `focusControl` when the wide caption's accelerator matches.
// True when it took the message.
bool WydLabel_CMDialogChar(vcl::TControl* control, vcl::TWinControl* focusControl, bool showAccelChar,
                           vcl::TMessage& message, const WideString& caption);

class TWydCustomLabel : public vcl::TCustomLabel {
    VCL_CLASS(TWydCustomLabel, vcl::TCustomLabel)
    explicit TWydCustomLabel(vcl::TComponent* owner) : TCustomLabel(owner) {}
    WYD_WIDE_TEXT_AND_HINT(TWydCustomLabel)
    void Dispatch(vcl::TMessage& message) override;

protected:
    // The text drawn: the caption. (The class library's GetLabelText gives its ANSI form.)
    virtual WideString GetWideLabelText() { return GetCaption(); }
    AnsiString GetLabelText() override { return vcl::WideToAnsi(GetWideLabelText()); }
    void DoDrawText(RECT& rect, UINT flags) override;
    void CMDialogChar(vcl::TMessage& message);
    void CMHintShow(vcl::TMessage& message);
};

class TWydLabel : public TWydCustomLabel {
    VCL_CLASS(TWydLabel, TWydCustomLabel)
    using TWydCustomLabel::TWydCustomLabel;
};

class TWydCustomStaticText : public vcl::TCustomStaticText {
    VCL_CLASS(TWydCustomStaticText, vcl::TCustomStaticText)
    explicit TWydCustomStaticText(vcl::TComponent* owner);
    WYD_WIDE_TEXT_AND_HINT(TWydCustomStaticText)
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    // Fits the bounds to the wide caption (with AutoSize, not while reading a stream).
    void AdjustBounds() override;
    void CMDialogChar(vcl::TMessage& message);
};

class TWydStaticText : public TWydCustomStaticText {
    VCL_CLASS(TWydStaticText, TWydCustomStaticText)
    using TWydCustomStaticText::TWydCustomStaticText;
};

// ---- Buttons

// CM_DIALOGCHAR of a push button: Click when the wide caption's accelerator matches and the button can take
// the focus. True when it took the message.
bool WydButton_CMDialogChar(vcl::TButton* button, vcl::TMessage& message, const WideString& caption);

class TWydButton : public vcl::TButton {
    VCL_CLASS(TWydButton, vcl::TButton)
    explicit TWydButton(vcl::TComponent* owner) : TButton(owner) {}
    WYD_WIDE_TEXT_AND_HINT(TWydButton)
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void CMDialogChar(vcl::TMessage& message);
};

class TWydCustomCheckBox : public vcl::TCustomCheckBox {
    VCL_CLASS(TWydCustomCheckBox, vcl::TCustomCheckBox)
    explicit TWydCustomCheckBox(vcl::TComponent* owner) : TCustomCheckBox(owner) {}
    WYD_WIDE_TEXT_AND_HINT(TWydCustomCheckBox)
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void CMDialogChar(vcl::TMessage& message);
};

class TWydCheckBox : public TWydCustomCheckBox {
    VCL_CLASS(TWydCheckBox, TWydCustomCheckBox)
    using TWydCustomCheckBox::TWydCustomCheckBox;
};

class TWydRadioButton : public vcl::TRadioButton {
    VCL_CLASS(TWydRadioButton, vcl::TRadioButton)
    explicit TWydRadioButton(vcl::TComponent* owner) : TRadioButton(owner) {}
    WYD_WIDE_TEXT_AND_HINT(TWydRadioButton)
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void CMDialogChar(vcl::TMessage& message);
};

class TWydScrollBar : public vcl::TScrollBar {
    VCL_CLASS(TWydScrollBar, vcl::TScrollBar)
    explicit TWydScrollBar(vcl::TComponent* owner) : TScrollBar(owner) {}
    WYD_WIDE_TEXT_AND_HINT(TWydScrollBar)

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
};

class TWydCustomGroupBox : public vcl::TCustomGroupBox {
    VCL_CLASS(TWydCustomGroupBox, vcl::TCustomGroupBox)
    explicit TWydCustomGroupBox(vcl::TComponent* owner) : TCustomGroupBox(owner) {}
    WYD_WIDE_TEXT_AND_HINT(TWydCustomGroupBox)
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void Paint() override;
    void CMDialogChar(vcl::TMessage& message);
};

class TWydGroupBox : public TWydCustomGroupBox {
    VCL_CLASS(TWydGroupBox, TWydCustomGroupBox)
    using TWydCustomGroupBox::TWydCustomGroupBox;
};

// ---- Combo box

// Implemented by a combo box that searches its items itself instead of the system's prefix search.
class IWydComboFindString {
public:
    // The index of the first item after startPos (-1: from the start) that begins with value, or -1.
    virtual int FindString(const WideString& value, int startPos) = 0;

protected:
    ~IWydComboFindString() = default;
};

// Hands a character message of the combo box's inner edit to the combo box; setting the character to 0
// consumes it.
using TWMCharMsgHandler = std::function<void(vcl::TMessage&)>;

// The items of a combo box or list box: the wide item messages on a Unicode window, the class library's ANSI
// items on an ANSI window, and a wide list while the control has no window (items made before it, or kept
// across its re-creation).
class TWydListControlStrings : public TWydStrings {
    VCL_CLASS(TWydListControlStrings, TWydStrings)
    // The control's item messages: text length, text, add, insert, exact search; and its error result.
    struct Messages {
        UINT GetTextLen, GetText, Add, Insert, FindExact;
        LRESULT Err;
    };
    TWydListControlStrings() = default;
    explicit TWydListControlStrings(const Messages& msgs) : msgs_(msgs) {}
    ~TWydListControlStrings() override;
    int GetCount() const override;
    vcl::TObject* GetObject(int index) const override;
    // Replaces the text; the item keeps its object and the control its selection. A bad index raises.
    void Put(int index, const WideString& s) override;
    void PutObject(int index, vcl::TObject* object) override;
    // A refused insertion raises EOutOfResources "Unable to insert a line".
    int Add(const WideString& s) override;
    void Insert(int index, const WideString& s) override;
    void Clear() override;
    void Delete(int index) override;
    int IndexOf(const WideString& s) const override;
    // Moves the items out of the window before it goes, and into the new one.
    void SaveFromWindow();
    void LoadIntoWindow();

protected:
    void SetUpdateState(bool updating) override;
    // The text of an item that exists.
    WideString ItemText(int index) const;
    void CheckIndex(int index) const;
    bool UnicodeWindow() const;
    vcl::TStrings* AnsiItems() const;
    TWydStringList* Kept() const;
    vcl::TCustomItemListControl* owner_ = nullptr;

private:
    Messages msgs_{};
    mutable TWydStringList* kept_ = nullptr;
};

class TWydComboBoxStrings : public TWydListControlStrings {
    VCL_CLASS(TWydComboBoxStrings, TWydListControlStrings)
    TWydComboBoxStrings();
    vcl::TCustomComboBox* GetComboBox() const { return static_cast<vcl::TCustomComboBox*>(owner_); }
    void SetComboBox(vcl::TCustomComboBox* comboBox) { owner_ = comboBox; }
    // A bad index gives the empty string.
    WideString Get(int index) const override;
    // Empties the list; the edit text stays.
    void Clear() override;
};

// The combo box routines, shared by combo box classes: the combo box comes first.
void WydCombo_AfterInherited_CreateWnd(vcl::TCustomComboBox* combo, TWydListControlStrings* items,
                                       int savedIndex, const WideString& text);
void WydCombo_BeforeInherited_DestroyWnd(vcl::TCustomComboBox* combo, TWydListControlStrings* items,
                                         int& savedIndex, WideString& text);
// The messages of the inner edit and list; false when the class library's handling should run. doKeyPress is
// the combo box's key-press handling (true when it took the character).
bool WydCombo_ComboWndProc(vcl::TCustomComboBox* combo, vcl::TMessage& message, HWND comboWnd, WNDPROC comboProc,
                           const std::function<bool(vcl::TMessage&)>& doKeyPress,
                           const TWMCharMsgHandler& doEditCharMsg);
// CN_COMMAND: CBN_SELCHANGE sets the wide text and notifies; false for the other notifications.
bool WydCombo_CNCommand(vcl::TCustomComboBox* combo, TWydStrings* items, vcl::TMessage& message);
int WydCombo_GetSelStart(vcl::TCustomComboBox* combo);
void WydCombo_SetSelStart(vcl::TCustomComboBox* combo, int value);
int WydCombo_GetSelLength(vcl::TCustomComboBox* combo);
void WydCombo_SetSelLength(vcl::TCustomComboBox* combo, int value);
WideString WydCombo_GetSelText(vcl::TCustomComboBox* combo);
void WydCombo_SetSelText(vcl::TCustomComboBox* combo, const WideString& value);
// Opens the list keeping the edit's text and selection.
void WydCombo_DropDown_PreserveSelection(vcl::TCustomComboBox* combo);
// Around the class library's key press: its own (ANSI) completion is off, so only the wide one runs. Before
// returns the setting that After puts back.
bool WydCombo_BeforeKeyPress(vcl::TCustomComboBox* combo);
void WydCombo_AfterKeyPress(vcl::TCustomComboBox* combo, bool autoComplete);
void WydComboBox_AddItem(TWydStrings* items, const WideString& item, vcl::TObject* object);
void WydComboBox_CopySelection(vcl::TCustomComboBox* combo, TWydStrings* items,
                               vcl::TCustomListControl* destination);
// Incremental search of the drop-down-list styles: keystrokes under 1250 ms apart extend the search text.
void WydCombo_AutoSearchKeyPress(vcl::TCustomComboBox* combo, TWydStrings* items, vcl::TMessage& message,
                                 WideString& searchText, DWORD& lastSearchTick);
// Completion of the typed text in the styles with an edit.
void WydCombo_AutoCompleteKeyPress(vcl::TCustomComboBox* combo, TWydStrings* items, vcl::TMessage& message,
                                   bool uniqueMatchOnly, bool preserveDataEntryCase);
void WydCombo_DefaultDrawItem(vcl::TCustomComboBox* combo, TWydStrings* items, int index, const RECT& rect);
// Selects the item that begins with searchText; true when one was found.
bool SelectComboMatch(vcl::TCustomComboBox* combo, TWydStrings* items, const WideString& searchText,
                      bool uniqueMatchOnly, bool preserveDataEntryCase);
int FindComboPrefix(vcl::TCustomComboBox* combo, int startIndex, const WideString& text);
int FindUniqueComboPrefix(vcl::TCustomComboBox* combo, const WideString& text);

class TWydCustomComboBox : public vcl::TCustomComboBox, public IWideCustomListControl {
    VCL_CLASS(TWydCustomComboBox, vcl::TCustomComboBox)
    explicit TWydCustomComboBox(vcl::TComponent* owner);
    ~TWydCustomComboBox() override;
    WYD_WIDE_TEXT_AND_HINT(TWydCustomComboBox)
    TWydStrings* GetItems() const { return items_; }
    virtual void SetItems(TWydStrings* value) { items_->Assign(value); }
    virtual int GetSelStart() { return WydCombo_GetSelStart(this); }
    virtual void SetSelStart(int value) { WydCombo_SetSelStart(this, value); }
    virtual int GetSelLength() { return WydCombo_GetSelLength(this); }
    virtual void SetSelLength(int value) { WydCombo_SetSelLength(this, value); }
    virtual WideString GetSelText() { return WydCombo_GetSelText(this); }
    virtual void SetSelText(const WideString& value) { WydCombo_SetSelText(this, value); }
    using vcl::TCustomComboBox::AddItem;
    void AddItem(const WideString& item, vcl::TObject* object) override;
    void CopySelection(vcl::TCustomListControl* destination) override;
    void ComboWndProc(vcl::TMessage& message, HWND comboWnd, WNDPROC comboProc) override;
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // The wide item text (OnDrawItem, when set, draws instead).
    void DrawItemText(int index, const RECT& rect) override;
    // The character handler of the inner edit: wide completion.
    virtual void DoEditCharMsg(vcl::TMessage& message);
    virtual bool GetAutoComplete_UniqueMatchOnly() const { return false; }
    virtual bool GetAutoComplete_PreserveDataEntryCase() const { return true; }
    void CNCommand(vcl::TMessage& message);
    void WMChar(vcl::TMessage& message);
    void KeyPress(char& key) override;

    WideString searchText_;
    DWORD lastSearchTick_ = 0;

private:
    TWydComboBoxStrings* items_;
};

class TWydComboBox : public TWydCustomComboBox {
    VCL_CLASS(TWydComboBox, TWydCustomComboBox)
    using TWydCustomComboBox::TWydCustomComboBox;
};

// ---- List box

// The wide data event of a virtual list box.
using TLBGetWideDataEvent = vcl::TEvent<vcl::TWinControl*, int, WideString&>;

class TWydCustomListBox;

// The items of a list box; a virtual list box's come from its data events.
class TWydListBoxStrings : public TWydListControlStrings {
    VCL_CLASS(TWydListBoxStrings, TWydListControlStrings)
    TWydListBoxStrings();
    vcl::TCustomListBox* GetListBox() const { return static_cast<vcl::TCustomListBox*>(owner_); }
    void SetListBox(vcl::TCustomListBox* listBox) { owner_ = listBox; }

    // A bad index raises "List index out of bounds (%d)".
    WideString Get(int index) const override;
    int GetCount() const override;
    vcl::TObject* GetObject(int index) const override;
    // Swaps texts and objects; the selection follows the item it was on.
    void Exchange(int index1, int index2) override;
    int IndexOf(const WideString& s) const override;
    void Move(int curIndex, int newIndex) override;
};

void WydListBox_AfterInherited_CreateWnd(vcl::TCustomListBox* listBox, TWydListControlStrings* items,
                                         int savedTop, int savedIndex);
void WydListBox_BeforeInherited_DestroyWnd(vcl::TCustomListBox* listBox, TWydListControlStrings* items,
                                           int& savedTop, int& savedIndex);
void WydListBox_DrawItem_Text(vcl::TCustomListBox* listBox, TWydStrings* items, int index, const RECT& rect);
void WydListBox_AddItem(TWydStrings* items, const WideString& item, vcl::TObject* object);
void WydListBox_CopySelection(vcl::TCustomListBox* listBox, TWydStrings* items,
                              vcl::TCustomListControl* destination);
// LB_GETTEXT and LB_GETTEXTLEN of a virtual list box; false for the other styles.
bool WydCustomListBox_LBGetText(vcl::TCustomListBox* listBox, vcl::TMessage& message,
                                const TLBGetWideDataEvent& onData);
bool WydCustomListBox_LBGetTextLen(vcl::TCustomListBox* listBox, vcl::TMessage& message,
                                   const TLBGetWideDataEvent& onData);
// A virtual list box's item: the wide OnData, else the class library's ANSI OnData; false outside the items
// or without an event.
bool GetVirtualListBoxItem(vcl::TCustomListBox* listBox, int index, const TLBGetWideDataEvent& onData,
                           WideString& data);

class TWydCustomListBox : public vcl::TCustomListBox, public IWideCustomListControl {
    VCL_CLASS(TWydCustomListBox, vcl::TCustomListBox)
    explicit TWydCustomListBox(vcl::TComponent* owner);
    ~TWydCustomListBox() override;
    WYD_WIDE_TEXT_AND_HINT(TWydCustomListBox)
    TWydStrings* GetItems() const { return items_; }
    void SetItems(TWydStrings* value) { items_->Assign(value); }
    using vcl::TCustomListBox::AddItem;
    void AddItem(const WideString& item, vcl::TObject* object) override;
    void CopySelection(vcl::TCustomListControl* destination) override;
    bool GetVirtualItem(int index, AnsiString& data) override;
    void Dispatch(vcl::TMessage& message) override;
    TLBGetWideDataEvent OnData;
    TLBGetWideDataEvent GetOnData() const { return OnData; }
    void SetOnData(TLBGetWideDataEvent value) { OnData = value; }

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // The wide item text (OnDrawItem, when set, draws instead).
    void DrawItemText(int index, const RECT& rect) override;
    void LBGetText(vcl::TMessage& message);
    void LBGetTextLen(vcl::TMessage& message);

private:
    TWydListBoxStrings* items_;
    int savedTop_ = 0;
};

class TWydListBox : public TWydCustomListBox {
    VCL_CLASS(TWydListBox, TWydCustomListBox)
    using TWydCustomListBox::TWydCustomListBox;
};

// Unit start: registers the classes for form streams.
void InitWydStdCtrls();
