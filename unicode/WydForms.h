// The Unicode companion of the application object (wide title and hint, the message hook that lets typed
// characters beyond the ANSI code page reach Unicode windows whole) and forms with Unicode windows.
#pragma once

#include <windows.h>

#include "Forms.h"
#include "WydActnList.h"
#include "WydControls.h"

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

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
};
