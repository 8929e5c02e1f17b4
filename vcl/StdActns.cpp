// Standard actions on edit controls and the application.
#include "StdActns.h"

#include "Forms.h"
#include "StdCtrls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TEditAction, TAction, {
    m.Publish("Control", &TEditAction::GetControl, &TEditAction::SetControl);
})
VCL_IMPLEMENT_CLASS(TEditCut, TEditAction)
VCL_IMPLEMENT_CLASS(TEditCopy, TEditAction)
VCL_IMPLEMENT_CLASS(TEditPaste, TEditAction)
VCL_IMPLEMENT_CLASS(TEditSelectAll, TEditAction)
VCL_IMPLEMENT_CLASS(TEditUndo, TEditAction)
VCL_IMPLEMENT_CLASS(TEditDelete, TEditAction)
VCL_IMPLEMENT_CLASS(TFileExit, TCustomAction)

void RegisterStdActions()
{
    RegisterClasses({TEditCut::StaticClass(), TEditCopy::StaticClass(), TEditPaste::StaticClass(),
                     TEditSelectAll::StaticClass(), TEditUndo::StaticClass(), TEditDelete::StaticClass(),
                     TFileExit::StaticClass()});
}

// ---- edit actions ----------------------------------------------------------------------------

TEditAction::TEditAction(TComponent* AOwner) : TAction(AOwner) {}

void TEditAction::SetControl(TCustomEdit* Value)
{
    if (FControl == Value)
        return;
    if (FControl)
        FControl->RemoveFreeNotification(this);
    FControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TEditAction::Notification(TComponent* AComponent, TOperation Operation)
{
    TAction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FControl)
        FControl = nullptr;
}

TCustomEdit* TEditAction::Target() const
{
    if (FControl)
        return FControl;
    return dynamic_cast<TCustomEdit*>(FindControl(GetFocus()));
}

bool TEditAction::HandlesTarget(TObject* Target)
{
    auto* edit = dynamic_cast<TCustomEdit*>(Target);
    return edit && edit->HandleAllocated() && (edit == FControl || (!FControl && edit->Focused()));
}

// A handler of the list or OnExecute comes first; otherwise the action works on its edit.
bool TEditAction::Execute()
{
    if (TAction::Execute())
        return true;
    TCustomEdit* edit = Target();
    if (!edit || !HandlesTarget(edit) || !GetEnabled())
        return false;
    ExecuteTarget(edit);
    return true;
}

// Without an edit to work on (or an OnUpdate handler) the action is disabled.
bool TEditAction::Update()
{
    if (TAction::Update())
        return true;
    TCustomEdit* edit = Target();
    if (edit && HandlesTarget(edit)) {
        UpdateTarget(edit);
        return true;
    }
    if (DisableIfNoHandler)
        SetEnabled(false);
    return false;
}

namespace {
TCustomEdit* AsEdit(TObject* Target) { return static_cast<TCustomEdit*>(Target); }
bool HasSelection(TObject* Target) { return AsEdit(Target)->GetSelLength() > 0; }
bool IsWritable(TObject* Target) { return !AsEdit(Target)->GetReadOnly(); }
}  // namespace

void TEditCut::ExecuteTarget(TObject* Target) { AsEdit(Target)->CutToClipboard(); }
void TEditCut::UpdateTarget(TObject* Target) { SetEnabled(HasSelection(Target) && IsWritable(Target)); }

void TEditCopy::ExecuteTarget(TObject* Target) { AsEdit(Target)->CopyToClipboard(); }
void TEditCopy::UpdateTarget(TObject* Target) { SetEnabled(HasSelection(Target)); }

void TEditPaste::ExecuteTarget(TObject* Target) { AsEdit(Target)->PasteFromClipboard(); }
void TEditPaste::UpdateTarget(TObject* Target)
{
    SetEnabled(IsWritable(Target) && IsClipboardFormatAvailable(CF_TEXT));
}

void TEditSelectAll::ExecuteTarget(TObject* Target) { AsEdit(Target)->SelectAll(); }
void TEditSelectAll::UpdateTarget(TObject* Target)
{
    SetEnabled(AsEdit(Target)->GetTextLen() > 0 && AsEdit(Target)->GetSelLength() < AsEdit(Target)->GetTextLen());
}

void TEditUndo::ExecuteTarget(TObject* Target) { AsEdit(Target)->Undo(); }
void TEditUndo::UpdateTarget(TObject* Target)
{
    SetEnabled(IsWritable(Target) && AsEdit(Target)->Perform(EM_CANUNDO, 0, 0) != 0);
}

void TEditDelete::ExecuteTarget(TObject* Target) { AsEdit(Target)->ClearSelection(); }
void TEditDelete::UpdateTarget(TObject* Target) { SetEnabled(HasSelection(Target) && IsWritable(Target)); }

// ---- file exit -------------------------------------------------------------------------------

void TFileExit::ExecuteTarget(TObject*)
{
    if (!Application)
        return;
    if (TCustomForm* main = Application->GetMainForm())
        main->Close();
    else
        Application->Terminate();
}

bool TFileExit::Execute()
{
    if (TCustomAction::Execute())
        return true;
    ExecuteTarget(nullptr);
    return true;
}

}  // namespace vcl
