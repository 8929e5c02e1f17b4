// The Unicode companion of the application object (wide title and hint, the message hook that lets typed
// characters beyond the ANSI code page reach Unicode windows whole) and forms with Unicode windows.
#pragma once

#include <windows.h>

#include "Forms.h"
#include "WydActnList.h"
#include "WydControls.h"

// What a Unicode descendant of a class-library control adds to it: the wide hint (shown by the wide hint window),
// the wide links to actions and the streaming of its wide properties.
template <class Base>
class TWydControlOf : public Base {
public:
    using inherited = Base;
    using Base::Base;
    WYD_WIDE_CONTROL(TWydControlOf)
    // Graphic controls have no Unicode window procedure of their own to see their hint shown.
    void Dispatch(vcl::TMessage& message) override
    {
        if (message.Msg == vcl::CM_HINTSHOW)
            ProcessCMHintShowMsg(message);
        Base::Dispatch(message);
    }
};

class TWydAppIdleEventControl;

class TWydApplication : public vcl::TComponent {
    VCL_CLASS(TWydApplication, vcl::TComponent)
    explicit TWydApplication(vcl::TComponent* owner);
    ~TWydApplication() override;

    WideString GetHint();
    void SetHint(const WideString& value);
    WideString GetTitle();
    void SetTitle(const WideString& value);
    WideString GetExeName() const;
    // Takes a removed message out of the class library's loop (true) when it is a wide character for a
    // Unicode window, and dispatches it as a wide message.
    bool ProcessMessage(MSG& msg);
    bool IsDlgMsg(MSG& msg);
    void DoIdle();
    bool WndProc(vcl::TMessage& message);
    TWydAppIdleEventControl* GetIdleEventControl() const { return idleEventControl_; }

private:
    friend class TWydAppIdleEventControl;
    WideString MouseControlHint();
    bool ExecuteWideHintAction(vcl::TMessage& message);
    bool mainFormChecked_ = false;
    WideString hint_;
    TWydAppIdleEventControl* idleEventControl_ = nullptr;
    DWORD settingChangeTime_ = 0;
    WideString title_;
};

// A zero-size control on a plain main form whose idle update keeps the wide application hint in step.
class TWydAppIdleEventControl : public vcl::TControl {
    VCL_CLASS(TWydAppIdleEventControl, vcl::TControl)
    explicit TWydAppIdleEventControl(vcl::TComponent* owner);
    ~TWydAppIdleEventControl() override;
    void InitiateAction() override;
};

extern TWydApplication* WydApplication;
// Unit start: the application object, and on NT the message hook of the calling (main) thread; a failure
// to install the hook raises. Needs the class library's Application.
void InitWydForms();
void DoneWydForms();

// While the counter is above 0 the hook lets every message pass (for code that peeks and removes itself).
void EnableManualPeekMessageWithRemove();
void DisableManualPeekMessageWithRemove();

// Whether a typed character (a WM_CHAR or CM_DIALOGCHAR character: an ANSI character of the keyboard's code
// page, or a wide one) is the accelerator of caption, the character after its last single '&', compared
// without regard to case.
bool IsWideCharAccel(WORD charCode, const WideString& caption);

// The layer's run-time fixes, the dialog font substitutes and the wide hint window; offered, not run at start.
void InitWydEnvironment();

class TWydForm : public vcl::TForm {
    VCL_CLASS(TWydForm, vcl::TForm)
    using TForm::TForm;
    WideString GetCaption() const { return WydControl_GetText(const_cast<TWydForm*>(this)); }
    void SetCaption(const WideString& value) { WydControl_SetText(this, value); }
    bool IsCaptionStored() const { return WydControl_IsCaptionStored(const_cast<TWydForm*>(this)); }
    WYD_WIDE_CONTROL(TWydForm)
    void UpdateActions() override;
    // An MDI frame's messages go to the wide frame procedure (WM_SIZE to the window's own).
    void DefaultHandler(vcl::TMessage& message) override;
    void Dispatch(vcl::TMessage& message) override;

protected:
    // A Unicode window: an MDI child's in the main form's client window (DefMDIChildProcW its default
    // procedure), any other without the layered style, which is applied once the window exists.
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void DestroyWindowHandle() override;
    vcl::TDockManager* CreateDockManager() override;
    // The application's hint becomes the long part of the selected menu item's wide hint.
    void WMMenuSelect(vcl::TMessage& message);
    void CMBiDiModeChanged(vcl::TMessage& message);
    void WMWindowPosChanging(vcl::TMessage& message);
};

// A scroll box on a Unicode window; a resize that resizes it again stops after 32 rounds.
class TWydScrollBox : public TWydControlOf<vcl::TScrollBox> {
    VCL_CLASS(TWydScrollBox, vcl::TScrollBox)
    using TWydControlOf::TWydControlOf;
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void WMSize(vcl::TMessage& message);

private:
    int sizeNesting_ = 0;
};

class TWydCustomFrame : public TWydControlOf<vcl::TCustomFrame> {
    VCL_CLASS(TWydCustomFrame, vcl::TCustomFrame)
    using TWydControlOf::TWydControlOf;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
};

class TWydFrame : public TWydCustomFrame {
    VCL_CLASS(TWydFrame, TWydCustomFrame)
    using TWydCustomFrame::TWydCustomFrame;
};
