object frmSelectScanner: TfrmSelectScanner
  Left = 260
  Top = 180
  Width = 320
  Height = 300
  Caption = 'Select Scanner'
  BorderStyle = bsDialog
  Position = poScreenCenter
  Font.Name = 'Arial'
  Font.Height = -12
  OnCreate = FormCreate
  OnActivate = FormActivate
  object gbxScanners: TWydGroupBox
    Left = 12
    Top = 12
    Width = 280
    Height = 190
    Caption = ' Scanners '
      object lvDataSources: TListView
      ViewStyle = vsReport
      ShowColumnHeaders = False
      ReadOnly = True
      HideSelection = False
      OnClick = lvDataSourcesClick
      Columns = <
        item
          Width = 228
        end>
        Left = 12
        Top = 22
        Width = 256
        Height = 156
      end
  end
  object btnOK: TWydButton
    Left = 12
    Top = 214
    Width = 80
    Height = 28
    Caption = 'OK'
    OnClick = btnOKClick
  end
  object btnCancel: TWydButton
    Left = 212
    Top = 214
    Width = 80
    Height = 28
    Caption = 'Cancel'
    OnClick = btnCancelClick
  end
end
