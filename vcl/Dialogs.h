// Dialogs: message boxes as library forms (run by the library's loop, so OnMessage keeps seeing every
// message), an input box, and the system's common dialogs (files, font, colour, printer, find, replace).
#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include "Forms.h"

#include <commdlg.h>

namespace vcl {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll,
                        mbHelp };
using TMsgDlgButtons = std::initializer_list<TMsgDlgBtn>;

// A modal message form; returns the modal result of the button pressed (mrCancel when closed).
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// The same with an explicit caption (the application's exception box uses its title).
int MessageDlg(const AnsiString& Caption, const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
               int HelpCtx);
// The form MessageDlg shows, for callers that show it themselves (caller frees).
TForm* CreateMessageDialog(const AnsiString& Caption, const AnsiString& Msg, TMsgDlgType DlgType,
                           TMsgDlgButtons Buttons);
void ShowMessage(const AnsiString& Msg);
bool InputQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value);
AnsiString InputBox(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Default);

enum TOpenOption { ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
                   ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
                   ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
                   ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing };
using TOpenOptions = TSet<TOpenOption>;

// File dialogs show the explorer-style controls unless this is off (or a dialog asks for the old style).
extern bool NewStyleControls;
// A file dialog without InitialDir starts in the current folder rather than where the system chooses.
extern bool ForceCurrentDirectory;

// Base of the system's common dialogs (comdlg32). Each runs with the library's hook procedure: the hook
// binds the dialog's window to the object and passes every message the dialog hands its hook to the
// object's WndProc (message map, then DefaultHandler, which leaves the message to the system dialog).
class TCommonDialog : public TComponent {
    VCL_CLASS(TCommonDialog, TComponent)
    explicit TCommonDialog(TComponent* AOwner);
    virtual bool Execute() = 0;
    // The dialog's window while it is shown (for an explorer-style dialog its frame, not the hook's child).
    HWND GetHandle() const { return FHandle; }
    int GetHelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    // The name of a dialog template resource of the program whose controls the dialog shows as well.
    AnsiString GetTemplate() const { return FTemplate; }
    void SetTemplate(const AnsiString& Value) { FTemplate = Value; }
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
    TNotifyEvent GetOnShow() const { return OnShow; }
    void SetOnShow(TNotifyEvent Value) { OnShow = Value; }
    TNotifyEvent GetOnClose() const { return OnClose; }
    void SetOnClose(TNotifyEvent Value) { OnClose = Value; }

    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    // What no handler took stays the system dialog's: the hook answers 0.
    virtual void DefaultHandler(TMessage& Message);
    // The hook procedure of every dialog the library runs (lpfnHook of each dialog structure).
    static UINT_PTR CALLBACK DialogHook(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

protected:
    // Runs a dialog function; the hook binds the window it makes to this object. True when it returned
    // non-zero.
    bool TaskModalDialog(const std::function<BOOL()>& DialogFunc);
    // Makes a modeless dialog's window with a function that returns at once; the hook binds it the same way.
    HWND CreateModeless(const std::function<HWND()>& CreateFunc);
    // The window a dialog is owned by: the active form, else the application's window.
    static HWND OwnerWindow();
    // The template for a dialog structure: nullptr without one.
    LPCSTR TemplateName() const { return FTemplate.empty() ? nullptr : FTemplate.c_str(); }
    // The window the hook runs on; a notification's answer goes to its DWLP_MSGRESULT.
    HWND GetHookWindow() const { return FHookWindow; }
    // Answers a notification the way dialogs read it: the hook's result and DWLP_MSGRESULT.
    void SetDialogResult(TMessage& Message, LRESULT Result);
    virtual void DoShow();
    virtual void DoClose();
    void WMInitDialog(TMessage& Message);
    void WMDestroy(TMessage& Message);
    HWND FHandle = nullptr;

private:
    friend class TCommonDialogBinding;
    HWND FHookWindow = nullptr;
    AnsiString FTemplate;
    int FHelpContext = 0;
};

using TCloseQueryDialogEvent = TEvent<TObject*, bool&>;
using TIncludeItemEvent = TEvent<TObject*, const OFNOTIFYEXA&, bool&>;
// A dialog function over a file dialog structure (GetOpenFileNameA, GetSaveFileNameA, or a stand-in).
using TOpenFileNameFunc = std::function<BOOL(OPENFILENAMEA&)>;

// The names a file dialog returned in Buffer: without multi-selection the text up to the separator;
// with it, one name, or a folder followed by names that are taken as relative to it unless they start
// with "\" or a drive ("C:\"). Separator is NUL (explorer style) or a space (old style).
std::vector<AnsiString> SplitFileNames(const char* Buffer, size_t Size, char Separator, bool MultiSelect);

class TOpenDialog : public TCommonDialog {
    VCL_CLASS(TOpenDialog, TCommonDialog)
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    bool Execute() override;
    // While the dialog is shown, the path its controls hold now; otherwise the chosen (or preset) name.
    AnsiString GetFileName() const;
    void SetFileName(const AnsiString& Value) { FFileName = Value; }
    AnsiString GetFilter() const { return FFilter; }
    void SetFilter(const AnsiString& Value) { FFilter = Value; }
    int GetFilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    AnsiString GetInitialDir() const { return FInitialDir; }
    void SetInitialDir(const AnsiString& Value) { FInitialDir = Value; }
    AnsiString GetTitle() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    AnsiString GetDefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const AnsiString& Value) { FDefaultExt = Value; }
    TOpenOptions GetOptions() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    // The chosen names (several with ofAllowMultiSelect); unchanged when the dialog is cancelled.
    TStrings* GetFiles() const { return FFiles; }
    TCloseQueryDialogEvent OnCanClose;
    TIncludeItemEvent OnIncludeItem;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnFolderChange;
    TNotifyEvent OnTypeChange;
    TCloseQueryDialogEvent GetOnCanClose() const { return OnCanClose; }
    void SetOnCanClose(TCloseQueryDialogEvent Value) { OnCanClose = Value; }
    TNotifyEvent GetOnSelectionChange() const { return OnSelectionChange; }
    void SetOnSelectionChange(TNotifyEvent Value) { OnSelectionChange = Value; }
    TNotifyEvent GetOnFolderChange() const { return OnFolderChange; }
    void SetOnFolderChange(TNotifyEvent Value) { OnFolderChange = Value; }
    TNotifyEvent GetOnTypeChange() const { return OnTypeChange; }
    void SetOnTypeChange(TNotifyEvent Value) { OnTypeChange = Value; }
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

protected:
    // Builds the OPENFILENAMEA (with the hook) and runs Func with it, owned by ParentWnd; on success the
    // chosen names, filter index and the read-only and extension flags are taken. A descendant may run
    // a function of its own here (one that only copies the structure and answers 0 changes nothing).
    virtual bool DoExecute(const TOpenFileNameFunc& Func, HWND ParentWnd);
    // Takes FileName and Files from a returned or notified structure.
    virtual void GetFileNames(const OPENFILENAMEA& OpenFileName);
    // The close check (CDN_FILEOK): OnCanClose sees the names about to be chosen; false keeps the dialog open.
    virtual bool DoCanClose();
    virtual void DoIncludeItem(const OFNOTIFYEXA& OFNotifyEx, bool& Include);
    virtual void DoSelectionChange();
    virtual void DoFolderChange();
    virtual void DoTypeChange();
    bool IsExplorerStyle() const { return NewStyleControls && !FOptions.Contains(ofOldStyleDialog); }
    void WMInitDialog(TMessage& Message);
    void WMNotify(TMessage& Message);

private:
    void CheckClose(TMessage& Message, const OPENFILENAMEA& OpenFileName);
    AnsiString FFileName;
    AnsiString FFilter;
    int FFilterIndex = 1;
    AnsiString FInitialDir;
    AnsiString FTitle;
    AnsiString FDefaultExt;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
    TStrings* FFiles;
};

class TSaveDialog : public TOpenDialog {
    VCL_CLASS(TSaveDialog, TOpenDialog)
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
};

// ---- font, colour and printer dialogs ----------------------------------------------------------

enum TFontDialogOption { fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel,
                         fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp,
                         fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton };
using TFontDialogOptions = TSet<TFontDialogOption>;
enum class TFontDialogDevice { fdScreen, fdPrinter, fdBoth };
using TFDApplyEvent = TEvent<TObject*, HWND>;

// Chooses a font: the dialog starts with Font and, when accepted, Font takes the choice (colour too).
class TFontDialog : public TCommonDialog {
    VCL_CLASS(TFontDialog, TCommonDialog)
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    bool Execute() override;
    TFont* GetFont() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TFontDialogDevice GetDevice() const { return FDevice; }
    void SetDevice(TFontDialogDevice Value) { FDevice = Value; }
    int GetMinFontSize() const { return FMinFontSize; }
    void SetMinFontSize(int Value) { FMinFontSize = Value; }
    int GetMaxFontSize() const { return FMaxFontSize; }
    void SetMaxFontSize(int Value) { FMaxFontSize = Value; }
    TFontDialogOptions GetOptions() const { return FOptions; }
    void SetOptions(TFontDialogOptions Value) { FOptions = Value; }
    // The Apply button (fdApplyButton): the dialog's window; Font holds the font shown then.
    TFDApplyEvent OnApply;
    TFDApplyEvent GetOnApply() const { return OnApply; }
    void SetOnApply(TFDApplyEvent Value) { OnApply = Value; }
    void Dispatch(TMessage& Message) override;

protected:
    virtual void Apply(HWND Wnd);
    void WMCommand(TMessage& Message);

private:
    TFont* FFont;
    TFontDialogDevice FDevice = TFontDialogDevice::fdScreen;
    int FMinFontSize = 0;
    int FMaxFontSize = 0;
    TFontDialogOptions FOptions{fdEffects};
};

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSet<TColorDialogOption>;

// Chooses a colour; CustomColors holds the sixteen custom colours as "ColorA=RRGGBB" .. "ColorP=...".
class TColorDialog : public TCommonDialog {
    VCL_CLASS(TColorDialog, TCommonDialog)
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;
    bool Execute() override;
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TStrings* GetCustomColors() const { return FCustomColors; }
    void SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }
    TColorDialogOptions GetOptions() const { return FOptions; }
    void SetOptions(TColorDialogOptions Value) { FOptions = Value; }

private:
    TColor FColor = clBlack;
    TStrings* FCustomColors;
    TColorDialogOptions FOptions;
};

enum TPrintDialogOption { poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile };
using TPrintDialogOptions = TSet<TPrintDialogOption>;
enum class TPrintRange { prAllPages, prSelection, prPageNums };

// Asks how to print (pages, copies, collation); the printer chosen here or in the printer set-up dialog
// is remembered for the next print or set-up dialog of the program.
class TPrintDialog : public TCommonDialog {
    VCL_CLASS(TPrintDialog, TCommonDialog)
    using TCommonDialog::TCommonDialog;
    bool Execute() override;
    bool GetCollate() const { return FCollate; }
    void SetCollate(bool Value) { FCollate = Value; }
    int GetCopies() const { return FCopies; }
    void SetCopies(int Value) { FCopies = Value; }
    int GetFromPage() const { return FFromPage; }
    void SetFromPage(int Value) { FFromPage = Value; }
    int GetToPage() const { return FToPage; }
    void SetToPage(int Value) { FToPage = Value; }
    int GetMinPage() const { return FMinPage; }
    void SetMinPage(int Value) { FMinPage = Value; }
    int GetMaxPage() const { return FMaxPage; }
    void SetMaxPage(int Value) { FMaxPage = Value; }
    TPrintDialogOptions GetOptions() const { return FOptions; }
    void SetOptions(TPrintDialogOptions Value) { FOptions = Value; }
    TPrintRange GetPrintRange() const { return FPrintRange; }
    void SetPrintRange(TPrintRange Value) { FPrintRange = Value; }
    bool GetPrintToFile() const { return FPrintToFile; }
    void SetPrintToFile(bool Value) { FPrintToFile = Value; }

private:
    bool FCollate = false;
    int FCopies = 1;
    int FFromPage = 0, FToPage = 0, FMinPage = 0, FMaxPage = 0;
    TPrintDialogOptions FOptions;
    TPrintRange FPrintRange = TPrintRange::prAllPages;
    bool FPrintToFile = false;
};

// A DC of the printer the print or printer set-up dialog chose last, else of the default printer; nullptr
// when the machine has none. The caller deletes it (DeleteDC).
HDC CreatePrinterDC();

class TPrinterSetupDialog : public TCommonDialog {
    VCL_CLASS(TPrinterSetupDialog, TCommonDialog)
    using TCommonDialog::TCommonDialog;
    bool Execute() override;
};

// ---- find and replace --------------------------------------------------------------------------

enum TFindOption { frDown, frFindNext, frHideMatchCase, frHideWholeWord, frHideUpDown, frMatchCase,
                   frDisableMatchCase, frDisableUpDown, frDisableWholeWord, frReplace, frReplaceAll, frWholeWord,
                   frShowHelp };
using TFindOptions = TSet<TFindOption>;

// The modeless find dialog: Execute shows it and returns at once; each "Find Next" fires OnFind with
// FindText and Options as the user set them. It is owned by the application's window, which hears the
// dialog's messages, and it keys through the application's loop while active.
class TFindDialog : public TCommonDialog {
    VCL_CLASS(TFindDialog, TCommonDialog)
    explicit TFindDialog(TComponent* AOwner);
    ~TFindDialog() override;
    // Shows the dialog (or brings it to the front); true when it is shown.
    bool Execute() override;
    void CloseDialog();
    // At most 255 characters (the dialog's edit holds no more).
    AnsiString GetFindText() const;
    void SetFindText(const AnsiString& Value);
    TFindOptions GetOptions() const { return FOptions; }
    void SetOptions(TFindOptions Value) { FOptions = Value; }
    TNotifyEvent OnFind;
    TNotifyEvent GetOnFind() const { return OnFind; }
    void SetOnFind(TNotifyEvent Value) { OnFind = Value; }
    void Dispatch(TMessage& Message) override;

protected:
    static constexpr size_t TextSize = 256;
    // Makes the dialog window (FindTextA; the replace dialog's ReplaceTextA).
    virtual HWND CreateDialogWindow(FINDREPLACEA& FindReplace);
    virtual void Find();
    virtual void Replace() {}
    void DoClose() override;
    void WMActivate(TMessage& Message);
    FINDREPLACEA FFindReplace{};
    char FReplaceWith[TextSize] = {};

private:
    bool ApplicationHook(TMessage& Message);
    char FFindWhat[TextSize] = {};
    TFindOptions FOptions{frDown};
};

class TReplaceDialog : public TFindDialog {
    VCL_CLASS(TReplaceDialog, TFindDialog)
    using TFindDialog::TFindDialog;
    AnsiString GetReplaceText() const;
    void SetReplaceText(const AnsiString& Value);
    // "Replace" and "Replace All" (frReplace / frReplaceAll in Options).
    TNotifyEvent OnReplace;
    TNotifyEvent GetOnReplace() const { return OnReplace; }
    void SetOnReplace(TNotifyEvent Value) { OnReplace = Value; }

protected:
    HWND CreateDialogWindow(FINDREPLACEA& FindReplace) override;
    void Replace() override;
};

// Registers the dialog classes for form streaming.
void RegisterDialogs();

}  // namespace vcl
