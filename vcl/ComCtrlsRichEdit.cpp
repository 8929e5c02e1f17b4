// The rich edit: a memo over the system rich edit control.
#include <richedit.h>

#include "ComCtrls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TRichEditStrings, TMemoStrings)
VCL_IMPLEMENT_CLASS(TCustomRichEdit, TCustomMemo)
VCL_IMPLEMENT_CLASS(TRichEdit, TCustomRichEdit, {
    m.Publish("Text", &TRichEdit::GetTextProp, &TRichEdit::SetText);
    m.PublishReadOnly("Lines", &TRichEdit::GetLines);
    m.Publish("PlainText", &TRichEdit::GetPlainText, &TRichEdit::SetPlainText).WithDefault(0);
    m.Publish("ReadOnly", &TRichEdit::GetReadOnly, &TRichEdit::SetReadOnly).WithDefault(0);
    m.Publish("WordWrap", &TRichEdit::GetWordWrap, &TRichEdit::SetWordWrap).WithDefault(1);
    m.Publish("WantReturns", &TRichEdit::GetWantReturns, &TRichEdit::SetWantReturns).WithDefault(1);
    m.Publish("MaxLength", &TRichEdit::GetMaxLength, &TRichEdit::SetMaxLength).WithDefault(0);
    m.Publish("ScrollBars", &TRichEdit::GetScrollBars, &TRichEdit::SetScrollBars)
        .WithNames({"ssNone", "ssHorizontal", "ssVertical", "ssBoth"})
        .WithDefault(0);
    m.Publish("OnChange", &TRichEdit::GetOnChange, &TRichEdit::SetOnChange);
    m.Publish("OnSelectionChange", &TRichEdit::GetOnSelectionChange, &TRichEdit::SetOnSelectionChange);
})

namespace {
// The window class of the rich edit library the platform has, loaded once and kept for the process.
const char* RichEditClass()
{
    static const char* name = [] {
        if (LoadLibraryA("riched20.dll"))
            return "RichEdit20A";
        if (LoadLibraryA("msftedit.dll"))
            return "RICHEDIT50W";
        throw EOutOfResources("No rich edit control is available");
    }();
    return name;
}
}  // namespace

TRichEditStrings::TRichEditStrings(TCustomRichEdit* RichEdit) : TMemoStrings(RichEdit), FRichEdit(RichEdit) {}

void TRichEditStrings::Insert(int Index, const AnsiString& S)
{
    if (!FRichEdit->HandleAllocated())
        return TMemoStrings::Insert(Index, S);
    LRESULT before = FRichEdit->Perform(WM_GETTEXTLENGTH);
    TMemoStrings::Insert(Index, S);
    if (FRichEdit->Perform(WM_GETTEXTLENGTH) == before)
        throw EOutOfResources("RichEdit line insertion error");
}

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomMemo(AOwner)
{
    delete FLines;
    FLines = new TRichEditStrings(this);
}

void TCustomRichEdit::CreateParams(TCreateParams& Params)
{
    TCustomMemo::CreateParams(Params);
    CreateSubClass(Params, RichEditClass());
}

void TCustomRichEdit::CreateWnd()
{
    TCustomMemo::CreateWnd();
    // The text mode can change only while the control is empty, before the inherited text goes in.
    if (FPlainText) {
        AnsiString text = GetText();
        Perform(WM_SETTEXT, 0, LPARAM(""));
        Perform(EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE);
        Perform(WM_SETTEXT, 0, LPARAM(text.c_str()));
    }
    // Without a limit of its own the control stops at 32K characters.
    Perform(EM_EXLIMITTEXT, 0, FMaxLength > 0 ? LPARAM(FMaxLength) : LPARAM(0x7FFFFFF0));
    Perform(EM_SETTARGETDEVICE, 0, GetWordWrap() ? 0 : 1);
    Perform(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
}

void TCustomRichEdit::SetPlainText(bool Value)
{
    if (FPlainText != Value) {
        FPlainText = Value;
        RecreateWnd();
    }
}

int TCustomRichEdit::FindText(const AnsiString& S, int StartPos, int Length, TSearchTypes Options)
{
    HandleNeeded();
    FINDTEXTA find{};
    find.chrg.cpMin = StartPos;
    find.chrg.cpMax = StartPos + Length;
    find.lpstrText = S.c_str();
    WPARAM flags = FR_DOWN;
    if (Options.Contains(TSearchType::stWholeWord))
        flags |= FR_WHOLEWORD;
    if (Options.Contains(TSearchType::stMatchCase))
        flags |= FR_MATCHCASE;
    return int(SendMessageA(WindowHandle, EM_FINDTEXT, flags, LPARAM(&find)));
}

VCL_BEGIN_MESSAGE_MAP(TCustomRichEdit)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
VCL_END_MESSAGE_MAP(TCustomMemo)

void TCustomRichEdit::CNNotify(TMessage& Message)
{
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (header->code == EN_SELCHANGE)
        SelectionChange();
}

void TCustomRichEdit::SelectionChange()
{
    OnSelectionChange(this);
}

}  // namespace vcl
