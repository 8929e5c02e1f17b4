// MDI forms: the frame's client window (system class "MDICLIENT") that holds the children, the children made in
// it, and the frame's commands that arrange them.
#include "Forms.h"

namespace vcl {

namespace {
// The first command identifier the client gives the children's entries of a window menu.
constexpr UINT FirstMDIChildId = 0xFF00;
}  // namespace

HWND TCustomForm::MDIClientForChild()
{
    TCustomForm* main = Application ? Application->GetMainForm() : nullptr;
    if (!main || !main->FClientHandle)
        throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    return main->FClientHandle;
}

void TCustomForm::CreateMDIClient()
{
    CLIENTCREATESTRUCT client{nullptr, FirstMDIChildId};
    RECT area = TWinControl::GetClientRect();
    FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL,
                                    area.left, area.top, area.right - area.left, area.bottom - area.top, WindowHandle,
                                    nullptr, HInstance, &client);
    if (!FClientHandle)
        RaiseLastOSError();
    Realign();
}

void TCustomForm::AlignControls(TControl* AControl, RECT& Rect)
{
    TWinControl::AlignControls(AControl, Rect);
    if (FClientHandle)
        SetWindowPos(FClientHandle, nullptr, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<TCustomForm*> TCustomForm::MDIChildForms() const
{
    std::vector<TCustomForm*> children;
    if (!FClientHandle)
        return children;
    for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (auto* form = dynamic_cast<TCustomForm*>(FindControl(w)); form && form->FCreatedMDIChild)
            children.push_back(form);
    return children;
}

TCustomForm* TCustomForm::GetActiveMDIChild() const
{
    if (!FClientHandle)
        return nullptr;
    auto* form = dynamic_cast<TCustomForm*>(FindControl(HWND(SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0))));
    return form && form->FCreatedMDIChild ? form : nullptr;
}

void TCustomForm::Cascade()
{
    if (FClientHandle)
        SendMessageA(FClientHandle, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile()
{
    if (FClientHandle)
        SendMessageA(FClientHandle, WM_MDITILE,
                     FTileMode == TTileMode::tbHorizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
}

void TCustomForm::ArrangeIcons()
{
    if (FClientHandle)
        SendMessageA(FClientHandle, WM_MDIICONARRANGE, 0, 0);
}

void TCustomForm::Next()
{
    if (FClientHandle)
        SendMessageA(FClientHandle, WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous()
{
    if (FClientHandle)
        SendMessageA(FClientHandle, WM_MDINEXT, 0, 1);
}

}  // namespace vcl
