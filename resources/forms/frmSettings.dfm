object frmSettings: TfrmSettings
  Left = 200
  Top = 120
  Width = 560
  Height = 460
  Caption = 'Settings'
  BorderStyle = bsDialog
  Position = poScreenCenter
  Font.Name = 'Arial'
  Font.Height = -12
  object WydPageControl1: TPageControl
    ActivePage = pageScanSettings
    Left = 8
    Top = 8
    Width = 530
    Height = 340
      object pageScanSettings: TTabSheet
      Caption = 'Scan Settings'
        object gbxScanSettings: TGroupBox
          Left = 8
          Top = 8
          Width = 508
          Height = 320
          Caption = ''
          object lblScanners: TLabel
            Left = 12
            Top = 20
            Width = 100
            Height = 16
            Caption = 'Scanners :'
          end
          object lvDataSources: TListView
          ViewStyle = vsReport
          ShowColumnHeaders = False
          ReadOnly = True
          HideSelection = False
          Columns = <
            item
              Width = 192
            end>
            Left = 12
            Top = 40
            Width = 220
            Height = 200
          end
          object lblColorMode: TLabel
            Left = 248
            Top = 40
            Width = 110
            Height = 16
            Caption = 'Color Mode :'
          end
          object cbxColorMode: TComboBox
            Left = 360
            Top = 36
            Width = 130
            Height = 24
            Style = csDropDownList
          end
          object lblResolution: TLabel
            Left = 248
            Top = 70
            Width = 110
            Height = 16
            Caption = 'Resolution :'
          end
          object cbxResolution: TComboBox
            Left = 360
            Top = 66
            Width = 130
            Height = 24
            Style = csDropDownList
          end
          object lblPageSize: TLabel
            Left = 248
            Top = 100
            Width = 110
            Height = 16
            Caption = 'Page Size :'
          end
          object cbxPageSize: TComboBox
            Left = 360
            Top = 96
            Width = 130
            Height = 24
            Style = csDropDownList
          end
          object lblFileFormat: TLabel
            Left = 248
            Top = 130
            Width = 110
            Height = 16
            Caption = 'File Format :'
          end
          object cbxFileFormat: TComboBox
            Left = 360
            Top = 126
            Width = 130
            Height = 24
            Style = csDropDownList
          end
          object lblPaperWidth: TLabel
            Left = 248
            Top = 160
            Width = 110
            Height = 16
            Caption = 'Width in Centimeters :'
          end
          object edPaperWidth: TEdit
            Left = 360
            Top = 156
            Width = 60
            Height = 24
            Visible = False
          end
          object lblPageWaitTime: TLabel
            Left = 248
            Top = 190
            Width = 110
            Height = 16
            Caption = 'Next Page Wait (Sec) :'
          end
          object edPageWaitTime: TEdit
            Left = 360
            Top = 186
            Width = 60
            Height = 24
          end
          object lblNotice: TLabel
            Left = 12
            Top = 250
            Width = 480
            Height = 16
            Caption = 'Click the right button on the device that you want to use'
            Visible = False
          end
          object ckxDuplex: TCheckBox
            Left = 248
            Top = 220
            Width = 200
            Height = 20
            Caption = 'Duplex Mode'
            Visible = False
          end
          object ckbSaveScanSettings: TCheckBox
            Left = 12
            Top = 280
            Width = 300
            Height = 20
            Caption = ' Save Settings to Default'
          end
        end
      end
      object pageWriteSettings: TTabSheet
      Caption = 'Write Settings'
        object gbxWriteSetting: TGroupBox
          Left = 8
          Top = 8
          Width = 508
          Height = 320
          Caption = ''
          object lblDiscType: TLabel
            Left = 12
            Top = 24
            Width = 120
            Height = 16
            Caption = 'Disc Type :'
          end
          object cbxDiscType: TComboBox
            Left = 140
            Top = 20
            Width = 200
            Height = 24
            Style = csDropDownList
          end
          object lblCompiledPDF: TLabel
            Left = 12
            Top = 56
            Width = 120
            Height = 16
            Caption = 'Compiled PDF :'
          end
          object cbxCompiledPDF: TComboBox
            Left = 140
            Top = 52
            Width = 200
            Height = 24
            Style = csDropDownList
          end
          object lblRWDiscPolicy: TLabel
            Left = 12
            Top = 88
            Width = 120
            Height = 16
            Caption = 'RW Disc Policy :'
          end
          object cbxRWDiscPolicy: TComboBox
            Left = 140
            Top = 84
            Width = 200
            Height = 24
            Style = csDropDownList
          end
          object lblWriteSpeed: TLabel
            Left = 12
            Top = 120
            Width = 120
            Height = 16
            Caption = 'Write Speed :'
          end
          object cbxWriteSpeed: TComboBox
            Left = 140
            Top = 116
            Width = 200
            Height = 24
            Style = csDropDownList
          end
          object lblPDFSize: TLabel
            Left = 12
            Top = 152
            Width = 120
            Height = 16
            Caption = 'Max PDF Size :'
          end
          object edPDFSize: TEdit
            Left = 140
            Top = 148
            Width = 60
            Height = 24
            Visible = False
          end
          object lblCopies: TLabel
            Left = 12
            Top = 184
            Width = 120
            Height = 16
            Caption = 'Copies :'
          end
          object cseCopies: TCSpinEdit
            Left = 140
            Top = 180
            Width = 60
            Height = 24
            MaxValue = 999
            MinValue = 1
            Value = 1
          end
          object ckbWriteEachTransaction: TCheckBox
            Left = 12
            Top = 216
            Width = 300
            Height = 20
            Visible = False
          end
          object ckbDeleteHotKeyFiles: TCheckBox
            Left = 12
            Top = 244
            Width = 300
            Height = 20
            Caption = 'Delete HotKey Files'
          end
          object ckbSaveWriteSettings: TCheckBox
            Left = 12
            Top = 280
            Width = 300
            Height = 20
            Caption = ' Save Settings to Default'
          end
        end
      end
      object pageLanguage: TTabSheet
      Caption = 'Language'
        object gbxLanguageSettings: TGroupBox
          Left = 8
          Top = 8
          Width = 508
          Height = 320
          Caption = ''
          object lvLanguage: TListView
          ViewStyle = vsReport
          ReadOnly = True
          RowSelect = True
          Columns = <
            item
              Caption = 'Language'
              Width = 192
            end
            item
              Caption = 'Local Term'
              Width = 192
            end
            item
              Caption = 'LCID'
              Width = 92
            end>
            Left = 12
            Top = 20
            Width = 480
            Height = 250
          end
          object ckbSaveLanguageSettings: TCheckBox
            Left = 12
            Top = 280
            Width = 300
            Height = 20
            Caption = ' Save Settings to Default'
          end
        end
      end
      object pageSaveFilePath: TTabSheet
      Caption = 'Path'
        object gbxPathSettings: TGroupBox
          Left = 8
          Top = 8
          Width = 508
          Height = 320
          Caption = ''
          object tvDirectories: TTreeView
            Left = 12
            Top = 20
            Width = 480
            Height = 250
          end
          object edPath: TEdit
            Left = 12
            Top = 280
            Width = 480
            Height = 24
            Enabled = False
          end
        end
      end
  end
  object btnOK: TButton
    Left = 292
    Top = 364
    Width = 78
    Height = 28
    Caption = 'OK'
  end
  object btnApply: TButton
    Left = 376
    Top = 364
    Width = 78
    Height = 28
    Caption = 'Apply'
  end
  object btnCancel: TButton
    Left = 460
    Top = 364
    Width = 78
    Height = 28
    Caption = 'Cancel'
  end
  object popMenu: TPopupMenu
    object popGetProperties: TMenuItem
      Caption = 'Get Properties'
    end
    object popRemovefromList: TMenuItem
      Caption = 'Remove from List'
    end
    object popSeparator: TMenuItem
      Caption = '-'
    end
    object popShowAll: TMenuItem
      Caption = 'Show All TWAIN Devices'
    end
  end
  object tmrDiscType: TTimer
    Enabled = False
    Interval = 150
  end
end
