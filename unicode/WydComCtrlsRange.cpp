// The wide controls that pick a value in a range (track bar, up-down, date-time picker, month calendar) and
// the page scroller: each has a Unicode window and a wide hint; the picker and the calendar also mend what
// the class library would miss of their windows.
#include <vector>

#include "WydComCtrls.h"
#include "WydSystem.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydTrackBar, TTrackBar, {
    m.Publish("Hint", &TWydTrackBar::GetHint, &TWydTrackBar::SetHint).Stored(&TWydTrackBar::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydCustomUpDown, TCustomUpDown)
VCL_IMPLEMENT_CLASS(TWydUpDown, TWydCustomUpDown, {
    PublishUpDownProperties(m);
    m.Publish("Hint", &TWydUpDown::GetHint, &TWydUpDown::SetHint).Stored(&TWydUpDown::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydDateTimePicker, TDateTimePicker, {
    m.Publish("Hint", &TWydDateTimePicker::GetHint, &TWydDateTimePicker::SetHint)
        .Stored(&TWydDateTimePicker::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydMonthCalendar, TMonthCalendar, {
    m.Publish("Hint", &TWydMonthCalendar::GetHint, &TWydMonthCalendar::SetHint)
        .Stored(&TWydMonthCalendar::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydPageScroller, TPageScroller, {
    m.Publish("Hint", &TWydPageScroller::GetHint, &TWydPageScroller::SetHint)
        .Stored(&TWydPageScroller::IsHintStored);
})

namespace {

// Hands the control a notification as its parent passes one on (CN_NOTIFY), from the control's own window.
template <class Record> void NotifySelf(TWinControl* control, UINT code, Record& record)
{
    record.nmhdr.hwndFrom = control->WindowHandle;
    record.nmhdr.idFrom = UINT_PTR(GetDlgCtrlID(control->WindowHandle));
    record.nmhdr.code = code;
    control->Perform(CN_NOTIFY, WPARAM(record.nmhdr.idFrom), LPARAM(&record));
}

}  // namespace

void TWydTrackBar::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"msctls_trackbar32");
}

void TWydCustomUpDown::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"msctls_updown32");
}

void TWydPageScroller::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"SysPager");
}

// =============================================================================================
// Date-time picker

void TWydDateTimePicker::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"SysDateTimePick32");
}

void TWydDateTimePicker::CreateWnd()
{
    firstClickSeen_ = false;
    bool checked = GetChecked();
    TDateTimePicker::CreateWnd();
    SetChecked(checked);
}

VCL_BEGIN_MESSAGE_MAP(TWydDateTimePicker)
    VCL_MESSAGE(WM_LBUTTONDOWN, WMLButtonDown)
VCL_END_MESSAGE_MAP(TDateTimePicker)

// The system control may switch its check box on the first click without telling; the class library hears
// the state the click left.
void TWydDateTimePicker::WMLButtonDown(TMessage& message)
{
    TDateTimePicker::Dispatch(message);
    if (firstClickSeen_ || !HandleAllocated())
        return;
    firstClickSeen_ = true;
    if (GetShowCheckbox())
        NotifyDateTimeChange();
}

void TWydDateTimePicker::NotifyDateTimeChange()
{
    NMDATETIMECHANGE change{};
    LRESULT held = SendMessageW(WindowHandle, DTM_GETSYSTEMTIME, 0, LPARAM(&change.st));
    if (held == GDT_ERROR)
        return;
    if (held != GDT_VALID)
        change.st = SYSTEMTIME{};
    change.dwFlags = DWORD(held);
    NotifySelf(this, DTN_DATETIMECHANGE, change);
}

// =============================================================================================
// Month calendar

void TWydMonthCalendar::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"SysMonthCal32");
}

void TWydMonthCalendar::CreateWnd()
{
    TMonthCalendar::CreateWnd();
    if (Win32PlatformIsUnicode)
        ForceGetMonthInfo();
}

// A new window would otherwise show no bold days until the control itself asks, when its months change.
void TWydMonthCalendar::ForceGetMonthInfo()
{
    if (!HandleAllocated())
        return;
    SYSTEMTIME range[2] = {};
    int count = int(SendMessageW(WindowHandle, MCM_GETMONTHRANGE, GMR_DAYSTATE, LPARAM(range)));
    if (count <= 0)
        return;
    std::vector<MONTHDAYSTATE> states(size_t(count), 0);
    NMDAYSTATE request{};
    request.stStart = range[0];
    request.cDayState = count;
    request.prgDayState = states.data();
    NotifySelf(this, MCN_GETDAYSTATE, request);
    SendMessageW(WindowHandle, MCM_SETDAYSTATE, WPARAM(count), LPARAM(states.data()));
}
