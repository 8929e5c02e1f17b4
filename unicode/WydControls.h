// Unicode windows for the class library's controls: wide window classes, the trap that sits between
// Windows, the class library and the system control, and the wide text, caption and hint of any control.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "Forms.h"
#include "WydClasses.h"
#include "WydSysUtils.h"

// The registered message "WydUnicodeVcl.DestroyWindow": sent to a control to take its trap off.
extern UINT WM_WYD_DESTROYWINDOW;

// Unit start and end. Finalisation takes the trap off every window still alive, so a window that outlives
// the unit falls back to the class library's own procedure instead of a freed trap.
void InitWydControls();
void DoneWydControls();

// ---- Window classes and the trap

// Creates the control's window; on NT a Unicode window of a wide copy of its class, with the procedure of the
// system class subClass ("EDIT", "BUTTON", ...; empty for a plain window) as its default procedure.
void CreateUnicodeHandle(vcl::TWinControl* control, const vcl::TCreateParams& params, const WideString& subClass);
// Registers (or finds) the wide class for params; returns its name.
WideString RegisterUnicodeClass(const vcl::TCreateParams& params);
// Puts a trap on the control's existing Unicode window; caption is the ANSI caption of the create params.
void SubClassUnicodeControl(vcl::TWinControl* control, const char* caption);
// Destroys and recreates the control's window (through its own CreateWindowHandle) keeping focus and text.
void ReCreateUnicodeWnd(vcl::TWinControl* control);

bool IsTextMessage(UINT msg);
// The class library handles a character as one byte: a character above 255 travels as 255 with the real
// character in the high word of wParam, and is put back before it reaches the system control.
void MakeWMCharMsgSafeForAnsi(vcl::TMessage& msg);
void RestoreWMCharMsg(vcl::TMessage& msg);
wchar_t GetWideCharFromWMCharMsg(const vcl::TMessage& msg);
void SetWideCharForWMCharMsg(vcl::TMessage& msg, wchar_t ch);

class TWinControlTrap : public vcl::TComponent {
    VCL_CLASS(TWinControlTrap, vcl::TComponent)
    explicit TWinControlTrap(vcl::TComponent* control);
    ~TWinControlTrap() override;
    vcl::TWinControl* GetControl() const { return control_; }

protected:
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

private:
    friend void SubClassUnicodeControl(vcl::TWinControl*, const char*);
    friend void DoneWydControls();
    static LRESULT CALLBACK TrapWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TrapDefaultProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void TrapMessageProc(vcl::TMessage& message);
    bool IsInChain();
    // Takes TrapMessageProc out of the control's chain where it is the outermost hook; one that a later hook wraps
    // stays, to be found in the chain by the next window.
    void UnhookMessageProc();
    void Attach(HWND window);
    void ReleaseWindowTrap();

    vcl::TWinControl* control_;
    HWND handle_ = nullptr;
    WNDPROC prevWindowProc_ = nullptr;
    WNDPROC prevDefWndProc_ = nullptr;
    vcl::TWndMethod savedWindowProc_;
    UINT lastWindowsMessage_ = 0;  // entered through TrapWindowProc, not yet seen by TrapMessageProc
    UINT windowsTextMessage_ = 0;  // a text message from Windows now being handled by the class library
    int nesting_ = 0;
    bool destroyTrap_ = false;
    bool hookTest_ = false;
    bool hookTestAnswer_ = false;
};

// ---- Wide text, caption and hint of any control

WideString WydControl_GetText(vcl::TControl* control);
void WydControl_SetText(vcl::TControl* control, const WideString& value);
WideString WydControl_GetStoredText(vcl::TControl* control, const WideString& defaultText);
void WydControl_SetStoredText(vcl::TControl* control, const WideString& value);
bool WydControl_IsCaptionStored(vcl::TControl* control);
bool WydControl_IsHintStored(vcl::TControl* control);
WideString WydControl_GetHint(vcl::TControl* control);
void WydControl_SetHint(vcl::TControl* control, const WideString& value);
// The first non-empty wide hint from the control up through its parents.
WideString WideGetHint(vcl::TControl* control);
WideString WideGetShortHint(const WideString& hint);
WideString WideGetLongHint(const WideString& hint);
// CM_HINTSHOW: lets the wide hint window show the control's wide hint.
void ProcessCMHintShowMsg(vcl::TMessage& msg);

// The streaming of a class's wide published properties, after its inherited ones (in the class body).
#define WYD_WIDE_PROPERTIES                                                                                      \
    void DefineProperties(vcl::TFiler* filer) override                                                           \
    {                                                                                                            \
        inherited::DefineProperties(filer);                                                                      \
        WydPersistent_AfterInherited_DefineProperties(filer, this);                                              \
    }

// The wide hint of a control class C, with the streaming of its wide published properties.
#define WYD_WIDE_HINT(C)                                                                                          \
    WideString GetHint() const { return WydControl_GetHint(const_cast<C*>(this)); }                            \
    void SetHint(const WideString& value) { WydControl_SetHint(this, value); }                                   \
    bool IsHintStored() const { return WydControl_IsHintStored(const_cast<C*>(this)); }                        \
    WYD_WIDE_PROPERTIES

// A list control that takes wide items itself.
class IWideCustomListControl {
public:
    virtual void AddItem(const WideString& item, vcl::TObject* object) = 0;

protected:
    ~IWideCustomListControl() = default;
};
void WideListControl_AddItem(vcl::TControl* control, const WideString& item, vcl::TObject* object);

// The helper list (owning) that holds every control's wide text and hint.
vcl::TComponentList* WideComponentHelpers();

class TWideControlHelper : public TWideComponentHelper {
    VCL_CLASS(TWideControlHelper, TWideComponentHelper)
    TWideControlHelper(vcl::TControl* control, vcl::TComponentList* list)
        : TWideComponentHelper(control, list), control_(control)
    {
    }
    vcl::TControl* GetControl() const { return control_; }
    WideString Caption;
    WideString Hint;

private:
    vcl::TControl* control_;
};

// ---- Wide hint windows

class TWydCustomHintWindow : public vcl::THintWindow {
    VCL_CLASS(TWydCustomHintWindow, vcl::THintWindow)
    explicit TWydCustomHintWindow(vcl::TComponent* owner);
    WideString GetCaption() { return WydControl_GetText(this); }
    void SetCaption(const WideString& value) { WydControl_SetText(this, value); }
    void ActivateHint(RECT rect, const AnsiString& hint) override;
    void ActivateHintData(RECT rect, const AnsiString& hint, void* data) override;
    RECT CalcHintRect(int maxWidth, const AnsiString& hint, void* data) override;
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateParams(vcl::TCreateParams& params) override;
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void Paint() override;
    void CMTextChanged(vcl::TMessage& message);
    RECT CalcWideHintRect(int maxWidth, const WideString& hint);
    bool textChangeSuppressed_ = false;
    bool paintSuppressed_ = false;
};

class TWydHintWindow : public TWydCustomHintWindow {
    VCL_CLASS(TWydHintWindow, TWydCustomHintWindow)
    explicit TWydHintWindow(vcl::TComponent* owner) : TWydCustomHintWindow(owner) {}
    using TWydCustomHintWindow::ActivateHint;
    using TWydCustomHintWindow::ActivateHintData;
    using TWydCustomHintWindow::CalcHintRect;
    void ActivateHint(RECT rect, const WideString& hint);
    void ActivateHintData(RECT rect, const WideString& hint, void* data);
    RECT CalcHintRect(int maxWidth, const WideString& hint, void* data);
};
