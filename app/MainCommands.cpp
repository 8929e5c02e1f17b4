// The main window's layout, its capacity gauge, the first-run check and the commands of its tool bar and
// menus.
#include <windows.h>
#include <shellapi.h>

#include "About.h"
#include "CapacityGauge.h"
#include "DayLog.h"
#include "KTRobots20.h"
#include "Main.h"
#include "SelectScanner.h"
#include "Settings.h"
#include "SharedState.h"
#include "TwainWindow.h"
#include "WideText.h"

namespace pagorin {

namespace {

constexpr const char* MakerWebPage = "http://www.tessaro-systems.com/";
constexpr DWORD TrayOpenMs = 5000;

// The controls whose text the layout sets in Arial 9.
bool TakesLayoutFont(vcl::TComponent* component)
{
    return dynamic_cast<vcl::TLabel*>(component) || dynamic_cast<vcl::TCheckBox*>(component) ||
           dynamic_cast<vcl::TComboBox*>(component) || dynamic_cast<vcl::TGroupBox*>(component) ||
           dynamic_cast<vcl::TButton*>(component) || dynamic_cast<vcl::TBitBtn*>(component);
}

// Opens a document or address with the shell; the day log tells when nothing could open it.
void OpenWithShell(HWND owner, const std::string& target, int show)
{
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", target.c_str(), "", "", show));
    if (result <= 32)
        WriteLogLine("Could not open \"" + target + "\" (" + std::to_string(result) + ").");
}

}  // namespace

void TfrmMain::LayoutMainWindow()
{
    for (int i = 0; i < GetComponentCount(); ++i)
        if (TakesLayoutFont(GetComponents(i))) {
            auto* control = static_cast<vcl::TControl*>(GetComponents(i));
            control->GetFont()->SetName("Arial");
            control->GetFont()->SetSize(9);
        }
    bbtnWrite->SetVisible(false);
    bbtnAppend->SetVisible(false);
    bbtnAbort->SetVisible(false);
    SetWideCaption(cbxFileNaming, L"Page");
    SetWideCaption(cbxDiscLabel, L"Scanned Doc");
    cseCopies->SetMinValue(1);
    cseCopies->SetMaxValue(999);
    cseCopies->SetValue(1);
    SetWideCaption(txtAutoloader, L"None");
    SetWideCaption(txtCurrentDisc, L"");
    RobotDriveLetter = 0;
    SetCaption(MainCaption);
    LoadDefaultSettings();
    ApplyLanguageTexts();
    DrawCapacityRuler();
    StatusBar1->GetPanels()->GetItem(0)->SetWidth(gbxDiscWriteStatus->GetWidth() + 18);
    DrawCapacityGauge(0);
}

void TfrmMain::DrawCapacityRuler()
{
    GaugeGeometry gauge = GaugeFor(imgDraw->GetWidth());
    GaugeWidth = gauge.Width;
    GaugeMargin = gauge.Margin;
    vcl::TCanvas* canvas = imgDraw->GetImageCanvas();
    canvas->GetBrush()->SetColor(vcl::clWhite);
    canvas->FillRect(RECT{0, 0, imgDraw->GetWidth(), imgDraw->GetHeight()});
    DrawGaugeRuler(canvas, gauge);
    imgBar->SetBounds(imgDraw->GetLeft(), imgDraw->GetTop(), imgDraw->GetWidth(), imgDraw->GetHeight());
    imgDraw->BringToFront();
}

void TfrmMain::DrawCapacityGauge(long long megabytes)
{
    GaugeGeometry gauge;
    gauge.Step = GaugeWidth / GaugeSteps;
    gauge.Width = GaugeWidth;
    gauge.Margin = GaugeMargin;
    DrawGaugeBar(imgBar->GetImageCanvas(), gauge, imgBar->GetWidth(), imgBar->GetHeight(), megabytes);
    imgBar->Invalidate();
    imgDraw->GetPicture()->GetBitmap()->SetTransparentColor(vcl::clWhite);
    imgDraw->SetTransparent(true);
}

// Without scan or write settings the operator must choose them first: only Settings stays enabled.
void TfrmMain::CheckFirstRun()
{
    bool missing = false;
    for (TWydLabel* label : {txtColorMode, txtResolution, txtFileFormat, txtCompiledPDF, txtDiscType})
        missing = missing || label->GetCaption().empty();
    if (!missing)
        return;
    EnableMainControls(false);
    btnSettings->SetEnabled(true);
    menuOptions->SetEnabled(true);
    menuTestTray->SetEnabled(false);
    FirstUseNotice = true;
    WriteLogLine("Scan or write settings are missing: the settings are shown first.");
    frmSettings->lblNotice->SetVisible(false);
    frmSettings->ShowSettings(TfrmSettings::ScanPage);
}

// A scan under way keeps its transaction: a second one would take the rest of its pages.
void TfrmMain::btnStartTransactionClick(vcl::TObject*)
{
    if (ScanInProgress())
        return;
    if (!TakeScanEndNow())
        return;
    StartTransaction();
    btnScan->Click();
}

void TfrmMain::btnLoadSettingsClick(vcl::TObject*) { LoadDefaultSettings(); }

// Stores what the main window holds now, as the settings dialog would with the same values.
void TfrmMain::btnSaveSettingsClick(vcl::TObject*)
{
    RegistryKey key(KeyLocation(), true);
    if (!key.Valid())
        return;
    SaveLanguageSetting(key, Config);
    ScanSettingsInput scan;
    if (!Config.CurrentScannerName.empty())
        scan.SelectedScanner = Config.CurrentScannerName;
    scan.PageWaitText = std::to_string(Config.NextPageWait);
    scan.ColorModeText = AnsiText(txtColorMode);
    scan.FileFormatText = AnsiText(txtFileFormat);
    scan.ResolutionCaption = AnsiText(txtResolution);
    scan.PageSizeCaption = AnsiText(txtPageSize);
    scan.DuplexVisible = ckxDuplex->GetVisible();
    scan.DuplexChecked = ckxDuplex->GetChecked();
    SaveScanSettings(key, KeyLocation(), Config, scan);
    WriteSettingsInput write;
    write.PdfSizeText = std::to_string(Config.MaxPdfSize);
    write.RwPolicyIndex = Config.RwDiscPolicy;
    write.DeleteHotkeyFiles = Config.DeleteHotkeyFiles;
    SaveWriteSettings(key, Config, write);
    WriteLogLine("Settings saved as the defaults.");
}

void TfrmMain::btnSelectScannerClick(vcl::TObject*) { frmSelectScanner->ShowModal(); }

void TfrmMain::btnSettingsClick(vcl::TObject*) { frmSettings->ShowSettings(); }

void TfrmMain::btnLanguageClick(vcl::TObject*) { frmSettings->ShowSettings(TfrmSettings::LanguagePage); }

void TfrmMain::btnHelpManualClick(vcl::TObject*) { OpenWithShell(GetHandle(), HelpFilePath, SW_SHOW); }

// The browser opens in front of the operator (a hidden one would look like a command that did nothing).
void TfrmMain::btnWebClick(vcl::TObject*) { OpenWithShell(GetHandle(), MakerWebPage, SW_SHOWNORMAL); }

void TfrmMain::btnAboutClick(vcl::TObject*) { frmAbout->ShowModal(); }

// Both the arrows and typing reach here (OnClick and OnChange), so a typed number is kept too.
void TfrmMain::cseCopiesClick(vcl::TObject*)
{
    Config.Copies = cseCopies->GetValue();
    if (frmSettings && frmSettings->cseCopies)
        frmSettings->cseCopies->SetValue(Config.Copies);
}

// Opens and closes the writer's tray; only while the robot and the disc worker are idle, since the
// robot library is theirs while they work.
void TfrmMain::menuTestTrayClick(vcl::TObject*)
{
    char letter = RobotDriveLetter;
    if (letter == 0 || RobotState != 0 || DiscBusy)
        return;
    CDRWCTLs_EJECT(letter);
    Sleep(TrayOpenMs);
    CDRWCTLs_LOAD(letter);
}

// The settings dialog's disc type names; shown here too, so the label is right before the dialog exists.
void TfrmMain::ShowDiscType()
{
    std::wstring name = Config.DiscType == 1   ? L"CD"
                        : Config.DiscType == 2 ? L"DVD"
                                               : Texts.Text("Settings.WriteSettings.AutoDetect");
    SetWideCaption(txtDiscType, name);
}

}  // namespace pagorin
