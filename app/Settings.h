// TfrmSettings, the four-page settings dialog (scanner and scan settings, write settings, language, path).
#pragma once

#include "CSpin.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"

namespace pagorin {

// The spin edit is a plain edit of the same name until the class library has it.
#define PAGORIN_SETTINGS_COMPONENTS(X)                                                                        \
    X(vcl::TPageControl, WydPageControl1) X(vcl::TTabSheet, pageScanSettings) X(vcl::TGroupBox, gbxScanSettings)        \
    X(vcl::TLabel, lblScanners) X(vcl::TListView, lvDataSources) X(vcl::TLabel, lblColorMode)                   \
    X(vcl::TComboBox, cbxColorMode) X(vcl::TLabel, lblResolution) X(vcl::TComboBox, cbxResolution)             \
    X(vcl::TLabel, lblPageSize) X(vcl::TComboBox, cbxPageSize) X(vcl::TLabel, lblPaperWidth)                  \
    X(vcl::TEdit, edPaperWidth) X(vcl::TLabel, lblFileFormat) X(vcl::TComboBox, cbxFileFormat)                 \
    X(vcl::TLabel, lblPageWaitTime) X(vcl::TEdit, edPageWaitTime) X(vcl::TLabel, lblNotice)                    \
    X(vcl::TCheckBox, ckxDuplex) X(vcl::TCheckBox, ckbSaveScanSettings)                                     \
    X(vcl::TTabSheet, pageWriteSettings) X(vcl::TGroupBox, gbxWriteSetting) X(vcl::TLabel, lblDiscType)           \
    X(vcl::TComboBox, cbxDiscType) X(vcl::TLabel, lblCompiledPDF) X(vcl::TComboBox, cbxCompiledPDF)            \
    X(vcl::TLabel, lblPDFSize) X(vcl::TEdit, edPDFSize) X(vcl::TLabel, lblCopies) X(vcl::TCSpinEdit, cseCopies)      \
    X(vcl::TLabel, lblRWDiscPolicy) X(vcl::TComboBox, cbxRWDiscPolicy) X(vcl::TLabel, lblWriteSpeed)           \
    X(vcl::TComboBox, cbxWriteSpeed) X(vcl::TCheckBox, ckbWriteEachTransaction)                              \
    X(vcl::TCheckBox, ckbSaveWriteSettings) X(vcl::TCheckBox, ckbDeleteHotKeyFiles)                          \
    X(vcl::TTabSheet, pageLanguage) X(vcl::TGroupBox, gbxLanguageSettings) X(vcl::TListView, lvLanguage)            \
    X(vcl::TCheckBox, ckbSaveLanguageSettings)                                                               \
    X(vcl::TTabSheet, pageSaveFilePath) X(vcl::TGroupBox, gbxPathSettings) X(vcl::TTreeView, tvDirectories)        \
    X(vcl::TEdit, edPath) X(vcl::TButton, btnOK) X(vcl::TButton, btnApply) X(vcl::TButton, btnCancel)          \
    X(vcl::TPopupMenu, popMenu) X(vcl::TMenuItem, popGetProperties) X(vcl::TMenuItem, popRemovefromList)       \
    X(vcl::TMenuItem, popSeparator) X(vcl::TMenuItem, popShowAll) X(vcl::TTimer, tmrDiscType)

class TfrmSettings : public vcl::TForm {
    VCL_CLASS(TfrmSettings, vcl::TForm)
    explicit TfrmSettings(vcl::TComponent* owner) : vcl::TForm(owner) {}
#define PAGORIN_DECLARE_COMPONENT(type, name) type* name = nullptr;
    PAGORIN_SETTINGS_COMPONENTS(PAGORIN_DECLARE_COMPONENT)
#undef PAGORIN_DECLARE_COMPONENT

    bool SettingsLoaded = false;
    std::string SelectedScannerName;
    int LanguageRowAtLoad = -1;
};

extern TfrmSettings* frmSettings;

}  // namespace pagorin
