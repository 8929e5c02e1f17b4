// The settings dialog: the main window's settings shown and applied, the texts of the current language, the
// scanner list with its menu, the changes of the write page and the page wait that count at once, the
// language list and the folder tree.
#include "Settings.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "Main.h"
#include "RegistryKey.h"
#include "TwainWindow.h"
#include "WideText.h"

namespace pagorin {

TfrmSettings* frmSettings = nullptr;

namespace {

int SelectedRow(const vcl::TCustomListView* view)
{
    vcl::TListItem* row = view->GetSelected();
    return row ? row->GetIndex() : -1;
}

void SetItems(TWydComboBox* box, const std::vector<std::string>& items)
{
    TWydStrings* list = box->GetItems();
    list->Clear();
    for (const std::string& item : items)
        list->Add(vcl::AnsiToWide(item));
}

using FindHandle = std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)>;

}  // namespace

void ShowChoiceList(TWydComboBox* box, const ChoiceList& list)
{
    SetItems(box, list.Items);
    std::wstring text = vcl::AnsiToWide(list.Text);
    if (text.empty()) {
        box->SetItemIndex(-1);
        return;
    }
    // The box is a drop-down list: a current value the list lacks would not show, and Apply would take it
    // for none.
    int index = box->GetItems()->IndexOf(text);
    box->SetItemIndex(index >= 0 ? index : box->GetItems()->Add(text));
}

std::wstring FolderPath(vcl::TTreeNode* node)
{
    std::wstring path = static_cast<TWydTreeNode*>(node)->GetText();
    for (vcl::TTreeNode* up = node->GetParent(); up; up = up->GetParent())
        path = static_cast<TWydTreeNode*>(up)->GetText() + L"\\" + path;
    return path;
}

TfrmSettings::TfrmSettings(vcl::TComponent* owner) : vcl::TForm(owner)
{
    UseArialFont(this);
}

int TfrmSettings::ShowSettings(int page)
{
    if (page >= 0)
        WydPageControl1->SetActivePageIndex(page);
    return ShowModal();
}

// ---- Creation and loading

void TfrmSettings::FormCreate(vcl::TObject*)
{
    // The class library's list view keeps this event out of the form stream.
    lvDataSources->OnChange = vcl::TLVChangeEvent(this, &TfrmSettings::lvDataSourcesChange);
    for (TWydComboBox* box : {cbxColorMode, cbxResolution, cbxFileFormat, cbxPageSize})
        box->GetItems()->Clear();
    lblPaperWidth->SetVisible(false);
    edPaperWidth->SetVisible(false);
    FillFixedItems();
    ckbWriteEachTransaction->SetVisible(false);
    LoadLanguageList();
    tmrDiscType->SetEnabled(true);
    FillTreeImages();
    FillFolderTree();
    LoadCurrentSettings();
}

void TfrmSettings::FillFixedItems()
{
    SetItems(cbxDiscType, {"Auto Detect", "CD", "DVD"});
    cbxDiscType->SetItemIndex(0);
    SetItems(cbxCompiledPDF, {"None", "With the PDF File", "Write PDF File Only"});
    SetItems(cbxRWDiscPolicy, {"Auto Erase", "Reject"});
    cbxRWDiscPolicy->SetItemIndex(0);
    SetItems(cbxWriteSpeed, WriteSpeedItems(0));
    cbxWriteSpeed->SetItemIndex(0);
}

// Image 0 a drive, image 1 a folder: the shell's own small icons (none unless both are there).
void TfrmSettings::FillTreeImages()
{
    imglistTreeView->Clear();
    const std::pair<const wchar_t*, DWORD> shown[] = {{L"C:\\", 0}, {L"folder", FILE_ATTRIBUTE_DIRECTORY}};
    vcl::TIcon icons[2];
    for (int i = 0; i < 2; ++i) {
        SHFILEINFOW info{};
        UINT flags = SHGFI_ICON | SHGFI_SMALLICON | (shown[i].second ? SHGFI_USEFILEATTRIBUTES : 0);
        if (!SHGetFileInfoW(shown[i].first, shown[i].second, &info, sizeof(info), flags) || !info.hIcon)
            return;
        icons[i].SetHandle(info.hIcon);
    }
    for (vcl::TIcon& icon : icons)
        imglistTreeView->AddIcon(&icon);
}

void TfrmSettings::FillFolderTree()
{
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        std::wstring root = std::wstring(1, letter) + L":\\";
        if (GetDriveTypeW(root.c_str()) != DRIVE_FIXED)
            continue;
        TWydTreeNode* node = tvDirectories->GetTreeNodes()->AddChild(nullptr, root);
        node->SetImageIndex(0);
        node->SetSelectedIndex(0);
        AddSubFolders(node, root);
    }
}

void TfrmSettings::AddSubFolders(TWydTreeNode* node, const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE first = FindFirstFileW((path + L"\\*.*").c_str(), &found);
    if (first == INVALID_HANDLE_VALUE)
        return;
    FindHandle search(first, &FindClose);
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != L'.') {
            TWydTreeNode* child = tvDirectories->GetTreeNodes()->AddChild(node, found.cFileName);
            child->SetImageIndex(1);
            child->SetSelectedIndex(1);
        }
    } while (FindNextFileW(search.get(), &found));
}

void TfrmSettings::LoadCurrentSettings()
{
    TfrmMain& main = *frmMain;
    const Settings& config = main.Config;
    if (main.FirstUseNotice) {
        lblNotice->SetVisible(true);
        ckbSaveScanSettings->SetChecked(true);
    }
    LanguageRowAtLoad = SelectedRow(lvLanguage);
    ApplySettingsTexts();
    SelectedScannerName = config.CurrentScannerName;
    SelectScannerRow(SelectedScannerName);
    cbxCompiledPDF->SetItemIndex(config.CompiledPdf);
    cbxDiscType->SetItemIndex(config.DiscType);
    edPDFSize->SetText(std::to_wstring(config.MaxPdfSize));
    cbxRWDiscPolicy->SetItemIndex(config.RwDiscPolicy);
    SetWideCaption(ckbWriteEachTransaction, WydControl_GetText(main.ckxWritePerTransaction));
    cseCopies->SetValue(main.cseCopies->GetValue());
    FillWriteSpeeds();
    SettingsLoaded = true;
    // These do not depend on a scanner row: an Apply on the Path page without one must not store an empty path.
    edPageWaitTime->SetText(std::to_string(config.NextPageWait));
    edPath->SetText(vcl::AnsiToWide(config.WorkingPath));
    ckbDeleteHotKeyFiles->SetChecked(config.DeleteHotkeyFiles);
    if (vcl::TListItem* row = lvDataSources->GetSelected())
        LoadScannerCapabilities(row->GetCaption());
}

void TfrmSettings::FillWriteSpeeds()
{
    int discType = cbxDiscType->GetItemIndex();
    SetItems(cbxWriteSpeed, WriteSpeedItems(discType));
    const Settings& config = frmMain->Config;
    int speed = discType == 1 ? config.SpeedCd : discType == 2 ? config.SpeedDvd : 0;
    cbxWriteSpeed->SetItemIndex(std::clamp(speed, 0, cbxWriteSpeed->GetItems()->GetCount() - 1));
}

void TfrmSettings::SelectScannerRow(const std::string& name)
{
    vcl::TListItems* rows = lvDataSources->GetItems();
    for (int i = 0; i < rows->GetCount(); ++i)
        if (rows->GetItem(i)->GetCaption() == name) {
            rows->GetItem(i)->SetSelected(true);
            return;
        }
}

void TfrmSettings::LoadScannerCapabilities(const std::string& name)
{
    RegistryKey scanner(KeyLocation().Sub(name), true);
    auto stored = [&scanner](const char* value) { return scanner.ReadString(value, MaxSettingText).value_or(""); };
    ShowChoiceList(cbxColorMode, StoredCodeChoices(CodeTable::ColorModes, stored("Color Modes")));
    ShowChoiceList(cbxFileFormat, StoredCodeChoices(CodeTable::FileFormats, stored("File Formats")));
    ShowChoiceList(cbxPageSize, StoredCodeChoices(CodeTable::PageSizes, stored("Page Size")));
    ShowChoiceList(cbxResolution, StoredResolutionChoices(stored("Resolution")));
    ckxDuplex->SetVisible(false);
    if (scanner.ReadDword("Duplex Mode").value_or(0) != 0) {
        ckxDuplex->SetVisible(true);
        ckxDuplex->SetChecked(scanner.ReadDword("Duplex Enable").value_or(0) != 0);
    }
}

void TfrmSettings::FormActivate(vcl::TObject*)
{
    LoadCurrentSettings();
    if (WydPageControl1->GetActivePage() == pageLanguage && lvLanguage->CanFocus())
        lvLanguage->SetFocus();
}

void TfrmSettings::tmrDiscTypeTimer(vcl::TObject*)
{
    tmrDiscType->SetEnabled(false);
    ApplySettingsTexts();
    int discType = frmMain->Config.DiscType;
    if (discType >= 0 && discType < cbxDiscType->GetItems()->GetCount())
        SetWideCaption(frmMain->txtDiscType, cbxDiscType->GetItems()->Get(discType));
}

// ---- Apply, OK, Cancel

void TfrmSettings::btnApplyClick(vcl::TObject*)
{
    TfrmMain& main = *frmMain;
    if (vcl::TListItem* row = lvDataSources->GetSelected()) {
        main.Config.CurrentScannerName = row->GetCaption();
        SetAnsiCaption(main.txtScanner, row->GetCaption());
    }
    // The key closes however the steps end.
    RegistryKey key(KeyLocation(), false);
    if (WydPageControl1->GetActivePage() == pageSaveFilePath)
        StoreWorkingPath(key);
    ApplyLanguageChoice(key);

    SetWideCaption(main.txtColorMode, cbxColorMode->GetText());
    SetWideCaption(main.txtResolution, cbxResolution->GetText());
    SetWideCaption(main.txtPageSize, cbxPageSize->GetText());
    SetWideCaption(main.txtFileFormat, cbxFileFormat->GetText());
    main.ckxDuplex->SetVisible(ckxDuplex->GetVisible());
    main.ckxDuplex->SetChecked(ckxDuplex->GetChecked());
    if (ckbSaveScanSettings->GetChecked())
        SaveScanSettings(key, KeyLocation(), main.Config, ScanSettingsInputs());

    if (cbxCompiledPDF->GetItemIndex() >= 0)
        main.Config.CompiledPdf = cbxCompiledPDF->GetItemIndex();
    auto [scanned, compiled] = CompiledPdfLabels(main.Config.CompiledPdf);
    SetAnsiCaption(main.txtScannedFiles, scanned);
    SetAnsiCaption(main.txtCompiledPDF, compiled);
    main.Config.Copies = cseCopies->GetValue();
    main.cseCopies->SetValue(main.Config.Copies);
    SetWideCaption(main.txtDiscType, cbxDiscType->GetText());
    if (cbxDiscType->GetItemIndex() >= 0)
        main.Config.DiscType = cbxDiscType->GetItemIndex();
    SetAnsiCaption(main.txtCapacity, CapacityText(main.Config.DiscType));
    if (ckbSaveWriteSettings->GetChecked())
        SaveWriteSettings(key, main.Config, WriteSettingsInputs());
}

void TfrmSettings::StoreWorkingPath(const RegistryKey& key)
{
    // The path is stored in the system code page and read at the next start: an empty path, or one that the
    // code page cannot hold, would put the queue and the logs somewhere else.
    std::wstring path = edPath->GetText();
    std::string stored = vcl::WideToAnsi(path);
    if (path.empty() || vcl::AnsiToWide(stored) != path || stored.size() > MaxPathText)
        return;
    key.WriteString("Working Path", stored);
}

void TfrmSettings::ApplyLanguageChoice(const RegistryKey& key)
{
    int row = SelectedRow(lvLanguage);
    if (row < 0 || row == LanguageRowAtLoad)
        return;
    // A row whose identifier is no number leaves the language as it is.
    TWideSubItems* columns = lvLanguage->GetItems()->GetItem(row)->GetSubItems();
    int languageId = columns->GetCount() > 1 ? LcidValue(columns->Get(1)) : 0;
    if (languageId == 0)
        return;
    TfrmMain& main = *frmMain;
    main.Config.LanguageId = languageId;
    main.ApplyLanguageTexts();
    ApplySettingsTexts();
    LanguageRowAtLoad = row;
    if (ckbSaveLanguageSettings->GetChecked())
        SaveLanguageSetting(key, main.Config);
}

ScanSettingsInput TfrmSettings::ScanSettingsInputs() const
{
    ScanSettingsInput input;
    if (vcl::TListItem* row = lvDataSources->GetSelected())
        input.SelectedScanner = row->GetCaption();
    input.PageWaitText = edPageWaitTime->GetText();
    input.ColorModeText = vcl::WideToAnsi(cbxColorMode->GetText());
    input.FileFormatText = vcl::WideToAnsi(cbxFileFormat->GetText());
    input.ResolutionCaption = AnsiText(frmMain->txtResolution);
    input.PageSizeCaption = AnsiText(frmMain->txtPageSize);
    input.DuplexVisible = ckxDuplex->GetVisible();
    input.DuplexChecked = ckxDuplex->GetChecked();
    return input;
}

WriteSettingsInput TfrmSettings::WriteSettingsInputs()
{
    if (cbxRWDiscPolicy->GetItemIndex() < 0)
        cbxRWDiscPolicy->SetItemIndex(0);
    return {vcl::WideToAnsi(edPDFSize->GetText()), cbxRWDiscPolicy->GetItemIndex(), ckbDeleteHotKeyFiles->GetChecked()};
}

void TfrmSettings::btnOKClick(vcl::TObject* sender)
{
    btnApplyClick(sender);
    Close();
}

void TfrmSettings::btnCancelClick(vcl::TObject*) { Close(); }

void TfrmSettings::FormCloseQuery(vcl::TObject*, bool& canClose)
{
    if (btnOK->CanFocus())
        btnOK->SetFocus();
    canClose = true;
}

// ---- The scanner list and its menu

void TfrmSettings::lvDataSourcesChange(vcl::TObject*, vcl::TListItem*, vcl::TItemChangeKind)
{
    if (vcl::TListItem* row = lvDataSources->GetSelected())
        LoadScannerCapabilities(row->GetCaption());
}

void TfrmSettings::lvDataSourcesMouseDown(vcl::TObject*, vcl::TMouseButton button, vcl::TShiftState, int x, int y)
{
    if (button != vcl::TMouseButton::mbRight)
        return;
    PopupItem = lvDataSources->GetItemAt(x, y);
    popGetProperties->SetEnabled(PopupItem != nullptr);
    popRemovefromList->SetEnabled(PopupItem != nullptr);
    POINT at = lvDataSources->ClientToScreen({x, y});
    popMenu->Popup(at.x, at.y);
}

vcl::TListItem* TfrmSettings::PopupRow() const
{
    // The list may have been filled again since the click.
    return lvDataSources->GetItems()->IndexOf(PopupItem) >= 0 ? PopupItem : nullptr;
}

void TfrmSettings::popGetPropertiesClick(vcl::TObject*)
{
    vcl::TListItem* row = PopupRow();
    if (!row)
        return;
    QueryScannerCapabilities(*frmMain, row->GetCaption());
    lblNotice->SetVisible(false);
    ckxDuplex->SetVisible(frmMain->ckxDuplex->GetVisible());
}

void TfrmSettings::popRemovefromListClick(vcl::TObject*)
{
    vcl::TListItem* row = PopupRow();
    if (!row)
        return;
    RegistryKey(KeyLocation().Sub(row->GetCaption()), false).WriteDword("Visible", 0);
    PopupItem = nullptr;
    row->Delete();
    SelectScannerRow(SelectedScannerName);
}

void TfrmSettings::popShowAllClick(vcl::TObject*)
{
    frmMain->ShowAllSources = true;
    ListTwainSources(*frmMain);
    // The dialog's list shows the sources again at once, not only after the next start.
    EnumerateScanners(*frmMain);
}

// ---- Changes that count at once

void TfrmSettings::cbxDiscTypeChange(vcl::TObject*)
{
    if (SettingsLoaded)
        FillWriteSpeeds();
}

void TfrmSettings::cbxWriteSpeedChange(vcl::TObject*)
{
    int speed = cbxWriteSpeed->GetItemIndex();
    if (speed < 0)
        return;
    switch (cbxDiscType->GetItemIndex()) {
    case 1: frmMain->Config.SpeedCd = speed; break;
    case 2: frmMain->Config.SpeedDvd = speed; break;
    default: break;
    }
}

void TfrmSettings::edPageWaitTimeKeyPress(vcl::TObject*, char& key)
{
    if (key < '0' || key > '9')
        key = 0;
}

void TfrmSettings::edPageWaitTimeChange(vcl::TObject*)
{
    // An empty text (while the operator edits) changes nothing yet; any number of digits is held to the range.
    std::string text = edPageWaitTime->GetText();
    std::optional<int> wait = PageWaitOf(text);
    if (!wait)
        return;
    frmMain->Config.NextPageWait = *wait;
    std::string shown = std::to_string(*wait);
    if (shown != text)
        edPageWaitTime->SetText(shown);
}

// ---- The folder tree

void TfrmSettings::tvDirectoriesExpanding(vcl::TObject*, vcl::TTreeNode* node, bool&)
{
    // One level below what shows is always known, so a folder has an expand button only with sub-folders.
    for (vcl::TTreeNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        child->DeleteChildren();
        AddSubFolders(static_cast<TWydTreeNode*>(child), FolderPath(child));
    }
}

void TfrmSettings::tvDirectoriesChange(vcl::TObject*, vcl::TTreeNode* node)
{
    if (node)
        edPath->SetText(FolderPath(node));
}

// ---- Texts

void TfrmSettings::ApplySettingsTexts()
{
    const LanguageFile& texts = frmMain->Texts;
    // The main window's keys stand for the captions of its controls that these copy.
    const std::pair<const char*, vcl::TControl*> captions[] = {
        {"Settings.ScanSettings", pageScanSettings},
        {"Settings.ScanSettings.Scanners", lblScanners},
        {"Main.GroupBoxScanSettings.ColorMode", lblColorMode},
        {"Main.GroupBoxScanSettings.Resolution", lblResolution},
        {"Main.GroupBoxScanSettings.PageSize", lblPageSize},
        {"Settings.ScanSettings.NextPageWait", lblPageWaitTime},
        {"Settings.ScanSettings.PaperWidth", lblPaperWidth},
        {"Main.GroupBoxScanSettings.FileFormat", lblFileFormat},
        {"Settings.ScanSettings.SaveToDefault", ckbSaveScanSettings},
        {"Settings.ScanSettings.SaveToDefault", ckbSaveWriteSettings},
        {"Settings.ScanSettings.SaveToDefault", ckbSaveLanguageSettings},
        {"Settings.WriteSettings", pageWriteSettings},
        {"Main.TargetDisc.DiscType", lblDiscType},
        {"Main.FileWritten.CompiledPDF", lblCompiledPDF},
        {"Main.TargetDisc.Copies", lblCopies},
        {"Settings.WriteSettings.RWDiscPolicy", lblRWDiscPolicy},
        {"Settings.WriteSettings.WriteSpeed", lblWriteSpeed},
        {"Settings.WriteSettings.DeleteHotKeyFiles", ckbDeleteHotKeyFiles},
        {"Settings.PathSetting", pageSaveFilePath},
        {"Generic.OK", btnOK},
        {"Generic.Apply", btnApply},
        {"Generic.Cancel", btnCancel},
        {"Settings.ScanSettings.Notice", lblNotice},
        {"Main.GroupBoxScanSettings.DuplexMode", ckxDuplex},
    };
    for (auto [key, control] : captions)
        SetWideCaption(control, texts.Text(key));

    // Replacing an item keeps the box's selection.
    const std::tuple<const char*, TWydComboBox*, int> items[] = {
        {"Settings.WriteSettings.AutoDetect", cbxDiscType, 0},
        {"Settings.WriteSettings.None", cbxCompiledPDF, 0},
        {"Settings.WriteSettings.AddPDF", cbxCompiledPDF, 1},
        {"Settings.WriteSettings.PDFOnly", cbxCompiledPDF, 2},
        {"Settings.WriteSettings.AutoErase", cbxRWDiscPolicy, 0},
        {"Settings.WriteSettings.RejectDisc", cbxRWDiscPolicy, 1},
    };
    for (auto [key, box, index] : items)
        if (index < box->GetItems()->GetCount())
            box->GetItems()->Put(index, texts.Text(key));
    cbxCompiledPDF->SetItemIndex(frmMain->Config.CompiledPdf);

    const std::pair<const char*, vcl::TMenuItem*> menu[] = {
        {"Settings.PopupMenu.GetProperties", popGetProperties},
        {"Settings.PopupMenu.RemoveFromList", popRemovefromList},
        {"Settings.PopupMenu.ShowAllDevices", popShowAll},
    };
    for (auto [key, item] : menu)
        SetWideCaption(item, texts.Text(key));
}

void TfrmSettings::LoadLanguageList()
{
    std::optional<std::vector<LanguageRow>> rows = LanguageRows(frmMain->Texts);
    if (!rows)
        return;
    int width = lvLanguage->GetWidth();
    TWydListColumns* columns = lvLanguage->GetListColumns();
    const int widths[] = {width * 2 / 5, width * 2 / 5, width / 5 - 4};
    for (int i = 0; i < columns->GetCount() && i < 3; ++i)
        columns->GetItem(i)->SetWidth(widths[i]);
    TWydListItems* items = lvLanguage->GetItems();
    items->Clear();
    for (const LanguageRow& row : *rows) {
        TWydListItem* item = items->Add();
        item->SetCaption(row.Section);
        item->GetSubItems()->Add(row.LocalLanguage);
        item->GetSubItems()->Add(row.Lcid);
        if (LcidValue(row.Lcid) == frmMain->Config.LanguageId)
            item->SetSelected(true);
    }
}

#define PAGORIN_PUBLISH_COMPONENT(type, name) m.PublishField(#name, &TfrmSettings::name);
VCL_IMPLEMENT_CLASS(TfrmSettings, vcl::TForm, {
    PAGORIN_SETTINGS_COMPONENTS(PAGORIN_PUBLISH_COMPONENT)
    m.PublishMethod("FormCreate", &TfrmSettings::FormCreate);
    m.PublishMethod("FormActivate", &TfrmSettings::FormActivate);
    m.PublishMethod("FormCloseQuery", &TfrmSettings::FormCloseQuery);
    m.PublishMethod("btnOKClick", &TfrmSettings::btnOKClick);
    m.PublishMethod("btnApplyClick", &TfrmSettings::btnApplyClick);
    m.PublishMethod("btnCancelClick", &TfrmSettings::btnCancelClick);
    m.PublishMethod("lvDataSourcesChange", &TfrmSettings::lvDataSourcesChange);
    m.PublishMethod("lvDataSourcesMouseDown", &TfrmSettings::lvDataSourcesMouseDown);
    m.PublishMethod("popGetPropertiesClick", &TfrmSettings::popGetPropertiesClick);
    m.PublishMethod("popRemovefromListClick", &TfrmSettings::popRemovefromListClick);
    m.PublishMethod("popShowAllClick", &TfrmSettings::popShowAllClick);
    m.PublishMethod("cbxDiscTypeChange", &TfrmSettings::cbxDiscTypeChange);
    m.PublishMethod("cbxWriteSpeedChange", &TfrmSettings::cbxWriteSpeedChange);
    m.PublishMethod("edPageWaitTimeKeyPress", &TfrmSettings::edPageWaitTimeKeyPress);
    m.PublishMethod("edPageWaitTimeChange", &TfrmSettings::edPageWaitTimeChange);
    m.PublishMethod("tvDirectoriesExpanding", &TfrmSettings::tvDirectoriesExpanding);
    m.PublishMethod("tvDirectoriesChange", &TfrmSettings::tvDirectoriesChange);
    m.PublishMethod("tmrDiscTypeTimer", &TfrmSettings::tmrDiscTypeTimer);
})
#undef PAGORIN_PUBLISH_COMPONENT

}  // namespace pagorin
