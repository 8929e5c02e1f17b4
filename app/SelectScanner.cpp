// The scanner chooser: it writes nothing to the registry; the settings dialog's save keeps the default scanner.
#include "SelectScanner.h"

#include "Main.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "WideText.h"

namespace pagorin {

TfrmSelectScanner* frmSelectScanner = nullptr;

TfrmSelectScanner::TfrmSelectScanner(vcl::TComponent* owner) : vcl::TForm(owner)
{
    UseArialFont(this);
}

void TfrmSelectScanner::FormCreate(vcl::TObject*)
{
    constexpr int Margin = 12;
    int width = GetClientWidth(), height = GetClientHeight();
    int buttonsTop = height - Margin - btnOK->GetHeight();
    btnOK->SetBounds(Margin, buttonsTop, btnOK->GetWidth(), btnOK->GetHeight());
    btnCancel->SetBounds(width - Margin - btnCancel->GetWidth(), buttonsTop, btnCancel->GetWidth(),
                         btnCancel->GetHeight());
    gbxScanners->SetBounds(Margin, Margin, width - 2 * Margin, buttonsTop - 2 * Margin);
    lvDataSources->SetBounds(Margin, 2 * Margin, gbxScanners->GetWidth() - 2 * Margin,
                             gbxScanners->GetHeight() - 3 * Margin);
    if (vcl::TListColumn* column = lvDataSources->GetColumns()->GetItem(0))
        column->SetWidth(lvDataSources->GetClientWidth() - 28);
}

void TfrmSelectScanner::FormActivate(vcl::TObject*)
{
    vcl::TListItems* rows = lvDataSources->GetItems();
    vcl::TListItems* settingsRows = frmSettings->lvDataSources->GetItems();
    rows->Clear();
    for (int i = 0; i < settingsRows->GetCount(); ++i)
        rows->Add()->SetCaption(settingsRows->GetItem(i)->GetCaption());
    if (vcl::TListItem* selected = frmSettings->lvDataSources->GetSelected())
        rows->GetItem(selected->GetIndex())->SetSelected(true);
    SetWideCaption(btnOK, frmMain->Texts.Text("Generic.OK"));
    SetWideCaption(btnCancel, frmMain->Texts.Text("Generic.Cancel"));
}

vcl::TListItem* TfrmSelectScanner::SettingsRowOfSelection() const
{
    vcl::TListItem* row = lvDataSources->GetSelected();
    vcl::TListItems* settingsRows = frmSettings->lvDataSources->GetItems();
    return row && row->GetIndex() < settingsRows->GetCount() ? settingsRows->GetItem(row->GetIndex()) : nullptr;
}

void TfrmSelectScanner::lvDataSourcesClick(vcl::TObject*)
{
    if (vcl::TListItem* settingsRow = SettingsRowOfSelection())
        settingsRow->SetSelected(true);
}

void TfrmSelectScanner::btnOKClick(vcl::TObject*)
{
    if (vcl::TListItem* row = lvDataSources->GetSelected()) {
        if (vcl::TListItem* settingsRow = SettingsRowOfSelection())
            settingsRow->SetSelected(true);
        TfrmMain& main = *frmMain;
        std::string name = row->GetCaption();
        SetAnsiCaption(main.txtScanner, name);
        main.Config.CurrentScannerName = name;
        // The stored current values; an empty one empties its label, an unknown code leaves it.
        SettingsView view;
        ReadScannerLabels(KeyLocation(), name, view);
        const std::pair<const std::optional<std::string>&, vcl::TControl*> labels[] = {
            {view.ColorMode, main.txtColorMode}, {view.Resolution, main.txtResolution},
            {view.PageSize, main.txtPageSize}, {view.FileFormat, main.txtFileFormat}};
        for (auto [text, label] : labels)
            if (text)
                SetWideCaption(label, vcl::AnsiToWide(*text));
    }
    Close();
}

void TfrmSelectScanner::btnCancelClick(vcl::TObject*) { Close(); }

VCL_IMPLEMENT_CLASS(TfrmSelectScanner, vcl::TForm, {
    m.PublishField("gbxScanners", &TfrmSelectScanner::gbxScanners);
    m.PublishField("lvDataSources", &TfrmSelectScanner::lvDataSources);
    m.PublishField("btnOK", &TfrmSelectScanner::btnOK);
    m.PublishField("btnCancel", &TfrmSelectScanner::btnCancel);
    m.PublishMethod("FormCreate", &TfrmSelectScanner::FormCreate);
    m.PublishMethod("FormActivate", &TfrmSelectScanner::FormActivate);
    m.PublishMethod("btnOKClick", &TfrmSelectScanner::btnOKClick);
    m.PublishMethod("btnCancelClick", &TfrmSelectScanner::btnCancelClick);
    m.PublishMethod("lvDataSourcesClick", &TfrmSelectScanner::lvDataSourcesClick);
})

}  // namespace pagorin
