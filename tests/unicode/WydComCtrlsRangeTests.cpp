// Window tests of the wide track bar, up-down, date-time picker, month calendar and page scroller: Unicode
// windows and wide hints on both platforms, values through the windows, actions, form streams, the picker's
// first click and the calendar's bold days of a new window. The picker's clicks may move the focus, so the
// cases run alone.
#include <algorithm>

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "WydComCtrlsTestSupport.h"

using namespace vcl;
using namespace wydcomtest;

namespace {

// One of each on the form, in a fixed order.
struct TRangeControls {
    TWydTrackBar* track;
    TWydUpDown* upDown;
    TWydDateTimePicker* picker;
    TWydMonthCalendar* calendar;
    TWydPageScroller* pager;
    std::vector<TWinControl*> All() const { return {track, upDown, picker, calendar, pager}; }
};

// Counts the MCM_SETDAYSTATE messages of a calendar and keeps the states of the last one.
class TDayStateRecording : public TWydMonthCalendar {
public:
    using TWydMonthCalendar::TWydMonthCalendar;
    int Applied = 0;
    std::vector<MONTHDAYSTATE> LastStates;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == MCM_SETDAYSTATE) {
            ++Applied;
            const auto* states = reinterpret_cast<const MONTHDAYSTATE*>(message.LParam);
            LastStates.assign(states, states + message.WParam);
        }
        TWydMonthCalendar::WndProc(message);
    }
};

// Bold days of a month in the tests: its own number of days from the first (March: the 1st to the 3rd).
unsigned BoldDaysOf(unsigned month)
{
    return (1u << month) - 1;
}

int DateTimeChanges(const TRecording<TWydDateTimePicker>* picker)
{
    return int(std::count(picker->Codes.begin(), picker->Codes.end(), UINT(DTN_DATETIMECHANGE)));
}

// A click into the picker's date field (away from its check box and its drop-down button).
void ClickDateField(TWinControl* picker)
{
    LPARAM at = MAKELPARAM(picker->GetWidth() / 3, picker->GetHeight() / 2);
    SendMessageW(picker->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(picker->WindowHandle, WM_LBUTTONUP, 0, at);
}

TDateTime PickerDate(TWinControl* picker)
{
    SYSTEMTIME st{};
    EXPECT_EQ(SendMessageW(picker->WindowHandle, DTM_GETSYSTEMTIME, 0, LPARAM(&st)), GDT_VALID);
    return SystemTimeToDateTime(st);
}

TDateTime CalendarDate(TWinControl* calendar)
{
    SYSTEMTIME st{};
    SendMessageW(calendar->WindowHandle, MCM_GETCURSEL, 0, LPARAM(&st));
    return SystemTimeToDateTime(st);
}

}  // namespace

class WydRangeControls : public WydComCtrlsTest {
protected:
    TRangeControls MakeAll()
    {
        TRangeControls c{Make<TWydTrackBar>(30), Make<TWydUpDown>(24), Make<TWydDateTimePicker>(24),
                         Make<TWydMonthCalendar>(180), Make<TWydPageScroller>(40)};
        c.upDown->SetWidth(17);
        return c;
    }
};

TEST_F(WydRangeControls, EachHasAUnicodeWindowAndAWideHintInEveryScriptOnBothPlatforms)
{
    OnBothPlatforms([&](const char* platform) {
        MakeForm(true);
        TRangeControls controls = MakeAll();
        form->Show();
        for (TWinControl* control : controls.All()) {
            EXPECT_EQ(bool(IsWindowUnicode(control->WindowHandle)), bool(Win32PlatformIsUnicode))
                << platform << ", " << control->ClassName();
            for (const WideString& text : Scripts) {
                WydControl_SetHint(control, text);
                WideString expected = Win32PlatformIsUnicode ? text : AnsiToWide(WideToAnsi(text));
                EXPECT_TRUE(WydControl_GetHint(control) == expected) << platform << ", " << control->ClassName();
            }
        }
        EXPECT_TRUE(controls.track->GetHint() == WydControl_GetHint(controls.track)) << "the class's own Hint";
        form.reset();
    });
}

TEST_F(WydRangeControls, ValuesReachTheWindowsAndSurviveANewWindow)
{
    MakeForm(true);
    TRangeControls c = MakeAll();
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    auto* strip = new TPanel(form.get());
    strip->SetBounds(0, 0, 1500, 30);
    c.track->SetMax(40);
    c.track->SetPosition(30);
    c.upDown->SetMax(999);
    c.upDown->SetPosition(120);
    c.upDown->SetAssociate(edit);
    const TDateTime day = EncodeDate(2025, 3, 14);
    c.picker->SetDateTime(day + EncodeTime(9, 30, 0, 0));
    c.calendar->SetDate(day + 0.75);
    EXPECT_DOUBLE_EQ(c.calendar->GetDate(), day) << "the calendar holds whole days";
    c.pager->SetControl(strip);
    form->Show();
    c.pager->SetPosition(25);
    for (int pass = 0; pass < 2; ++pass) {
        const char* when = pass == 0 ? "in the window" : "after RecreateWnd";
        EXPECT_EQ(SendMessageW(c.track->WindowHandle, TBM_GETPOS, 0, 0), 30) << when;
        EXPECT_EQ(SendMessageW(c.upDown->WindowHandle, UDM_GETPOS32, 0, 0), 120) << when;
        EXPECT_EQ(edit->GetText(), "120") << when;
        EXPECT_NEAR(PickerDate(c.picker), day + EncodeTime(9, 30, 0, 0), 1e-5) << when;
        EXPECT_DOUBLE_EQ(CalendarDate(c.calendar), day) << when;
        EXPECT_EQ(SendMessageW(c.pager->WindowHandle, PGM_GETPOS, 0, 0), 25) << when;
        for (TWinControl* control : c.All())
            control->RecreateWnd();
    }
}

TEST_F(WydRangeControls, ActionsGiveTheirWideCaptionAndHint)
{
    MakeForm(true);
    TRangeControls controls = MakeAll();
    auto* action = new TWydAction(form.get());
    action->SetCaption(Greek);
    action->SetHint(Cyrillic + L"|" + Cjk);
    for (TWinControl* control : controls.All()) {
        control->SetAction(action);
        EXPECT_EQ(control->ActionLink->ClassType(), TWydWinControlActionLink::StaticClass()) << control->ClassName();
        EXPECT_TRUE(WydControl_GetHint(control) == Cyrillic + L"|" + Cjk) << control->ClassName();
    }
    form->Show();
    action->SetCaption(Emoji);
    action->SetHint(Cjk + L"|" + Greek);
    for (TWinControl* control : controls.All()) {
        // The picker's window text is the date it shows.
        if (control != controls.picker) {
            EXPECT_TRUE(WydControl_GetText(control) == Emoji) << control->ClassName();
        }
        EXPECT_TRUE(WydControl_GetHint(control) == Cjk + L"|" + Greek) << control->ClassName();
    }
}

TEST_F(WydRangeControls, AllFiveWrittenToAFormStreamAndReadBack)
{
    TRangeControls c = MakeAll();
    const char* names[] = {"trkQuality", "udCopies", "dtpDay", "mclDays", "pgsTools"};
    for (size_t i = 0; i < 5; ++i) {
        c.All()[i]->SetName(names[i]);
        WydControl_SetHint(c.All()[i], Scripts[i % 4] + L"|" + Scripts[(i + 1) % 4]);
    }
    auto* edit = new TEdit(form.get());
    edit->SetName("edCopies");
    edit->SetParent(form.get());
    auto* strip = new TPanel(form.get());
    strip->SetName("pnlStrip");
    c.track->SetPosition(7);
    c.upDown->SetPosition(12);
    c.upDown->SetAssociate(edit);
    c.picker->SetShowCheckbox(true);
    c.picker->SetChecked(false);
    c.picker->SetDate(EncodeDate(2024, 5, 17));
    c.calendar->SetDate(EncodeDate(2024, 6, 3));
    c.pager->SetControl(strip);

    std::unique_ptr<TForm> read = vcltest::StreamedCopy(form.get());
    for (size_t i = 0; i < 5; ++i) {
        auto* control = dynamic_cast<TWinControl*>(read->FindComponent(names[i]));
        ASSERT_NE(control, nullptr) << names[i];
        EXPECT_EQ(control->ClassType(), c.All()[i]->ClassType()) << names[i];
        EXPECT_TRUE(WydControl_GetHint(control) == Scripts[i % 4] + L"|" + Scripts[(i + 1) % 4]) << names[i];
    }
    EXPECT_EQ(static_cast<TWydTrackBar*>(read->FindComponent("trkQuality"))->GetPosition(), 7);
    auto* upDown = static_cast<TWydUpDown*>(read->FindComponent("udCopies"));
    EXPECT_EQ(upDown->GetPosition(), 12);
    EXPECT_EQ(upDown->GetAssociate(), read->FindComponent("edCopies"));
    auto* picker = static_cast<TWydDateTimePicker*>(read->FindComponent("dtpDay"));
    EXPECT_DOUBLE_EQ(picker->GetDate(), EncodeDate(2024, 5, 17));
    EXPECT_FALSE(picker->GetChecked());
    EXPECT_DOUBLE_EQ(static_cast<TWydMonthCalendar*>(read->FindComponent("mclDays"))->GetDate(),
                     EncodeDate(2024, 6, 3));
    EXPECT_EQ(static_cast<TWydPageScroller*>(read->FindComponent("pgsTools"))->GetControl(),
              read->FindComponent("pnlStrip"));
}

TEST_F(WydRangeControls, PickerKeepsCheckedAcrossANewWindow)
{
    auto* picker = Make<TWydDateTimePicker>(24);
    picker->SetShowCheckbox(true);
    picker->SetChecked(false);
    form->Show();
    EXPECT_FALSE(picker->GetChecked());
    picker->RecreateWnd();
    SYSTEMTIME st{};
    EXPECT_EQ(SendMessageW(picker->WindowHandle, DTM_GETSYSTEMTIME, 0, LPARAM(&st)), GDT_NONE);
    EXPECT_FALSE(picker->GetChecked());
    picker->SetChecked(true);
    picker->RecreateWnd();
    EXPECT_TRUE(picker->GetChecked());
}

TEST_F(WydRangeControls, PickerFirstClickOfEachWindowTellsTheClassLibraryItsValue)
{
    auto* picker = Make<TRecording<TWydDateTimePicker>>(24);
    picker->SetShowCheckbox(true);
    int changes = 0;
    picker->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    form->Show();
    // The control's own notifications of a click are those of the second one; the first adds exactly one.
    for (int window = 0; window < 2; ++window) {
        int before = DateTimeChanges(picker);
        int changesBefore = changes;
        ClickDateField(picker);
        int first = DateTimeChanges(picker) - before;
        ClickDateField(picker);
        int second = DateTimeChanges(picker) - before - first;
        EXPECT_EQ(first, second + 1) << "window " << window;
        EXPECT_GT(changes, changesBefore) << "the class library heard it, window " << window;
        picker->RecreateWnd();
    }

    picker->SetShowCheckbox(false);
    int before = DateTimeChanges(picker);
    ClickDateField(picker);
    int first = DateTimeChanges(picker) - before;
    ClickDateField(picker);
    EXPECT_EQ(first, DateTimeChanges(picker) - before - first) << "without a check box nothing is added";
}

TEST_F(WydRangeControls, CalendarShowsTheBoldDaysOfItsEventAsSoonAsItHasAWindow)
{
    MakeForm(true);
    auto* calendar = Make<TDayStateRecording>(180);
    calendar->SetDate(EncodeDate(2025, 3, 14));
    std::vector<unsigned> asked;
    calendar->OnGetMonthInfo = MakeEvent<TObject*, unsigned, unsigned&>(nullptr, [&](TObject*, unsigned month,
                                                                                    unsigned& bold) {
        asked.push_back(month);
        bold = BoldDaysOf(month);
    });
    form->Show();
    SYSTEMTIME range[2] = {};
    int count = int(SendMessageW(calendar->WindowHandle, MCM_GETMONTHRANGE, GMR_DAYSTATE, LPARAM(range)));
    ASSERT_GT(count, 0);
    ASSERT_GE(calendar->Applied, 1);
    ASSERT_EQ(calendar->LastStates.size(), size_t(count));
    for (int i = 0; i < count; ++i) {
        unsigned month = (unsigned(range[0].wMonth) - 1 + unsigned(i)) % 12 + 1;
        EXPECT_EQ(calendar->LastStates[size_t(i)], BoldDaysOf(month)) << "month " << month;
        EXPECT_NE(std::find(asked.begin(), asked.end(), month), asked.end()) << "month " << month;
    }

    int applied = calendar->Applied;
    calendar->OnGetMonthInfo = MakeEvent<TObject*, unsigned, unsigned&>(nullptr, [](TObject*, unsigned,
                                                                                  unsigned& bold) { bold = 1; });
    calendar->ForceGetMonthInfo();
    EXPECT_EQ(calendar->Applied, applied + 1);
    EXPECT_EQ(calendar->LastStates, std::vector<MONTHDAYSTATE>(size_t(count), 1));
}
