// Dialogs: message boxes as library forms (run by the library's loop, so OnMessage keeps seeing every
// message), an input box, and the system's file dialogs.
#pragma once

#include <initializer_list>

#include "Forms.h"

#include <commdlg.h>

namespace vcl {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll,
                        mbHelp };
using TMsgDlgButtons = std::initializer_list<TMsgDlgBtn>;

// A modal message form; returns the modal result of the button pressed (mrCancel when closed).
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// The same with an explicit caption (the application's exception box uses its title).
int MessageDlg(const AnsiString& Caption, const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
               int HelpCtx);
// The form MessageDlg shows, for callers that show it themselves (caller frees).
TForm* CreateMessageDialog(const AnsiString& Caption, const AnsiString& Msg, TMsgDlgType DlgType,
                           TMsgDlgButtons Buttons);
void ShowMessage(const AnsiString& Msg);
bool InputQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value);
AnsiString InputBox(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Default);

enum TOpenOption { ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
                   ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
                   ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
                   ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing };
using TOpenOptions = TSet<TOpenOption>;

class TCommonDialog : public TComponent {
    VCL_CLASS(TCommonDialog, TComponent)
    using TComponent::TComponent;
    virtual bool Execute() = 0;
    HWND GetHandle() const { return FHandle; }
    int HelpContext = 0;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    // Runs a system dialog function with the library's windows disabled, as a modal form would.
    bool TaskModalDialog(const std::function<BOOL()>& DialogFunc);
    HWND FHandle = nullptr;
};

using TCloseQueryDialogEvent = TEvent<TObject*, bool&>;

class TOpenDialog : public TCommonDialog {
    VCL_CLASS(TOpenDialog, TCommonDialog)
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    bool Execute() override;
    AnsiString FileName;
    AnsiString Filter;
    int FilterIndex = 1;
    AnsiString InitialDir;
    AnsiString Title;
    AnsiString DefaultExt;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    TStrings* GetFiles() const { return FFiles; }
    TCloseQueryDialogEvent OnCanClose;

protected:
    // Builds the OPENFILENAMEA and runs the given dialog function; overridable as one step.
    virtual bool DoExecute(BOOL(WINAPI* Func)(LPOPENFILENAMEA));
    virtual bool DoCanClose();

private:
    TStrings* FFiles;
};

class TSaveDialog : public TOpenDialog {
    VCL_CLASS(TSaveDialog, TOpenDialog)
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
};

}  // namespace vcl
