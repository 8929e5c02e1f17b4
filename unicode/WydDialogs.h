// The class library's dialogs with wide texts: open and save dialogs running the wide common-dialog functions on
// NT, a message dialog made of wide controls (laid out in dialog units, Ctrl+C copies it), and wide message,
// input and file-name prompts.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <optional>
#include <vector>

#include "Dialogs.h"
#include "WydClasses.h"
#include "WydForms.h"
#include "WydSysUtils.h"

// ---- File dialogs

// The names a file dialog returned in buffer (at most size characters): without multi-selection the text up to
// the separator; with it, one name, or a folder followed by names taken as relative to it unless they start with
// "\" or a drive ("C:\"). The separator is a zero (explorer style) or a space (old style).
std::vector<WideString> WideSplitFileNames(const wchar_t* buffer, size_t size, wchar_t separator, bool multiSelect);
// "Text|*.txt|All|*.*" as the dialog takes it: zero-separated, ended by two zeros.
WideString WideDialogFilter(const WideString& filter);
// Without one trailing path delimiter, unless the text is that one character or the delimiter follows a ':'.
WideString WideNormalizedInitialDir(const WideString& folder);

using TOpenFileNameFuncW = std::function<BOOL(OPENFILENAMEW&)>;

// The open dialog with wide file name, filter, initial folder, title, default extension and file list. On NT it
// runs GetOpenFileNameW with the structure the class library builds for its own dialog; elsewhere the class
// library's ANSI dialog. A cancelled dialog leaves the file name and both lists as they were.
class TWydOpenDialog : public vcl::TOpenDialog {
    VCL_CLASS(TWydOpenDialog, vcl::TOpenDialog)
    explicit TWydOpenDialog(vcl::TComponent* owner);
    ~TWydOpenDialog() override;
    bool Execute() override;
    WideString GetDefaultExt() const;
    void SetDefaultExt(const WideString& value);
    // While the dialog shows (explorer style), the path its controls hold now.
    WideString GetFileName() const;
    void SetFileName(const WideString& value);
    WideString GetFilter() const;
    void SetFilter(const WideString& value);
    WideString GetInitialDir() const;
    void SetInitialDir(const WideString& value);
    WideString GetTitle() const;
    void SetTitle(const WideString& value);
    TWydStrings* GetFiles() const;
    void DefineProperties(vcl::TFiler* filer) override;
    void WndProc(vcl::TMessage& message) override;

protected:
    // Runs a wide dialog function (GetOpenFileNameW, GetSaveFileNameW, or a stand-in) owned by parent; true when
    // it returned non-zero, and the chosen names, filter index and the read-only and extension flags are taken.
    bool DoExecuteW(const TOpenFileNameFuncW& func, HWND parent);
    void GetFileNamesW(const OPENFILENAMEW& openFileName);
    // The close check of a wide dialog: the check sees the names about to be chosen; afterwards the file name and
    // lists are as they were.
    bool CanCloseW(const OPENFILENAMEW& openFileName);
    // The class library's close check runs only from the wide one while a wide dialog shows.
    bool DoCanClose() override;

private:
    void TakeNames(const std::vector<WideString>& names);
    mutable TWydStringList* files_;
    mutable WideString defaultExt_, fileName_, filter_, initialDir_, title_;
    bool wideDialog_ = false;   // a wide dialog function runs
    bool wideCloseCheck_ = false;
};

class TWydSaveDialog : public TWydOpenDialog {
    VCL_CLASS(TWydSaveDialog, TWydOpenDialog)
    using TWydOpenDialog::TWydOpenDialog;
    bool Execute() override;
};

// ---- Message dialog

// The form of a wide message dialog: an "Image" (its icon, when the type has one), the "Message" label and a
// button per requested button, named after it. Ctrl+C beeps and copies the dialog's texts to the clipboard.
class TWydMessageForm : public TWydForm {
    VCL_CLASS(TWydMessageForm, TWydForm)
    using TWydForm::TWydForm;
    // What Ctrl+C copies.
    WideString GetCopyText();
    // The help button: the application's help on the form's help context.
    void HelpButtonClick(vcl::TObject* sender);

protected:
    void KeyDown(WORD& key, vcl::TShiftState shift) override;
};

// The texts of a message dialog as Ctrl+C copies them: each block between dividers of 27 hyphens; the button
// captions without '&', each followed by three spaces.
WideString MessageDialogCopyText(const WideString& caption, const WideString& message,
                                 const std::vector<WideString>& buttonCaptions);

// The caption of a message type ("Warning", ...; the application's wide title for mtCustom) and of a button; an
// unknown one raises EWydInternalError.
WideString GetMessageCaption(vcl::TMsgDlgType type);
WideString GetButtonCaption(vcl::TMsgDlgBtn button);

// Where everything of a message dialog goes, in dialog units of its font (average character width and
// height), for a message measured as `text` and buttons whose widest caption measures `widestCaption`.
struct TWydMessageDialogLayout {
    int clientWidth = 0, clientHeight = 0;
    RECT icon{}, message{};
    std::vector<RECT> buttons;
};
TWydMessageDialogLayout LayOutMessageDialog(int charWidth, int charHeight, SIZE text, bool withIcon, int buttonCount,
                                            int widestCaption, bool rightToLeft);
// The average character size of a font, as dialog units count it: half the average width of "A".."Za".."z",
// rounded up, and the font's height.
SIZE DialogUnitsOf(HFONT font);

// The form, made and laid out but not shown (caller frees). Without a default button: OK when requested, else
// Yes when requested, else Retry.
TWydMessageForm* WideCreateMessageDialog(const WideString& message, vcl::TMsgDlgType type,
                                         vcl::TMsgDlgButtons buttons,
                                         std::optional<vcl::TMsgDlgBtn> defaultButton = std::nullopt);
// Shows the dialog modally; returns the modal result of the button pressed. x or y below 0: centred that way.
int WideMessageDlg(const WideString& message, vcl::TMsgDlgType type, vcl::TMsgDlgButtons buttons, int helpContext,
                   std::optional<vcl::TMsgDlgBtn> defaultButton = std::nullopt);
int WideMessageDlgPos(const WideString& message, vcl::TMsgDlgType type, vcl::TMsgDlgButtons buttons,
                      int helpContext, int x, int y, std::optional<vcl::TMsgDlgBtn> defaultButton = std::nullopt);
int WideMessageDlgPosHelp(const WideString& message, vcl::TMsgDlgType type, vcl::TMsgDlgButtons buttons,
                          int helpContext, int x, int y, const WideString& helpFileName,
                          std::optional<vcl::TMsgDlgBtn> defaultButton = std::nullopt);
void WideShowMessage(const WideString& message);
void WideShowMessagePos(const WideString& message, int x, int y);
void WideShowMessageFmt(const WideString& format, vcl::TVarRecs args);

// ---- Prompts

// True when OK was pressed; value then holds the edit's text (otherwise it is unchanged).
bool WideInputQuery(const WideString& caption, const WideString& prompt, WideString& value);
// The query's value; the default when cancelled.
WideString WideInputBox(const WideString& caption, const WideString& prompt, const WideString& defaultValue);
// An open or save dialog (the latter asking before overwriting) for fileName; true when a file was chosen, which
// fileName then holds. An empty filter offers all files.
bool WidePromptForFileName(WideString& fileName, const WideString& filter, const WideString& defaultExt,
                           const WideString& title, const WideString& initialDir, bool saveDialog);
// The window the layer's dialogs are owned by: the application's.
HWND GetModalParentWnd();

// Unit start: the dialog classes become known to form streams.
void InitWydDialogs();
