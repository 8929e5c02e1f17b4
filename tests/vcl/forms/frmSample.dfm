object frmSample: TfrmSample
  Tag = 7
  Left = -20
  Width = 640
  Caption = 'Sample ''form'''
  Hint = 'Gr'#252'n '#1046#1078
  Visible = False
  Align = alClient
  Anchors = [akLeft, akRight]
  Ratio = 1.5
  Big = 12345678901
  Accel = 'S'
  WideAccel = #1046
  Color = clBtnFace
  Font.Name = 'Arial'
  Font.Size = 9
  Lines.Strings = (
    'first'
    'second line')
  Items = <
    item
      Caption = 'one'
    end
    item
      Caption = 'two'
      Width = 120
    end>
  Buddy = btnOk
  Images = pnlMain.Images
  OnClick = btnOkClick
  Blob = {
    0102FF}
  object pnlMain: TTestPanel
    Left = 8
    Caption = 'Panel'
    object btnOk: TTestControl
      Width = 80
      Caption = 'OK'
      OnClick = btnOkClick
    end
  end
  object lblLong: TTestControl
    Caption = 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa' +
      'bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb'
  end
  object holder: TTestHolder
    Data = 'x'
  end
end
