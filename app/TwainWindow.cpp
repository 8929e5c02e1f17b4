// Scanning on the main window: the session's events become page nodes, the end of the job flow's scan step
// and message boxes; the source lists and capabilities fill the main window's and the settings dialog's lists.
#include "TwainWindow.h"

#include <memory>
#include <optional>

#include "DiscEventsWindow.h"
#include "Dialogs.h"
#include "Main.h"
#include "ScannerCaps.h"
#include "Settings.h"
#include "SharedState.h"
#include "WideText.h"

namespace pagorin {
namespace {

void FillRows(vcl::TListView* view, const SourceRows& rows)
{
    vcl::TListItems* items = view->GetItems();
    items->Clear();
    for (const std::string& name : rows.Names)
        items->Add()->SetCaption(name);
    if (rows.Selected >= 0)
        items->GetItem(rows.Selected)->SetSelected(true);
}

// Left out: the query did not get that far, and the list stays as it is.
void ShowChoices(TWydComboBox* box, const std::optional<ChoiceList>& list)
{
    if (list)
        ShowChoiceList(box, *list);
}

class MainWindowScanEvents : public ScanEvents {
public:
    explicit MainWindowScanEvents(TfrmMain& form) : form_(form) {}

    ScanSettings Settings() override { return ReadScanSettings(form_); }
    void TransferStarting() override { CheckCurrentTransaction(form_); }
    // Outside the interactive run a transaction's pages come by hand-over only.
    void PageWritten(const std::string& fileName) override
    {
        if (form_.OperationMode == 1)
            AddPageNode(form_, fileName);
    }
    void Message(const std::string& text) override { vcl::ShowMessage(text); }
    void ScanEnded(const ScanResult& result) override
    {
        TfrmMain& f = form_;
        f.PageNumber = result.PageNumber;
        if (result.Transferred && (result.Pages > 0 || CurrentScanTransaction(f).HasPages)) {
            PagesDone();
            return;
        }
        // A transaction without pages goes; an added scan that never started leaves its transaction as it
        // was. Either way no transaction waits for pages any more.
        if (result.Pages == 0 && !CurrentScanTransaction(f).HasPages)
            DropEmptyTransaction(f);
        f.CurrentTransaction = nullptr;
        f.GiveControlsBack();
        f.TakeHeldPages();
    }

private:
    void PagesDone()
    {
        TfrmMain& f = form_;
        f.tmrAllPagesDone->SetEnabled(true);
        if (!f.ckxWritePerTransaction->GetChecked()) {
            for (vcl::TControl* button : std::initializer_list<vcl::TControl*>{f.bbtnAppend, f.bbtnAbort, f.bbtnWrite})
                button->SetVisible(true);
            f.bbtnAppend->SetEnabled(false);
            f.bbtnAbort->SetEnabled(false);
            f.WriteRequested = false;
        }
        // Without a PDF on its way (none asked for, none could start, or it already failed) nothing else
        // would take the job on from here.
        if (f.AppendMode && f.AppendHadPdf) {
            StartPdfForAppend(f);
        } else if (!CurrentScanTransaction(f).PdfComing) {
            if (f.ckxWritePerTransaction->GetChecked())
                GoBurning(f);
            else
                f.GiveControlsBack();
        }
    }

    TfrmMain& form_;
};

struct WindowScanner {
    explicit WindowScanner(TfrmMain& form) : events(form), session(events) {}
    MainWindowScanEvents events;
    TwainSession session;
};

std::unique_ptr<WindowScanner> TheScanner;

}  // namespace

ScanSettings ReadScanSettings(TfrmMain& form)
{
    ScanSettings settings;
    settings.Scanner = AnsiText(form.txtScanner);
    settings.ColorMode = AnsiText(form.txtColorMode);
    settings.Resolution = AnsiText(form.txtResolution);
    settings.FileFormat = AnsiText(form.txtFileFormat);
    settings.Duplex = form.ckxDuplex->GetVisible() && form.ckxDuplex->GetChecked();
    settings.FileNaming = AnsiText(form.cbxFileNaming);
    settings.QueuePath = form.QueuePath;
    ScanTransaction transaction = CurrentScanTransaction(form);
    settings.Transaction = transaction.Name;
    settings.TransactionHasPages = transaction.HasPages;
    settings.PageNumber = form.PageNumber;
    return settings;
}

void OpenTwainManager(TfrmMain& form)
{
    TheScanner = std::make_unique<WindowScanner>(form);
    TheScanner->session.LoadManager();
    if (vcl::TListColumn* column = form.lvDataSources->GetColumns()->GetItem(0))
        column->SetWidth(form.lvDataSources->GetClientWidth() - 28);
    TheScanner->session.OpenTwainManager(form.MainWindowHandle);
}

void CloseTwainSource(TfrmMain&)
{
    if (TheScanner)
        TheScanner->session.CloseTwainSource();
}

// The session itself stays until the program ends: a message box of a scan may still be open on the stack.
void CloseTwainManager(TfrmMain&)
{
    if (TheScanner)
        TheScanner->session.CloseTwainManager();
}

void ListTwainSources(TfrmMain& form)
{
    if (TheScanner)
        FillRows(form.lvDataSources,
                 pagorin::ListTwainSources(TheScanner->session, KeyLocation(), form.Config.CurrentScannerName));
}

void EnumerateScanners(TfrmMain& form)
{
    if (!TheScanner)
        return;
    ScannerList list = pagorin::EnumerateScanners(TheScanner->session, KeyLocation(), form.Config.CurrentScannerName,
                                                  form.ShowAllSources);
    form.ShowAllSources = false;
    if (frmSettings)
        FillRows(frmSettings->lvDataSources, list);
    if (list.ChosenDefault.empty())
        return;
    form.Config.CurrentScannerName = list.ChosenDefault;
    SetAnsiCaption(form.txtScanner, list.ChosenDefault);
}

void QueryScannerCapabilities(TfrmMain& form, const std::string& name)
{
    if (!TheScanner || !frmSettings)
        return;
    std::optional<ScannerCapabilities> found =
        pagorin::QueryScannerCapabilities(TheScanner->session, KeyLocation(), name);
    if (!found)
        return;
    TfrmSettings& settings = *frmSettings;
    ShowChoices(settings.cbxColorMode, found->ColorModes);
    ShowChoices(settings.cbxFileFormat, found->FileFormats);
    bool duplex = found->DuplexMode == 1 || found->DuplexMode == 2;
    form.ckxDuplex->SetVisible(duplex);
    if (duplex)
        form.ckxDuplex->SetChecked(found->DuplexChecked);
    settings.ckxDuplex->SetChecked(form.ckxDuplex->GetChecked());
    if (!found->Resolutions)
        return;
    ShowChoices(settings.cbxResolution, found->Resolutions);
    SetAnsiCaption(form.txtResolution, found->Resolutions->Text);
    // A hot-key run keeps its controls off while it works.
    if (form.OperationMode == 1)
        form.EnableMainControls(true);
    form.FirstUseNotice = false;
    ShowChoices(settings.cbxPageSize, found->PageSizes);
}

void ScanPages(TfrmMain& form)
{
    if (!TheScanner || TheScanner->session.Scanning())
        return;
    form.EnableMainControls(false);
    TheScanner->session.StartScan();
}

bool ScanInProgress() { return TheScanner && TheScanner->session.Scanning(); }

void CheckTwainEvent(MSG& message)
{
    if (TheScanner)
        TheScanner->session.CheckEvent(message);
}

}  // namespace pagorin
