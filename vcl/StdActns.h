// Standard actions: edit commands that work on the focused edit control, and the file-exit command.
// Each finds its own target when no handler of its list or its OnExecute takes it.
#pragma once

#include "ActnList.h"

namespace vcl {

class TCustomEdit;

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
class TFileExit : public TCustomAction {
    VCL_CLASS(TFileExit, TCustomAction)
    using TCustomAction::TCustomAction;
    bool HandlesTarget(TObject* Target) override { (void)Target; return true; }
    void ExecuteTarget(TObject* Target) override;
    bool Execute() override;
};

// Registers the standard action classes for form streaming.
void RegisterStdActions();

}  // namespace vcl
