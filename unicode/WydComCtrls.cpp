// What the wide common controls share: their Unicode windows, the label editor's hook, accelerators of tabs,
// the unit's start, and the progress bar.
#include "WydComCtrls.h"

#include "WydForms.h"
#include "WydSysUtils.h"
#include "WydSystem.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydProgressBar, TProgressBar, {
    m.Publish("Hint", &TWydProgressBar::GetHint, &TWydProgressBar::SetHint).Stored(&TWydProgressBar::IsHintStored);
})

void InitWydComCtrls()
{
    RegisterClasses({TWydListView::StaticClass(), TWydTreeView::StaticClass(), TWydTabControl::StaticClass(),
                     TWydPageControl::StaticClass(), TWydTabSheet::StaticClass(), TWydStatusBar::StaticClass(),
                     TWydToolBar::StaticClass(), TWydToolButton::StaticClass(), TWydProgressBar::StaticClass()});
}

void CreateUnicodeHandle_ComCtl(TWinControl* control, const TCreateParams& params, const WideString& className)
{
    if (className.empty())
        throw EWydInternalError("WYD Internal Error: Only call CreateUnicodeHandle_ComCtl for Common Controls.");
    CreateUnicodeHandle(control, params, className);
    if (Win32PlatformIsUnicode)
        SendMessageW(control->WindowHandle, CCM_SETUNICODEFORMAT, TRUE, 0);
}

// =============================================================================================
// The label editor

namespace {
const wchar_t LabelEditProperty[] = L"WydLabelEditHook";
}  // namespace

TWydLabelEditHook::~TWydLabelEditHook()
{
    Detach();
}

void TWydLabelEditHook::Attach(HWND edit)
{
    Detach();
    if (!edit)
        return;
    edit_ = edit;
    previous_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
    SetPropW(edit, LabelEditProperty, this);
    SetWindowLongPtrW(edit, GWLP_WNDPROC, LONG_PTR(&EditWndProcW));
}

// Gives the editor its own procedure back (while it still runs on ours).
void TWydLabelEditHook::Detach()
{
    if (!edit_)
        return;
    if (IsWindow(edit_) && GetPropW(edit_, LabelEditProperty) == this) {
        RemovePropW(edit_, LabelEditProperty);
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, LONG_PTR(previous_));
    }
    edit_ = nullptr;
    previous_ = nullptr;
}

LRESULT CALLBACK TWydLabelEditHook::EditWndProcW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* hook = static_cast<TWydLabelEditHook*>(GetPropW(window, LabelEditProperty));
    if (!hook)
        return DefWindowProcW(window, msg, wParam, lParam);
    try {
        return hook->EditMessage(msg, wParam, lParam);
    } catch (...) {
        HandleControlException(hook->view_);
    }
    return 0;
}

LRESULT TWydLabelEditHook::EditMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND edit = edit_;
    WNDPROC previous = previous_;
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR: {
        TMessage message{msg, wParam, lParam, 0};
        if (route_(message))
            return 0;
        wParam = message.WParam;  // a handler may have changed the key
        break;
    }
    case CN_KEYDOWN:
    case CN_CHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSCHAR:
        return view_->Perform(msg, wParam, lParam);
    case WM_NCDESTROY:
        Detach();
        break;
    default:
        break;
    }
    return CallWindowProcW(previous, edit, msg, wParam, lParam);
}

// =============================================================================================
// Accelerators

int FindAcceleratorCaption(WORD charCode, const std::vector<WideString>& captions,
                           const std::function<bool(int)>& usable)
{
    for (size_t i = 0; i < captions.size(); ++i)
        if (IsWideCharAccel(charCode, captions[i]) && usable(int(i)))
            return int(i);
    return -1;
}

// =============================================================================================
// Progress bar

void TWydProgressBar::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"msctls_progress32");
}
