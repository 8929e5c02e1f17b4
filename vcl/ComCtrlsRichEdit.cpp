// The rich edit: a memo over the system rich edit control, with RTF streams and printing.
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <exception>

#include "ComCtrls.h"
#include "Dialogs.h"

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

// Carries a stream through EM_STREAMIN / EM_STREAMOUT; an exception of the stream waits here until the
// message has returned, so that it never unwinds through the control.
struct StreamCookie {
    TStream* Stream;
    std::exception_ptr Failure;
};

DWORD CALLBACK ReadStream(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done)
{
    auto* cookie = reinterpret_cast<StreamCookie*>(Cookie);
    try {
        *Done = cookie->Stream->Read(Buffer, Count);
        return 0;
    } catch (...) {
        cookie->Failure = std::current_exception();
        *Done = 0;
        return 1;
    }
}

DWORD CALLBACK WriteStream(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done)
{
    auto* cookie = reinterpret_cast<StreamCookie*>(Cookie);
    try {
        cookie->Stream->WriteBuffer(Buffer, Count);
        *Done = Count;
        return 0;
    } catch (...) {
        cookie->Failure = std::current_exception();
        *Done = 0;
        return 1;
    }
}

// The DC of the printer to print on, deleted with this object.
class PrinterDC {
public:
    PrinterDC() : FHandle(CreatePrinterDC())
    {
        if (!FHandle)
            throw EPrinter("There is no default printer currently selected");
    }
    ~PrinterDC() { DeleteDC(FHandle); }
    PrinterDC(const PrinterDC&) = delete;
    PrinterDC& operator=(const PrinterDC&) = delete;
    HDC Handle() const { return FHandle; }

private:
    HDC FHandle;
};

void CheckPrinter(int Result)
{
    if (Result <= 0)
        RaiseLastOSError();
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

void TRichEditStrings::LoadFromStream(TStream* Stream)
{
    FRichEdit->StreamIn(Stream, FRichEdit->GetPlainText() ? SF_TEXT : SF_RTF);
}

void TRichEditStrings::SaveToStream(TStream* Stream)
{
    FRichEdit->StreamOut(Stream, FRichEdit->GetPlainText() ? SF_TEXT : SF_RTF);
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
    AnsiString text = FText;
    TCustomMemo::CreateWnd();
    // The text mode can change only while the control is empty; the text goes in after it.
    if (FPlainText) {
        Perform(WM_SETTEXT, 0, LPARAM(""));
        Perform(EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE);
        if (!FSaved)
            Perform(WM_SETTEXT, 0, LPARAM(text.c_str()));
    }
    if (FSaved) {
        FSaved->SetPosition(0);
        std::unique_ptr<TMemoryStream> saved = std::move(FSaved);
        StreamIn(saved.get(), FSavedFormat);
    }
    // Without a limit of its own the control stops at 32K characters.
    Perform(EM_EXLIMITTEXT, 0, FMaxLength > 0 ? LPARAM(FMaxLength) : LPARAM(0x7FFFFFF0));
    Perform(EM_SETTARGETDEVICE, 0, GetWordWrap() ? 0 : 1);
    Perform(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
}

void TCustomRichEdit::DestroyWnd()
{
    if (!GetComponentState().Contains(csDestroying)) {
        // The window's own mode says how its content reads (PlainText may have changed already).
        FSavedFormat = Perform(EM_GETTEXTMODE) & TM_PLAINTEXT ? SF_TEXT : SF_RTF;
        auto saved = std::make_unique<TMemoryStream>();
        StreamOut(saved.get(), FSavedFormat);
        FSaved = std::move(saved);
    }
    TCustomMemo::DestroyWnd();
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
    WideString text = AnsiToWide(S);
    FINDTEXTW find{};
    find.chrg.cpMin = StartPos;
    find.chrg.cpMax = StartPos + Length;
    find.lpstrText = text.c_str();
    WPARAM flags = FR_DOWN;
    if (Options.Contains(TSearchType::stWholeWord))
        flags |= FR_WHOLEWORD;
    if (Options.Contains(TSearchType::stMatchCase))
        flags |= FR_MATCHCASE;
    return int(Perform(EM_FINDTEXTW, flags, LPARAM(&find)));
}

void TCustomRichEdit::StreamIn(TStream* Stream, UINT Format)
{
    RunStream(Stream, EM_STREAMIN, Format, &ReadStream, "Failed to load stream");
}

void TCustomRichEdit::StreamOut(TStream* Stream, UINT Format)
{
    RunStream(Stream, EM_STREAMOUT, Format, &WriteStream, "Failed to save stream");
}

// A stream's own failure is raised as it was; the control's, with the text given.
void TCustomRichEdit::RunStream(TStream* Stream, UINT Msg, UINT Format, EDITSTREAMCALLBACK Callback,
                                const char* Failure)
{
    HandleNeeded();
    StreamCookie cookie{Stream, nullptr};
    EDITSTREAM edit{DWORD_PTR(&cookie), 0, Callback};
    Perform(Msg, Format, LPARAM(&edit));
    if (cookie.Failure)
        std::rethrow_exception(cookie.Failure);
    if (edit.dwError != 0)
        throw EStreamError(Failure);
}

int TCustomRichEdit::FormatPages(HDC Device, const std::function<void()>& NewPage)
{
    HandleNeeded();
    const int end = int(Perform(WM_GETTEXTLENGTH));
    GETTEXTLENGTHEX count{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const int characters = int(Perform(EM_GETTEXTLENGTHEX, WPARAM(&count)));
    FORMATRANGE range{};
    range.hdc = range.hdcTarget = Device;
    // The printable area in twips.
    range.rcPage = {0, 0, MulDiv(GetDeviceCaps(Device, HORZRES), 1440, GetDeviceCaps(Device, LOGPIXELSX)),
                    MulDiv(GetDeviceCaps(Device, VERTRES), 1440, GetDeviceCaps(Device, LOGPIXELSY))};
    range.chrg = {0, end};
    struct FreeCache {
        TCustomRichEdit* edit;
        ~FreeCache() { edit->Perform(EM_FORMATRANGE, FALSE, 0); }
    } freeCache{this};
    for (;;) {
        range.rc = range.rcPage;
        LONG next = LONG(Perform(EM_FORMATRANGE, TRUE, LPARAM(&range)));
        bool progress = next > range.chrg.cpMin;
        range.chrg.cpMin = std::max(range.chrg.cpMin, next);
        // A page that takes nothing more ends the loop, so a text the device cannot hold never hangs it.
        if (!progress || next >= end || next >= characters)
            break;
        NewPage();
    }
    return range.chrg.cpMin;
}

void TCustomRichEdit::Print(const AnsiString& Caption)
{
    PrinterDC printer;
    HDC dc = printer.Handle();
    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = Caption.c_str();
    CheckPrinter(StartDocA(dc, &document));
    try {
        CheckPrinter(StartPage(dc));
        int laidOut = FormatPages(dc, [dc] {
            CheckPrinter(EndPage(dc));
            CheckPrinter(StartPage(dc));
        });
        if (laidOut == 0 && GetTextLen() > 0)
            throw EPrinter("The text could not be laid out for printing");
        CheckPrinter(EndPage(dc));
        CheckPrinter(EndDoc(dc));
    } catch (...) {
        AbortDoc(dc);
        throw;
    }
}

VCL_BEGIN_MESSAGE_MAP(TCustomRichEdit)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
    VCL_MESSAGE(WM_GETTEXTLENGTH, WMGetTextLength)
    VCL_MESSAGE(WM_SETTEXT, WMSetText)
VCL_END_MESSAGE_MAP(TCustomMemo)

void TCustomRichEdit::WMSetText(TMessage& Message)
{
    if (!FPlainText || !HandleAllocated() || !Message.LParam) {
        DefaultHandler(Message);
        return;
    }
    const char* text = reinterpret_cast<const char*>(Message.LParam);
    TMemoryStream stream;
    stream.WriteBuffer(text, int(std::strlen(text)));
    stream.SetPosition(0);
    StreamIn(&stream, SF_TEXT);
    Message.Result = TRUE;
}

void TCustomRichEdit::WMGetTextLength(TMessage& Message)
{
    if (!HandleAllocated()) {
        DefaultHandler(Message);
        return;
    }
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMBYTES, CP_ACP};
    LRESULT bytes = Perform(EM_GETTEXTLENGTHEX, WPARAM(&length));
    if (bytes >= 0)
        Message.Result = bytes;
    else
        DefaultHandler(Message);
}

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
