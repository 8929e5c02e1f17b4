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
  object gbxScanners: TGroupBox
    Left = 12
    Top = 12
    Width = 280
    Height = 190
    Caption = ' Scanners '
      object lvDataSources: TListView
      ViewStyle = vsReport
      ShowColumnHeaders = False
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
  object btnOK: TButton
    Left = 12
    Top = 214
    Width = 80
    Height = 28
    Caption = 'OK'
  end
  object btnCancel: TButton
    Left = 212
    Top = 214
    Width = 80
    Height = 28
    Caption = 'Cancel'
  end
end
