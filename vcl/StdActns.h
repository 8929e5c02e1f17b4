// Standard actions: edit commands on the focused edit control, window commands on an MDI frame, the
// help commands, file, search and other commands that run a common dialog, and the file-exit command.
// Each finds its own target when no handler of its list or its OnExecute takes it.
#pragma once

#include "ActnList.h"
#include "Dialogs.h"

namespace vcl {

class TCustomEdit;
class TCustomForm;

// A command on an edit control: the one named by Control, otherwise the edit that has the focus.
class TEditAction : public TAction {
    VCL_CLASS(TEditAction, TAction)
    explicit TEditAction(TComponent* AOwner);
    TCustomEdit* GetControl() const { return FControl; }
    void SetControl(TCustomEdit* Value);
    bool HandlesTarget(TObject* Target) override;
    bool Execute() override;
    bool Update() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The edit this action works on now, or nil.
    TCustomEdit* Target() const;

private:
    TCustomEdit* FControl = nullptr;
};

class TEditCut : public TEditAction {
    VCL_CLASS(TEditCut, TEditAction)
    using TEditAction::TEditAction;
    void ExecuteTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
};

class TEditCopy : public TEditAction {
    VCL_CLASS(TEditCopy, TEditAction)
    using TEditAction::TEditAction;
    void ExecuteTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
};

class TEditPaste : public TEditAction {
    VCL_CLASS(TEditPaste, TEditAction)
    using TEditAction::TEditAction;
    void ExecuteTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
};

class TEditSelectAll : public TEditAction {
    VCL_CLASS(TEditSelectAll, TEditAction)
    using TEditAction::TEditAction;
    void ExecuteTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
};

class TEditUndo : public TEditAction {
    VCL_CLASS(TEditUndo, TEditAction)
    using TEditAction::TEditAction;
    void ExecuteTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
};

class TEditDelete : public TEditAction {
    VCL_CLASS(TEditDelete, TEditAction)
    using TEditAction::TEditAction;
    void ExecuteTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
};

// Closes the main form (which ends the application), or ends the application when it has none.
class TFileExit : public TAction {
    VCL_CLASS(TFileExit, TAction)
    using TAction::TAction;
    bool HandlesTarget(TObject* Target) override { (void)Target; return true; }
    void ExecuteTarget(TObject* Target) override;
    bool Execute() override;
};

// ---- window actions ----------------------------------------------------------------------------

// A command on the child windows of an MDI frame form: the one named by Form, otherwise the active form.
// Without a frame whose client window holds children the action is disabled.
class TWindowAction : public TAction {
    VCL_CLASS(TWindowAction, TAction)
    explicit TWindowAction(TComponent* AOwner);
    TCustomForm* GetForm() const { return FForm; }
    void SetForm(TCustomForm* Value);
    bool HandlesTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
    bool Execute() override;
    bool Update() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The frame's MDI client window, and its active child (nullptr when there is none).
    static HWND ClientOf(TObject* Target);
    static HWND ActiveChildOf(TObject* Target);

private:
    TCustomForm* Target() const;
    TCustomForm* FForm = nullptr;
};

class TWindowClose : public TWindowAction {
    VCL_CLASS(TWindowClose, TWindowAction)
    using TWindowAction::TWindowAction;
    void ExecuteTarget(TObject* Target) override;
};

class TWindowCascade : public TWindowAction {
    VCL_CLASS(TWindowCascade, TWindowAction)
    using TWindowAction::TWindowAction;
    void ExecuteTarget(TObject* Target) override;
};

class TWindowTileHorizontal : public TWindowAction {
    VCL_CLASS(TWindowTileHorizontal, TWindowAction)
    using TWindowAction::TWindowAction;
    void ExecuteTarget(TObject* Target) override;
};

class TWindowTileVertical : public TWindowAction {
    VCL_CLASS(TWindowTileVertical, TWindowAction)
    using TWindowAction::TWindowAction;
    void ExecuteTarget(TObject* Target) override;
};

class TWindowMinimizeAll : public TWindowAction {
    VCL_CLASS(TWindowMinimizeAll, TWindowAction)
    using TWindowAction::TWindowAction;
    void ExecuteTarget(TObject* Target) override;
};

class TWindowArrange : public TWindowAction {
    VCL_CLASS(TWindowArrange, TWindowAction)
    using TWindowAction::TWindowAction;
    void ExecuteTarget(TObject* Target) override;
};

// ---- help actions ------------------------------------------------------------------------------

// A command on the program's help (HelpCommand of Forms.h); enabled while a form names a help file.
class THelpAction : public TAction {
    VCL_CLASS(THelpAction, TAction)
    using TAction::TAction;
    bool HandlesTarget(TObject* Target) override { (void)Target; return true; }
    void UpdateTarget(TObject* Target) override;
    bool Execute() override;
    bool Update() override;
};

class THelpContents : public THelpAction {
    VCL_CLASS(THelpContents, THelpAction)
    using THelpAction::THelpAction;
    void ExecuteTarget(TObject* Target) override;
};

class THelpTopicSearch : public THelpAction {
    VCL_CLASS(THelpTopicSearch, THelpAction)
    using THelpAction::THelpAction;
    void ExecuteTarget(TObject* Target) override;
};

class THelpOnHelp : public THelpAction {
    VCL_CLASS(THelpOnHelp, THelpAction)
    using THelpAction::THelpAction;
    void ExecuteTarget(TObject* Target) override;
};

// The help topic of the active form's HelpContext; disabled while that is 0.
class THelpContextAction : public THelpAction {
    VCL_CLASS(THelpContextAction, THelpAction)
    using THelpAction::THelpAction;
    void UpdateTarget(TObject* Target) override;
    void ExecuteTarget(TObject* Target) override;
};

// ---- dialog actions ----------------------------------------------------------------------------

// A command that runs a common dialog: BeforeExecute, then the dialog, then OnAccept or OnCancel. The
// action owns its dialog (made on first use, of the class GetDialogClass names); a form stream holds the
// dialog's properties as the action's ("Dialog.Title").
class TCommonDialogAction : public TAction {
    VCL_CLASS(TCommonDialogAction, TAction)
    explicit TCommonDialogAction(TComponent* AOwner);
    TCommonDialog* GetDialog() const;
    // Whether the last run of the dialog was accepted.
    bool GetExecuteResult() const { return FExecuteResult; }
    TNotifyEvent BeforeExecute;
    TNotifyEvent OnAccept;
    TNotifyEvent OnCancel;
    TNotifyEvent GetBeforeExecute() const { return BeforeExecute; }
    void SetBeforeExecute(TNotifyEvent Value) { BeforeExecute = Value; }
    TNotifyEvent GetOnAccept() const { return OnAccept; }
    void SetOnAccept(TNotifyEvent Value) { OnAccept = Value; }
    TNotifyEvent GetOnCancel() const { return OnCancel; }
    void SetOnCancel(TNotifyEvent Value) { OnCancel = Value; }
    bool HandlesTarget(TObject* Target) override { (void)Target; return true; }
    void ExecuteTarget(TObject* Target) override;
    bool Execute() override;

protected:
    // The class of the action's dialog; nullptr for none.
    virtual TClass GetDialogClass() const { return nullptr; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    mutable TCommonDialog* FDialog = nullptr;
    bool FExecuteResult = false;
};

// The file actions' dialogs are file dialogs.
class TFileAction : public TCommonDialogAction {
    VCL_CLASS(TFileAction, TCommonDialogAction)
    using TCommonDialogAction::TCommonDialogAction;
    TOpenDialog* GetDialog() const { return static_cast<TOpenDialog*>(TCommonDialogAction::GetDialog()); }
};

class TFileOpen : public TFileAction {
    VCL_CLASS(TFileOpen, TFileAction)
    using TFileAction::TFileAction;

protected:
    TClass GetDialogClass() const override { return TOpenDialog::StaticClass(); }
};

// Offers the system's "open with" choice for FileName, or for the file the dialog chooses when FileName
// is empty; a failure to start it raises EOSError.
class TFileOpenWith : public TFileOpen {
    VCL_CLASS(TFileOpenWith, TFileOpen)
    using TFileOpen::TFileOpen;
    AnsiString GetFileName() const { return FFileName; }
    void SetFileName(const AnsiString& Value) { FFileName = Value; }
    void ExecuteTarget(TObject* Target) override;

private:
    AnsiString FFileName;
};

class TFileSaveAs : public TFileAction {
    VCL_CLASS(TFileSaveAs, TFileAction)
    using TFileAction::TFileAction;
    TSaveDialog* GetDialog() const { return static_cast<TSaveDialog*>(TFileAction::GetDialog()); }

protected:
    TClass GetDialogClass() const override { return TSaveDialog::StaticClass(); }
};

class TFilePrintSetup : public TCommonDialogAction {
    VCL_CLASS(TFilePrintSetup, TCommonDialogAction)
    using TCommonDialogAction::TCommonDialogAction;
    TPrinterSetupDialog* GetDialog() const
    {
        return static_cast<TPrinterSetupDialog*>(TCommonDialogAction::GetDialog());
    }

protected:
    TClass GetDialogClass() const override { return TPrinterSetupDialog::StaticClass(); }
};

// Where Text holds What, searching from the selection [SelStart, SelStart + SelLength): with frDown from
// its end onwards, otherwise backwards from its start; -1 when it does not. Letters compare without case
// unless frMatchCase; with frWholeWord the match has no letter, digit or "_" on either side.
int SearchText(const AnsiString& Text, int SelStart, int SelLength, const AnsiString& What, TFindOptions Options);

// Searches the edit that had the focus when the action ran, with the find (or replace) dialog; a text
// not found is said in a message box.
class TSearchAction : public TCommonDialogAction {
    VCL_CLASS(TSearchAction, TCommonDialogAction)
    explicit TSearchAction(TComponent* AOwner);
    TFindDialog* GetDialog() const { return static_cast<TFindDialog*>(TCommonDialogAction::GetDialog()); }
    bool HandlesTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
    void ExecuteTarget(TObject* Target) override;
    bool Update() override;
    // Finds the dialog's text once more in the edit searched last (or the focused one); false when not found.
    bool Search();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DialogFind(TObject* Sender);
    // The focused edit, else the one searched last (the dialog has the focus while it searches).
    TCustomEdit* SearchedEdit() const;
    void SetControl(TCustomEdit* Value);
    // The first search after the action runs starts at the text's start (or end, upwards).
    bool FFindFirst = false;

private:
    TCustomEdit* FControl = nullptr;
    bool FSearchFromEdge = false;
};

class TSearchFind : public TSearchAction {
    VCL_CLASS(TSearchFind, TSearchAction)
    using TSearchAction::TSearchAction;

protected:
    TClass GetDialogClass() const override { return TFindDialog::StaticClass(); }
};

class TSearchReplace : public TSearchAction {
    VCL_CLASS(TSearchReplace, TSearchAction)
    using TSearchAction::TSearchAction;
    TReplaceDialog* GetDialog() const { return static_cast<TReplaceDialog*>(TSearchAction::GetDialog()); }
    void ExecuteTarget(TObject* Target) override;

protected:
    TClass GetDialogClass() const override { return TReplaceDialog::StaticClass(); }
    void DialogReplace(TObject* Sender);
};

class TSearchFindFirst : public TSearchFind {
    VCL_CLASS(TSearchFindFirst, TSearchFind)
    explicit TSearchFindFirst(TComponent* AOwner);
};

// Finds the next place of its find action's text; shows that action's dialog when there is no text yet.
class TSearchFindNext : public TAction {
    VCL_CLASS(TSearchFindNext, TAction)
    using TAction::TAction;
    TSearchFind* GetSearchFind() const { return FSearchFind; }
    void SetSearchFind(TSearchFind* Value);
    bool HandlesTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
    void ExecuteTarget(TObject* Target) override;
    bool Execute() override;
    bool Update() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TSearchFind* FSearchFind = nullptr;
};

class TFontEdit : public TCommonDialogAction {
    VCL_CLASS(TFontEdit, TCommonDialogAction)
    using TCommonDialogAction::TCommonDialogAction;
    TFontDialog* GetDialog() const { return static_cast<TFontDialog*>(TCommonDialogAction::GetDialog()); }

protected:
    TClass GetDialogClass() const override { return TFontDialog::StaticClass(); }
};

class TColorSelect : public TCommonDialogAction {
    VCL_CLASS(TColorSelect, TCommonDialogAction)
    using TCommonDialogAction::TCommonDialogAction;
    TColorDialog* GetDialog() const { return static_cast<TColorDialog*>(TCommonDialogAction::GetDialog()); }

protected:
    TClass GetDialogClass() const override { return TColorDialog::StaticClass(); }
};

class TPrintDlg : public TCommonDialogAction {
    VCL_CLASS(TPrintDlg, TCommonDialogAction)
    using TCommonDialogAction::TCommonDialogAction;
    TPrintDialog* GetDialog() const { return static_cast<TPrintDialog*>(TCommonDialogAction::GetDialog()); }

protected:
    TClass GetDialogClass() const override { return TPrintDialog::StaticClass(); }
};

// The edit control that has the focus, or nullptr.
TCustomEdit* FocusedEdit();

// Runs an action that is its own target: when no handler (its list's, its OnExecute) took it and it is
// enabled, its ExecuteTarget. Handled tells whether the inherited Execute found a handler.
bool ExecuteOwnTarget(TBasicAction* Action, bool Handled);

// Registers the standard action classes for form streaming.
void RegisterStdActions();

}  // namespace vcl
