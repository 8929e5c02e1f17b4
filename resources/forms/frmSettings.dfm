object frmSettings: TfrmSettings
  Left = 200
  Top = 120
  ClientWidth = 586
  ClientHeight = 420
  Caption = 'Settings'
  BorderStyle = bsDialog
  Position = poScreenCenter
  Font.Name = 'Arial'
  Font.Height = -12
  OnCreate = FormCreate
  OnActivate = FormActivate
  OnCloseQuery = FormCloseQuery
  object WydPageControl1: TWydPageControl
    ActivePage = pageScanSettings
    Left = 12
    Top = 12
    Width = 562
    Height = 352
    object pageScanSettings: TWydTabSheet
      Caption = 'Scan Settings'
      object gbxScanSettings: TWydGroupBox
        Left = 8
        Top = 6
        Width = 538
        Height = 306
        Caption = ''
        object lblScanners: TWydLabel
          Left = 12
          Top = 16
          Width = 180
          Height = 16
          Caption = 'Scanners :'
        end
        object lvDataSources: TListView
          ViewStyle = vsReport
          ShowColumnHeaders = False
          ReadOnly = True
          HideSelection = False
          OnMouseDown = lvDataSourcesMouseDown
          Columns = <
            item
              Width = 172
            end>
          Left = 12
          Top = 36
          Width = 200
          Height = 190
        end
        object lblColorMode: TWydLabel
          Left = 228
          Top = 40
          Width = 142
          Height = 16
          Caption = 'Color Mode :'
        end
        object cbxColorMode: TWydComboBox
          Left = 376
          Top = 36
          Width = 150
          Height = 24
          Style = csDropDownList
        end
        object lblResolution: TWydLabel
          Left = 228
          Top = 72
          Width = 142
          Height = 16
          Caption = 'Resolution :'
        end
        object cbxResolution: TWydComboBox
          Left = 376
          Top = 68
          Width = 150
          Height = 24
          Style = csDropDownList
        end
        object lblPageSize: TWydLabel
          Left = 228
          Top = 104
          Width = 142
          Height = 16
          Caption = 'Page Size :'
        end
        object cbxPageSize: TWydComboBox
          Left = 376
          Top = 100
          Width = 150
          Height = 24
          Style = csDropDownList
        end
        object lblFileFormat: TWydLabel
          Left = 228
          Top = 136
          Width = 142
          Height = 16
          Caption = 'File Format :'
        end
        object cbxFileFormat: TWydComboBox
          Left = 376
          Top = 132
          Width = 150
          Height = 24
          Style = csDropDownList
        end
        object lblPaperWidth: TWydLabel
          Left = 228
          Top = 168
          Width = 142
          Height = 16
          Caption = 'Width in Centimeters :'
          Visible = False
        end
        object edPaperWidth: TWydEdit
          Left = 376
          Top = 164
          Width = 60
          Height = 24
          Visible = False
        end
        object lblPageWaitTime: TWydLabel
          Left = 228
          Top = 168
          Width = 142
          Height = 16
          Caption = 'Next Page Wait (Sec) :'
        end
        object edPageWaitTime: TEdit
          Left = 376
          Top = 164
          Width = 60
          Height = 24
          OnKeyPress = edPageWaitTimeKeyPress
          OnChange = edPageWaitTimeChange
        end
        object ckxDuplex: TWydCheckBox
          Left = 228
          Top = 202
          Width = 298
          Height = 20
          Caption = 'Duplex Mode'
          Visible = False
        end
        object lblNotice: TWydLabel
          Left = 12
          Top = 240
          Width = 514
          Height = 16
          Caption = 'Click the right button on the device that you want to use'
          Font.Color = clRed
          Visible = False
        end
        object ckbSaveScanSettings: TWydCheckBox
          Left = 12
          Top = 272
          Width = 300
          Height = 20
          Caption = ' Save Settings to Default'
        end
      end
    end
    object pageWriteSettings: TWydTabSheet
      Caption = 'Write Settings'
      object gbxWriteSetting: TWydGroupBox
        Left = 8
        Top = 6
        Width = 538
        Height = 306
        Caption = ''
        object lblDiscType: TWydLabel
          Left = 12
          Top = 24
          Width = 150
          Height = 16
          Caption = 'Disc Type :'
        end
        object cbxDiscType: TWydComboBox
          Left = 170
          Top = 20
          Width = 220
          Height = 24
          Style = csDropDownList
          OnChange = cbxDiscTypeChange
        end
        object lblCompiledPDF: TWydLabel
          Left = 12
          Top = 56
          Width = 150
          Height = 16
          Caption = 'Compiled PDF :'
        end
        object cbxCompiledPDF: TWydComboBox
          Left = 170
          Top = 52
          Width = 220
          Height = 24
          Style = csDropDownList
        end
        object lblRWDiscPolicy: TWydLabel
          Left = 12
          Top = 88
          Width = 150
          Height = 16
          Caption = 'RW Disc Policy :'
        end
        object cbxRWDiscPolicy: TWydComboBox
          Left = 170
          Top = 84
          Width = 220
          Height = 24
          Style = csDropDownList
        end
        object lblWriteSpeed: TWydLabel
          Left = 12
          Top = 120
          Width = 150
          Height = 16
          Caption = 'Write Speed :'
        end
        object cbxWriteSpeed: TWydComboBox
          Left = 170
          Top = 116
          Width = 220
          Height = 24
          Style = csDropDownList
          OnChange = cbxWriteSpeedChange
        end
        object lblCopies: TWydLabel
          Left = 12
          Top = 152
          Width = 150
          Height = 16
          Caption = 'Copies :'
        end
        object cseCopies: TCSpinEdit
          Left = 170
          Top = 148
          Width = 60
          Height = 24
          MaxValue = 999
          MinValue = 1
          Value = 1
        end
        object lblPDFSize: TWydLabel
          Left = 12
          Top = 184
          Width = 150
          Height = 16
          Caption = 'Max PDF Size :'
          Visible = False
        end
        object edPDFSize: TWydEdit
          Left = 170
          Top = 180
          Width = 60
          Height = 24
          Visible = False
        end
        object ckbWriteEachTransaction: TWydCheckBox
          Left = 12
          Top = 184
          Width = 378
          Height = 20
          Visible = False
        end
        object ckbDeleteHotKeyFiles: TCheckBox
          Left = 12
          Top = 240
          Width = 378
          Height = 20
          Caption = 'Delete HotKey Files'
        end
        object ckbSaveWriteSettings: TWydCheckBox
          Left = 12
          Top = 272
          Width = 378
          Height = 20
          Caption = ' Save Settings to Default'
        end
      end
    end
    object pageLanguage: TWydTabSheet
      Caption = 'Language'
      object gbxLanguageSettings: TGroupBox
        Left = 8
        Top = 6
        Width = 538
        Height = 306
        Caption = ''
        object lvLanguage: TWydListView
          ViewStyle = vsReport
          ReadOnly = True
          RowSelect = True
          HideSelection = False
          Columns = <
            item
              Caption = 'Language'
              Width = 205
            end
            item
              Caption = 'Local Term'
              Width = 205
            end
            item
              Caption = 'LCID'
              Width = 98
            end>
          Left = 12
          Top = 20
          Width = 514
          Height = 236
        end
        object ckbSaveLanguageSettings: TWydCheckBox
          Left = 12
          Top = 272
          Width = 378
          Height = 20
          Caption = ' Save Settings to Default'
        end
      end
    end
    object pageSaveFilePath: TWydTabSheet
      Caption = 'Path'
      object gbxPathSettings: TWydGroupBox
        Left = 8
        Top = 6
        Width = 538
        Height = 306
        Caption = ''
        object tvDirectories: TWydTreeView
          Images = imglistTreeView
          HideSelection = False
          ReadOnly = True
          OnExpanding = tvDirectoriesExpanding
          OnChange = tvDirectoriesChange
          Left = 12
          Top = 20
          Width = 514
          Height = 236
        end
        object edPath: TWydEdit
          Left = 12
          Top = 268
          Width = 514
          Height = 24
          Enabled = False
        end
      end
    end
  end
  object btnOK: TWydButton
    Left = 326
    Top = 378
    Width = 78
    Height = 28
    Caption = 'OK'
    OnClick = btnOKClick
  end
  object btnApply: TWydButton
    Left = 411
    Top = 378
    Width = 78
    Height = 28
    Caption = 'Apply'
    OnClick = btnApplyClick
  end
  object btnCancel: TWydButton
    Left = 496
    Top = 378
    Width = 78
    Height = 28
    Caption = 'Cancel'
    OnClick = btnCancelClick
  end
  object popMenu: TWydPopupMenu
    object popGetProperties: TWydMenuItem
      Caption = 'Get Properties'
      OnClick = popGetPropertiesClick
    end
    object popRemovefromList: TWydMenuItem
      Caption = 'Remove from List'
      OnClick = popRemovefromListClick
    end
    object popSeparator: TWydMenuItem
      Caption = '-'
    end
    object popShowAll: TWydMenuItem
      Caption = 'Show All TWAIN Devices'
      OnClick = popShowAllClick
    end
  end
  object imglistTreeView: TImageList
  end
  object tmrDiscType: TTimer
    Enabled = False
    Interval = 150
    OnTimer = tmrDiscTypeTimer
  end
end
