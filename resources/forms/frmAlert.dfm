object frmAlert: TfrmAlert
  Left = 260
  Top = 180
  Width = 420
  Height = 240
  Caption = 'Attention'
  BorderStyle = bsDialog
  Position = poScreenCenter
  Font.Name = 'Arial'
  Font.Height = -12
  OnCreate = FormCreate
  OnShow = FormShow
  object lblMessage: TWydLabel
    Left = 12
    Top = 12
    Width = 380
    Height = 70
    WordWrap = True
    Layout = tlCenter
  end
  object lbl30Seconds: TWydLabel
    Left = 292
    Top = 88
    Width = 100
    Height = 16
    Alignment = taRightJustify
    Visible = False
  end
  object ckbWaitConfirm: TWydCheckBox
    Left = 12
    Top = 108
    Width = 380
    Height = 20
    OnClick = ckbWaitConfirmClick
  end
  object pgbCountdown: TWydProgressBar
    Max = 100
    Smooth = True
    Left = 12
    Top = 132
    Width = 380
    Height = 16
  end
  object btnOK: TWydButton
    Left = 12
    Top = 160
    Width = 80
    Height = 28
    Caption = 'OK'
    OnClick = btnOKClick
  end
  object btnApply: TWydButton
    Left = 162
    Top = 160
    Width = 80
    Height = 28
    Caption = 'Apply'
    OnClick = btnApplyClick
  end
  object btnCancel: TWydButton
    Left = 312
    Top = 160
    Width = 80
    Height = 28
    Caption = 'Cancel'
    OnClick = btnCancelClick
  end
  object tmrCountDown: TTimer
    Enabled = False
    OnTimer = tmrCountDownTimer
  end
  object tmrPlayRing: TTimer
    Enabled = False
    Interval = 20
    OnTimer = tmrPlayRingTimer
  end
end
