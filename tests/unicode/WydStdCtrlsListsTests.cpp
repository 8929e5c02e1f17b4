// Window tests of the combo box and the list box with wide items: items, objects, selection, text and top
// index through re-creation, the selection kept across item edits, typing with completion and incremental
// search, virtual items and copies into wide destinations.
#include "WydStdCtrlsTestSupport.h"

using namespace vcl;
using namespace wydtest;

namespace {

// A combo box whose search clock the test can move on, and that can refuse new items as a full system would.
class TProbeCombo : public TWydComboBox {
    VCL_CLASS(TProbeCombo, TWydComboBox)
    explicit TProbeCombo(TComponent* owner) : TWydComboBox(owner) {}
    void AgeSearch(DWORD ms) { lastSearchTick_ -= ms; }
    const WideString& SearchText() const { return searchText_; }
    bool Refuse = false;

protected:
    void WndProc(TMessage& message) override
    {
        if (Refuse && (message.Msg == CB_ADDSTRING || message.Msg == CB_INSERTSTRING)) {
            message.Result = CB_ERRSPACE;
            return;
        }
        TWydComboBox::WndProc(message);
    }
};
VCL_IMPLEMENT_CLASS(TProbeCombo, TWydComboBox)

using WydComboBox = WydFormFixture;
using WydListBox = WydFormFixture;

void Type(HWND window, const WideString& text)
{
    for (wchar_t c : text)
        SendMessageW(window, WM_CHAR, WPARAM(c), 1);
}

void SelChange(TForm* form, TWinControl* combo)
{
    SendMessageA(form->WindowHandle, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), LPARAM(combo->WindowHandle));
}

}  // namespace

TEST_F(WydComboBox, ItemsObjectsSelectionAndTextSurviveRecreation)
{
    auto* combo = Make<TWydComboBox>();
    for (const WideString& s : Scripts)
        combo->GetItems()->Add(s);  // no window yet
    combo->GetItems()->PutObject(1, Tag(1));
    combo->SetItemIndex(1);
    form->Show();
    ASSERT_TRUE(IsWindowUnicode(combo->WindowHandle));
    ASSERT_EQ(combo->GetItems()->GetCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(combo->GetItems()->Get(i) == Scripts[i]) << i;
    EXPECT_EQ(combo->GetItems()->GetObject(1), Tag(1));
    EXPECT_EQ(combo->GetItemIndex(), 1);
    EXPECT_TRUE(combo->GetText() == Greek) << "the selected item shows in the edit";
    combo->SetText(L"typed " + Cjk);
    combo->SetStyle(TComboBoxStyle::csSimple);  // re-creates the window
    ASSERT_EQ(combo->GetItems()->GetCount(), 4);
    EXPECT_TRUE(combo->GetItems()->Get(3) == Emoji);
    EXPECT_EQ(combo->GetItems()->GetObject(1), Tag(1));
    EXPECT_EQ(combo->GetItemIndex(), 1);
    EXPECT_TRUE(combo->GetText() == L"typed " + Cjk);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    EXPECT_TRUE(combo->GetText() == Greek) << "a drop-down list shows its selection";
    EXPECT_EQ(combo->TCustomItemListControl::GetItems()->GetCount(), 4) << "the class library counts the window";
    // A kept selection past the items names the last item.
    combo->DestroyHandle();
    combo->SetItemIndex(9);
    combo->HandleNeeded();
    EXPECT_EQ(combo->GetItemIndex(), 3);
}

TEST_F(WydComboBox, PutOnTheSelectedItemKeepsTheSelection)
{
    auto* combo = Make<TWydComboBox>();
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    form->Show();
    combo->GetItems()->AddObject(L"Automatic", Tag(0));
    combo->GetItems()->Add(L"CD");
    combo->SetItemIndex(0);
    combo->GetItems()->Put(0, Cyrillic);
    EXPECT_EQ(combo->GetItemIndex(), 0);
    EXPECT_TRUE(combo->GetText() == Cyrillic);
    EXPECT_EQ(combo->GetItems()->GetObject(0), Tag(0));
    combo->GetItems()->Put(1, Cjk);
    EXPECT_EQ(combo->GetItemIndex(), 0) << "another item's edit leaves the selection";
    EXPECT_TRUE(combo->GetItems()->Get(1) == Cjk);
}

TEST_F(WydComboBox, ClearKeepsTheWideEditTextAndBadIndexesGiveEmptyItems)
{
    auto* combo = Make<TProbeCombo>();
    form->Show();
    combo->GetItems()->Add(Greek);
    combo->SetText(Emoji);
    combo->GetItems()->Clear();
    EXPECT_EQ(combo->GetItems()->GetCount(), 0);
    EXPECT_TRUE(combo->GetText() == Emoji);
    EXPECT_TRUE(combo->GetItems()->Get(5).empty());
    EXPECT_TRUE(combo->GetItems()->Get(-1).empty());
    combo->GetItems()->Add(Cjk);
    EXPECT_EQ(combo->GetItems()->IndexOf(Cjk), 0);
    EXPECT_EQ(combo->GetItems()->IndexOf(Greek), -1);
    combo->Refuse = true;
    try {
        combo->GetItems()->Add(Cyrillic);
        ADD_FAILURE() << "a refused item was taken as added";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message, "Unable to insert a line");
    }
    EXPECT_EQ(combo->GetItems()->GetCount(), 1);
}

TEST_F(WydComboBox, SelectionChangeSetsTheWideTextBeforeTheNotification)
{
    auto* combo = Make<TWydComboBox>();
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    form->Show();
    combo->GetItems()->Add(Cyrillic);
    combo->GetItems()->Add(Cjk);
    WideString seen;
    int changes = 0;
    combo->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) {
        seen = combo->GetText();
        ++changes;
    });
    SendMessageW(combo->WindowHandle, CB_SETCURSEL, 1, 0);
    SelChange(form.get(), combo);
    EXPECT_TRUE(seen == Cjk);
    SendMessageW(combo->WindowHandle, CB_SETCURSEL, WPARAM(-1), 0);
    SelChange(form.get(), combo);
    EXPECT_EQ(changes, 2) << "no selection still notifies";
}

TEST_F(WydComboBox, TypingCompletesAtTheEndKeepingTheTypedCase)
{
    auto* combo = Make<TWydComboBox>();
    form->Show();
    for (const WideString& s : {WideString(L"Greek"), WideString(L"Greece"), Cyrillic, Cjk})
        combo->GetItems()->Add(s);
    ASSERT_NE(combo->EditHandle, nullptr);
    ASSERT_TRUE(IsWindowUnicode(combo->EditHandle));
    Type(combo->EditHandle, L"gr");
    EXPECT_TRUE(combo->GetText() == L"greek");
    EXPECT_EQ(combo->GetSelStart(), 2);
    EXPECT_TRUE(combo->GetSelText() == L"eek");
    EXPECT_EQ(combo->GetItemIndex(), 0);
    // In the middle of the text nothing is completed.
    combo->SetSelStart(0);
    combo->SetSelLength(0);
    Type(combo->EditHandle, L"x");
    EXPECT_TRUE(combo->GetText() == L"xgreek");
    combo->SetText(L"");
    Type(combo->EditHandle, Cjk.substr(0, 1));
    EXPECT_TRUE(combo->GetText() == Cjk);
    EXPECT_TRUE(combo->GetSelText() == Cjk.substr(1));
    combo->SetText(L"");
    Type(combo->EditHandle, L"\x0416");
    EXPECT_TRUE(combo->GetText() == Cyrillic) << "typed in the item's own case";
    combo->SetAutoComplete(false);
    combo->SetText(L"");
    Type(combo->EditHandle, L"gr");
    EXPECT_TRUE(combo->GetText() == L"gr");
}

TEST_F(WydComboBox, DropDownListSearchExtendsWithinTheTimeAndStartsOverAfter)
{
    auto* combo = Make<TProbeCombo>();
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    form->Show();
    for (const WideString& s : {WideString(L"Alpha"), WideString(L"Beta"), WideString(L"Bravo"), Greek})
        combo->GetItems()->Add(s);
    Type(combo->WindowHandle, L"b");
    EXPECT_EQ(combo->GetItemIndex(), 1);
    Type(combo->WindowHandle, L"r");
    EXPECT_EQ(combo->GetItemIndex(), 2);
    EXPECT_TRUE(combo->SearchText() == L"br");
    combo->AgeSearch(1250);
    Type(combo->WindowHandle, L"a");
    EXPECT_EQ(combo->GetItemIndex(), 0) << "a keystroke 1250 ms later starts a new search";
    Type(combo->WindowHandle, L"z");
    EXPECT_TRUE(combo->SearchText() == L"a") << "a keystroke matching nothing leaves the search";
    EXPECT_EQ(combo->GetItemIndex(), 0);
    combo->AgeSearch(5000);
    Type(combo->WindowHandle, L"\x0395");
    EXPECT_EQ(combo->GetItemIndex(), 3);
    EXPECT_TRUE(combo->GetText() == Greek);
    Type(combo->WindowHandle, L"\b\b\b");
    EXPECT_TRUE(combo->SearchText().empty()) << "backspace past the start does nothing";
}

TEST_F(WydListBox, ItemsObjectsTopIndexAndSelectionSurviveRecreation)
{
    auto* list = Make<TWydListBox>();
    for (int i = 0; i < 30; ++i)
        list->GetItems()->AddObject(Scripts[i % 4] + L" " + std::to_wstring(i), Tag(i));
    list->SetItemIndex(12);
    form->Show();
    ASSERT_TRUE(IsWindowUnicode(list->WindowHandle));
    EXPECT_EQ(list->GetItemIndex(), 12);
    list->SetTopIndex(10);
    list->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    ASSERT_EQ(list->GetItems()->GetCount(), 30);
    EXPECT_TRUE(list->GetItems()->Get(13) == Greek + L" 13");
    EXPECT_EQ(list->GetItems()->GetObject(29), Tag(29));
    EXPECT_EQ(list->GetItemIndex(), 12);
    EXPECT_EQ(list->GetTopIndex(), 10);
    UpdateWindow(form->WindowHandle);  // owner-drawn wide items paint
    try {
        list->GetItems()->Get(30);
        ADD_FAILURE() << "a bad index was read";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (30)");
    }
}

TEST_F(WydListBox, PutExchangeAndMoveKeepObjectsAndTheSelection)
{
    auto* list = Make<TWydListBox>();
    form->Show();
    for (int i = 0; i < 4; ++i)
        list->GetItems()->AddObject(Scripts[i], Tag(i));
    list->SetItemIndex(1);
    list->GetItems()->Put(1, L"\x03A9");
    EXPECT_EQ(list->GetItemIndex(), 1);
    EXPECT_EQ(list->GetItems()->GetObject(1), Tag(1));
    EXPECT_THROW(list->GetItems()->Put(7, Cjk), EStringListError) << "a bad index changes nothing";
    EXPECT_EQ(list->GetItems()->GetCount(), 4);
    list->GetItems()->Exchange(1, 3);
    EXPECT_TRUE(list->GetItems()->Get(3) == L"\x03A9");
    EXPECT_TRUE(list->GetItems()->Get(1) == Emoji);
    EXPECT_EQ(list->GetItems()->GetObject(3), Tag(1));
    EXPECT_EQ(list->GetItemIndex(), 3) << "the selection follows its item";
    list->GetItems()->Move(3, 0);
    EXPECT_TRUE(list->GetItems()->Get(0) == L"\x03A9");
    EXPECT_EQ(list->GetItems()->GetObject(0), Tag(1));
    EXPECT_EQ(list->GetItemIndex(), 0) << "a moved selected item stays selected";
    EXPECT_FALSE(list->GetMoving());
    list->GetItems()->Delete(0);
    EXPECT_EQ(list->GetItems()->GetCount(), 3);
    list->GetItems()->Clear();
    EXPECT_EQ(list->GetItems()->GetCount(), 0);
}

TEST_F(WydListBox, VirtualItemsComeFromTheWideDataEventElseTheAnsiOne)
{
    auto* list = Make<TWydListBox>();
    list->SetStyle(TListBoxStyle::lbVirtualOwnerDraw);
    list->OnData = MakeEvent<TWinControl*, int, WideString&>(
        nullptr, [](TWinControl*, int i, WideString& s) { s = Scripts[i]; });
    list->SetCount(4);
    form->Show();
    EXPECT_TRUE(list->GetItems()->Get(2) == Cjk);
    wchar_t text[32];
    EXPECT_EQ(SendMessageW(list->WindowHandle, LB_GETTEXTLEN, 3, 0), LRESULT(Emoji.size()));
    EXPECT_EQ(SendMessageW(list->WindowHandle, LB_GETTEXT, 3, LPARAM(text)), LRESULT(Emoji.size()));
    EXPECT_TRUE(WideString(text) == Emoji);
    EXPECT_EQ(SendMessageW(list->WindowHandle, LB_GETTEXT, 4, LPARAM(text)), LB_ERR) << "outside the items";
    UpdateWindow(form->WindowHandle);
    list->OnData = TLBGetWideDataEvent();
    list->TCustomListBox::OnData =
        MakeEvent<TWinControl*, int, AnsiString&>(nullptr, [](TWinControl*, int i, AnsiString& s) {
            s = "row " + std::to_string(i);
        });
    EXPECT_TRUE(list->GetItems()->Get(1) == L"row 1");
    list->TCustomListBox::OnData = TLBGetDataEvent();
    EXPECT_EQ(SendMessageW(list->WindowHandle, LB_GETTEXTLEN, 0, 0), LB_ERR) << "no event: not found";
    EXPECT_THROW(list->GetItems()->Get(0), EStringListError);
}

TEST_F(WydListBox, CopySelectionHandsWideTextToWideDestinations)
{
    auto* list = Make<TWydListBox>();
    auto* combo = Make<TWydComboBox>(200, 10);
    auto* plain = Make<TComboBox>(200, 50);
    form->Show();
    list->GetItems()->AddObject(Cjk, Tag(7));
    list->GetItems()->Add(Greek);
    list->SetItemIndex(0);
    list->CopySelection(combo);
    list->CopySelection(plain);
    ASSERT_EQ(combo->GetItems()->GetCount(), 1);
    EXPECT_TRUE(combo->GetItems()->Get(0) == Cjk);
    EXPECT_EQ(combo->GetItems()->GetObject(0), Tag(7));
    EXPECT_EQ(plain->GetItems()->Get(0), WideToAnsi(Cjk)) << "an ANSI destination gets the ANSI form";
    combo->SetItemIndex(0);
    list->GetItems()->Clear();
    combo->CopySelection(list);
    EXPECT_TRUE(list->GetItems()->Get(0) == Cjk);
    list->SetMultiSelect(true);
    list->GetItems()->Add(Greek);
    list->SetSelected(0, true);
    list->SetSelected(1, true);
    combo->GetItems()->Clear();
    list->CopySelection(combo);
    EXPECT_EQ(combo->GetItems()->GetCount(), 2);
}

TEST_F(WydListBox, OwnerDrawnItemsDrawTheirWideTextUnlessTheEventDrawsThem)
{
    auto* list = Make<TWydListBox>();
    list->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    list->GetItems()->Add(L"\x2588\x2588\x2588\x2588");  // full blocks: pixels of the text colour
    form->Show();
    auto textPixels = [&] {
        RedrawWindow(list->WindowHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT item = list->ItemRect(0);
        HDC dc = GetDC(list->WindowHandle);
        int count = 0;
        for (int x = item.left; x < item.right; ++x)
            count += GetPixel(dc, x, (item.top + item.bottom) / 2) == ColorToRGB(list->GetFont()->GetColor());
        ReleaseDC(list->WindowHandle, dc);
        return count;
    };
    EXPECT_GT(textPixels(), 10);
    int drawn = 0;
    list->OnDrawItem = MakeEvent<TWinControl*, int, RECT, unsigned>(nullptr, [&](TWinControl*, int, RECT, unsigned) {
        ++drawn;
    });
    EXPECT_EQ(textPixels(), 0) << "the event draws instead";
    EXPECT_GT(drawn, 0);
}
