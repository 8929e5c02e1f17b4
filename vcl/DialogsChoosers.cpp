// The font, colour, print and printer set-up dialogs.
#include "Dialogs.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TFontDialog, TCommonDialog, {
    m.Publish("Font", &TFontDialog::GetFont, &TFontDialog::SetFont);
    m.Publish("Device", &TFontDialog::GetDevice, &TFontDialog::SetDevice)
        .WithNames({"fdScreen", "fdPrinter", "fdBoth"})
        .WithDefault(0);
    m.Publish("MinFontSize", &TFontDialog::GetMinFontSize, &TFontDialog::SetMinFontSize).WithDefault(0);
    m.Publish("MaxFontSize", &TFontDialog::GetMaxFontSize, &TFontDialog::SetMaxFontSize).WithDefault(0);
    m.Publish("Options", &TFontDialog::GetOptions, &TFontDialog::SetOptions)
        .AsSet({"fdAnsiOnly", "fdTrueTypeOnly", "fdEffects", "fdFixedPitchOnly", "fdForceFontExist", "fdNoFaceSel",
                "fdNoOEMFonts", "fdNoSimulations", "fdNoSizeSel", "fdNoStyleSel", "fdNoVectorFonts", "fdShowHelp",
                "fdWysiwyg", "fdLimitSize", "fdScalableOnly", "fdApplyButton"})
        .WithDefault(Int64(TFontDialogOptions{fdEffects}.ToInt()));
    m.Publish("OnApply", &TFontDialog::GetOnApply, &TFontDialog::SetOnApply);
})
VCL_IMPLEMENT_CLASS(TColorDialog, TCommonDialog, {
    m.Publish("Color", &TColorDialog::GetColor, &TColorDialog::SetColor).WithIdents(ColorIdents()).WithDefault(0);
    m.Publish("CustomColors", &TColorDialog::GetCustomColors, &TColorDialog::SetCustomColors);
    m.Publish("Options", &TColorDialog::GetOptions, &TColorDialog::SetOptions)
        .AsSet({"cdFullOpen", "cdPreventFullOpen", "cdShowHelp", "cdSolidColor", "cdAnyColor"})
        .WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TPrintDialog, TCommonDialog, {
    m.Publish("Collate", &TPrintDialog::GetCollate, &TPrintDialog::SetCollate).WithDefault(0);
    m.Publish("Copies", &TPrintDialog::GetCopies, &TPrintDialog::SetCopies).WithDefault(1);
    m.Publish("FromPage", &TPrintDialog::GetFromPage, &TPrintDialog::SetFromPage).WithDefault(0);
    m.Publish("MinPage", &TPrintDialog::GetMinPage, &TPrintDialog::SetMinPage).WithDefault(0);
    m.Publish("MaxPage", &TPrintDialog::GetMaxPage, &TPrintDialog::SetMaxPage).WithDefault(0);
    m.Publish("Options", &TPrintDialog::GetOptions, &TPrintDialog::SetOptions)
        .AsSet({"poPrintToFile", "poPageNums", "poSelection", "poWarning", "poHelp", "poDisablePrintToFile"})
        .WithDefault(0);
    m.Publish("PrintToFile", &TPrintDialog::GetPrintToFile, &TPrintDialog::SetPrintToFile).WithDefault(0);
    m.Publish("PrintRange", &TPrintDialog::GetPrintRange, &TPrintDialog::SetPrintRange)
        .WithNames({"prAllPages", "prSelection", "prPageNums"})
        .WithDefault(0);
    m.Publish("ToPage", &TPrintDialog::GetToPage, &TPrintDialog::SetToPage).WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TPrinterSetupDialog, TCommonDialog)

namespace {

template <class E, size_t N>
DWORD FlagsOf(TSet<E> Options, const DWORD (&Flags)[N])
{
    DWORD result = 0;
    for (size_t i = 0; i < N; ++i)
        if (Options.Contains(E(i)))
            result |= Flags[i];
    return result;
}

// The printer chosen in a print or printer set-up dialog, for the next one; the system's memory
// blocks are freed when the program ends or the dialog hands back new ones.
class TPrinterSelection {
public:
    ~TPrinterSelection()
    {
        GlobalFree(FDevMode);
        GlobalFree(FDevNames);
    }
    void Give(PRINTDLGA& Dialog) const
    {
        Dialog.hDevMode = FDevMode;
        Dialog.hDevNames = FDevNames;
    }
    void Take(const PRINTDLGA& Dialog)
    {
        if (Dialog.hDevMode != FDevMode)
            GlobalFree(FDevMode);
        if (Dialog.hDevNames != FDevNames)
            GlobalFree(FDevNames);
        FDevMode = Dialog.hDevMode;
        FDevNames = Dialog.hDevNames;
    }
    // A DC of the chosen printer; nullptr when none was chosen.
    HDC OpenDC() const
    {
        auto* names = static_cast<const DEVNAMES*>(FDevNames ? GlobalLock(FDevNames) : nullptr);
        if (!names)
            return nullptr;
        auto* mode = static_cast<const DEVMODEA*>(FDevMode ? GlobalLock(FDevMode) : nullptr);
        const char* base = reinterpret_cast<const char*>(names);
        HDC dc = ::CreateDCA(base + names->wDriverOffset, base + names->wDeviceOffset,
                             base + names->wOutputOffset, mode);
        if (mode)
            GlobalUnlock(FDevMode);
        GlobalUnlock(FDevNames);
        return dc;
    }

private:
    HGLOBAL FDevMode = nullptr;
    HGLOBAL FDevNames = nullptr;
};

TPrinterSelection& ChosenPrinter()
{
    static TPrinterSelection selection;
    return selection;
}

// A print dialog structure with the chosen printer and the library's hook.
PRINTDLGA PrintDialogStructure(HWND Owner)
{
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner;
    dialog.hInstance = HINSTANCE(HInstance);
    ChosenPrinter().Give(dialog);
    return dialog;
}

// The default printer's DC; nullptr without one.
HDC CreateDefaultPrinterDC()
{
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgA(&dialog))
        return nullptr;
    GlobalFree(dialog.hDevMode);
    GlobalFree(dialog.hDevNames);
    return dialog.hDC;
}

AnsiString CustomColorName(int Index)
{
    return "Color" + AnsiString(1, char('A' + Index));
}

}  // namespace

HDC CreatePrinterDC()
{
    HDC chosen = ChosenPrinter().OpenDC();
    return chosen ? chosen : CreateDefaultPrinterDC();
}

// ---- font --------------------------------------------------------------------------------------

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(new TFont) {}

TFontDialog::~TFontDialog()
{
    delete FFont;
}

bool TFontDialog::Execute()
{
    static const DWORD flags[] = {CF_ANSIONLY,       CF_TTONLY,       CF_EFFECTS,       CF_FIXEDPITCHONLY,
                                  CF_FORCEFONTEXIST, CF_NOFACESEL,    CF_NOOEMFONTS,    CF_NOSIMULATIONS,
                                  CF_NOSIZESEL,      CF_NOSTYLESEL,   CF_NOVECTORFONTS, CF_SHOWHELP,
                                  CF_WYSIWYG,        CF_LIMITSIZE,    CF_SCALABLEONLY,  CF_APPLY};
    LOGFONTA font{};
    GetObjectA(FFont->GetHandle(), sizeof font, &font);
    CHOOSEFONTA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = OwnerWindow();
    choose.lpLogFont = &font;
    choose.rgbColors = ColorToRGB(FFont->GetColor());
    choose.lpfnHook = &DialogHook;
    choose.hInstance = HINSTANCE(HInstance);
    choose.lpTemplateName = TemplateName();
    choose.nSizeMin = FMinFontSize;
    choose.nSizeMax = FMaxFontSize;
    choose.Flags = CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK | FlagsOf(FOptions, flags);
    if (choose.lpTemplateName)
        choose.Flags |= CF_ENABLETEMPLATE;
    // Printer fonts need a printer; without one the screen's fonts are offered.
    choose.hDC = FDevice != TFontDialogDevice::fdScreen ? CreatePrinterDC() : nullptr;
    if (choose.hDC)
        choose.Flags |= FDevice == TFontDialogDevice::fdBoth ? CF_BOTH : CF_PRINTERFONTS;
    else
        choose.Flags = (choose.Flags & ~DWORD(CF_WYSIWYG)) | CF_SCREENFONTS;
    bool chosen = TaskModalDialog([&] { return ChooseFontA(&choose); });
    if (choose.hDC)
        DeleteDC(choose.hDC);
    if (!chosen)
        return false;
    HFONT handle = CreateFontIndirectA(&font);
    FFont->SetHandle(handle);
    DeleteObject(handle);
    FFont->SetColor(TColor(choose.rgbColors));
    return true;
}

void TFontDialog::Apply(HWND Wnd)
{
    OnApply(this, Wnd);
}

VCL_BEGIN_MESSAGE_MAP(TFontDialog)
    VCL_MESSAGE(WM_COMMAND, WMCommand)
VCL_END_MESSAGE_MAP(TCommonDialog)

// The Apply button: Font takes what the dialog shows before the handler runs.
void TFontDialog::WMCommand(TMessage& Message)
{
    const int applyButton = 0x402;
    if (LOWORD(Message.WParam) != applyButton || !GetHookWindow()) {
        DefaultHandler(Message);
        return;
    }
    LOGFONTA font{};
    SendMessageA(GetHookWindow(), WM_CHOOSEFONT_GETLOGFONT, 0, LPARAM(&font));
    HFONT handle = CreateFontIndirectA(&font);
    FFont->SetHandle(handle);
    DeleteObject(handle);
    Apply(GetHandle());
    Message.Result = TRUE;
}

// ---- colour ------------------------------------------------------------------------------------

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), FCustomColors(new TStringList) {}

TColorDialog::~TColorDialog()
{
    delete FCustomColors;
}

bool TColorDialog::Execute()
{
    static const DWORD flags[] = {CC_FULLOPEN, CC_PREVENTFULLOPEN, CC_SHOWHELP, CC_SOLIDCOLOR, CC_ANYCOLOR};
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i) {
        AnsiString value = FCustomColors->GetValues(CustomColorName(i));
        custom[i] = COLORREF(value.empty() ? 0xFFFFFF : StrToIntDef("$" + value, 0xFFFFFF));
    }
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = OwnerWindow();
    choose.hInstance = HWND(HInstance);
    choose.rgbResult = ColorToRGB(FColor);
    choose.lpCustColors = custom;
    choose.lpfnHook = &DialogHook;
    choose.lpTemplateName = TemplateName();
    choose.Flags = CC_RGBINIT | CC_ENABLEHOOK | FlagsOf(FOptions, flags);
    if (choose.lpTemplateName)
        choose.Flags |= CC_ENABLETEMPLATE;
    if (!TaskModalDialog([&] { return ChooseColorA(&choose); }))
        return false;
    FColor = TColor(choose.rgbResult);
    FCustomColors->BeginUpdate();
    FCustomColors->Clear();
    for (int i = 0; i < 16; ++i)
        FCustomColors->Add(CustomColorName(i) + "=" + IntToHex(custom[i], 6));
    FCustomColors->EndUpdate();
    return true;
}

// ---- print and printer set-up ------------------------------------------------------------------

bool TPrintDialog::Execute()
{
    PRINTDLGA dialog = PrintDialogStructure(OwnerWindow());
    dialog.lpfnPrintHook = &DialogHook;
    dialog.lpPrintTemplateName = TemplateName();
    dialog.Flags = PD_ENABLEPRINTHOOK | (dialog.lpPrintTemplateName ? PD_ENABLEPRINTTEMPLATE : 0);
    if (!FOptions.Contains(poPrintToFile))
        dialog.Flags |= PD_HIDEPRINTTOFILE;
    if (FOptions.Contains(poDisablePrintToFile))
        dialog.Flags |= PD_DISABLEPRINTTOFILE;
    if (!FOptions.Contains(poPageNums))
        dialog.Flags |= PD_NOPAGENUMS;
    if (!FOptions.Contains(poSelection))
        dialog.Flags |= PD_NOSELECTION;
    if (!FOptions.Contains(poWarning))
        dialog.Flags |= PD_NOWARNING;
    if (FOptions.Contains(poHelp))
        dialog.Flags |= PD_SHOWHELP;
    if (FPrintRange == TPrintRange::prSelection)
        dialog.Flags |= PD_SELECTION;
    else if (FPrintRange == TPrintRange::prPageNums)
        dialog.Flags |= PD_PAGENUMS;
    if (FCollate)
        dialog.Flags |= PD_COLLATE;
    if (FPrintToFile)
        dialog.Flags |= PD_PRINTTOFILE;
    dialog.nCopies = WORD(FCopies);
    dialog.nFromPage = WORD(FFromPage);
    dialog.nToPage = WORD(FToPage);
    dialog.nMinPage = WORD(FMinPage);
    dialog.nMaxPage = WORD(FMaxPage);
    bool chosen = TaskModalDialog([&] { return PrintDlgA(&dialog); });
    ChosenPrinter().Take(dialog);
    if (!chosen)
        return false;
    FCopies = dialog.nCopies;
    FCollate = dialog.Flags & PD_COLLATE;
    FPrintToFile = dialog.Flags & PD_PRINTTOFILE;
    FFromPage = dialog.nFromPage;
    FToPage = dialog.nToPage;
    FPrintRange = dialog.Flags & PD_SELECTION   ? TPrintRange::prSelection
                  : dialog.Flags & PD_PAGENUMS ? TPrintRange::prPageNums
                                               : TPrintRange::prAllPages;
    return true;
}

bool TPrinterSetupDialog::Execute()
{
    PRINTDLGA dialog = PrintDialogStructure(OwnerWindow());
    dialog.lpfnSetupHook = &DialogHook;
    dialog.lpSetupTemplateName = TemplateName();
    dialog.Flags = PD_PRINTSETUP | PD_ENABLESETUPHOOK | (dialog.lpSetupTemplateName ? PD_ENABLESETUPTEMPLATE : 0);
    bool chosen = TaskModalDialog([&] { return PrintDlgA(&dialog); });
    ChosenPrinter().Take(dialog);
    return chosen;
}

}  // namespace vcl
