// Docking: controls docked on dock sites (ManualDock, ManualFloat), the site's list of them, the notifications a
// docked control sends its site, and the default dock manager that lays a site's docked controls out.
#include "Controls.h"

#include <algorithm>

#include "Forms.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TDragDockObject, TObject)

namespace {
bool IsDestroying(const TComponent* c) { return c->GetComponentState().Contains(csDestroying); }

// The control's bounds on the screen.
RECT ScreenBounds(const TControl* Control)
{
    RECT r = Control->GetBoundsRect();
    if (TWinControl* parent = Control->GetParent()) {
        POINT origin = parent->ClientToScreen(POINT{0, 0});
        OffsetRect(&r, origin.x, origin.y);
    }
    return r;
}
}  // namespace

// =============================================================================================
// The docked control

bool TControl::ManualDock(TWinControl* NewDockSite, TControl* DropControl, TAlign ControlSide)
{
    if (!NewDockSite || NewDockSite == this)
        return false;
    if (FHostDockSite && !FHostDockSite->DoUndock(NewDockSite, this))
        return false;
    TDragDockObject dock(this);
    dock.DockRect = ScreenBounds(this);
    dock.DropAlign = ControlSide;
    dock.DropOnControl = DropControl;
    NewDockSite->Perform(CM_DOCKCLIENT, WPARAM(&dock), MAKELPARAM(dock.DockRect.left, dock.DockRect.top));
    return FHostDockSite == NewDockSite;
}

bool TControl::ManualFloat(const RECT& ScreenPos)
{
    if (FHostDockSite && !FHostDockSite->DoUndock(nullptr, this))
        return false;
    if (dynamic_cast<TCustomForm*>(this)) {
        Dock(nullptr, ScreenPos);
        return true;
    }
    auto* host = new TCustomDockForm(Application);
    host->SetBoundsRect(ScreenPos);
    Dock(host, host->GetClientRect());
    host->Show();
    return true;
}

void TControl::Dock(TWinControl* NewDockSite, const RECT& ARect)
{
    TWinControl* previous = FHostDockSite;
    ControlState << csDocking;
    struct Done {
        TControl* control;
        ~Done() { control->ControlState >> csDocking; }
    } done{this};
    if (previous != NewDockSite) {
        if (previous)
            previous->ForgetDockClient(this);
        FHostDockSite = NewDockSite;
        if (NewDockSite)
            NewDockSite->AddDockClient(this);
    }
    if (NewDockSite) {
        NewDockSite->DoAddDockClient(this, ARect);
    } else {
        SetParent(nullptr);
        SetBoundsRect(ARect);
    }
    // Also after docking again on the same site: a page control's old sheet goes.
    if (previous)
        previous->DoRemoveDockClient(this);
}

void TControl::SendDockNotification(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (!FHostDockSite || FDragKind != TDragKind::dkDock ||
        GetComponentState().Contains(csLoading) || IsDestroying(this))
        return;
    TDockNotifyRec notify{Msg, WParam, LParam};
    FHostDockSite->Perform(CM_DOCKNOTIFICATION, WPARAM(this), LPARAM(&notify));
}

void TControl::UndockBeforeDestruction()
{
    TWinControl* host = FHostDockSite;
    bool hostStays = !IsDestroying(host);
    if (hostStays)
        host->DoUndock(nullptr, this);
    if (FParent)
        FParent->RemoveControl(this);
    FHostDockSite = nullptr;
    host->ForgetDockClient(this);
    if (hostStays)
        host->DoRemoveDockClient(this);
}

WideString DockedCaption(TControl* Client, LPARAM Text)
{
    if (!Text)
        return WideString();
    auto* windowed = dynamic_cast<TWinControl*>(Client);
    WideString text = windowed && windowed->HandleAllocated() && IsWindowUnicode(windowed->WindowHandle)
                          ? WideString(reinterpret_cast<const wchar_t*>(Text))
                          : AnsiToWide(reinterpret_cast<const char*>(Text));
    return FirstLine(text);
}

// =============================================================================================
// The dock site

void TWinControl::SetDockSite(bool Value)
{
    FDockSite = Value;
    UpdateDockManager();
}

void TWinControl::SetUseDockManager(bool Value)
{
    FUseDockManager = Value;
    UpdateDockManager();
}

// A site that uses a dock manager has one; switching either off drops it.
void TWinControl::UpdateDockManager()
{
    if (FDockSite && FUseDockManager) {
        if (!FDockManager)
            FDockManager.reset(CreateDockManager());
    } else {
        FDockManager.reset();
    }
}

TDockManager* TWinControl::CreateDockManager()
{
    return new TDockTree(this);
}

void TWinControl::AddDockClient(TControl* Client)
{
    if (std::find(FDockClients.begin(), FDockClients.end(), Client) == FDockClients.end())
        FDockClients.push_back(Client);
    Client->FreeNotification(this);
}

void TWinControl::ForgetDockClient(TControl* Client)
{
    auto it = std::find(FDockClients.begin(), FDockClients.end(), Client);
    if (it == FDockClients.end())
        return;
    FDockClients.erase(it);
    if (FDockManager && !IsDestroying(this))
        FDockManager->RemoveControl(Client);
}

void TWinControl::DoAddDockClient(TControl* Client, const RECT& ARect)
{
    Client->SetParent(this);
    if (!FDockManager)
        Client->SetBoundsRect(ARect);
}

void TWinControl::DoRemoveDockClient(TControl*) {}

bool TWinControl::DoUndock(TWinControl*, TControl*)
{
    return true;
}

void TWinControl::CMDockClient(TMessage& Message)
{
    auto* dock = reinterpret_cast<TDragDockObject*>(Message.WParam);
    Message.Result = 0;
    if (!FDockSite || !dock || !dock->GetControl() || dock->GetControl() == this)
        return;
    RECT rect = dock->DockRect;
    POINT origin = ClientToScreen(POINT{0, 0});
    OffsetRect(&rect, -origin.x, -origin.y);
    DisableAlign();
    struct Enable {
        TWinControl* site;
        ~Enable() { site->EnableAlign(); }
    } enable{this};
    dock->GetControl()->Dock(this, rect);
    if (FDockManager)
        FDockManager->InsertControl(dock->GetControl(), dock->DropAlign, dock->DropOnControl);
    Message.Result = 1;
}

void TWinControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TControl::Notification(AComponent, Operation);
    if (Operation == opRemove)
        if (auto* client = dynamic_cast<TControl*>(AComponent))
            ForgetDockClient(client);
}

// =============================================================================================
// TDockTree

TDockTree::TDockTree(TWinControl* DockSite) : FDockSite(DockSite), FOldWndProc(DockSite->WindowProc)
{
    FDockSite->WindowProc = TWndMethod(this, &TDockTree::WindowProcHook);
}

TDockTree::~TDockTree()
{
    if (FDockSite->WindowProc == TWndMethod(this, &TDockTree::WindowProcHook))
        FDockSite->WindowProc = FOldWndProc;
}

void TDockTree::WindowProcHook(TMessage& Message)
{
    FOldWndProc(Message);
    if (Message.Msg == WM_SIZE)
        ResetBounds(false);
}

// Before DropCtl for its left or top side, after it for the others; without one at the front for a left or top
// side, else at the end.
void TDockTree::InsertControl(TControl* Control, TAlign InsertAt, TControl* DropCtl)
{
    RemoveControl(Control);
    bool before = InsertAt == TAlign::alLeft || InsertAt == TAlign::alTop;
    auto at = std::find(FControls.begin(), FControls.end(), DropCtl);
    if (at == FControls.end())
        at = before ? FControls.begin() : FControls.end();
    else if (!before)
        ++at;
    FControls.insert(at, Control);
    if (InsertAt == TAlign::alLeft || InsertAt == TAlign::alRight)
        FSideBySide = true;
    else if (InsertAt == TAlign::alTop || InsertAt == TAlign::alBottom)
        FSideBySide = false;
    ResetBounds(true);
}

void TDockTree::RemoveControl(TControl* Control)
{
    auto it = std::find(FControls.begin(), FControls.end(), Control);
    if (it == FControls.end())
        return;
    FControls.erase(it);
    ResetBounds(true);
}

void TDockTree::ResetBounds(bool Force)
{
    RECT area = FDockSite->GetClientRect();
    if (!Force && EqualRect(&area, &FLaidOut))
        return;
    FLaidOut = area;
    std::vector<TControl*> shown;
    std::copy_if(FControls.begin(), FControls.end(), std::back_inserter(shown),
                 [](TControl* c) { return c->GetVisible(); });
    int count = int(shown.size());
    for (int i = 0; i < count; ++i) {
        RECT r = area;
        if (FSideBySide) {
            r.left = area.left + (area.right - area.left) * i / count;
            r.right = area.left + (area.right - area.left) * (i + 1) / count;
        } else {
            r.top = area.top + (area.bottom - area.top) * i / count;
            r.bottom = area.top + (area.bottom - area.top) * (i + 1) / count;
        }
        shown[size_t(i)]->SetBoundsRect(r);
    }
}

}  // namespace vcl
