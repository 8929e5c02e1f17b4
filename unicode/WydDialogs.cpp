// Wide file dialogs over the class library's own dialog structure, the wide message dialog and the prompts.
#include "WydDialogs.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "WydClipBrd.h"
#include "WydComCtrls.h"
#include "WydExtCtrls.h"
#include "WydStdCtrls.h"
#include "WydWindows.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydOpenDialog, TOpenDialog, {
    m.Publish("DefaultExt", &TWydOpenDialog::GetDefaultExt, &TWydOpenDialog::SetDefaultExt);
    m.Publish("FileName", &TWydOpenDialog::GetFileName, &TWydOpenDialog::SetFileName);
    m.Publish("Filter", &TWydOpenDialog::GetFilter, &TWydOpenDialog::SetFilter);
    m.Publish("InitialDir", &TWydOpenDialog::GetInitialDir, &TWydOpenDialog::SetInitialDir);
    m.Publish("Title", &TWydOpenDialog::GetTitle, &TWydOpenDialog::SetTitle);
})
VCL_IMPLEMENT_CLASS(TWydSaveDialog, TWydOpenDialog)
VCL_IMPLEMENT_CLASS(TWydMessageForm, TWydForm)

namespace {

// The class library's texts of the dialogs, as resource strings.
const TResStringRec SMsgDlgWarning{&HInstance, reinterpret_cast<UINT_PTR>("Warning")};
const TResStringRec SMsgDlgError{&HInstance, reinterpret_cast<UINT_PTR>("Error")};
const TResStringRec SMsgDlgInformation{&HInstance, reinterpret_cast<UINT_PTR>("Information")};
const TResStringRec SMsgDlgConfirm{&HInstance, reinterpret_cast<UINT_PTR>("Confirm")};
const TResStringRec SMsgDlgYes{&HInstance, reinterpret_cast<UINT_PTR>("&Yes")};
const TResStringRec SMsgDlgNo{&HInstance, reinterpret_cast<UINT_PTR>("&No")};
const TResStringRec SMsgDlgOK{&HInstance, reinterpret_cast<UINT_PTR>("OK")};
const TResStringRec SMsgDlgCancel{&HInstance, reinterpret_cast<UINT_PTR>("Cancel")};
const TResStringRec SMsgDlgAbort{&HInstance, reinterpret_cast<UINT_PTR>("&Abort")};
const TResStringRec SMsgDlgRetry{&HInstance, reinterpret_cast<UINT_PTR>("&Retry")};
const TResStringRec SMsgDlgIgnore{&HInstance, reinterpret_cast<UINT_PTR>("&Ignore")};
const TResStringRec SMsgDlgAll{&HInstance, reinterpret_cast<UINT_PTR>("&All")};
const TResStringRec SMsgDlgNoToAll{&HInstance, reinterpret_cast<UINT_PTR>("N&o to All")};
const TResStringRec SMsgDlgYesToAll{&HInstance, reinterpret_cast<UINT_PTR>("Yes to &All")};
const TResStringRec SMsgDlgHelp{&HInstance, reinterpret_cast<UINT_PTR>("&Help")};
const TResStringRec SDefaultFilter{&HInstance, reinterpret_cast<UINT_PTR>("All files (*.*)|*.*")};

struct TMessageType {
    const TResStringRec* caption;  // nullptr: the application's title
    LPCSTR icon;
};
const TMessageType MessageTypes[] = {{&SMsgDlgWarning, IDI_EXCLAMATION},
                                     {&SMsgDlgError, IDI_HAND},
                                     {&SMsgDlgInformation, IDI_ASTERISK},
                                     {&SMsgDlgConfirm, IDI_QUESTION},
                                     {nullptr, nullptr}};

struct TDialogButton {
    const char* name;
    const TResStringRec* caption;
    int modalResult;
};
const TDialogButton DialogButtons[] = {
    {"Yes", &SMsgDlgYes, mrYes},       {"No", &SMsgDlgNo, mrNo},          {"OK", &SMsgDlgOK, mrOk},
    {"Cancel", &SMsgDlgCancel, mrCancel}, {"Abort", &SMsgDlgAbort, mrAbort}, {"Retry", &SMsgDlgRetry, mrRetry},
    {"Ignore", &SMsgDlgIgnore, mrIgnore}, {"All", &SMsgDlgAll, mrAll},    {"NoToAll", &SMsgDlgNoToAll, mrNoToAll},
    {"YesToAll", &SMsgDlgYesToAll, mrYesToAll}, {"Help", &SMsgDlgHelp, mrNone}};

const TMessageType& MessageTypeOf(TMsgDlgType type)
{
    if (size_t(type) >= std::size(MessageTypes))
        throw EWydInternalError("Unexpected MsgType in GetMessageCaption.");
    return MessageTypes[size_t(type)];
}

const TDialogButton& DialogButtonOf(TMsgDlgBtn button)
{
    if (size_t(button) >= std::size(DialogButtons))
        throw EWydInternalError("Unexpected MsgDlgBtn in GetButtonCaption.");
    return DialogButtons[size_t(button)];
}

bool Holds(TMsgDlgButtons buttons, TMsgDlgBtn button)
{
    return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

bool IsFullPath(const WideString& name)
{
    return (!name.empty() && name[0] == L'\\') ||
           (name.size() >= 3 && IsWideCharAlpha(name[0]) && name[1] == L':' && name[2] == L'\\');
}

// The extent of wide text in a font, on the screen.
class TScreenText {
public:
    explicit TScreenText(HFONT font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font)) {}
    ~TScreenText()
    {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    TScreenText(const TScreenText&) = delete;
    TScreenText& operator=(const TScreenText&) = delete;
    HDC Handle() const { return dc_; }
    // The text's rectangle as DrawText lays it out with `flags` (DT_CALCRECT added) in `width`.
    SIZE Measure(const WideString& text, int width, UINT flags) const
    {
        RECT r{0, 0, width, 0};
        Wyd_DrawTextW(dc_, text.c_str(), int(text.size()), &r, flags | DT_CALCRECT);
        return {r.right - r.left, r.bottom - r.top};
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The system's message font on the form.
void UseMessageFont(TFont* font)
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return;
    HFONT handle = CreateFontIndirectA(&metrics.lfMessageFont);
    font->SetHandle(handle);
    DeleteObject(handle);
}

void CentreOnScreen(TCustomForm* form)
{
    form->SetLeft((Screen->GetWidth() - form->GetWidth()) / 2);
    form->SetTop((Screen->GetHeight() - form->GetHeight()) / 2);
}

}  // namespace

// =============================================================================================
// File names

std::vector<WideString> WideSplitFileNames(const wchar_t* buffer, size_t size, wchar_t separator, bool multiSelect)
{
    // The text ends at the first zero (space separated) or at two zeros in a row.
    std::vector<WideString> parts;
    size_t at = 0;
    while (at < size && buffer[at]) {
        size_t end = at;
        while (end < size && buffer[end] && buffer[end] != separator)
            ++end;
        if (end > at)
            parts.emplace_back(buffer + at, end - at);
        if (!multiSelect)
            break;
        at = end < size ? end + 1 : end;
        if (separator != L'\0' && end < size && !buffer[end])
            break;
    }
    if (parts.size() <= 1)
        return {parts.empty() ? WideString() : parts.front()};
    WideString folder = WideIncludeTrailingBackslash(parts.front());
    std::vector<WideString> names;
    for (size_t i = 1; i < parts.size(); ++i)
        names.push_back(IsFullPath(parts[i]) ? parts[i] : folder + parts[i]);
    return names;
}

WideString WideDialogFilter(const WideString& filter)
{
    WideString result = filter + WideString(2, L'\0');
    std::replace(result.begin(), result.end(), L'|', L'\0');
    return result;
}

WideString WideNormalizedInitialDir(const WideString& folder)
{
    const int last = int(folder.size()) - 1;
    if (folder.size() > 1 && WideIsPathDelimiter(folder, last + 1) && folder[size_t(last - 1)] != L':')
        return folder.substr(0, size_t(last));
    return folder;
}

// =============================================================================================
// TWydOpenDialog

TWydOpenDialog::TWydOpenDialog(TComponent* owner) : TOpenDialog(owner), files_(new TWydStringList) {}

TWydOpenDialog::~TWydOpenDialog()
{
    delete files_;
}

void TWydOpenDialog::DefineProperties(TFiler* filer)
{
    TOpenDialog::DefineProperties(filer);
    WydPersistent_AfterInherited_DefineProperties(filer, this);
}

bool TWydOpenDialog::Execute()
{
    if (!Win32PlatformIsUnicode)
        return TOpenDialog::Execute();
    return DoExecuteW([](OPENFILENAMEW& ofn) { return GetOpenFileNameW(&ofn); }, OwnerWindow());
}

bool TWydSaveDialog::Execute()
{
    if (!Win32PlatformIsUnicode)
        return DoExecute([](OPENFILENAMEA& ofn) { return GetSaveFileNameA(&ofn); }, OwnerWindow());
    return DoExecuteW([](OPENFILENAMEW& ofn) { return GetSaveFileNameW(&ofn); }, OwnerWindow());
}

bool TWydOpenDialog::DoExecuteW(const TOpenFileNameFuncW& func, HWND parent)
{
    // The class library builds its structure (flags, hook, template) and runs a function that only keeps what
    // it needs of it; its strings live only while that function runs.
    OPENFILENAMEA captured{};
    WideString templateName;
    TOpenDialog::DoExecute(
        [&](OPENFILENAMEA& ofn) {
            captured = ofn;
            if (ofn.lpTemplateName && !IS_INTRESOURCE(ofn.lpTemplateName))
                templateName = AnsiToWide(ofn.lpTemplateName);
            return FALSE;
        },
        parent);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = captured.hwndOwner && IsWindow(captured.hwndOwner) ? captured.hwndOwner : parent;
    ofn.hInstance = captured.hInstance;
    const WideString filter = WideDialogFilter(GetFilter());
    ofn.lpstrFilter = GetFilter().empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = captured.nFilterIndex;
    std::vector<wchar_t> file(size_t(captured.nMaxFile) + 2, L'\0');
    const WideString name = GetFileName();
    std::copy_n(name.begin(), std::min<size_t>(name.size(), captured.nMaxFile), file.begin());
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = captured.nMaxFile;
    const WideString initialDir = GetInitialDir().empty() && ForceCurrentDirectory ? L"." : GetInitialDir();
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    const WideString title = GetTitle();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    WideString defaultExt = GetDefaultExt();
    if (defaultExt.empty() && !(captured.Flags & OFN_EXPLORER)) {
        defaultExt = WideExtractFileExt(name);
        if (!defaultExt.empty())
            defaultExt.erase(0, 1);
    }
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = captured.Flags;
    ofn.lCustData = captured.lCustData;
    ofn.lpfnHook = captured.lpfnHook;
    ofn.lpTemplateName = templateName.empty() ? reinterpret_cast<LPCWSTR>(captured.lpTemplateName)
                                              : templateName.c_str();

    bool accepted;
    {
        TScopedValue<bool> wide(wideDialog_, true);
        accepted = TaskModalDialog([&] { return func(ofn); });
    }
    if (!accepted)
        return false;
    GetFileNamesW(ofn);
    TOpenOptions options = GetOptions();
    options = ofn.Flags & OFN_EXTENSIONDIFFERENT ? options + TOpenOptions{ofExtensionDifferent}
                                                 : options - TOpenOptions{ofExtensionDifferent};
    options = ofn.Flags & OFN_READONLY ? options + TOpenOptions{ofReadOnly} : options - TOpenOptions{ofReadOnly};
    SetOptions(options);
    SetFilterIndex(int(ofn.nFilterIndex));
    return true;
}

void TWydOpenDialog::GetFileNamesW(const OPENFILENAMEW& openFileName)
{
    const bool multi = GetOptions().Contains(ofAllowMultiSelect);
    const wchar_t separator = multi && !IsExplorerStyle() ? L' ' : L'\0';
    TakeNames(WideSplitFileNames(openFileName.lpstrFile, openFileName.nMaxFile, separator, multi));
}

// The wide list and file name, and the class library's ANSI ones, hold the same names.
void TWydOpenDialog::TakeNames(const std::vector<WideString>& names)
{
    TStrings* ansiFiles = TOpenDialog::GetFiles();
    {
        TUpdateScope<TWydStringList> wideUpdate(files_);
        TUpdateScope<TStrings> ansiUpdate(ansiFiles);
        files_->Clear();
        ansiFiles->Clear();
        for (const WideString& name : names) {
            files_->Add(name);
            ansiFiles->Add(WideToAnsi(name));
        }
    }
    SetFileName(names.front());
}

bool TWydOpenDialog::CanCloseW(const OPENFILENAMEW& openFileName)
{
    // The names as they were before the check, put back after it: a refused or cancelled dialog loses nothing.
    struct TKeptNames {
        explicit TKeptNames(TWydOpenDialog* dialog) : dialog_(dialog), fileName_(dialog->fileName_)
        {
            files_.Assign(dialog->files_);
            ansiFiles_.Assign(dialog->TOpenDialog::GetFiles());
        }
        ~TKeptNames()
        {
            dialog_->files_->Assign(&files_);
            dialog_->TOpenDialog::GetFiles()->Assign(&ansiFiles_);
            dialog_->SetFileName(fileName_);
        }
        TWydOpenDialog* dialog_;
        WideString fileName_;
        TWydStringList files_;
        TStringList ansiFiles_;
    } kept(this);
    GetFileNamesW(openFileName);
    TScopedValue<bool> checking(wideCloseCheck_, true);
    return TOpenDialog::DoCanClose();
}

bool TWydOpenDialog::DoCanClose()
{
    // The class library's own check reads its ANSI structure, which a wide dialog does not have.
    if (wideDialog_ && !wideCloseCheck_)
        return true;
    return TOpenDialog::DoCanClose();
}

void TWydOpenDialog::WndProc(TMessage& message)
{
    static const UINT fileOk = RegisterWindowMessageW(FILEOKSTRINGW);
    if (!wideDialog_) {
        TOpenDialog::WndProc(message);
        return;
    }
    // The notifications that carry the dialog's (wide) structure with text are answered here; the class
    // library's handlers read no text of it.
    if (message.Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(message.LParam)->code == CDN_FILEOK) {
        auto* notify = reinterpret_cast<OFNOTIFYW*>(message.LParam);
        SetDialogResult(message, CanCloseW(*notify->lpOFN) ? 0 : 1);
    } else if (message.Msg == fileOk && message.LParam && !IsExplorerStyle()) {
        SetDialogResult(message, CanCloseW(*reinterpret_cast<OPENFILENAMEW*>(message.LParam)) ? 0 : 1);
    } else {
        TOpenDialog::WndProc(message);
    }
}

WideString TWydOpenDialog::GetFileName() const
{
    HWND dialog = GetHandle();
    if (dialog && Win32PlatformIsUnicode && IsExplorerStyle()) {
        // The dialog says how much room the path needs.
        LRESULT size = SendMessageW(dialog, CDM_GETFILEPATH, 0, 0);
        if (size > 0) {
            std::vector<wchar_t> path(size_t(size) + 1, L'\0');
            if (SendMessageW(dialog, CDM_GETFILEPATH, WPARAM(path.size()), LPARAM(path.data())) > 0)
                return path.data();
        }
    }
    return GetSyncedWideString(fileName_, TOpenDialog::GetFileName());
}

void TWydOpenDialog::SetFileName(const WideString& value)
{
    fileName_ = value;
    TOpenDialog::SetFileName(WideToAnsi(value));
}

WideString TWydOpenDialog::GetDefaultExt() const { return GetSyncedWideString(defaultExt_, TOpenDialog::GetDefaultExt()); }

void TWydOpenDialog::SetDefaultExt(const WideString& value)
{
    SetSyncedWideString(value, defaultExt_, TOpenDialog::GetDefaultExt(),
                        [this](const AnsiString& s) { TOpenDialog::SetDefaultExt(s); });
}

WideString TWydOpenDialog::GetFilter() const { return GetSyncedWideString(filter_, TOpenDialog::GetFilter()); }

void TWydOpenDialog::SetFilter(const WideString& value)
{
    SetSyncedWideString(value, filter_, TOpenDialog::GetFilter(),
                        [this](const AnsiString& s) { TOpenDialog::SetFilter(s); });
}

WideString TWydOpenDialog::GetInitialDir() const
{
    return GetSyncedWideString(initialDir_, TOpenDialog::GetInitialDir());
}

void TWydOpenDialog::SetInitialDir(const WideString& value)
{
    SetSyncedWideString(WideNormalizedInitialDir(value), initialDir_, TOpenDialog::GetInitialDir(),
                        [this](const AnsiString& s) { TOpenDialog::SetInitialDir(s); });
}

WideString TWydOpenDialog::GetTitle() const { return GetSyncedWideString(title_, TOpenDialog::GetTitle()); }

void TWydOpenDialog::SetTitle(const WideString& value)
{
    SetSyncedWideString(value, title_, TOpenDialog::GetTitle(), [this](const AnsiString& s) { TOpenDialog::SetTitle(s); });
}

TWydStrings* TWydOpenDialog::GetFiles() const
{
    if (!Win32PlatformIsUnicode) {
        TStrings* ansiFiles = TOpenDialog::GetFiles();
        files_->Clear();
        for (int i = 0; i < ansiFiles->GetCount(); ++i)
            files_->Add(AnsiToWide(ansiFiles->Get(i)));
    }
    return files_;
}

// =============================================================================================
// Message dialog

WideString MessageDialogCopyText(const WideString& caption, const WideString& message,
                                 const std::vector<WideString>& buttonCaptions)
{
    const WideString divider = WideString(27, L'-') + L"\r\n";
    WideString buttons;
    for (WideString text : buttonCaptions) {
        text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
        buttons += text + L"   ";
    }
    return divider + caption + L"\r\n" + divider + message + L"\r\n" + divider + buttons + L"\r\n" + divider;
}

WideString GetMessageCaption(TMsgDlgType type)
{
    const TMessageType& entry = MessageTypeOf(type);
    if (entry.caption)
        return WideLoadResString(entry.caption);
    return WydApplication ? WydApplication->GetTitle() : AnsiToWide(Application->GetTitle());
}

WideString GetButtonCaption(TMsgDlgBtn button)
{
    return WideLoadResString(DialogButtonOf(button).caption);
}

TWydMessageDialogLayout LayOutMessageDialog(int charWidth, int charHeight, SIZE text, bool withIcon, int buttonCount,
                                            int widestCaption, bool rightToLeft)
{
    const int hMargin = MulDiv(8, charWidth, 4), vMargin = MulDiv(8, charHeight, 8);
    const int hSpacing = MulDiv(10, charWidth, 4), vSpacing = MulDiv(10, charHeight, 8);
    const int buttonWidth = std::max(MulDiv(50, charWidth, 4), widestCaption + 8);
    const int buttonHeight = MulDiv(14, charHeight, 8), buttonSpacing = MulDiv(4, charWidth, 4);
    const int blockWidth = text.cx + (withIcon ? hSpacing + 32 : 0);
    const int blockHeight = withIcon ? std::max<int>(32, text.cy) : text.cy;
    const int groupWidth = buttonCount * buttonWidth + std::max(0, buttonCount - 1) * buttonSpacing;

    TWydMessageDialogLayout layout;
    layout.clientWidth = std::max(blockWidth, groupWidth) + 2 * hMargin;
    layout.clientHeight = blockHeight + buttonHeight + vSpacing + 2 * vMargin;
    if (withIcon)
        layout.icon = {hMargin, vMargin, hMargin + 32, vMargin + 32};
    int textLeft = hMargin + (withIcon ? 32 + hSpacing : 0);
    if (rightToLeft)
        textLeft = layout.clientWidth - textLeft - text.cx;
    layout.message = {textLeft, vMargin, textLeft + text.cx, vMargin + text.cy};
    int x = (layout.clientWidth - groupWidth) / 2;
    const int top = blockHeight + vMargin + vSpacing;
    for (int i = 0; i < buttonCount; ++i, x += buttonWidth + buttonSpacing)
        layout.buttons.push_back({x, top, x + buttonWidth, top + buttonHeight});
    return layout;
}

SIZE DialogUnitsOf(HFONT font)
{
    TScreenText screen(font);
    WideString letters;
    for (wchar_t c = L'A'; c <= L'Z'; ++c)
        letters += c;
    for (wchar_t c = L'a'; c <= L'z'; ++c)
        letters += c;
    SIZE extent{0, 0};
    GetTextExtentPointW(screen.Handle(), letters.c_str(), int(letters.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Handle(), &metrics);
    return {(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

TWydMessageForm* WideCreateMessageDialog(const WideString& message, TMsgDlgType type, TMsgDlgButtons buttons,
                                         std::optional<TMsgDlgBtn> defaultButton)
{
    const TMessageType& kind = MessageTypeOf(type);
    if (!defaultButton)
        defaultButton = Holds(buttons, TMsgDlgBtn::mbOK)    ? TMsgDlgBtn::mbOK
                        : Holds(buttons, TMsgDlgBtn::mbYes) ? TMsgDlgBtn::mbYes
                                                            : TMsgDlgBtn::mbRetry;
    const TMsgDlgBtn cancelButton = Holds(buttons, TMsgDlgBtn::mbCancel) ? TMsgDlgBtn::mbCancel
                                    : Holds(buttons, TMsgDlgBtn::mbNo)   ? TMsgDlgBtn::mbNo
                                                                         : TMsgDlgBtn::mbOK;
    std::unique_ptr<TWydMessageForm> form(new TWydMessageForm(Application, 0));
    UseMessageFont(form->GetFont());
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetKeyPreview(true);
    form->SetPosition(TPosition::poDesigned);

    // Sizes in dialog units of the form's font; the message is a plain text ('&' shows as itself).
    const SIZE units = DialogUnitsOf(form->GetFont()->GetHandle());
    const TScreenText screen(form->GetFont()->GetHandle());
    const UINT reading = form->UseRightToLeftReading() ? DT_RTLREADING : 0;
    const SIZE text = screen.Measure(message, Screen->GetWidth() / 2,
                                     DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX | reading);
    std::vector<TMsgDlgBtn> shown;
    int widestCaption = 0;
    for (size_t b = 0; b < std::size(DialogButtons); ++b) {
        if (!Holds(buttons, TMsgDlgBtn(b)))
            continue;
        shown.push_back(TMsgDlgBtn(b));
        widestCaption = std::max<int>(widestCaption,
                                      screen.Measure(GetButtonCaption(TMsgDlgBtn(b)), 0, DT_LEFT | DT_SINGLELINE).cx);
    }
    const TWydMessageDialogLayout layout =
        LayOutMessageDialog(units.cx, units.cy, text, kind.icon != nullptr, int(shown.size()), widestCaption,
                            form->UseRightToLeftAlignment());

    form->SetClientWidth(layout.clientWidth);
    form->SetClientHeight(layout.clientHeight);
    CentreOnScreen(form.get());
    form->SetCaption(GetMessageCaption(type));
    if (kind.icon) {
        auto* image = new TWydImage(form.get());
        image->SetName("Image");
        image->GetPicture()->GetIcon()->SetHandle(CopyIcon(LoadIconA(nullptr, kind.icon)));
        image->SetBoundsRect(layout.icon);
        image->SetParent(form.get());
    }
    auto* label = new TWydLabel(form.get());
    label->SetName("Message");
    label->SetShowAccelChar(false);
    label->SetWordWrap(true);
    label->SetAutoSize(false);
    label->SetCaption(message);
    label->SetBoundsRect(layout.message);
    label->SetBiDiMode(form->GetBiDiMode());
    label->SetParent(form.get());
    for (size_t i = 0; i < shown.size(); ++i) {
        const TDialogButton& entry = DialogButtonOf(shown[i]);
        auto* button = new TWydButton(form.get());
        button->SetName(entry.name);
        button->SetCaption(GetButtonCaption(shown[i]));
        button->SetModalResult(entry.modalResult);
        button->SetBoundsRect(layout.buttons[i]);
        button->SetParent(form.get());
        if (shown[i] == *defaultButton) {
            button->SetDefault(true);
            form->SetActiveControl(button);
        }
        button->SetCancel(shown[i] == cancelButton);
        if (shown[i] == TMsgDlgBtn::mbHelp)
            button->OnClick = TNotifyEvent(form.get(), &TWydMessageForm::HelpButtonClick);
    }
    return form.release();
}

WideString TWydMessageForm::GetCopyText()
{
    std::vector<WideString> captions;
    WideString message;
    for (int i = 0; i < GetComponentCount(); ++i) {
        if (auto* button = dynamic_cast<TWydButton*>(GetComponents(i)))
            captions.push_back(button->GetCaption());
        else if (auto* label = dynamic_cast<TWydLabel*>(GetComponents(i)))
            message = label->GetCaption();
    }
    return MessageDialogCopyText(GetCaption(), message, captions);
}

void TWydMessageForm::KeyDown(WORD& key, TShiftState shift)
{
    TWydForm::KeyDown(key, shift);
    if (key == 'C' && shift == TShiftState{ssCtrl}) {
        MessageBeep(0);
        WydClipboard()->SetAsWideText(GetCopyText());
    }
}

void TWydMessageForm::HelpButtonClick(TObject*)
{
    HelpCommand(HELP_CONTEXT, ULONG_PTR(HelpContext));
}

int WideMessageDlgPosHelp(const WideString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext,
                          int x, int y, const WideString& helpFileName, std::optional<TMsgDlgBtn> defaultButton)
{
    std::unique_ptr<TWydMessageForm> form(WideCreateMessageDialog(message, type, buttons, defaultButton));
    form->HelpContext = helpContext;
    form->HelpFile = WideToAnsi(helpFileName);
    if (x >= 0)
        form->SetLeft(x);
    if (y >= 0)
        form->SetTop(y);
    return form->ShowModal();
}

int WideMessageDlgPos(const WideString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext, int x,
                      int y, std::optional<TMsgDlgBtn> defaultButton)
{
    return WideMessageDlgPosHelp(message, type, buttons, helpContext, x, y, WideString(), defaultButton);
}

int WideMessageDlg(const WideString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext,
                   std::optional<TMsgDlgBtn> defaultButton)
{
    return WideMessageDlgPosHelp(message, type, buttons, helpContext, -1, -1, WideString(), defaultButton);
}

void WideShowMessagePos(const WideString& message, int x, int y)
{
    WideMessageDlgPos(message, TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK}, 0, x, y);
}

void WideShowMessage(const WideString& message)
{
    WideShowMessagePos(message, -1, -1);
}

void WideShowMessageFmt(const WideString& format, TVarRecs args)
{
    WideShowMessage(Wyd_WideFormat(format, args));
}

// =============================================================================================
// Prompts

bool WideInputQuery(const WideString& caption, const WideString& prompt, WideString& value)
{
    std::unique_ptr<TWydForm> form(new TWydForm(Application, 0));
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetCaption(caption);
    const SIZE units = DialogUnitsOf(form->GetFont()->GetHandle());
    auto dx = [&](int n) { return MulDiv(n, units.cx, 4); };
    auto dy = [&](int n) { return MulDiv(n, units.cy, 8); };
    form->SetClientWidth(dx(180));

    auto* label = new TWydLabel(form.get());
    label->SetCaption(prompt);
    label->SetWordWrap(true);
    label->SetBounds(dx(8), dy(8), dx(164), 0);
    label->SetAutoSize(true);
    label->SetParent(form.get());
    auto* edit = new TWydEdit(form.get());
    edit->SetBounds(dx(8), label->GetTop() + label->GetHeight() + 5, dx(164), edit->GetHeight());
    edit->SetMaxLength(255);
    edit->SetText(value);
    edit->SetParent(form.get());
    edit->SelectAll();
    const int buttonTop = edit->GetTop() + edit->GetHeight() + 15;
    auto addButton = [&](const TResStringRec& text, int left, int result) {
        auto* button = new TWydButton(form.get());
        button->SetCaption(WideLoadResString(&text));
        button->SetModalResult(result);
        button->SetBounds(dx(left), buttonTop, dx(50), dy(14));
        button->SetParent(form.get());
        return button;
    };
    addButton(SMsgDlgOK, 38, mrOk)->SetDefault(true);
    addButton(SMsgDlgCancel, 92, mrCancel)->SetCancel(true);
    form->SetClientHeight(buttonTop + dy(14) + 13);
    CentreOnScreen(form.get());
    form->SetActiveControl(edit);
    if (form->ShowModal() != mrOk)
        return false;
    value = edit->GetText();
    return true;
}

WideString WideInputBox(const WideString& caption, const WideString& prompt, const WideString& defaultValue)
{
    WideString value = defaultValue;
    WideInputQuery(caption, prompt, value);
    return value;
}

bool WidePromptForFileName(WideString& fileName, const WideString& filter, const WideString& defaultExt,
                           const WideString& title, const WideString& initialDir, bool saveDialog)
{
    std::unique_ptr<TWydOpenDialog> dialog(saveDialog ? new TWydSaveDialog(nullptr) : new TWydOpenDialog(nullptr));
    if (saveDialog)
        dialog->SetOptions(dialog->GetOptions() + TOpenOptions{ofOverwritePrompt});
    dialog->SetTitle(title);
    dialog->SetDefaultExt(defaultExt);
    dialog->SetFilter(filter.empty() ? WideLoadResString(&SDefaultFilter) : filter);
    dialog->SetInitialDir(initialDir);
    dialog->SetFileName(fileName);
    if (!dialog->Execute())
        return false;
    fileName = dialog->GetFileName();
    return true;
}

HWND GetModalParentWnd()
{
    return Application->GetHandle();
}

void InitWydDialogs()
{
    RegisterClasses({TWydOpenDialog::StaticClass(), TWydSaveDialog::StaticClass()});
}
