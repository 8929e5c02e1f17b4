// The rich edit on a Unicode "RichEdit20W" window. That window ends a line with a single CR, while callers
// count a line break as CR LF (as the edit control does), so every position, length and text crossing between
// the two is translated here.
#include <richedit.h>
#include <dimm.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "WydActnList.h"
#include "WydComCtrls.h"
#include "WydStdCtrls.h"
#include "WydSysUtils.h"
#include "WydWindows.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydRichEditStrings, TWydMemoStrings)
VCL_IMPLEMENT_CLASS(TWydCustomRichEdit, TCustomRichEdit)
VCL_IMPLEMENT_CLASS(TWydRichEdit, TWydCustomRichEdit, {
    m.PublishReadOnly("Lines", &TWydRichEdit::GetLines);
    m.Publish("Hint", &TWydRichEdit::GetHint, &TWydRichEdit::SetHint).Stored(&TWydRichEdit::IsHintStored);
    m.Publish("PlainText", &TWydRichEdit::GetPlainText, &TWydRichEdit::SetPlainText).WithDefault(0);
    m.Publish("WordWrap", &TWydRichEdit::GetWordWrap, &TWydRichEdit::SetWordWrap).WithDefault(1);
    m.Publish("WantReturns", &TWydRichEdit::GetWantReturns, &TWydRichEdit::SetWantReturns).WithDefault(1);
    m.Publish("ScrollBars", &TWydRichEdit::GetScrollBars, &TWydRichEdit::SetScrollBars)
        .WithNames({"ssNone", "ssHorizontal", "ssVertical", "ssBoth"})
        .WithDefault(0);
    PublishEditProperties<TWydRichEdit>(m);
    m.Publish("OnSelectionChange", &TWydRichEdit::GetOnSelectionChange, &TWydRichEdit::SetOnSelectionChange);
})

namespace {

// {4955DD33-B159-11D0-8FCF-00AA006BCC59} and {08C0E040-62D1-11D1-9326-0060B067B86E}
const CLSID ClsidActiveImm = {0x4955dd33, 0xb159, 0x11d0, {0x8f, 0xcf, 0x00, 0xaa, 0x00, 0x6b, 0xcc, 0x59}};
const IID IidActiveImmApp = {0x08c0e040, 0x62d1, 0x11d1, {0x93, 0x26, 0x00, 0x60, 0xb0, 0x67, 0xb8, 0x6e}};

HMODULE richEdit20 = nullptr;
bool richEdit20Tried = false;
IActiveIMMApp* activeImm = nullptr;
bool activeImmTried = false;

bool RichEdit20Loaded()
{
    if (!richEdit20Tried) {
        richEdit20Tried = true;
        richEdit20 = Wyd_LoadLibraryW(L"RICHED20.DLL");
    }
    return richEdit20 != nullptr;
}

// The process's input-method object, made once when its class is registered. It is optional: a failure to
// make or activate it leaves the rich edits without it.
IActiveIMMApp* ActiveImm()
{
    if (!activeImm && !activeImmTried) {
        activeImmTried = true;
        IActiveIMMApp* made = nullptr;
        if (ClassIsRegistered(ClsidActiveImm) &&
            SUCCEEDED(CoCreateInstance(ClsidActiveImm, nullptr, CLSCTX_INPROC_SERVER, IidActiveImmApp,
                                       reinterpret_cast<void**>(&made)))) {
            if (SUCCEEDED(made->Activate(TRUE)))
                activeImm = made;
            else
                made->Release();
        }
    }
    return activeImm;
}

// The line table of a rich edit window, asked through its messages.
class TWindowLines : public TWydRichEditLineTable {
public:
    explicit TWindowLines(HWND window) : window_(window) {}
    int LineCount() const override { return int(SendMessageW(window_, EM_GETLINECOUNT, 0, 0)); }
    int LineFromChar(int raw) const override { return int(SendMessageW(window_, EM_EXLINEFROMCHAR, 0, raw)); }
    int LineStart(int line) const override { return WydMemo_LineStart(window_, line); }
    int LineLength(int line) const override { return WydMemo_LineLength(window_, line); }

private:
    HWND window_;
};

int TextLength(HWND window)
{
    GETTEXTLENGTHEX count{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return int(SendMessageW(window, EM_GETTEXTLENGTHEX, WPARAM(&count), 0));
}

CHARRANGE Selection(HWND window)
{
    CHARRANGE range{0, 0};
    SendMessageW(window, EM_EXGETSEL, 0, LPARAM(&range));
    return range;
}

}  // namespace

// =============================================================================================
// Position translation

int EmulatedCharPos(const TWydRichEditLineTable& lines, bool wordWrap, int raw)
{
    int line = lines.LineFromChar(raw);
    if (!wordWrap)
        return raw + line;  // each break before the line counts one more
    // Only hard breaks count: the characters before the line that no line holds.
    int held = 0;
    for (int i = 0; i < line; ++i)
        held += lines.LineLength(i);
    return raw + lines.LineStart(line) - held;
}

int RawWin32CharPos(const TWydRichEditLineTable& lines, int emulated)
{
    int extra = 0;     // breaks passed so far: each is one character more for the caller
    int consumed = 0;  // the window's characters up to the end of the line last seen
    const int count = lines.LineCount();
    for (int i = 0; i <= count; ++i) {
        int start = lines.LineStart(i);
        if (emulated < start + extra)
            break;
        if (start > consumed) {
            ++extra;
            ++consumed;
        }
        int length = lines.LineLength(i);
        consumed += length;
        if (emulated < start + length + extra)
            break;
    }
    return emulated - extra;
}

TWydTextLineBreakStyle RichEditLineBreakStyle()
{
    return Win32PlatformIsUnicode && RichEdit20Loaded() ? tlbsCR : tlbsCRLF;
}

// =============================================================================================
// TWydRichEditStrings

TWydRichEditStrings::TWydRichEditStrings(TWydCustomRichEdit* richEdit, TStrings* ansiLines)
    : TWydMemoStrings(richEdit, ansiLines), richEdit_(richEdit), ansiLines_(ansiLines)
{
}

void TWydRichEditStrings::Insert(int index, const WideString& s)
{
    if (!richEdit_->UnicodeWindow()) {
        TWydMemoStrings::Insert(index, s);
        return;
    }
    HWND window = richEdit_->WindowHandle;
    int position = 0;
    WideString text;
    if (!WydMemo_LineInsertion(window, index, s, position, text))
        return;
    text = WydAdjustLineBreaks(text, RichEditLineBreakStyle());
    const int length = TextLength(window);
    SendMessageW(window, EM_SETSEL, WPARAM(position), LPARAM(position));
    SendMessageW(window, EM_REPLACESEL, 0, LPARAM(text == L"\r" ? L"\r\n" : text.c_str()));
    // Landed whole: the caret after it and the text longer by all of it (a window at its limit may move the
    // caret as if it had taken what it refused).
    const int inserted = int(text.size());
    if (Selection(window).cpMax != position + inserted || TextLength(window) != length + inserted)
        throw EOutOfResources("RichEdit line insertion error");
}

WideString TWydRichEditStrings::GetTextStr() const
{
    return TWideStrings::GetTextStr();
}

void TWydRichEditStrings::SetTextStr(const WideString& text)
{
    if (!richEdit_->HandleAllocated()) {
        richEdit_->SetText(text);
        return;
    }
    HWND window = richEdit_->WindowHandle;
    LPARAM mask = SendMessageW(window, EM_GETEVENTMASK, 0, 0);
    SendMessageW(window, EM_SETEVENTMASK, 0, mask & ~LPARAM(ENM_CHANGE));
    struct RestoreMask {
        HWND window;
        LPARAM mask;
        ~RestoreMask() { SendMessageW(window, EM_SETEVENTMASK, 0, mask); }
    } restore{window, mask};
    richEdit_->SetText(text);
}

void TWydRichEditStrings::AddStrings(TWideStrings* strings)
{
    TScopedValue<TNotifyEvent> detached(richEdit_->OnSelectionChange, nullptr);
    TWydMemoStrings::AddStrings(strings);
}

void TWydRichEditStrings::LoadFromFile(const WideString& fileName)
{
    if (richEdit_->GetPlainText()) {
        TWydMemoStrings::LoadFromFile(fileName);
        return;
    }
    TWydFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    ansiLines_->LoadFromStream(&stream);
}

void TWydRichEditStrings::SaveToFile(const WideString& fileName)
{
    if (richEdit_->GetPlainText()) {
        TWydMemoStrings::SaveToFile(fileName);
        return;
    }
    TWydFileStream stream(fileName, fmCreate);
    ansiLines_->SaveToStream(&stream);
}

void TWydRichEditStrings::LoadFromStream_BOM(TStream* stream, bool withBOM)
{
    if (richEdit_->GetPlainText())
        TWydMemoStrings::LoadFromStream_BOM(stream, withBOM);
    else
        ansiLines_->LoadFromStream(stream);
}

void TWydRichEditStrings::SaveToStream_BOM(TStream* stream, bool withBOM)
{
    if (richEdit_->GetPlainText())
        TWydMemoStrings::SaveToStream_BOM(stream, withBOM);
    else
        ansiLines_->SaveToStream(stream);
}

// =============================================================================================
// TWydCustomRichEdit

TWydCustomRichEdit::TWydCustomRichEdit(TComponent* owner)
    : TCustomRichEdit(owner), lines_(new TWydRichEditStrings(this, FLines))
{
}

TWydCustomRichEdit::~TWydCustomRichEdit()
{
    DestroyHandle();
    delete lines_;
}

bool TWydCustomRichEdit::UnicodeWindow() const
{
    return HandleAllocated() && IsWindowUnicode(WindowHandle);
}

void TWydCustomRichEdit::CreateParams(TCreateParams& params)
{
    TCustomRichEdit::CreateParams(params);
    if (GetWordWrap())
        params.Style &= ~DWORD(WS_HSCROLL);
}

void TWydCustomRichEdit::CreateWindowHandle(const TCreateParams& params)
{
    if (RichEditLineBreakStyle() == tlbsCR)
        CreateUnicodeHandle(this, params, L"RichEdit20W");
    else
        TCustomRichEdit::CreateWindowHandle(params);
}

void TWydCustomRichEdit::CreateWnd()
{
    // The class library puts a plain text back in ANSI; the wide text it had goes in after it.
    WideString text = WydControl_GetText(this);
    TCustomRichEdit::CreateWnd();
    if (UnicodeWindow() && GetPlainText())
        StreamInWideText(text);
    if (ActiveImm())
        SendMessageW(WindowHandle, EM_SETEDITSTYLE, SES_USEAIMM, SES_USEAIMM);
}

void TWydCustomRichEdit::KeyDown(WORD& key, TShiftState shift)
{
    TCustomRichEdit::KeyDown(key, shift);
    const TShiftState modifiers = shift * TShiftState{ssShift, ssAlt, ssCtrl};
    if (!GetWantReturns() && key == VK_RETURN && !(modifiers == TShiftState{ssCtrl}))
        key = 0;
}

int TWydCustomRichEdit::EmulatedCharPos(int raw)
{
    if (RichEditLineBreakStyle() != tlbsCR || raw <= 0 || !HandleAllocated())
        return raw;
    return ::EmulatedCharPos(TWindowLines(WindowHandle), GetWordWrap(), raw);
}

int TWydCustomRichEdit::RawWin32CharPos(int emulated)
{
    if (RichEditLineBreakStyle() != tlbsCR || emulated <= 0 || !HandleAllocated())
        return emulated;
    return ::RawWin32CharPos(TWindowLines(WindowHandle), emulated);
}

int TWydCustomRichEdit::GetSelStart()
{
    return EmulatedCharPos(WydCustomEdit_GetSelStart(this));
}

void TWydCustomRichEdit::SetSelStart(int value)
{
    WydCustomEdit_SetSelStart(this, RawWin32CharPos(value));
}

int TWydCustomRichEdit::GetSelLength()
{
    if (RichEditLineBreakStyle() != tlbsCR)
        return WydCustomEdit_GetSelLength(this);
    CHARRANGE range = Selection(GetHandle());
    return EmulatedCharPos(range.cpMax) - EmulatedCharPos(range.cpMin);
}

void TWydCustomRichEdit::SetSelLength(int value)
{
    if (RichEditLineBreakStyle() != tlbsCR) {
        WydCustomEdit_SetSelLength(this, value);
        return;
    }
    int start = GetSelStart();
    TCustomRichEdit::SetSelLength(RawWin32CharPos(start + value) - RawWin32CharPos(start));
}

WideString TWydCustomRichEdit::GetText() const
{
    WideString text = WydControl_GetText(const_cast<TWydCustomRichEdit*>(this));
    return RichEditLineBreakStyle() == tlbsCRLF ? text : WydAdjustLineBreaks(text, tlbsCRLF);
}

void TWydCustomRichEdit::SetText(const WideString& value)
{
    TWydTextLineBreakStyle style = RichEditLineBreakStyle();
    if (style == tlbsCR && IsRTF(value) && HandleAllocated())
        SetRTFText(0, WideToAnsi(value));
    else if (value != GetText())
        WydControl_SetText(this, WydAdjustLineBreaks(value, style));
}

WideString TWydCustomRichEdit::GetWideSelText()
{
    WideString text;
    if (UnicodeWindow()) {
        CHARRANGE range = Selection(WindowHandle);
        std::vector<wchar_t> buffer(size_t(std::max(0L, range.cpMax - range.cpMin)) + 1, L'\0');
        LRESULT copied = SendMessageW(WindowHandle, EM_GETSELTEXT, 0, LPARAM(buffer.data()));
        text.assign(buffer.data(), size_t(std::clamp<LRESULT>(copied, 0, LRESULT(buffer.size() - 1))));
    } else {
        text = AnsiToWide(TCustomRichEdit::GetSelText());
    }
    return RichEditLineBreakStyle() == tlbsCRLF ? text : WydAdjustLineBreaks(text, tlbsCRLF);
}

void TWydCustomRichEdit::SetWideSelText(const WideString& value)
{
    TWydTextLineBreakStyle style = RichEditLineBreakStyle();
    if (style == tlbsCR && IsRTF(value))
        SetRTFText(ST_SELECTION, WideToAnsi(value));
    else
        WydCustomEdit_SetSelText(this, WydAdjustLineBreaks(value, style));
}

void TWydCustomRichEdit::SetRTFText(DWORD flags, const AnsiString& text)
{
    SETTEXTEX setText{flags, CP_ACP};
    SendMessageW(GetHandle(), EM_SETTEXTEX, WPARAM(&setText), LPARAM(text.c_str()));
}

int TWydCustomRichEdit::FindText(const WideString& s, int startPos, int length, TSearchTypes options)
{
    if (!Win32PlatformIsUnicode)
        return TCustomRichEdit::FindText(WideToAnsi(s), startPos, length, options);
    HWND window = GetHandle();
    FINDTEXTW find{};
    find.chrg.cpMin = RawWin32CharPos(startPos);
    find.chrg.cpMax = RawWin32CharPos(startPos + length);
    find.lpstrText = s.c_str();
    WPARAM flags = FR_DOWN;
    if (options.Contains(TSearchType::stWholeWord))
        flags |= FR_WHOLEWORD;
    if (options.Contains(TSearchType::stMatchCase))
        flags |= FR_MATCHCASE;
    // EM_FINDTEXTW: EM_FINDTEXT's text is ANSI, whatever the window's character set.
    int found = int(SendMessageW(window, EM_FINDTEXTW, flags, LPARAM(&find)));
    return found < 0 ? -1 : EmulatedCharPos(found);
}

void TWydCustomRichEdit::Print(const AnsiString& caption)
{
    if (RichEditLineBreakStyle() != tlbsCR) {
        TCustomRichEdit::Print(caption);
        return;
    }
    // The class library pages up to the length WM_GETTEXTLENGTH reports, which must be the window's own. Its
    // asking goes straight to the window procedure, past Windows' ANSI length conversion.
    TScopedValue<int> length(printLength_, WydAdjustLineBreaksLength(GetText(), tlbsCR));
    TWndMethod windowProc = WindowProc;
    TScopedValue<TWndMethod> answering(
        WindowProc, TWndMethod(std::function<void(TMessage&)>([this, windowProc](TMessage& message) {
                                   if (message.Msg == WM_GETTEXTLENGTH)
                                       message.Result = printLength_;
                                   else
                                       windowProc(message);
                               }),
                               this));
    TCustomRichEdit::Print(caption);
}

VCL_BEGIN_MESSAGE_MAP(TWydCustomRichEdit)
    VCL_MESSAGE(WM_SETTEXT, WMSetText)
    VCL_MESSAGE(WM_GETTEXTLENGTH, WMGetTextLength)
VCL_END_MESSAGE_MAP(TCustomRichEdit)

// On a Unicode window every text message reaching the control comes from Windows, with wide text.
void TWydCustomRichEdit::WMSetText(TMessage& message)
{
    if (!UnicodeWindow()) {
        TCustomRichEdit::Dispatch(message);
    } else if (GetPlainText() && message.LParam) {
        StreamInWideText(reinterpret_cast<const wchar_t*>(message.LParam));
        message.Result = TRUE;
    } else {
        DefaultHandler(message);
    }
}

void TWydCustomRichEdit::WMGetTextLength(TMessage& message)
{
    if (printLength_ > 0) {
        message.Result = printLength_;
        return;
    }
    if (!UnicodeWindow()) {
        TCustomRichEdit::Dispatch(message);
        return;
    }
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    LRESULT characters = SendMessageW(WindowHandle, EM_GETTEXTLENGTHEX, WPARAM(&length), 0);
    if (characters >= 0)
        message.Result = characters;
    else
        DefaultHandler(message);
}

void TWydCustomRichEdit::StreamInWideText(const WideString& text)
{
    TMemoryStream stream;
    stream.WriteBuffer(text.data(), int(text.size() * sizeof(wchar_t)));
    stream.SetPosition(0);
    StreamIn(&stream, SF_TEXT | SF_UNICODE);
}

// =============================================================================================
// Unit start and end

void InitWydRichEdit()
{
    RegisterClasses({TWydRichEdit::StaticClass()});
}

void DoneWydRichEdit()
{
    if (activeImm) {
        activeImm->Deactivate();
        activeImm->Release();
    }
    activeImm = nullptr;
    activeImmTried = false;
    if (richEdit20)
        FreeLibrary(richEdit20);
    richEdit20 = nullptr;
    richEdit20Tried = false;
}
