// The modeless find and replace dialogs.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "Dialogs.h"

#include <dlgs.h>

namespace vcl {

namespace {
const std::vector<AnsiString> FindOptionNames = {
    "frDown",          "frFindNext",         "frHideMatchCase", "frHideWholeWord",    "frHideUpDown",
    "frMatchCase",     "frDisableMatchCase", "frDisableUpDown", "frDisableWholeWord", "frReplace",
    "frReplaceAll",    "frWholeWord",        "frShowHelp"};
// The system's flag for each option, in the order of TFindOption.
const DWORD FindFlags[] = {FR_DOWN,      FR_FINDNEXT,    FR_HIDEMATCHCASE, FR_HIDEWHOLEWORD, FR_HIDEUPDOWN,
                           FR_MATCHCASE, FR_NOMATCHCASE, FR_NOUPDOWN,      FR_NOWHOLEWORD,   FR_REPLACE,
                           FR_REPLACEALL, FR_WHOLEWORD,  FR_SHOWHELP};

DWORD FlagsOf(TFindOptions Options)
{
    DWORD flags = 0;
    for (size_t i = 0; i < std::size(FindFlags); ++i)
        if (Options.Contains(TFindOption(i)))
            flags |= FindFlags[i];
    return flags;
}

TFindOptions OptionsOf(DWORD Flags)
{
    TFindOptions options;
    for (size_t i = 0; i < std::size(FindFlags); ++i)
        if (Flags & FindFlags[i])
            options << TFindOption(i);
    return options;
}

void CopyText(char (&Buffer)[256], const AnsiString& Text)
{
    size_t length = std::min(Text.size(), sizeof Buffer - 1);
    std::memcpy(Buffer, Text.data(), length);
    Buffer[length] = '\0';
}

UINT FindMessage()
{
    static const UINT message = RegisterWindowMessageA(FINDMSGSTRINGA);
    return message;
}
}  // namespace

VCL_IMPLEMENT_CLASS(TFindDialog, TCommonDialog, {
    m.Publish("FindText", &TFindDialog::GetFindText, &TFindDialog::SetFindText);
    m.Publish("Options", &TFindDialog::GetOptions, &TFindDialog::SetOptions)
        .AsSet(FindOptionNames)
        .WithDefault(Int64(TFindOptions{frDown}.ToInt()));
    m.Publish("OnFind", &TFindDialog::GetOnFind, &TFindDialog::SetOnFind);
})
VCL_IMPLEMENT_CLASS(TReplaceDialog, TFindDialog, {
    m.Publish("ReplaceText", &TReplaceDialog::GetReplaceText, &TReplaceDialog::SetReplaceText);
    m.Publish("OnReplace", &TReplaceDialog::GetOnReplace, &TReplaceDialog::SetOnReplace);
})

void RegisterDialogs()
{
    RegisterClasses({TFontDialog::StaticClass(), TColorDialog::StaticClass(), TPrintDialog::StaticClass(),
                     TPrinterSetupDialog::StaticClass(), TFindDialog::StaticClass(),
                     TReplaceDialog::StaticClass()});
}

TFindDialog::TFindDialog(TComponent* AOwner) : TCommonDialog(AOwner)
{
    static_assert(sizeof FFindWhat == TextSize && sizeof FReplaceWith == TextSize);
    FFindReplace.lStructSize = sizeof FFindReplace;
    FFindReplace.lpstrFindWhat = FFindWhat;
    FFindReplace.wFindWhatLen = WORD(TextSize);
    FFindReplace.lpstrReplaceWith = FReplaceWith;
    FFindReplace.wReplaceWithLen = WORD(TextSize);
    FFindReplace.lpfnHook = &DialogHook;
}

// The dialog reads and writes the structure and its buffers while it is open: it goes first.
TFindDialog::~TFindDialog()
{
    CloseDialog();
    if (Application)
        Application->UnhookMainWindow(this);
}

AnsiString TFindDialog::GetFindText() const
{
    return FFindWhat;
}

void TFindDialog::SetFindText(const AnsiString& Value)
{
    CopyText(FFindWhat, Value);
    if (FHandle)
        SetDlgItemTextA(GetHookWindow(), edt1, FFindWhat);
}

bool TFindDialog::Execute()
{
    if (FHandle) {
        SetForegroundWindow(FHandle);
        return true;
    }
    if (!Application)
        return false;
    // The dialog reports to its owner: the application's window, heard through a hook set once.
    Application->UnhookMainWindow(this);
    Application->HookMainWindow(this, [this](TMessage& Message) { return ApplicationHook(Message); });
    FFindReplace.hwndOwner = Application->GetHandle();
    FFindReplace.hInstance = HINSTANCE(HInstance);
    FFindReplace.lpTemplateName = TemplateName();
    FFindReplace.Flags = FlagsOf(FOptions) | FR_ENABLEHOOK | (FFindReplace.lpTemplateName ? FR_ENABLETEMPLATE : 0);
    HWND window = CreateModeless([this] { return CreateDialogWindow(FFindReplace); });
    if (!window)
        return false;
    ShowWindow(window, SW_SHOW);
    return true;
}

HWND TFindDialog::CreateDialogWindow(FINDREPLACEA& FindReplace)
{
    return FindTextA(&FindReplace);
}

void TFindDialog::CloseDialog()
{
    if (FHandle)
        DestroyWindow(FHandle);
}

void TFindDialog::Find()
{
    OnFind(this);
}

void TFindDialog::DoClose()
{
    if (Application && Application->DialogHandle == FHandle)
        Application->DialogHandle = nullptr;
    TCommonDialog::DoClose();
}

// The application's window hears the dialog's buttons: "Find Next", "Replace", "Replace All", closing.
bool TFindDialog::ApplicationHook(TMessage& Message)
{
    if (Message.Msg != FindMessage() || Message.LParam != LPARAM(&FFindReplace))
        return false;
    Message.Result = 0;
    DWORD flags = FFindReplace.Flags;
    FOptions = OptionsOf(flags & ~DWORD(FR_DIALOGTERM));
    try {
        if (flags & FR_FINDNEXT)
            Find();
        else if (flags & (FR_REPLACE | FR_REPLACEALL))
            Replace();
    } catch (...) {
        HandleControlException(this);
    }
    return true;
}

VCL_BEGIN_MESSAGE_MAP(TFindDialog)
    VCL_MESSAGE(WM_ACTIVATE, WMActivate)
VCL_END_MESSAGE_MAP(TCommonDialog)

// While active, the dialog's keys (Tab, Enter, Esc) go through the application's dialog handling.
void TFindDialog::WMActivate(TMessage& Message)
{
    if (Application)
        Application->DialogHandle = LOWORD(Message.WParam) == WA_INACTIVE ? nullptr : FHandle;
    DefaultHandler(Message);
}

AnsiString TReplaceDialog::GetReplaceText() const
{
    return FReplaceWith;
}

void TReplaceDialog::SetReplaceText(const AnsiString& Value)
{
    CopyText(FReplaceWith, Value);
    if (FHandle)
        SetDlgItemTextA(GetHookWindow(), edt2, FReplaceWith);
}

HWND TReplaceDialog::CreateDialogWindow(FINDREPLACEA& FindReplace)
{
    return ReplaceTextA(&FindReplace);
}

void TReplaceDialog::Replace()
{
    OnReplace(this);
}

}  // namespace vcl
