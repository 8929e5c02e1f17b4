// The common dialogs' base (hook, window binding, modal run) and the open and save dialogs.
#include <algorithm>
#include <cctype>

#include "Dialogs.h"

namespace vcl {

bool NewStyleControls = true;
bool ForceCurrentDirectory = false;

namespace {
const std::vector<AnsiString> OpenOptionNames = {
    "ofReadOnly",         "ofOverwritePrompt",  "ofHideReadOnly",       "ofNoChangeDir",
    "ofShowHelp",         "ofNoValidate",       "ofAllowMultiSelect",   "ofExtensionDifferent",
    "ofPathMustExist",    "ofFileMustExist",    "ofCreatePrompt",       "ofShareAware",
    "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton",    "ofNoLongNames",
    "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing"};
}  // namespace

VCL_IMPLEMENT_CLASS(TCommonDialog, TComponent, {
    m.Publish("HelpContext", &TCommonDialog::GetHelpContext, &TCommonDialog::SetHelpContext).WithDefault(0);
    m.Publish("Template", &TCommonDialog::GetTemplate, &TCommonDialog::SetTemplate);
    m.Publish("OnShow", &TCommonDialog::GetOnShow, &TCommonDialog::SetOnShow);
    m.Publish("OnClose", &TCommonDialog::GetOnClose, &TCommonDialog::SetOnClose);
})
VCL_IMPLEMENT_CLASS(TOpenDialog, TCommonDialog, {
    m.Publish("DefaultExt", &TOpenDialog::GetDefaultExt, &TOpenDialog::SetDefaultExt);
    m.Publish("FileName", &TOpenDialog::GetFileName, &TOpenDialog::SetFileName);
    m.Publish("Filter", &TOpenDialog::GetFilter, &TOpenDialog::SetFilter);
    m.Publish("FilterIndex", &TOpenDialog::GetFilterIndex, &TOpenDialog::SetFilterIndex).WithDefault(1);
    m.Publish("InitialDir", &TOpenDialog::GetInitialDir, &TOpenDialog::SetInitialDir);
    m.Publish("Options", &TOpenDialog::GetOptions, &TOpenDialog::SetOptions)
        .AsSet(OpenOptionNames)
        .WithDefault(Int64(TOpenOptions{ofHideReadOnly, ofEnableSizing}.ToInt()));
    m.Publish("Title", &TOpenDialog::GetTitle, &TOpenDialog::SetTitle);
    m.Publish("OnCanClose", &TOpenDialog::GetOnCanClose, &TOpenDialog::SetOnCanClose);
    m.Publish("OnFolderChange", &TOpenDialog::GetOnFolderChange, &TOpenDialog::SetOnFolderChange);
    m.Publish("OnSelectionChange", &TOpenDialog::GetOnSelectionChange, &TOpenDialog::SetOnSelectionChange);
    m.Publish("OnTypeChange", &TOpenDialog::GetOnTypeChange, &TOpenDialog::SetOnTypeChange);
})
VCL_IMPLEMENT_CLASS(TSaveDialog, TOpenDialog)

// ---- binding a dialog window to its object -----------------------------------------------------

// The dialog whose function runs now: its hook's first message binds the new window to it (main thread).
class TCommonDialogBinding {
public:
    explicit TCommonDialogBinding(TCommonDialog* Dialog) : FPrevious(Creating) { Creating = Dialog; }
    ~TCommonDialogBinding() { Creating = FPrevious; }
    TCommonDialogBinding(const TCommonDialogBinding&) = delete;
    TCommonDialogBinding& operator=(const TCommonDialogBinding&) = delete;

    static TCommonDialog* Find(HWND Window)
    {
        if (auto* bound = static_cast<TCommonDialog*>(GetPropA(Window, Property)))
            return bound;
        TCommonDialog* dialog = Creating;
        if (!dialog)
            return nullptr;
        Creating = nullptr;
        SetPropA(Window, Property, dialog);
        dialog->FHookWindow = Window;
        dialog->FHandle = Window;
        return dialog;
    }
    static void Release(TCommonDialog* Dialog, HWND Window)
    {
        RemovePropA(Window, Property);
        Dialog->FHookWindow = nullptr;
        Dialog->FHandle = nullptr;
    }

private:
    static constexpr const char* Property = "VclCommonDialog";
    static inline TCommonDialog* Creating = nullptr;
    TCommonDialog* FPrevious;
};

UINT_PTR CALLBACK TCommonDialog::DialogHook(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TCommonDialog* dialog = TCommonDialogBinding::Find(Window);
    if (!dialog)
        return 0;
    TMessage message{Msg, WParam, LParam, 0};
    try {
        dialog->WndProc(message);
    } catch (...) {
        HandleControlException(dialog);
    }
    if (Msg == WM_DESTROY)
        TCommonDialogBinding::Release(dialog, Window);
    return UINT_PTR(message.Result);
}

// ---- common dialog -----------------------------------------------------------------------------

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

void TCommonDialog::WndProc(TMessage& Message)
{
    Dispatch(Message);
}

VCL_BEGIN_MESSAGE_MAP(TCommonDialog)
    VCL_MESSAGE(WM_INITDIALOG, WMInitDialog)
    VCL_MESSAGE(WM_DESTROY, WMDestroy)
VCL_END_MESSAGE_MAP_ROOT

void TCommonDialog::DefaultHandler(TMessage& Message)
{
    Message.Result = 0;
}

// TRUE lets the dialog put the focus where it wants it.
void TCommonDialog::WMInitDialog(TMessage& Message)
{
    Message.Result = TRUE;
    DoShow();
}

void TCommonDialog::WMDestroy(TMessage& Message)
{
    DefaultHandler(Message);
    DoClose();
}

void TCommonDialog::DoShow()
{
    OnShow(this);
}

void TCommonDialog::DoClose()
{
    OnClose(this);
}

void TCommonDialog::SetDialogResult(TMessage& Message, LRESULT Result)
{
    Message.Result = Result;
    if (FHookWindow)
        SetWindowLongPtrA(FHookWindow, DWLP_MSGRESULT, Result);
}

HWND TCommonDialog::OwnerWindow()
{
    TCustomForm* active = Screen ? Screen->GetActiveForm() : nullptr;
    if (active && active->HandleAllocated())
        return active->WindowHandle;
    return Application ? Application->GetHandle() : nullptr;
}

bool TCommonDialog::TaskModalDialog(const std::function<BOOL()>& DialogFunc)
{
    HWND focus = GetFocus();
    BOOL result;
    {
        TCommonDialogBinding binding(this);
        result = DialogFunc();
    }
    FHandle = nullptr;
    FHookWindow = nullptr;
    if (focus && IsWindow(focus))
        SetFocus(focus);
    return result != FALSE;
}

HWND TCommonDialog::CreateModeless(const std::function<HWND()>& CreateFunc)
{
    TCommonDialogBinding binding(this);
    return CreateFunc();
}

// ---- file names --------------------------------------------------------------------------------

namespace {
bool IsFullPath(const AnsiString& Name)
{
    return (!Name.empty() && Name[0] == '\\') ||
           (Name.size() >= 3 && std::isalpha(static_cast<unsigned char>(Name[0])) && Name[1] == ':' && Name[2] == '\\');
}
}  // namespace

std::vector<AnsiString> SplitFileNames(const char* Buffer, size_t Size, char Separator, bool MultiSelect)
{
    // The text ends at the first NUL (space separated) or at two NULs in a row.
    std::vector<AnsiString> parts;
    size_t at = 0;
    while (at < Size && Buffer[at]) {
        size_t end = at;
        while (end < Size && Buffer[end] && Buffer[end] != Separator)
            ++end;
        if (end > at)
            parts.emplace_back(Buffer + at, end - at);
        if (!MultiSelect)
            break;
        at = end < Size ? end + 1 : end;
        if (Separator != '\0' && end < Size && !Buffer[end])
            break;
    }
    if (parts.size() <= 1)
        return {parts.empty() ? AnsiString() : parts.front()};
    AnsiString folder = IncludeTrailingBackslash(parts.front());
    std::vector<AnsiString> names;
    for (size_t i = 1; i < parts.size(); ++i)
        names.push_back(IsFullPath(parts[i]) ? parts[i] : folder + parts[i]);
    return names;
}

// ---- open and save dialogs ---------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(new TStringList) {}

TOpenDialog::~TOpenDialog()
{
    delete FFiles;
}

bool TOpenDialog::Execute()
{
    return DoExecute([](OPENFILENAMEA& OpenFileName) { return GetOpenFileNameA(&OpenFileName); }, OwnerWindow());
}

bool TSaveDialog::Execute()
{
    return DoExecute([](OPENFILENAMEA& OpenFileName) { return GetSaveFileNameA(&OpenFileName); }, OwnerWindow());
}

AnsiString TOpenDialog::GetFileName() const
{
    if (!FHandle || !IsExplorerStyle())
        return FFileName;
    // The dialog says how much room the path needs.
    LRESULT size = SendMessageA(FHandle, CDM_GETFILEPATH, 0, 0);
    if (size <= 0)
        return FFileName;
    std::vector<char> path(size_t(size) + 1, '\0');
    if (SendMessageA(FHandle, CDM_GETFILEPATH, WPARAM(path.size()), LPARAM(path.data())) <= 0)
        return FFileName;
    return path.data();
}

bool TOpenDialog::DoExecute(const TOpenFileNameFunc& Func, HWND ParentWnd)
{
    static const DWORD flags[] = {OFN_READONLY, OFN_OVERWRITEPROMPT, OFN_HIDEREADONLY, OFN_NOCHANGEDIR,
                                  OFN_SHOWHELP, OFN_NOVALIDATE, OFN_ALLOWMULTISELECT, OFN_EXTENSIONDIFFERENT,
                                  OFN_PATHMUSTEXIST, OFN_FILEMUSTEXIST, OFN_CREATEPROMPT, OFN_SHAREAWARE,
                                  OFN_NOREADONLYRETURN, OFN_NOTESTFILECREATE, OFN_NONETWORKBUTTON,
                                  OFN_NOLONGNAMES, 0, OFN_NODEREFERENCELINKS, OFN_ENABLEINCLUDENOTIFY,
                                  OFN_ENABLESIZING};
    // "Text files|*.txt|All files|*.*" -> NUL separated, doubly terminated.
    std::string filter = FFilter;
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.append(2, '\0');
    std::vector<char> file(64 * 1024, '\0');
    std::copy_n(FFileName.begin(), std::min(FFileName.size(), file.size() - 1), file.begin());
    const char* initialDir = FInitialDir.empty() ? (ForceCurrentDirectory ? "." : nullptr) : FInitialDir.c_str();
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ParentWnd;
    ofn.hInstance = HINSTANCE(HInstance);
    ofn.lpstrFilter = FFilter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = DWORD(FFilterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrInitialDir = initialDir;
    ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
    ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
    ofn.lpfnHook = &DialogHook;
    ofn.lpTemplateName = TemplateName();
    ofn.Flags = OFN_ENABLEHOOK | (ofn.lpTemplateName ? OFN_ENABLETEMPLATE : 0);
    if (IsExplorerStyle())
        ofn.Flags |= OFN_EXPLORER;
    for (int i = 0; i <= int(ofEnableSizing); ++i)
        if (FOptions.Contains(TOpenOption(i)))
            ofn.Flags |= flags[i];
    if (!TaskModalDialog([&] { return Func(ofn); }))
        return false;
    GetFileNames(ofn);
    FFilterIndex = int(ofn.nFilterIndex);
    if (ofn.Flags & OFN_EXTENSIONDIFFERENT)
        FOptions << ofExtensionDifferent;
    else
        FOptions >> ofExtensionDifferent;
    if (ofn.Flags & OFN_READONLY)
        FOptions << ofReadOnly;
    else
        FOptions >> ofReadOnly;
    return true;
}

void TOpenDialog::GetFileNames(const OPENFILENAMEA& OpenFileName)
{
    bool multi = FOptions.Contains(ofAllowMultiSelect);
    char separator = multi && !IsExplorerStyle() ? ' ' : '\0';
    std::vector<AnsiString> names = SplitFileNames(OpenFileName.lpstrFile, OpenFileName.nMaxFile, separator, multi);
    FFiles->BeginUpdate();
    FFiles->Clear();
    for (const AnsiString& name : names)
        FFiles->Add(name);
    FFiles->EndUpdate();
    FFileName = names.front();
}

bool TOpenDialog::DoCanClose()
{
    bool canClose = true;
    OnCanClose(this, canClose);
    return canClose;
}

void TOpenDialog::DoIncludeItem(const OFNOTIFYEXA& OFNotifyEx, bool& Include)
{
    OnIncludeItem(this, OFNotifyEx, Include);
}

void TOpenDialog::DoSelectionChange() { OnSelectionChange(this); }
void TOpenDialog::DoFolderChange() { OnFolderChange(this); }
void TOpenDialog::DoTypeChange() { OnTypeChange(this); }

// The close check sees the names about to be chosen; afterwards the lists are as they were, so that
// a refused or cancelled dialog loses nothing.
void TOpenDialog::CheckClose(TMessage& Message, const OPENFILENAMEA& OpenFileName)
{
    AnsiString fileName = FFileName;
    TStringList files;
    files.Assign(FFiles);
    struct Restore {
        TOpenDialog* dialog;
        AnsiString& fileName;
        TStringList& files;
        ~Restore()
        {
            dialog->FFileName = fileName;
            dialog->FFiles->Assign(&files);
        }
    } restore{this, fileName, files};
    SetDialogResult(Message, 1);  // a check that fails keeps the dialog open
    GetFileNames(OpenFileName);
    if (DoCanClose())
        SetDialogResult(Message, 0);
}

// The old-style dialog asks its hook with a registered message whether it may close (an explorer-style
// one may send it too, after CDN_FILEOK has been answered).
void TOpenDialog::WndProc(TMessage& Message)
{
    static const UINT fileOk = RegisterWindowMessageA(FILEOKSTRINGA);
    if (Message.Msg == fileOk && Message.LParam && !IsExplorerStyle())
        CheckClose(Message, *reinterpret_cast<const OPENFILENAMEA*>(Message.LParam));
    else
        TCommonDialog::WndProc(Message);
}

VCL_BEGIN_MESSAGE_MAP(TOpenDialog)
    VCL_MESSAGE(WM_INITDIALOG, WMInitDialog)
    VCL_MESSAGE(WM_NOTIFY, WMNotify)
VCL_END_MESSAGE_MAP(TCommonDialog)

// An explorer-style dialog runs its hook on a child of the dialog; it is shown once CDN_INITDONE comes.
void TOpenDialog::WMInitDialog(TMessage& Message)
{
    if (!IsExplorerStyle()) {
        TCommonDialog::WMInitDialog(Message);
        return;
    }
    FHandle = GetParent(GetHookWindow());
    Message.Result = TRUE;
}

// The notifications read no text of the structure: a descendant may run the dialog with another one.
void TOpenDialog::WMNotify(TMessage& Message)
{
    auto* notify = reinterpret_cast<OFNOTIFYA*>(Message.LParam);
    Message.Result = 0;
    switch (notify->hdr.code) {
    case CDN_INITDONE:
        DoShow();
        break;
    case CDN_FILEOK:
        CheckClose(Message, *notify->lpOFN);
        break;
    case CDN_SELCHANGE:
        DoSelectionChange();
        break;
    case CDN_FOLDERCHANGE:
        DoFolderChange();
        break;
    case CDN_TYPECHANGE:
        FFilterIndex = int(notify->lpOFN->nFilterIndex);
        DoTypeChange();
        break;
    case CDN_INCLUDEITEM: {
        bool include = true;
        DoIncludeItem(*reinterpret_cast<OFNOTIFYEXA*>(Message.LParam), include);
        SetDialogResult(Message, include ? 1 : 0);
        break;
    }
    default:
        break;
    }
}

}  // namespace vcl
