// Standard actions that run a common dialog: file, search, font, colour and print actions.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "Forms.h"
#include "StdActns.h"
#include "StdCtrls.h"

namespace vcl {

namespace {
// The action's own dialog streams inside it ("Dialog.Title = ..."), not as a reference to a component.
TPropInfo DialogProperty()
{
    TPropInfo info;
    info.Name = "Dialog";
    info.Kind = TTypeKind::Class;
    info.ClassOf = &TPersistent::StaticClass;
    info.Get = [](TObject* o) -> TPropValue { return static_cast<TCommonDialogAction*>(o)->GetDialog(); };
    return info;
}
}  // namespace

VCL_IMPLEMENT_CLASS(TCommonDialogAction, TAction, {
    m.AddProp(DialogProperty());
    m.Publish("BeforeExecute", &TCommonDialogAction::GetBeforeExecute, &TCommonDialogAction::SetBeforeExecute);
    m.Publish("OnAccept", &TCommonDialogAction::GetOnAccept, &TCommonDialogAction::SetOnAccept);
    m.Publish("OnCancel", &TCommonDialogAction::GetOnCancel, &TCommonDialogAction::SetOnCancel);
})
VCL_IMPLEMENT_CLASS(TFileAction, TCommonDialogAction)
VCL_IMPLEMENT_CLASS(TFileOpen, TFileAction)
VCL_IMPLEMENT_CLASS(TFileOpenWith, TFileOpen, {
    m.Publish("FileName", &TFileOpenWith::GetFileName, &TFileOpenWith::SetFileName);
})
VCL_IMPLEMENT_CLASS(TFileSaveAs, TFileAction)
VCL_IMPLEMENT_CLASS(TFilePrintSetup, TCommonDialogAction)
VCL_IMPLEMENT_CLASS(TSearchAction, TCommonDialogAction)
VCL_IMPLEMENT_CLASS(TSearchFind, TSearchAction)
VCL_IMPLEMENT_CLASS(TSearchReplace, TSearchAction)
VCL_IMPLEMENT_CLASS(TSearchFindFirst, TSearchFind)
VCL_IMPLEMENT_CLASS(TSearchFindNext, TAction, {
    m.Publish("SearchFind", &TSearchFindNext::GetSearchFind, &TSearchFindNext::SetSearchFind);
})
VCL_IMPLEMENT_CLASS(TFontEdit, TCommonDialogAction)
VCL_IMPLEMENT_CLASS(TColorSelect, TCommonDialogAction)
VCL_IMPLEMENT_CLASS(TPrintDlg, TCommonDialogAction)

// ---- dialog actions ----------------------------------------------------------------------------

TCommonDialogAction::TCommonDialogAction(TComponent* AOwner) : TAction(AOwner)
{
    DisableIfNoHandler = false;
}

TCommonDialog* TCommonDialogAction::GetDialog() const
{
    if (FDialog)
        return FDialog;
    TClass dialogClass = GetDialogClass();
    if (!dialogClass)
        return nullptr;
    auto* self = const_cast<TCommonDialogAction*>(this);
    FDialog = static_cast<TCommonDialog*>(dialogClass->Create(self));
    FDialog->SetName(dialogClass->ClassName().substr(1));  // "TOpenDialog" -> "OpenDialog"
    return FDialog;
}

void TCommonDialogAction::Notification(TComponent* AComponent, TOperation Operation)
{
    TAction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDialog)
        FDialog = nullptr;
}

void TCommonDialogAction::ExecuteTarget(TObject*)
{
    FExecuteResult = false;
    BeforeExecute(this);
    TCommonDialog* dialog = GetDialog();
    if (!dialog)
        return;
    FExecuteResult = dialog->Execute();
    if (FExecuteResult)
        OnAccept(this);
    else
        OnCancel(this);
}

bool TCommonDialogAction::Execute()
{
    return ExecuteOwnTarget(this, TAction::Execute());
}

void TFileOpenWith::ExecuteTarget(TObject* Target)
{
    AnsiString file = FFileName;
    if (file.empty()) {
        TFileOpen::ExecuteTarget(Target);
        if (!GetExecuteResult())
            return;
        file = GetDialog()->GetFileName();
    }
    AnsiString parameters = "shell32.dll,OpenAs_RunDLL " + file;
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = Application ? Application->GetHandle() : nullptr;
    info.lpVerb = "open";
    info.lpFile = "rundll32.exe";
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info))
        RaiseLastOSError();
}

// ---- search ------------------------------------------------------------------------------------

int SearchText(const AnsiString& Text, int SelStart, int SelLength, const AnsiString& What, TFindOptions Options)
{
    if (What.empty() || What.size() > Text.size())
        return -1;
    const bool matchCase = Options.Contains(frMatchCase);
    const AnsiString text = matchCase ? Text : AnsiUpperCase(Text);
    const AnsiString what = matchCase ? What : AnsiUpperCase(What);
    auto wordChar = [&text](size_t at) { return IsCharAlphaNumericA(text[at]) || text[at] == '_'; };
    auto fits = [&](size_t at) {
        if (!Options.Contains(frWholeWord))
            return true;
        size_t end = at + what.size();
        return (at == 0 || !wordChar(at - 1)) && (end == text.size() || !wordChar(end));
    };
    const size_t start = size_t(std::clamp(SelStart, 0, int(text.size())));
    if (Options.Contains(frDown)) {
        size_t from = std::min(text.size(), start + size_t(std::max(SelLength, 0)));
        for (size_t at = text.find(what, from); at != AnsiString::npos; at = text.find(what, at + 1))
            if (fits(at))
                return int(at);
        return -1;
    }
    // Upwards: the last match that ends at the selection's start or before it.
    if (start < what.size())
        return -1;
    for (size_t at = text.rfind(what, start - what.size()); at != AnsiString::npos; at = text.rfind(what, at - 1)) {
        if (fits(at))
            return int(at);
        if (at == 0)
            break;
    }
    return -1;
}

TSearchAction::TSearchAction(TComponent* AOwner) : TCommonDialogAction(AOwner) {}

void TSearchAction::SetControl(TCustomEdit* Value)
{
    SetComponentReference(this, FControl, Value);
}

void TSearchAction::Notification(TComponent* AComponent, TOperation Operation)
{
    TCommonDialogAction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FControl)
        FControl = nullptr;
}

TCustomEdit* TSearchAction::SearchedEdit() const
{
    TCustomEdit* focused = FocusedEdit();
    return focused ? focused : FControl;
}

bool TSearchAction::HandlesTarget(TObject* Target)
{
    auto* edit = dynamic_cast<TCustomEdit*>(Target);
    return edit && edit->HandleAllocated();
}

void TSearchAction::UpdateTarget(TObject* Target)
{
    SetEnabled(HandlesTarget(Target));
}

bool TSearchAction::Update()
{
    if (!TCommonDialogAction::Update())
        UpdateTarget(SearchedEdit());
    return true;
}

// The edit with the focus now is the one the dialog searches.
void TSearchAction::ExecuteTarget(TObject* Target)
{
    auto* edit = dynamic_cast<TCustomEdit*>(Target);
    SetControl(edit ? edit : FocusedEdit());
    FSearchFromEdge = FFindFirst;
    GetDialog()->OnFind = TNotifyEvent(this, &TSearchAction::DialogFind);
    TCommonDialogAction::ExecuteTarget(Target);
}

void TSearchAction::DialogFind(TObject*)
{
    Search();
}

bool TSearchAction::Search()
{
    TCustomEdit* edit = SearchedEdit();
    TFindDialog* dialog = GetDialog();
    if (!edit || !edit->HandleAllocated())
        return false;
    TFindOptions options = dialog->GetOptions();
    AnsiString what = dialog->GetFindText();
    AnsiString text = edit->GetText();
    int selStart = edit->GetSelStart(), selLength = edit->GetSelLength();
    if (FSearchFromEdge) {
        selStart = options.Contains(frDown) ? 0 : int(text.size());
        selLength = 0;
        FSearchFromEdge = false;
    }
    int at = SearchText(text, selStart, selLength, what, options);
    if (at < 0) {
        ShowMessage(Format("Cannot find \"%s\"", {what}));
        return false;
    }
    edit->SetSelStart(at);
    edit->SetSelLength(int(what.size()));
    edit->Perform(EM_SCROLLCARET);
    return true;
}

void TSearchReplace::ExecuteTarget(TObject* Target)
{
    GetDialog()->OnReplace = TNotifyEvent(this, &TSearchReplace::DialogReplace);
    TSearchAction::ExecuteTarget(Target);
}

// "Replace" replaces the found text and finds the next; "Replace All" replaces every place from the start.
void TSearchReplace::DialogReplace(TObject*)
{
    TCustomEdit* edit = SearchedEdit();
    TReplaceDialog* dialog = GetDialog();
    if (!edit || !edit->HandleAllocated())
        return;
    TFindOptions options = dialog->GetOptions();
    AnsiString what = dialog->GetFindText();
    AnsiString with = dialog->GetReplaceText();
    if (!options.Contains(frReplaceAll)) {
        AnsiString selected = edit->GetSelText();
        bool same = options.Contains(frMatchCase) ? selected == what : AnsiUpperCase(selected) == AnsiUpperCase(what);
        if (same && !what.empty())
            edit->SetSelText(with);
        Search();
        return;
    }
    int from = 0, replaced = 0;
    for (int at; (at = SearchText(edit->GetText(), from, 0, what, options + TFindOptions{frDown})) >= 0;) {
        edit->SetSelStart(at);
        edit->SetSelLength(int(what.size()));
        edit->SetSelText(with);
        from = at + int(with.size());
        ++replaced;
    }
    if (replaced == 0)
        ShowMessage(Format("Cannot find \"%s\"", {what}));
}

TSearchFindFirst::TSearchFindFirst(TComponent* AOwner) : TSearchFind(AOwner)
{
    FFindFirst = true;
}

void TSearchFindNext::SetSearchFind(TSearchFind* Value)
{
    SetComponentReference(this, FSearchFind, Value);
}

void TSearchFindNext::Notification(TComponent* AComponent, TOperation Operation)
{
    TAction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSearchFind)
        FSearchFind = nullptr;
}

bool TSearchFindNext::HandlesTarget(TObject*)
{
    return FSearchFind != nullptr;
}

void TSearchFindNext::UpdateTarget(TObject* Target)
{
    SetEnabled(HandlesTarget(Target) && FocusedEdit() != nullptr);
}

void TSearchFindNext::ExecuteTarget(TObject*)
{
    if (!FSearchFind)
        return;
    if (FSearchFind->GetDialog()->GetFindText().empty())
        FSearchFind->Execute();
    else
        FSearchFind->Search();
}

bool TSearchFindNext::Execute()
{
    return ExecuteOwnTarget(this, TAction::Execute());
}

bool TSearchFindNext::Update()
{
    if (!TAction::Update())
        UpdateTarget(nullptr);
    return true;
}

}  // namespace vcl
