object frmAbout: TfrmAbout
  Left = 240
  Top = 160
  ClientWidth = 320
  ClientHeight = 261
  Caption = 'About'
  BorderStyle = bsDialog
  Position = poScreenCenter
  Font.Name = 'Arial'
  Font.Height = -12
  object Image1: TImage
    Left = 0
    Top = 0
    Width = 320
    Height = 70
  end
  object Label1: TLabel
    Left = 24
    Top = 86
    Width = 272
    Height = 18
    Caption = 'Pagorin'
    Font.Name = 'Arial'
    Font.Height = -13
  end
  object Label2: TLabel
    Left = 24
    Top = 112
    Width = 272
    Height = 18
    Caption = 'Version : 1.2.0.2'
    Font.Name = 'Arial'
    Font.Height = -13
  end
  object Label3: TLabel
    Left = 24
    Top = 138
    Width = 272
    Height = 36
    Caption = 'Scan to disc, Tessaro Systems'
    Font.Name = 'Arial'
    Font.Height = -13
  end
  object Button1: TButton
    Left = 120
    Top = 216
    Width = 80
    Height = 28
    Caption = 'Close'
    OnClick = Button1Click
    Font.Name = 'Arial'
    Font.Height = -13
  end
end
