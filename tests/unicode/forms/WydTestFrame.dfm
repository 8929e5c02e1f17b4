object WydTestFrame: TWydTestFrame
  Left = 0
  Top = 0
  Width = 240
  Height = 120
  Hint = #1046#1091#1088#1085#1072#1083
  object btnGo: TWydButton
    Left = 8
    Top = 8
    Width = 90
    Height = 25
    Caption = #917#955#955#951#957#953#954#940
  end
  object pnlInfo: TWydPanel
    Left = 8
    Top = 40
    Width = 200
    Height = 40
    Caption = #28450#23383
  end
end
