// Date pickers: the date-time picker (an edit with a drop-down calendar) and the month calendar.
#include <algorithm>
#include <cmath>

#include "ComCtrls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TDateTimePicker, TWinControl, {
    m.Publish("Kind", &TDateTimePicker::GetKind, &TDateTimePicker::SetKind)
        .WithNames({"dtkDate", "dtkTime"})
        .WithDefault(0);
    m.Publish("DateFormat", &TDateTimePicker::GetDateFormat, &TDateTimePicker::SetDateFormat)
        .WithNames({"dfShort", "dfLong"})
        .WithDefault(0);
    m.Publish("DateMode", &TDateTimePicker::GetDateMode, &TDateTimePicker::SetDateMode)
        .WithNames({"dmComboBox", "dmUpDown"})
        .WithDefault(0);
    m.Publish("CalAlignment", &TDateTimePicker::GetCalAlignment, &TDateTimePicker::SetCalAlignment)
        .WithNames({"dtaLeft", "dtaRight"})
        .WithDefault(0);
    m.Publish("Format", &TDateTimePicker::GetFormat, &TDateTimePicker::SetFormat);
    m.Publish("MaxDate", &TDateTimePicker::GetMaxDate, &TDateTimePicker::SetMaxDate);
    m.Publish("MinDate", &TDateTimePicker::GetMinDate, &TDateTimePicker::SetMinDate);
    m.Publish("Date", &TDateTimePicker::GetDate, &TDateTimePicker::SetDate);
    m.Publish("Time", &TDateTimePicker::GetTime, &TDateTimePicker::SetTime);
    m.Publish("ShowCheckbox", &TDateTimePicker::GetShowCheckbox, &TDateTimePicker::SetShowCheckbox).WithDefault(0);
    m.Publish("Checked", &TDateTimePicker::GetChecked, &TDateTimePicker::SetChecked).WithDefault(1);
    m.Publish("OnChange", &TDateTimePicker::GetOnChange, &TDateTimePicker::SetOnChange);
})
VCL_IMPLEMENT_CLASS(TMonthCalendar, TWinControl, {
    m.Publish("MultiSelect", &TMonthCalendar::GetMultiSelect, &TMonthCalendar::SetMultiSelect).WithDefault(0);
    m.Publish("MaxSelectRange", &TMonthCalendar::GetMaxSelectRange, &TMonthCalendar::SetMaxSelectRange)
        .WithDefault(7);
    m.Publish("MaxDate", &TMonthCalendar::GetMaxDate, &TMonthCalendar::SetMaxDate);
    m.Publish("MinDate", &TMonthCalendar::GetMinDate, &TMonthCalendar::SetMinDate);
    m.Publish("Date", &TMonthCalendar::GetDate, &TMonthCalendar::SetDate);
    m.Publish("EndDate", &TMonthCalendar::GetEndDate, &TMonthCalendar::SetEndDate);
    m.Publish("WeekNumbers", &TMonthCalendar::GetWeekNumbers, &TMonthCalendar::SetWeekNumbers).WithDefault(0);
    m.Publish("ShowToday", &TMonthCalendar::GetShowToday, &TMonthCalendar::SetShowToday).WithDefault(1);
    m.Publish("ShowTodayCircle", &TMonthCalendar::GetShowTodayCircle, &TMonthCalendar::SetShowTodayCircle)
        .WithDefault(1);
    m.Publish("FirstDayOfWeek", &TMonthCalendar::GetFirstDayOfWeek, &TMonthCalendar::SetFirstDayOfWeek)
        .WithNames({"dowMonday", "dowTuesday", "dowWednesday", "dowThursday", "dowFriday", "dowSaturday",
                    "dowSunday", "dowLocaleDefault"})
        .WithDefault(7);
    m.Publish("OnChange", &TMonthCalendar::GetOnChange, &TMonthCalendar::SetOnChange);
    m.Publish("OnGetMonthInfo", &TMonthCalendar::GetOnGetMonthInfo, &TMonthCalendar::SetOnGetMonthInfo);
})

namespace {

TDateTime WholeDays(TDateTime Value)
{
    return std::trunc(Value);
}

SYSTEMTIME ToSystemTime(TDateTime Value)
{
    SYSTEMTIME st{};
    DateTimeToSystemTime(Value, st);
    return st;
}

// The range of a picker or calendar: limits of 0 are left open.
template <size_t N>
DWORD FillRange(SYSTEMTIME (&Range)[N], TDateTime Min, TDateTime Max)
{
    DWORD flags = 0;
    if (Min != 0) {
        Range[0] = ToSystemTime(WholeDays(Min));
        flags |= GDTR_MIN;
    }
    if (Max != 0) {
        Range[1] = ToSystemTime(WholeDays(Max) + 0.99999);
        flags |= GDTR_MAX;
    }
    return flags;
}

}  // namespace

// ---- date-time picker --------------------------------------------------------------------------

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner), FDateTime(Now())
{
    FWidth = 186;
    FHeight = 24;
    FTabStop = true;
    FColor = clWindow;
}

void TDateTimePicker::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, DATETIMEPICK_CLASSA);
    if (FKind == TDateTimeKind::dtkTime)
        Params.Style |= DTS_TIMEFORMAT;
    else if (FDateFormat == TDTDateFormat::dfLong)
        Params.Style |= DTS_LONGDATEFORMAT;
    if (FKind == TDateTimeKind::dtkDate && FDateMode == TDTDateMode::dmUpDown)
        Params.Style |= DTS_UPDOWN;
    if (FShowCheckbox)
        Params.Style |= DTS_SHOWNONE;
    if (FCalAlignment == TDTCalAlignment::dtaRight)
        Params.Style |= DTS_RIGHTALIGN;
}

void TDateTimePicker::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyRange();
    if (!FFormat.empty())
        Perform(DTM_SETFORMATA, 0, LPARAM(FFormat.c_str()));
    ApplyValue();
}

// The value and its check box live in the window; they are kept for the next one.
void TDateTimePicker::DestroyWnd()
{
    FDateTime = GetDateTime();
    FChecked = GetChecked();
    TWinControl::DestroyWnd();
}

void TDateTimePicker::ApplyValue()
{
    if (!HandleAllocated())
        return;
    SYSTEMTIME st = ToSystemTime(FDateTime);
    bool none = FShowCheckbox && !FChecked;
    Perform(DTM_SETSYSTEMTIME, none ? GDT_NONE : GDT_VALID, LPARAM(&st));
}

void TDateTimePicker::ApplyRange()
{
    if (!HandleAllocated())
        return;
    SYSTEMTIME range[2] = {};
    Perform(DTM_SETRANGE, FillRange(range, FMinDate, FMaxDate), LPARAM(range));
}

TDateTime TDateTimePicker::GetDateTime() const
{
    if (HandleAllocated()) {
        SYSTEMTIME st{};
        if (SendMessageA(WindowHandle, DTM_GETSYSTEMTIME, 0, LPARAM(&st)) == GDT_VALID)
            return SystemTimeToDateTime(st);
    }
    return FDateTime;
}

// Outside MinDate..MaxDate the control would refuse the value silently; the caller hears of it.
void TDateTimePicker::SetDateTime(TDateTime Value)
{
    if (FMinDate != 0 && WholeDays(Value) < WholeDays(FMinDate))
        throw EDateTimeError("Date is less than minimum of %s", {DateToStr(FMinDate)});
    if (FMaxDate != 0 && WholeDays(Value) > WholeDays(FMaxDate))
        throw EDateTimeError("Date exceeds maximum of %s", {DateToStr(FMaxDate)});
    FDateTime = Value;
    ApplyValue();
}

TDateTime TDateTimePicker::GetDate() const
{
    return WholeDays(GetDateTime());
}

void TDateTimePicker::SetDate(TDateTime Value)
{
    SetDateTime(WholeDays(Value) + GetTime());
}

TDateTime TDateTimePicker::GetTime() const
{
    TDateTime value = GetDateTime();
    return value - WholeDays(value);
}

void TDateTimePicker::SetTime(TDateTime Value)
{
    SetDateTime(GetDate() + (Value - WholeDays(Value)));
}

bool TDateTimePicker::GetChecked() const
{
    if (HandleAllocated() && FShowCheckbox) {
        SYSTEMTIME st{};
        return SendMessageA(WindowHandle, DTM_GETSYSTEMTIME, 0, LPARAM(&st)) == GDT_VALID;
    }
    return FChecked;
}

void TDateTimePicker::SetChecked(bool Value)
{
    FDateTime = GetDateTime();
    FChecked = Value;
    ApplyValue();
}

void TDateTimePicker::SetKind(TDateTimeKind Value)
{
    SetWindowStyleProperty(this, FKind, Value);
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value)
{
    SetWindowStyleProperty(this, FDateFormat, Value);
}

void TDateTimePicker::SetDateMode(TDTDateMode Value)
{
    SetWindowStyleProperty(this, FDateMode, Value);
}

void TDateTimePicker::SetCalAlignment(TDTCalAlignment Value)
{
    SetWindowStyleProperty(this, FCalAlignment, Value);
}

void TDateTimePicker::SetShowCheckbox(bool Value)
{
    SetWindowStyleProperty(this, FShowCheckbox, Value);
}

void TDateTimePicker::SetMinDate(TDateTime Value)
{
    FMinDate = Value;
    ApplyRange();
}

void TDateTimePicker::SetMaxDate(TDateTime Value)
{
    FMaxDate = Value;
    ApplyRange();
}

void TDateTimePicker::SetFormat(const AnsiString& Value)
{
    FFormat = Value;
    if (HandleAllocated())
        Perform(DTM_SETFORMATA, 0, Value.empty() ? 0 : LPARAM(Value.c_str()));
}

void TDateTimePicker::Change()
{
    OnChange(this);
}

VCL_BEGIN_MESSAGE_MAP(TDateTimePicker)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
VCL_END_MESSAGE_MAP(TWinControl)

void TDateTimePicker::CNNotify(TMessage& Message)
{
    Message.Result = 0;
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (header->code) {
    case DTN_DATETIMECHANGE: {
        auto* change = reinterpret_cast<NMDATETIMECHANGE*>(Message.LParam);
        FChecked = change->dwFlags == GDT_VALID;
        if (FChecked)
            FDateTime = SystemTimeToDateTime(change->st);
        Change();
        break;
    }
    case DTN_DROPDOWN:
        OnDropDown(this);
        break;
    case DTN_CLOSEUP:
        OnCloseUp(this);
        break;
    default:
        break;
    }
}

// ---- month calendar ----------------------------------------------------------------------------

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TWinControl(AOwner), FDate(WholeDays(Now())), FEndDate(FDate)
{
    FWidth = 225;
    FHeight = 160;
    FTabStop = true;
}

void TMonthCalendar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, MONTHCAL_CLASSA);
    Params.Style |= MCS_DAYSTATE;
    if (FMultiSelect)
        Params.Style |= MCS_MULTISELECT;
    if (FWeekNumbers)
        Params.Style |= MCS_WEEKNUMBERS;
    if (!FShowToday)
        Params.Style |= MCS_NOTODAY;
    if (!FShowTodayCircle)
        Params.Style |= MCS_NOTODAYCIRCLE;
}

void TMonthCalendar::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyRange();
    ApplyFirstDayOfWeek();
    if (FMultiSelect)
        Perform(MCM_SETMAXSELCOUNT, WPARAM(FMaxSelectRange));
    ApplySelection();
}

void TMonthCalendar::ApplySelection()
{
    if (!HandleAllocated())
        return;
    if (FMultiSelect) {
        SYSTEMTIME range[2] = {ToSystemTime(FDate), ToSystemTime(FEndDate)};
        Perform(MCM_SETSELRANGE, 0, LPARAM(range));
    } else {
        SYSTEMTIME st = ToSystemTime(FDate);
        Perform(MCM_SETCURSEL, 0, LPARAM(&st));
    }
}

void TMonthCalendar::ApplyRange()
{
    if (!HandleAllocated())
        return;
    SYSTEMTIME range[2] = {};
    Perform(MCM_SETRANGE, FillRange(range, FMinDate, FMaxDate), LPARAM(range));
}

void TMonthCalendar::ApplyFirstDayOfWeek()
{
    if (HandleAllocated())
        Perform(MCM_SETFIRSTDAYOFWEEK, 0,
                FFirstDayOfWeek == TCalDayOfWeek::dowLocaleDefault ? LPARAM(-1) : LPARAM(FFirstDayOfWeek));
}

// A date outside MinDate..MaxDate is refused with an error rather than dropped by the control.
void TMonthCalendar::SetDate(TDateTime Value)
{
    Value = WholeDays(Value);
    if ((FMinDate != 0 && Value < WholeDays(FMinDate)) || (FMaxDate != 0 && Value > WholeDays(FMaxDate)))
        throw EDateTimeError("Date %s is outside the calendar's range", {DateToStr(Value)});
    FDate = Value;
    if (!FMultiSelect || FEndDate < FDate || FEndDate - FDate >= FMaxSelectRange)
        FEndDate = FDate;
    ApplySelection();
}

// A range the calendar cannot show is refused with an error rather than shown otherwise.
void TMonthCalendar::SetEndDate(TDateTime Value)
{
    Value = WholeDays(Value);
    if (Value == FEndDate)
        return;
    if (!FMultiSelect)
        throw EDateTimeError("Only a calendar with MultiSelect selects a range of dates");
    if (Value < FDate || Value - FDate >= FMaxSelectRange)
        throw EDateTimeError("A selected range runs from Date over at most %d days", {FMaxSelectRange});
    FEndDate = Value;
    ApplySelection();
}

void TMonthCalendar::SetMultiSelect(bool Value)
{
    if (FMultiSelect != Value) {
        FMultiSelect = Value;
        FEndDate = FDate;
        RecreateWnd();
    }
}

void TMonthCalendar::SetMaxSelectRange(int Value)
{
    FMaxSelectRange = std::max(1, Value);
    if (HandleAllocated() && FMultiSelect)
        Perform(MCM_SETMAXSELCOUNT, WPARAM(FMaxSelectRange));
}

void TMonthCalendar::SetMinDate(TDateTime Value)
{
    FMinDate = Value;
    ApplyRange();
}

void TMonthCalendar::SetMaxDate(TDateTime Value)
{
    FMaxDate = Value;
    ApplyRange();
}

void TMonthCalendar::SetWeekNumbers(bool Value)
{
    SetWindowStyleProperty(this, FWeekNumbers, Value);
}

void TMonthCalendar::SetShowToday(bool Value)
{
    SetWindowStyleProperty(this, FShowToday, Value);
}

void TMonthCalendar::SetShowTodayCircle(bool Value)
{
    SetWindowStyleProperty(this, FShowTodayCircle, Value);
}

void TMonthCalendar::SetFirstDayOfWeek(TCalDayOfWeek Value)
{
    FFirstDayOfWeek = Value;
    ApplyFirstDayOfWeek();
}

void TMonthCalendar::Change()
{
    OnChange(this);
}

void TMonthCalendar::GetMonthInfo(const SYSTEMTIME& Start, int Count, MONTHDAYSTATE* States)
{
    for (int i = 0; i < Count; ++i) {
        unsigned month = (unsigned(Start.wMonth) - 1 + unsigned(i)) % 12 + 1;
        unsigned bold = 0;
        OnGetMonthInfo(this, month, bold);
        States[i] = bold;
    }
}

VCL_BEGIN_MESSAGE_MAP(TMonthCalendar)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
VCL_END_MESSAGE_MAP(TWinControl)

void TMonthCalendar::CNNotify(TMessage& Message)
{
    Message.Result = 0;
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (header->code) {
    case MCN_GETDAYSTATE: {
        auto* day = reinterpret_cast<NMDAYSTATE*>(Message.LParam);
        if (day->cDayState > 0 && day->prgDayState)
            GetMonthInfo(day->stStart, day->cDayState, day->prgDayState);
        break;
    }
    case MCN_SELCHANGE:
    case MCN_SELECT: {
        auto* select = reinterpret_cast<NMSELCHANGE*>(Message.LParam);
        TDateTime start = WholeDays(SystemTimeToDateTime(select->stSelStart));
        TDateTime end = FMultiSelect ? WholeDays(SystemTimeToDateTime(select->stSelEnd)) : start;
        if (start != FDate || end != FEndDate) {
            FDate = start;
            FEndDate = end;
            Change();
        }
        break;
    }
    default:
        break;
    }
}

}  // namespace vcl
