object frmMain: TfrmMain
  Left = 120
  Top = 80
  Width = 820
  Height = 600
  Caption = 'Pagorin'
  Font.Name = 'Arial'
  Font.Height = -12
  Menu = MainMenu1
  Position = poScreenCenter
  OnCreate = FormCreate
  OnCloseQuery = FormCloseQuery
  OnClose = FormClose
  object MainMenu1: TWydMainMenu
    object menuFile: TWydMenuItem
      Caption = 'File'
      object menuStartTransaction: TWydMenuItem
        Caption = 'Start Transaction'
        OnClick = btnStartTransactionClick
      end
      object menuLoadSettings: TWydMenuItem
        Caption = 'Load Default Settings'
        OnClick = btnLoadSettingsClick
      end
      object menuSaveSettings: TWydMenuItem
        Caption = 'Save Settings To Default'
        OnClick = btnSaveSettingsClick
      end
      object menuSelectScanner: TWydMenuItem
        Caption = 'Select Scanner'
        OnClick = btnSelectScannerClick
      end
      object menuExit: TWydMenuItem
        Caption = 'Exit'
        OnClick = btnExitClick
      end
    end
    object menuOptions: TWydMenuItem
      Caption = 'Options'
      object menuSettings: TWydMenuItem
        Caption = 'Settings'
        OnClick = btnSettingsClick
      end
      object menuTestTray: TWydMenuItem
        Caption = 'Test Tray'
        OnClick = menuTestTrayClick
      end
    end
    object menuHelp: TWydMenuItem
      Caption = 'Help'
      object menuHelpManual: TWydMenuItem
        Caption = 'Pagorin Help Manual'
        OnClick = btnHelpManualClick
      end
      object menuWebPage: TWydMenuItem
        Caption = 'Tessaro Systems Web Page'
        OnClick = btnWebClick
      end
      object menuAbout: TWydMenuItem
        Caption = 'About Pagorin'
        OnClick = btnAboutClick
      end
    end
  end
  object ToolBar1: TWydToolBar
    ShowCaptions = True
    ButtonWidth = 70
    ButtonHeight = 28
    Left = 0
    Top = 0
    Width = 820
    Height = 36
    Align = alTop
    object btnStartTransaction: TWydToolButton
      Left = 4
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Start'
      OnClick = btnStartTransactionClick
    end
    object btnLoadSettings: TWydToolButton
      Left = 76
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Load'
      OnClick = btnLoadSettingsClick
    end
    object btnSaveSettings: TWydToolButton
      Left = 148
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Save'
      OnClick = btnSaveSettingsClick
    end
    object btnSelectScanner: TWydToolButton
      Left = 220
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Scanner'
      OnClick = btnSelectScannerClick
    end
    object btnSettings: TWydToolButton
      Left = 292
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Settings'
      OnClick = btnSettingsClick
    end
    object btnLanguage: TWydToolButton
      Left = 364
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Language'
      Hint = 'Select Language'
      OnClick = btnLanguageClick
    end
    object btnHelpManual: TWydToolButton
      Left = 436
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Help'
      OnClick = btnHelpManualClick
    end
    object btnWeb: TWydToolButton
      Left = 508
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Web'
      OnClick = btnWebClick
    end
    object btnAbout: TWydToolButton
      Left = 580
      Top = 4
      Width = 70
      Height = 28
      Caption = 'About'
      OnClick = btnAboutClick
    end
    object btnExit: TWydToolButton
      Left = 652
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Exit'
      OnClick = btnExitClick
    end
  end
  object gbxScanSettings: TWydGroupBox
    Left = 8
    Top = 44
    Width = 380
    Height = 196
    Caption = ' Scan Settings '
      object lblScanner: TWydLabel
        Left = 12
        Top = 22
        Width = 110
        Height = 16
        Caption = 'Scanner :'
      end
      object txtScanner: TWydLabel
        Left = 130
        Top = 22
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblColorMode: TWydLabel
        Left = 12
        Top = 46
        Width = 110
        Height = 16
        Caption = 'Color Mode :'
      end
      object txtColorMode: TWydLabel
        Left = 130
        Top = 46
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblResolution: TWydLabel
        Left = 12
        Top = 70
        Width = 110
        Height = 16
        Caption = 'Resolution :'
      end
      object txtResolution: TWydLabel
        Left = 130
        Top = 70
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblPageSize: TWydLabel
        Left = 12
        Top = 94
        Width = 110
        Height = 16
        Caption = 'Page Size :'
      end
      object txtPageSize: TWydLabel
        Left = 130
        Top = 94
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblFileFormat: TWydLabel
        Left = 12
        Top = 118
        Width = 110
        Height = 16
        Caption = 'File Format :'
      end
      object txtFileFormat: TWydLabel
        Left = 130
        Top = 118
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblFileNaming: TWydLabel
        Left = 12
        Top = 142
        Width = 110
        Height = 16
        Caption = 'File Naming :'
      end
      object cbxFileNaming: TWydComboBox
        Left = 130
        Top = 138
        Width = 200
        Height = 24
      end
      object ckxDuplex: TWydCheckBox
        Left = 12
        Top = 168
        Width = 200
        Height = 20
        Caption = 'Duplex Mode'
        Visible = False
      end
  end
  object gbxFilesToBeWritten: TWydGroupBox
    Left = 8
    Top = 246
    Width = 380
    Height = 74
    Caption = ' Files to be Written '
      object lblScannedFiles: TWydLabel
        Left = 12
        Top = 22
        Width = 120
        Height = 16
        Caption = 'Scanned Files :'
      end
      object txtScannedFiles: TWydLabel
        Left = 140
        Top = 22
        Width = 60
        Height = 16
        Caption = 'Yes'
      end
      object lblCompiledPDF: TWydLabel
        Left = 12
        Top = 46
        Width = 120
        Height = 16
        Caption = 'Compiled PDF :'
      end
      object txtCompiledPDF: TWydLabel
        Left = 140
        Top = 46
        Width = 60
        Height = 16
        Caption = 'No'
      end
  end
  object gbxTargetDisc: TWydGroupBox
    Left = 396
    Top = 44
    Width = 408
    Height = 246
    Caption = ' Target Disc '
      object lblDiscType: TWydLabel
        Left = 12
        Top = 22
        Width = 130
        Height = 16
        Caption = 'Disc Type :'
      end
      object txtDiscType: TWydLabel
        Left = 150
        Top = 22
        Width = 200
        Height = 16
        Caption = ''
      end
      object lblCapacity: TWydLabel
        Left = 12
        Top = 44
        Width = 130
        Height = 16
        Caption = 'Capacity :'
      end
      object txtCapacity: TWydLabel
        Left = 150
        Top = 44
        Width = 200
        Height = 16
        Caption = ''
      end
      object lblTransactionSize: TWydLabel
        Left = 12
        Top = 66
        Width = 130
        Height = 16
        Caption = 'Transaction SSSS :'
      end
      object txtTransactionSize: TWydLabel
        Left = 150
        Top = 66
        Width = 200
        Height = 16
        Caption = ''
      end
      object lblDiscsRequired: TWydLabel
        Left = 12
        Top = 88
        Width = 130
        Height = 16
        Caption = 'Discs Required :'
      end
      object txtDiscsRequired: TWydLabel
        Left = 150
        Top = 88
        Width = 200
        Height = 16
        Caption = ''
      end
      object ckxWritePerTransaction: TWydCheckBox
        Left = 12
        Top = 112
        Width = 300
        Height = 20
        Caption = 'Write to Disc for Each Transaction'
        OnClick = ckxWritePerTransactionClick
      end
      object lblCopies: TWydLabel
        Left = 12
        Top = 140
        Width = 80
        Height = 16
        Caption = 'Copies :'
      end
      object cseCopies: TCSpinEdit
        Left = 100
        Top = 136
        Width = 60
        Height = 24
        MaxValue = 999
        MinValue = 1
        Value = 1
        OnClick = cseCopiesClick
        OnChange = cseCopiesClick
      end
      object lblDiscLabel: TWydLabel
        Left = 12
        Top = 168
        Width = 80
        Height = 16
        Caption = 'Disc Label :'
      end
      object cbxDiscLabel: TWydComboBox
        Left = 100
        Top = 164
        Width = 250
        Height = 24
      end
      object imgBar: TImage
        Left = 12
        Top = 196
        Width = 360
        Height = 40
      end
      object imgDraw: TImage
        Left = 12
        Top = 196
        Width = 360
        Height = 40
        Transparent = True
      end
  end
  object gbxDiscWriteStatus: TWydGroupBox
    Left = 396
    Top = 296
    Width = 408
    Height = 96
    Caption = ' Disc Writing Status '
      object lblAutoloader: TWydLabel
        Left = 12
        Top = 22
        Width = 110
        Height = 16
        Caption = 'Autoloader :'
      end
      object txtAutoloader: TWydLabel
        Left = 130
        Top = 22
        Width = 250
        Height = 16
        Caption = 'None'
      end
      object lblCurrentDisc: TWydLabel
        Left = 12
        Top = 44
        Width = 110
        Height = 16
        Caption = 'Current Disc :'
      end
      object txtCurrentDisc: TWydLabel
        Left = 130
        Top = 44
        Width = 250
        Height = 16
        Caption = ''
      end
      object lbl0: TWydLabel
        Left = 12
        Top = 70
        Width = 20
        Height = 16
        Caption = '0'
      end
      object pgbWrite: TWydProgressBar
        Left = 36
        Top = 68
        Width = 320
        Height = 18
      end
      object lbl100: TWydLabel
        Left = 362
        Top = 70
        Width = 30
        Height = 16
        Caption = '100'
      end
  end
  object gbxScanTransaction: TWydGroupBox
    Left = 8
    Top = 326
    Width = 380
    Height = 200
    Caption = ' Scan Transactions '
      object tvSessions: TQvCheckTree
        Left = 12
        Top = 20
        Width = 356
        Height = 120
        OnClick = tvSessionsClick
        OnChange = tvSessionsChange
        OnExpanding = tvSessionsExpanding
        OnStateChange = tvSessionsStateChange
        OnStateChanging = tvSessionsStateChanging
      end
      object bbtnWrite: TWydBitBtn
        Left = 12
        Top = 146
        Width = 80
        Height = 26
        Caption = 'Write'
        OnClick = bbtnWriteClick
      end
      object bbtnAppend: TWydBitBtn
        Left = 100
        Top = 146
        Width = 80
        Height = 26
        Caption = ' Append'
        OnClick = bbtnAppendClick
      end
      object bbtnAbort: TWydBitBtn
        Left = 188
        Top = 146
        Width = 80
        Height = 26
        Caption = ' Abort'
        OnClick = bbtnAbortClick
      end
      object lblCountdown: TWydLabel
        Left = 12
        Top = 178
        Width = 200
        Height = 16
        Caption = 'Next Scanned Page Waiting'
      end
      object pgbCountDown: TWydProgressBar
        Left = 212
        Top = 176
        Width = 156
        Height = 16
      end
  end
  object StatusBar1: TWydStatusBar
    Panels = <
      item
        Width = 426
      end
      item
        Width = 50
      end>
    Left = 0
    Top = 540
    Width = 820
    Height = 22
    Align = alBottom
  end
  object lvDataSources: TListView
    ViewStyle = vsReport
    ShowColumnHeaders = False
    Columns = <
      item
        Width = 100
      end>
    Left = 0
    Top = 0
    Width = 10
    Height = 10
    Visible = False
  end
  object cbXferMech: TComboBox
    Left = 0
    Top = 0
    Width = 10
    Height = 10
    Visible = False
  end
  object cbRobots: TComboBox
    Left = 0
    Top = 0
    Width = 10
    Height = 10
    Visible = False
  end
  object cbColorModes: TComboBox
    Left = 0
    Top = 0
    Width = 10
    Height = 10
    Visible = False
  end
  object cbPageSize: TComboBox
    Left = 0
    Top = 0
    Width = 10
    Height = 10
    Visible = False
  end
  object cbPDFOption: TComboBox
    Left = 0
    Top = 0
    Width = 10
    Height = 10
    Visible = False
  end
  object btnScan: TButton
    Left = 0
    Top = 0
    Width = 10
    Height = 10
    Visible = False
    OnClick = btnScanClick
  end
  object btnWrite: TButton
    Left = 0
    Top = 0
    Width = 10
    Height = 10
    Visible = False
  end
  object rgWriteSettings: TRadioGroup
    Left = 0
    Top = 0
    Width = 10
    Height = 10
    Visible = False
  end
  object tmrStartRobotThread: TTimer
    Enabled = False
    Interval = 500
    OnTimer = tmrStartRobotThreadTimer
  end
  object tmrCheckDir: TTimer
    Enabled = False
    Interval = 200
    OnTimer = tmrCheckDirTimer
  end
  object tmrShowWaitNextPage: TTimer
    Enabled = False
    Interval = 1000
    OnTimer = tmrShowWaitNextPageTimer
  end
  object tmrAllPagesDone: TTimer
    Enabled = False
    Interval = 1000
    OnTimer = tmrAllPagesDoneTimer
  end
  object tmrRunPDF: TTimer
    Enabled = False
    Interval = 100
    OnTimer = tmrRunPDFTimer
  end
  object tmrNoticeMsg: TTimer
    Enabled = False
    Interval = 10
    OnTimer = tmrNoticeMsgTimer
  end
  object tmrDiscReady: TTimer
    Enabled = False
    Interval = 5
    OnTimer = tmrDiscReadyTimer
  end
  object tmrGoBurning: TTimer
    Enabled = False
    Interval = 5
    OnTimer = tmrGoBurningTimer
  end
  object tmrBurnJobDone: TTimer
    Enabled = False
    Interval = 5
    OnTimer = tmrBurnJobDoneTimer
  end
  object tmrShowAlert: TTimer
    Enabled = False
    Interval = 5
    OnTimer = tmrShowAlertTimer
  end
  object ApplicationEvents1: TApplicationEvents
    OnMessage = ApplicationEvents1Message
  end
  object tmrLoadDisc: TTimer
    Enabled = False
    Interval = 500
    OnTimer = tmrLoadDiscTimer
  end
end
