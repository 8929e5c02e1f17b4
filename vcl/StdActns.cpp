// Standard actions on edit controls, MDI frames, the help system and the application.
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
VCL_IMPLEMENT_CLASS(TFileExit, TAction)
VCL_IMPLEMENT_CLASS(TWindowAction, TAction, {
    m.Publish("Form", &TWindowAction::GetForm, &TWindowAction::SetForm);
})
VCL_IMPLEMENT_CLASS(TWindowClose, TWindowAction)
VCL_IMPLEMENT_CLASS(TWindowCascade, TWindowAction)
VCL_IMPLEMENT_CLASS(TWindowTileHorizontal, TWindowAction)
VCL_IMPLEMENT_CLASS(TWindowTileVertical, TWindowAction)
VCL_IMPLEMENT_CLASS(TWindowMinimizeAll, TWindowAction)
VCL_IMPLEMENT_CLASS(TWindowArrange, TWindowAction)
VCL_IMPLEMENT_CLASS(THelpAction, TAction)
VCL_IMPLEMENT_CLASS(THelpContents, THelpAction)
VCL_IMPLEMENT_CLASS(THelpTopicSearch, THelpAction)
VCL_IMPLEMENT_CLASS(THelpOnHelp, THelpAction)
VCL_IMPLEMENT_CLASS(THelpContextAction, THelpAction)

void RegisterStdActions()
{
    RegisterClasses({TEditCut::StaticClass(), TEditCopy::StaticClass(), TEditPaste::StaticClass(),
                     TEditSelectAll::StaticClass(), TEditUndo::StaticClass(), TEditDelete::StaticClass(),
                     TFileExit::StaticClass(), TWindowClose::StaticClass(), TWindowCascade::StaticClass(),
                     TWindowTileHorizontal::StaticClass(), TWindowTileVertical::StaticClass(),
                     TWindowMinimizeAll::StaticClass(), TWindowArrange::StaticClass(), THelpContents::StaticClass(),
                     THelpTopicSearch::StaticClass(), THelpOnHelp::StaticClass(),
                     THelpContextAction::StaticClass(), TFileOpen::StaticClass(), TFileOpenWith::StaticClass(),
                     TFileSaveAs::StaticClass(), TFilePrintSetup::StaticClass(), TSearchFind::StaticClass(),
                     TSearchReplace::StaticClass(), TSearchFindFirst::StaticClass(),
                     TSearchFindNext::StaticClass(), TFontEdit::StaticClass(), TColorSelect::StaticClass(),
                     TPrintDlg::StaticClass()});
}

bool ExecuteOwnTarget(TBasicAction* Action, bool Handled)
{
    if (Handled)
        return true;
    auto* custom = dynamic_cast<TCustomAction*>(Action);
    if (custom && !custom->GetEnabled())
        return false;
    Action->ExecuteTarget(nullptr);
    return true;
}

// ---- edit actions ----------------------------------------------------------------------------

TEditAction::TEditAction(TComponent* AOwner) : TAction(AOwner) {}

void TEditAction::SetControl(TCustomEdit* Value)
{
    SetComponentReference(this, FControl, Value);
}

void TEditAction::Notification(TComponent* AComponent, TOperation Operation)
{
    TAction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FControl)
        FControl = nullptr;
}

TCustomEdit* FocusedEdit()
{
    return dynamic_cast<TCustomEdit*>(FindControl(GetFocus()));
}

TCustomEdit* TEditAction::Target() const
{
    return FControl ? FControl : FocusedEdit();
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
    return ExecuteOwnTarget(this, TAction::Execute());
}

// ---- window actions ----------------------------------------------------------------------------

TWindowAction::TWindowAction(TComponent* AOwner) : TAction(AOwner) {}

void TWindowAction::SetForm(TCustomForm* Value)
{
    SetComponentReference(this, FForm, Value);
}

void TWindowAction::Notification(TComponent* AComponent, TOperation Operation)
{
    TAction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FForm)
        FForm = nullptr;
}

TCustomForm* TWindowAction::Target() const
{
    return FForm ? FForm : (Screen ? Screen->GetActiveForm() : nullptr);
}

HWND TWindowAction::ClientOf(TObject* Target)
{
    auto* form = dynamic_cast<TCustomForm*>(Target);
    return form && form->GetFormStyle() == TFormStyle::fsMDIForm ? form->GetClientHandle() : nullptr;
}

HWND TWindowAction::ActiveChildOf(TObject* Target)
{
    HWND client = ClientOf(Target);
    return client ? HWND(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

bool TWindowAction::HandlesTarget(TObject* Target)
{
    return (!FForm || Target == FForm) && ClientOf(Target) != nullptr;
}

void TWindowAction::UpdateTarget(TObject* Target)
{
    SetEnabled(ActiveChildOf(Target) != nullptr);
}

bool TWindowAction::Execute()
{
    if (TAction::Execute())
        return true;
    TCustomForm* form = Target();
    if (!form || !HandlesTarget(form) || !GetEnabled())
        return false;
    ExecuteTarget(form);
    return true;
}

bool TWindowAction::Update()
{
    if (TAction::Update())
        return true;
    TCustomForm* form = Target();
    if (form && HandlesTarget(form)) {
        UpdateTarget(form);
        return true;
    }
    SetEnabled(false);
    return false;
}

void TWindowClose::ExecuteTarget(TObject* Target)
{
    if (HWND child = ActiveChildOf(Target))
        SendMessageA(child, WM_CLOSE, 0, 0);
}

void TWindowCascade::ExecuteTarget(TObject* Target)
{
    if (auto* form = dynamic_cast<TCustomForm*>(Target))
        form->Cascade();
}

namespace {
void TileChildren(TObject* Target, TTileMode Mode)
{
    if (auto* form = dynamic_cast<TCustomForm*>(Target)) {
        form->SetTileMode(Mode);
        form->Tile();
    }
}
}  // namespace

void TWindowTileHorizontal::ExecuteTarget(TObject* Target)
{
    TileChildren(Target, TTileMode::tbHorizontal);
}

void TWindowTileVertical::ExecuteTarget(TObject* Target)
{
    TileChildren(Target, TTileMode::tbVertical);
}

namespace {
BOOL CALLBACK MinimizeChild(HWND Child, LPARAM Client)
{
    if (GetParent(Child) == HWND(Client))
        ShowWindow(Child, SW_MINIMIZE);
    return TRUE;
}
}  // namespace

void TWindowMinimizeAll::ExecuteTarget(TObject* Target)
{
    HWND client = ClientOf(Target);
    EnumChildWindows(client, MinimizeChild, LPARAM(client));
}

void TWindowArrange::ExecuteTarget(TObject* Target)
{
    if (auto* form = dynamic_cast<TCustomForm*>(Target))
        form->ArrangeIcons();
}

// ---- help actions ------------------------------------------------------------------------------

void THelpAction::UpdateTarget(TObject*)
{
    SetEnabled(!CurrentHelpFile().empty());
}

bool THelpAction::Execute()
{
    return ExecuteOwnTarget(this, TAction::Execute());
}

bool THelpAction::Update()
{
    if (!TAction::Update())
        UpdateTarget(nullptr);
    return true;
}

void THelpContents::ExecuteTarget(TObject*)
{
    HelpCommand(HELP_FINDER, 0);
}

void THelpTopicSearch::ExecuteTarget(TObject*)
{
    static const char empty[] = "";
    HelpCommand(HELP_PARTIALKEY, ULONG_PTR(empty));
}

void THelpOnHelp::ExecuteTarget(TObject*)
{
    HelpCommand(HELP_HELPONHELP, 0);
}

namespace {
int ActiveHelpContext()
{
    TCustomForm* form = Screen ? Screen->GetActiveForm() : nullptr;
    return form ? form->HelpContext : 0;
}
}  // namespace

void THelpContextAction::UpdateTarget(TObject* Target)
{
    THelpAction::UpdateTarget(Target);
    if (ActiveHelpContext() == 0)
        SetEnabled(false);
}

void THelpContextAction::ExecuteTarget(TObject*)
{
    HelpCommand(HELP_CONTEXT, ULONG_PTR(ActiveHelpContext()));
}

}  // namespace vcl
