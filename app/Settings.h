// TfrmSettings, the four-page settings dialog (scanner and scan settings, write settings, language, path).
#pragma once

#include <string>

#include "CSpin.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"
#include "SettingsStore.h"
#include "StdCtrls.h"
#include "WydComCtrls.h"
#include "WydMenus.h"
#include "WydStdCtrls.h"

namespace pagorin {

// Components of the form, by class: the Unicode controls, except the scanner list, the page-wait edit, the
// Delete HotKey Files box, the language group, the copies spin edit, the image list and the timer, which are the
// class library's own.
#define PAGORIN_SETTINGS_COMPONENTS(X)                                                                        \
    X(TWydPageControl, WydPageControl1) X(TWydTabSheet, pageScanSettings) X(TWydGroupBox, gbxScanSettings)      \
    X(TWydLabel, lblScanners) X(vcl::TListView, lvDataSources) X(TWydLabel, lblColorMode)                      \
    X(TWydComboBox, cbxColorMode) X(TWydLabel, lblResolution) X(TWydComboBox, cbxResolution)                   \
    X(TWydLabel, lblPageSize) X(TWydComboBox, cbxPageSize) X(TWydLabel, lblPaperWidth)                        \
    X(TWydEdit, edPaperWidth) X(TWydLabel, lblFileFormat) X(TWydComboBox, cbxFileFormat)                       \
    X(TWydLabel, lblPageWaitTime) X(vcl::TEdit, edPageWaitTime) X(TWydLabel, lblNotice)                        \
    X(TWydCheckBox, ckxDuplex) X(TWydCheckBox, ckbSaveScanSettings)                                            \
    X(TWydTabSheet, pageWriteSettings) X(TWydGroupBox, gbxWriteSetting) X(TWydLabel, lblDiscType)               \
    X(TWydComboBox, cbxDiscType) X(TWydLabel, lblCompiledPDF) X(TWydComboBox, cbxCompiledPDF)                  \
    X(TWydLabel, lblPDFSize) X(TWydEdit, edPDFSize) X(TWydLabel, lblCopies) X(vcl::TCSpinEdit, cseCopies)       \
    X(TWydLabel, lblRWDiscPolicy) X(TWydComboBox, cbxRWDiscPolicy) X(TWydLabel, lblWriteSpeed)                 \
    X(TWydComboBox, cbxWriteSpeed) X(TWydCheckBox, ckbWriteEachTransaction)                                    \
    X(TWydCheckBox, ckbSaveWriteSettings) X(vcl::TCheckBox, ckbDeleteHotKeyFiles)                              \
    X(TWydTabSheet, pageLanguage) X(vcl::TGroupBox, gbxLanguageSettings) X(TWydListView, lvLanguage)            \
    X(TWydCheckBox, ckbSaveLanguageSettings)                                                                   \
    X(TWydTabSheet, pageSaveFilePath) X(TWydGroupBox, gbxPathSettings) X(TWydTreeView, tvDirectories)           \
    X(TWydEdit, edPath) X(TWydButton, btnOK) X(TWydButton, btnApply) X(TWydButton, btnCancel)                  \
    X(TWydPopupMenu, popMenu) X(TWydMenuItem, popGetProperties) X(TWydMenuItem, popRemovefromList)             \
    X(TWydMenuItem, popSeparator) X(TWydMenuItem, popShowAll) X(vcl::TTimer, tmrDiscType)                      \
    X(vcl::TImageList, imglistTreeView)

class TfrmSettings : public vcl::TForm {
    VCL_CLASS(TfrmSettings, vcl::TForm)
    explicit TfrmSettings(vcl::TComponent* owner);
#define PAGORIN_DECLARE_COMPONENT(type, name) type* name = nullptr;
    PAGORIN_SETTINGS_COMPONENTS(PAGORIN_DECLARE_COMPONENT)
#undef PAGORIN_DECLARE_COMPONENT

    // The pages, by their index in the page control.
    enum Page { ScanPage = 0, WritePage = 1, LanguagePage = 2, PathPage = 3 };
    // Shows the dialog modally, on `page` when one is given (else where it was left).
    int ShowSettings(int page = -1);

    // The main window's current settings into the dialog.
    void LoadCurrentSettings();
    // The scan-setting lists and the duplex box from the scanner's subkey.
    void LoadScannerCapabilities(const std::string& name);
    void ApplySettingsTexts();
    void LoadLanguageList();
    // The sub-folders of `path` as children of `node` (drives and folders of the folder tree).
    void AddSubFolders(TWydTreeNode* node, const std::wstring& path);
    // What the saves of the settings store take from the dialog.
    ScanSettingsInput ScanSettingsInputs() const;
    WriteSettingsInput WriteSettingsInputs();

    void FormCreate(vcl::TObject* sender);
    void FormActivate(vcl::TObject* sender);
    void FormCloseQuery(vcl::TObject* sender, bool& canClose);
    void btnOKClick(vcl::TObject* sender);
    void btnApplyClick(vcl::TObject* sender);
    void btnCancelClick(vcl::TObject* sender);
    void lvDataSourcesChange(vcl::TObject* sender, vcl::TListItem* item, vcl::TItemChangeKind change);
    void lvDataSourcesMouseDown(vcl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
    void popGetPropertiesClick(vcl::TObject* sender);
    void popRemovefromListClick(vcl::TObject* sender);
    void popShowAllClick(vcl::TObject* sender);
    void cbxDiscTypeChange(vcl::TObject* sender);
    void cbxWriteSpeedChange(vcl::TObject* sender);
    void edPageWaitTimeKeyPress(vcl::TObject* sender, char& key);
    void edPageWaitTimeChange(vcl::TObject* sender);
    void tvDirectoriesExpanding(vcl::TObject* sender, vcl::TTreeNode* node, bool& allowExpansion);
    void tvDirectoriesChange(vcl::TObject* sender, vcl::TTreeNode* node);
    void tmrDiscTypeTimer(vcl::TObject* sender);

    bool SettingsLoaded = false;
    std::string SelectedScannerName;
    int LanguageRowAtLoad = -1;
    vcl::TListItem* PopupItem = nullptr;

private:
    void FillFixedItems();
    void FillTreeImages();
    void FillFolderTree();
    void FillWriteSpeeds();
    void SelectScannerRow(const std::string& name);
    void StoreWorkingPath(const RegistryKey& key);
    void ApplyLanguageChoice(const RegistryKey& key);
    vcl::TListItem* PopupRow() const;
};

extern TfrmSettings* frmSettings;

// Fills a scan-setting box with a list and shows its text.
void ShowChoiceList(TWydComboBox* box, const ChoiceList& list);

// A folder tree node's path: the texts from its drive down, joined with "\" (a drive's text ends in one).
std::wstring FolderPath(vcl::TTreeNode* node);

}  // namespace pagorin
