// Window tests of the toolkit's common controls: track bar, up-down, page scroller, date-time picker,
// month calendar and extended combo box, each created, set and read back through its real window.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {

struct ToolkitFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(40, 40, 480, 360);
    }
    void TearDown() override { form.reset(); }
    template <class T>
    T* Make(int left, int top, int width, int height)
    {
        auto* control = new T(form.get());
        control->SetBounds(left, top, width, height);
        control->SetParent(form.get());
        return control;
    }
    std::unique_ptr<TForm> form;
};

LRESULT Send(TWinControl* control, UINT msg, WPARAM w = 0, LPARAM l = 0)
{
    return SendMessageA(control->WindowHandle, msg, w, l);
}

SYSTEMTIME Day(int year, int month, int day)
{
    SYSTEMTIME st{};
    st.wYear = WORD(year);
    st.wMonth = WORD(month);
    st.wDay = WORD(day);
    return st;
}

}  // namespace

TEST_F(ToolkitFixture, TrackBarKeepsItsRangeAndReportsEveryMoveOfTheThumb)
{
    auto* bar = Make<TTrackBar>(8, 8, 200, 40);
    bar->SetMax(20);
    bar->SetMin(5);
    bar->SetPosition(50);
    EXPECT_EQ(bar->GetPosition(), 20) << "clamped to Max before the window exists";
    bar->SetLineSize(3);
    bar->SetSelStart(8);
    bar->SetSelEnd(12);
    int changes = 0;
    bar->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    form->Show();
    EXPECT_EQ(Send(bar, TBM_GETRANGEMIN), 5);
    EXPECT_EQ(Send(bar, TBM_GETRANGEMAX), 20);
    EXPECT_EQ(Send(bar, TBM_GETPOS), 20);
    EXPECT_EQ(Send(bar, TBM_GETSELSTART), 8);
    EXPECT_EQ(Send(bar, TBM_GETSELEND), 12);

    bar->SetPosition(10);
    EXPECT_EQ(changes, 1);
    SendMessageA(bar->WindowHandle, WM_KEYDOWN, VK_RIGHT, 0);  // the user moves the thumb one line
    EXPECT_EQ(bar->GetPosition(), 13);
    EXPECT_EQ(changes, 2) << "the scroll notification reached the bar through its parent";

    bar->SetOrientation(TTrackBarOrientation::trVertical);  // a new window, turned with its bounds
    EXPECT_TRUE(GetWindowLongA(bar->WindowHandle, GWL_STYLE) & TBS_VERT);
    EXPECT_EQ(bar->GetWidth(), 40);
    EXPECT_EQ(bar->GetPosition(), 13);
    EXPECT_EQ(Send(bar, TBM_GETSELEND), 12);
}

TEST_F(ToolkitFixture, UpDownStepsItsAssociateAndAsksBeforeEachStep)
{
    auto* edit = Make<TEdit>(8, 8, 80, 24);
    auto* updown = Make<TUpDown>(90, 8, 17, 24);
    updown->SetMin(1);
    updown->SetMax(999);
    updown->SetIncrement(5);
    updown->SetPosition(10);
    updown->SetAssociate(edit);
    std::vector<TUDBtnType> clicks;
    bool allow = true;
    updown->OnClick = MakeEvent<TObject*, TUDBtnType>(nullptr, [&](TObject*, TUDBtnType b) { clicks.push_back(b); });
    updown->OnChanging = MakeEvent<TObject*, bool&>(nullptr, [&](TObject*, bool& a) { a = allow; });
    form->Show();
    EXPECT_EQ(edit->GetText(), "10") << "the associate shows the position";
    EXPECT_EQ(HWND(Send(updown, UDM_GETBUDDY)), edit->WindowHandle);

    RECT r{};
    GetClientRect(updown->WindowHandle, &r);
    LPARAM upper = MAKELPARAM(r.right / 2, r.bottom / 4);
    LPARAM lower = MAKELPARAM(r.right / 2, r.bottom * 3 / 4);
    SendMessageA(updown->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, upper);
    SendMessageA(updown->WindowHandle, WM_LBUTTONUP, 0, upper);
    EXPECT_EQ(updown->GetPosition(), 15);
    EXPECT_EQ(edit->GetText(), "15");
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], TUDBtnType::btNext);

    allow = false;
    SendMessageA(updown->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, lower);
    SendMessageA(updown->WindowHandle, WM_LBUTTONUP, 0, lower);
    EXPECT_EQ(updown->GetPosition(), 15) << "a refused step keeps the position";
    EXPECT_EQ(clicks.size(), 1u);
    allow = true;
    SendMessageA(updown->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, lower);
    SendMessageA(updown->WindowHandle, WM_LBUTTONUP, 0, lower);
    EXPECT_EQ(updown->GetPosition(), 10);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1], TUDBtnType::btPrev);

    updown->SetPosition(5000);
    EXPECT_EQ(updown->GetPosition(), 999);
    delete edit;
    EXPECT_EQ(updown->GetAssociate(), nullptr) << "the up-down forgets an associate that goes";
    EXPECT_EQ(Send(updown, UDM_GETBUDDY), 0);
}

TEST_F(ToolkitFixture, PageScrollerScrollsAControlWiderThanItself)
{
    auto* pager = Make<TPageScroller>(8, 8, 120, 40);
    auto* strip = new TPanel(form.get());
    strip->SetBounds(0, 0, 400, 40);
    pager->SetControl(strip);
    EXPECT_EQ(strip->GetParent(), pager) << "the scrolled control moves into the scroller";
    pager->SetButtonSize(14);
    form->Show();
    EXPECT_EQ(HWND(GetParent(strip->WindowHandle)), pager->WindowHandle);
    EXPECT_EQ(Send(pager, PGM_GETBUTTONSIZE), 14);
    EXPECT_EQ(Send(pager, PGM_GETBUTTONSTATE, 0, PGB_BOTTOMORRIGHT) & PGF_INVISIBLE, 0)
        << "there is more to the right";
    pager->SetPosition(60);
    EXPECT_EQ(pager->GetPosition(), 60);
    RECT r{};
    GetWindowRect(strip->WindowHandle, &r);
    POINT at{r.left, r.top};
    ScreenToClient(pager->WindowHandle, &at);
    EXPECT_LT(at.x, 0) << "the control moved left under the scroller";

    delete strip;
    EXPECT_EQ(pager->GetControl(), nullptr);
}

TEST_F(ToolkitFixture, DateTimePickerHoldsDateTimeAndCheckedAcrossNewWindows)
{
    auto* picker = Make<TDateTimePicker>(8, 8, 200, 24);
    const TDateTime day = EncodeDate(2024, 2, 29);
    const TDateTime noon = EncodeTime(12, 30, 0, 0);
    picker->SetDate(day);
    picker->SetTime(noon);
    picker->SetShowCheckbox(true);
    picker->SetChecked(false);
    int changes = 0;
    picker->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    form->Show();
    SYSTEMTIME st{};
    EXPECT_EQ(Send(picker, DTM_GETSYSTEMTIME, 0, LPARAM(&st)), GDT_NONE) << "unchecked: no value";
    EXPECT_FALSE(picker->GetChecked());
    picker->SetChecked(true);
    ASSERT_EQ(Send(picker, DTM_GETSYSTEMTIME, 0, LPARAM(&st)), GDT_VALID);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);
    EXPECT_EQ(st.wHour, 12);
    EXPECT_EQ(st.wMinute, 30);
    EXPECT_DOUBLE_EQ(picker->GetDate(), day);

    picker->SetKind(TDateTimeKind::dtkTime);  // a new window in time format
    EXPECT_TRUE(GetWindowLongA(picker->WindowHandle, GWL_STYLE) & DTS_TIMEFORMAT);
    EXPECT_TRUE(picker->GetChecked());
    EXPECT_NEAR(picker->GetTime(), noon, 1e-6);

    // A new value in the window and the notification the picker sends for it (the Unicode layer sends
    // the same one itself).
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker->WindowHandle;
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = Day(2025, 1, 2);
    Send(picker, DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&change.st));
    picker->Perform(CN_NOTIFY, 0, LPARAM(&change));
    EXPECT_EQ(changes, 1);
    change.dwFlags = GDT_NONE;
    Send(picker, DTM_SETSYSTEMTIME, GDT_NONE, LPARAM(&change.st));  // Wine wants a time even here
    picker->Perform(CN_NOTIFY, 0, LPARAM(&change));
    EXPECT_EQ(changes, 2);
    picker->SetKind(TDateTimeKind::dtkDate);
    EXPECT_FALSE(picker->GetChecked()) << "the check-box state survives the new window";
    picker->SetChecked(true);
    EXPECT_DOUBLE_EQ(picker->GetDate(), EncodeDate(2025, 1, 2));

    picker->SetMinDate(EncodeDate(2020, 1, 1));
    picker->SetMaxDate(EncodeDate(2030, 12, 31));
    SYSTEMTIME range[2] = {};
    EXPECT_EQ(Send(picker, DTM_GETRANGE, 0, LPARAM(range)), GDTR_MIN | GDTR_MAX);
    EXPECT_EQ(range[0].wYear, 2020);
    EXPECT_THROW(picker->SetDate(EncodeDate(2031, 1, 1)), EDateTimeError);
    EXPECT_DOUBLE_EQ(picker->GetDate(), EncodeDate(2025, 1, 2)) << "a refused date changes nothing";
}

TEST_F(ToolkitFixture, MonthCalendarSelectsWholeDaysAndAsksForBoldDays)
{
    auto* calendar = Make<TMonthCalendar>(8, 8, 240, 180);
    calendar->SetDate(EncodeDate(2024, 12, 15) + 0.75);
    EXPECT_DOUBLE_EQ(calendar->GetDate(), EncodeDate(2024, 12, 15)) << "the time of day is dropped";
    std::vector<unsigned> asked;
    calendar->OnGetMonthInfo = MakeEvent<TObject*, unsigned, unsigned&>(nullptr, [&](TObject*, unsigned month,
                                                                                     unsigned& bold) {
        asked.push_back(month);
        bold = month == 1 ? 0x5 : 0;
    });
    int changes = 0;
    calendar->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    form->Show();
    SYSTEMTIME st{};
    ASSERT_TRUE(Send(calendar, MCM_GETCURSEL, 0, LPARAM(&st)));
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wDay, 15);

    // The day-state request for three months from December runs over the year's end.
    MONTHDAYSTATE states[3] = {~0u, ~0u, ~0u};
    NMDAYSTATE request{};
    request.nmhdr.hwndFrom = calendar->WindowHandle;
    request.nmhdr.code = MCN_GETDAYSTATE;
    request.stStart = Day(2024, 12, 1);
    request.cDayState = 3;
    request.prgDayState = states;
    asked.clear();
    calendar->Perform(CN_NOTIFY, 0, LPARAM(&request));
    EXPECT_EQ(asked, (std::vector<unsigned>{12, 1, 2}));
    EXPECT_EQ(states[0], 0u);
    EXPECT_EQ(states[1], 0x5u);
    request.cDayState = 0;
    request.prgDayState = nullptr;
    calendar->Perform(CN_NOTIFY, 0, LPARAM(&request));  // an empty request is answered safely

    // The user picks a day: find the 20th on the calendar and click it.
    POINT target{-1, -1};
    RECT client{};
    GetClientRect(calendar->WindowHandle, &client);
    for (int y = 0; y < client.bottom && target.x < 0; y += 3)
        for (int x = 0; x < client.right && target.x < 0; x += 3) {
            MCHITTESTINFO hit{};
            hit.cbSize = sizeof hit;
            hit.pt = {x, y};
            if (Send(calendar, MCM_HITTEST, 0, LPARAM(&hit)) == MCHT_CALENDARDATE && hit.st.wMonth == 12 &&
                hit.st.wDay == 20)
                target = {x, y};
        }
    ASSERT_GE(target.x, 0);
    PostMessageA(calendar->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(target.x, target.y));
    PostMessageA(calendar->WindowHandle, WM_LBUTTONUP, 0, MAKELPARAM(target.x, target.y));
    ASSERT_TRUE(PumpUntil([&] { return calendar->GetDate() == EncodeDate(2024, 12, 20); }, 3000));
    EXPECT_GE(changes, 1);

    calendar->SetMultiSelect(true);
    calendar->SetEndDate(EncodeDate(2024, 12, 23));
    SYSTEMTIME range[2] = {};
    ASSERT_TRUE(Send(calendar, MCM_GETSELRANGE, 0, LPARAM(range)));
    EXPECT_EQ(range[0].wDay, 20);
    EXPECT_EQ(range[1].wDay, 23);
    EXPECT_THROW(calendar->SetEndDate(EncodeDate(2025, 1, 30)), EDateTimeError) << "longer than the allowed range";
    EXPECT_THROW(calendar->SetEndDate(EncodeDate(2024, 12, 19)), EDateTimeError) << "before the first day";
    EXPECT_DOUBLE_EQ(calendar->GetEndDate(), EncodeDate(2024, 12, 23));
}

TEST_F(ToolkitFixture, ComboBoxExShowsItemsWithImagesAndKeepsThemAcrossNewWindows)
{
    auto* images = new TImageList(form.get());
    TBitmap strip;
    strip.SetSize(16 * 2, 16);
    images->AddMasked(&strip, clOlive);
    auto* combo = Make<TComboBoxEx>(8, 8, 200, 24);
    combo->SetImages(images);
    combo->GetItemsEx()->AddItem("CD", 0, 1, -1, 0);
    combo->GetItemsEx()->AddItem("DVD", 1, 1, -1, 2);
    combo->AddItem("Blu-ray", nullptr);
    combo->SetItemIndex(1);
    combo->SetStyle(TComboBoxExStyle::csExDropDownList);
    int selects = 0;
    combo->OnSelect = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++selects; });
    form->Show();
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 3);
    EXPECT_EQ(HIMAGELIST(Send(combo, CBEM_GETIMAGELIST)), images->GetHandle());
    char text[32] = {};
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_INDENT;
    item.iItem = 1;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ASSERT_TRUE(Send(combo, CBEM_GETITEMA, 0, LPARAM(&item)));
    EXPECT_STREQ(text, "DVD");
    EXPECT_EQ(item.iImage, 1);
    EXPECT_EQ(item.iIndent, 2);
    EXPECT_EQ(combo->GetItemIndex(), 1);

    combo->GetItemsEx()->GetItem(0)->SetCaption("CD-R");  // an item's change reaches the window
    item.iItem = 0;
    ASSERT_TRUE(Send(combo, CBEM_GETITEMA, 0, LPARAM(&item)));
    EXPECT_STREQ(text, "CD-R");
    EXPECT_EQ(combo->GetItemIndex(), 1) << "the selection stays";

    HWND inner = HWND(Send(combo, CBEM_GETCOMBOCONTROL));
    ASSERT_NE(inner, nullptr);
    SendMessageA(inner, WM_KEYDOWN, VK_DOWN, 0);  // the user selects the next item
    EXPECT_EQ(combo->GetItemIndex(), 2);
    EXPECT_EQ(selects, 1);

    combo->SetStyle(TComboBoxExStyle::csExDropDown);  // a new window
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 3);
    EXPECT_EQ(combo->GetItemIndex(), 2);

    auto* other = Make<TComboBoxEx>(8, 40, 200, 24);
    combo->CopySelection(other);
    ASSERT_EQ(other->GetItemsEx()->GetCount(), 1);
    EXPECT_EQ(other->GetItemsEx()->GetItem(0)->GetCaption(), "Blu-ray");
    combo->Clear();
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 0);
    EXPECT_EQ(combo->GetItemIndex(), -1);

    delete images;
    EXPECT_EQ(combo->GetImages(), nullptr);
}

TEST(ToolkitActionLinks, ExtendedComboBoxLinksToActionsThroughItsOwnLinkClass)
{
    struct TProbe : TComboBoxEx {
        using TComboBoxEx::TComboBoxEx;
        TClass LinkClass() const { return GetActionLinkClass(); }
    } probe(nullptr);
    EXPECT_EQ(probe.LinkClass(), TComboBoxExActionLink::StaticClass());
    EXPECT_EQ(TComboBoxExActionLink::StaticClass()->ClassParent(), TWinControlActionLink::StaticClass());
}

namespace {
struct ControlBarFixture : ToolkitFixture {
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        bar = Make<TControlBar>(0, 0, 400, 120);
        first = Band(0, 0);
        second = Band(30, 2);  // overlaps the first in row 0
        third = Band(5, 80);   // row 3, with rows 1 and 2 empty
        form->Show();
    }
    TPanel* Band(int left, int top)
    {
        auto* panel = new TPanel(form.get());
        panel->SetBounds(left, top, 60, 20);
        panel->SetParent(bar);
        return panel;
    }
    void Drag(POINT from, POINT to)
    {
        SendMessageA(bar->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        SendMessageA(bar->WindowHandle, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageA(bar->WindowHandle, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }
    TControlBar* bar = nullptr;
    TPanel *first = nullptr, *second = nullptr, *third = nullptr;
};
}  // namespace

TEST_F(ControlBarFixture, BandsStandSideBySideInRowsThatCloseUp)
{
    const int grab = TCustomControlBar::GrabberSize + 1;
    EXPECT_EQ(first->GetLeft(), grab);
    EXPECT_EQ(first->GetTop(), 3) << "centred in a row of 26";
    EXPECT_EQ(second->GetLeft(), first->GetLeft() + 60 + 2 + grab) << "pushed past the first band";
    EXPECT_EQ(second->GetTop(), 3);
    EXPECT_EQ(third->GetTop(), 26 + 3) << "the empty rows between closed up";
    EXPECT_EQ(third->GetLeft(), grab);
    RECT band = bar->GetBandRect(second);
    EXPECT_EQ(band.left, second->GetLeft() - grab);
    EXPECT_EQ(band.bottom - band.top, 26);
    EXPECT_EQ(bar->BandAtPos({band.left + 2, 10}), second);
    EXPECT_EQ(bar->BandAtPos({390, 100}), nullptr);

    bar->SetRowSize(40);
    EXPECT_EQ(third->GetTop(), 40 + 10);
    third->SetTop(0);  // moved in code into the first row, at the left of the second band
    bar->Realign();
    EXPECT_EQ(third->GetTop(), 10);
    EXPECT_EQ(third->GetLeft(), first->GetLeft() + 60 + 2 + grab) << "beside the first band";
    EXPECT_EQ(second->GetLeft(), third->GetLeft() + 60 + 2 + grab) << "the second band makes room";
}

TEST_F(ControlBarFixture, DraggingAGrabberMovesTheBandToAnotherRow)
{
    RECT moved{};
    int moves = 0;
    bar->OnBandMove = MakeEvent<TObject*, TControl*, RECT&>(nullptr, [&](TObject*, TControl* c, RECT& r) {
        EXPECT_EQ(c, third);
        moved = r;
        ++moves;
    });
    RECT band = bar->GetBandRect(third);
    Drag({band.left + 3, band.top + 10}, {300, 8});
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(moved.top, 0);
    EXPECT_EQ(third->GetTop(), 3) << "now in the first row";
    EXPECT_GT(third->GetLeft(), second->GetLeft());
    EXPECT_EQ(first->GetTop(), 3);
    EXPECT_EQ(GetCapture(), nullptr) << "the mouse is let go";

    RECT face = bar->GetBandRect(first);
    Drag({face.left + 30, face.top + 10}, {10, 60});  // on the control's face: no drag
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(first->GetTop(), 3);

    bar->SetAutoDrag(false);
    band = bar->GetBandRect(third);
    Drag({band.left + 3, band.top + 10}, {10, 40});
    EXPECT_EQ(moves, 1) << "dragging is off";
}

namespace {
// Whether any pixel of a row span is dark (text drawn there).
bool InkBetween(TCanvas* canvas, int from, int to, int height)
{
    for (int x = from; x < to; ++x)
        for (int y = 0; y < height; ++y)
            if ((canvas->GetPixel(x, y) & 0xFF) < 0x80)
                return true;
    return false;
}
}  // namespace

TEST(CanvasOrientation, RightToLeftReadingDrawsTextOneWidthFurtherRight)
{
    TBitmap bitmap;
    bitmap.SetSize(200, 30);
    TCanvas* canvas = bitmap.GetCanvas();
    canvas->GetFont()->SetColor(clBlack);
    EXPECT_EQ(canvas->GetCanvasOrientation(), TCanvasOrientation::coLeftToRight);
    const int width = canvas->TextWidth("WWW");
    canvas->TextOut(10, 0, "WWW");
    EXPECT_TRUE(InkBetween(canvas, 10, 10 + width, 30));
    EXPECT_EQ(canvas->GetPenPos().x, 10 + width);

    canvas->FillRect({0, 0, 200, 30});
    SetTextAlign(canvas->GetHandle(), TA_LEFT | TA_TOP | TA_RTLREADING);
    EXPECT_EQ(canvas->GetCanvasOrientation(), TCanvasOrientation::coRightToLeft);
    canvas->TextOut(10, 0, "WWW");
    EXPECT_FALSE(InkBetween(canvas, 0, 10 + width, 30)) << "nothing where left-to-right text would start";
    EXPECT_TRUE(InkBetween(canvas, 10 + width + 1, 10 + 2 * width + 2, 30));
    EXPECT_EQ(canvas->GetPenPos().x, 10 + width + 1 + width);

    canvas->FillRect({0, 0, 200, 30});
    canvas->TextRect({0, 0, 200, 30}, 10, 0, "WWW");
    EXPECT_TRUE(InkBetween(canvas, 10, 10 + width, 30)) << "a rectangle's text moves only when read right to left";
    canvas->FillRect({0, 0, 200, 30});
    canvas->SetTextFlags(ETO_RTLREADING);
    canvas->TextRect({0, 0, 200, 30}, 10, 0, "WWW");
    EXPECT_FALSE(InkBetween(canvas, 0, 10 + width, 30));
}
