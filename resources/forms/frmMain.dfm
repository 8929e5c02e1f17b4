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
  object MainMenu1: TMainMenu
    object menuFile: TMenuItem
      Caption = 'File'
      object menuStartTransaction: TMenuItem
        Caption = 'Start Transaction'
        OnClick = btnStartTransactionClick
      end
      object menuLoadSettings: TMenuItem
        Caption = 'Load Default Settings'
        OnClick = btnLoadSettingsClick
      end
      object menuSaveSettings: TMenuItem
        Caption = 'Save Settings To Default'
        OnClick = btnSaveSettingsClick
      end
      object menuSelectScanner: TMenuItem
        OnClick = btnSelectScannerClick
        Caption = 'Select Scanner'
        OnClick = btnSelectScannerClick
      end
      object menuExit: TMenuItem
        Caption = 'Exit'
        OnClick = btnExitClick
      end
    end
    object menuOptions: TMenuItem
      Caption = 'Options'
      object menuSettings: TMenuItem
        OnClick = btnSettingsClick
        Caption = 'Settings'
        OnClick = btnSettingsClick
      end
      object menuTestTray: TMenuItem
        Caption = 'Test Tray'
        OnClick = menuTestTrayClick
      end
    end
    object menuHelp: TMenuItem
      Caption = 'Help'
      object menuHelpManual: TMenuItem
        Caption = 'Pagorin Help Manual'
        OnClick = btnHelpManualClick
      end
      object menuWebPage: TMenuItem
        Caption = 'Tessaro Systems Web Page'
        OnClick = btnWebClick
      end
      object menuAbout: TMenuItem
        OnClick = btnAboutClick
        Caption = 'About Pagorin'
        OnClick = btnAboutClick
      end
    end
  end
  object ToolBar1: TToolBar
    ShowCaptions = True
    ButtonWidth = 70
    ButtonHeight = 28
    Left = 0
    Top = 0
    Width = 820
    Height = 36
    Align = alTop
    object btnStartTransaction: TToolButton
      Left = 4
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Start'
      OnClick = btnStartTransactionClick
    end
    object btnLoadSettings: TToolButton
      Left = 76
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Load'
      OnClick = btnLoadSettingsClick
    end
    object btnSaveSettings: TToolButton
      Left = 148
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Save'
      OnClick = btnSaveSettingsClick
    end
    object btnSelectScanner: TToolButton
      OnClick = btnSelectScannerClick
      Left = 220
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Scanner'
      OnClick = btnSelectScannerClick
    end
    object btnSettings: TToolButton
      OnClick = btnSettingsClick
      Left = 292
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Settings'
      OnClick = btnSettingsClick
    end
    object btnLanguage: TToolButton
      OnClick = btnLanguageClick
      Left = 364
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Language'
      Hint = 'Select Language'
      OnClick = btnLanguageClick
    end
    object btnHelpManual: TToolButton
      Left = 436
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Help'
      OnClick = btnHelpManualClick
    end
    object btnWeb: TToolButton
      Left = 508
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Web'
      OnClick = btnWebClick
    end
    object btnAbout: TToolButton
      OnClick = btnAboutClick
      Left = 580
      Top = 4
      Width = 70
      Height = 28
      Caption = 'About'
      OnClick = btnAboutClick
    end
    object btnExit: TToolButton
      Left = 652
      Top = 4
      Width = 70
      Height = 28
      Caption = 'Exit'
      OnClick = btnExitClick
    end
  end
  object gbxScanSettings: TGroupBox
    Left = 8
    Top = 44
    Width = 380
    Height = 196
    Caption = ' Scan Settings '
      object lblScanner: TLabel
        Left = 12
        Top = 22
        Width = 110
        Height = 16
        Caption = 'Scanner :'
      end
      object txtScanner: TLabel
        Left = 130
        Top = 22
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblColorMode: TLabel
        Left = 12
        Top = 46
        Width = 110
        Height = 16
        Caption = 'Color Mode :'
      end
      object txtColorMode: TLabel
        Left = 130
        Top = 46
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblResolution: TLabel
        Left = 12
        Top = 70
        Width = 110
        Height = 16
        Caption = 'Resolution :'
      end
      object txtResolution: TLabel
        Left = 130
        Top = 70
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblPageSize: TLabel
        Left = 12
        Top = 94
        Width = 110
        Height = 16
        Caption = 'Page Size :'
      end
      object txtPageSize: TLabel
        Left = 130
        Top = 94
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblFileFormat: TLabel
        Left = 12
        Top = 118
        Width = 110
        Height = 16
        Caption = 'File Format :'
      end
      object txtFileFormat: TLabel
        Left = 130
        Top = 118
        Width = 220
        Height = 16
        Caption = ''
      end
      object lblFileNaming: TLabel
        Left = 12
        Top = 142
        Width = 110
        Height = 16
        Caption = 'File Naming :'
      end
      object cbxFileNaming: TComboBox
        Left = 130
        Top = 138
        Width = 200
        Height = 24
      end
      object ckxDuplex: TCheckBox
        Left = 12
        Top = 168
        Width = 200
        Height = 20
        Caption = 'Duplex Mode'
        Visible = False
      end
  end
  object gbxFilesToBeWritten: TGroupBox
    Left = 8
    Top = 246
    Width = 380
    Height = 74
    Caption = ' Files to be Written '
      object lblScannedFiles: TLabel
        Left = 12
        Top = 22
        Width = 120
        Height = 16
        Caption = 'Scanned Files :'
      end
      object txtScannedFiles: TLabel
        Left = 140
        Top = 22
        Width = 60
        Height = 16
        Caption = 'Yes'
      end
      object lblCompiledPDF: TLabel
        Left = 12
        Top = 46
        Width = 120
        Height = 16
        Caption = 'Compiled PDF :'
      end
      object txtCompiledPDF: TLabel
        Left = 140
        Top = 46
        Width = 60
        Height = 16
        Caption = 'No'
      end
  end
  object gbxTargetDisc: TGroupBox
    Left = 396
    Top = 44
    Width = 408
    Height = 246
    Caption = ' Target Disc '
      object lblDiscType: TLabel
        Left = 12
        Top = 22
        Width = 130
        Height = 16
        Caption = 'Disc Type :'
      end
      object txtDiscType: TLabel
        Left = 150
        Top = 22
        Width = 200
        Height = 16
        Caption = ''
      end
      object lblCapacity: TLabel
        Left = 12
        Top = 44
        Width = 130
        Height = 16
        Caption = 'Capacity :'
      end
      object txtCapacity: TLabel
        Left = 150
        Top = 44
        Width = 200
        Height = 16
        Caption = ''
      end
      object lblTransactionSize: TLabel
        Left = 12
        Top = 66
        Width = 130
        Height = 16
        Caption = 'Transaction SSSS :'
      end
      object txtTransactionSize: TLabel
        Left = 150
        Top = 66
        Width = 200
        Height = 16
        Caption = ''
      end
      object lblDiscsRequired: TLabel
        Left = 12
        Top = 88
        Width = 130
        Height = 16
        Caption = 'Discs Required :'
      end
      object txtDiscsRequired: TLabel
        Left = 150
        Top = 88
        Width = 200
        Height = 16
        Caption = ''
      end
      object ckxWritePerTransaction: TCheckBox
        Left = 12
        Top = 112
        Width = 300
        Height = 20
        Caption = 'Write to Disc for Each Transaction'
        OnClick = ckxWritePerTransactionClick
      end
      object lblCopies: TLabel
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
      object lblDiscLabel: TLabel
        Left = 12
        Top = 168
        Width = 80
        Height = 16
        Caption = 'Disc Label :'
      end
      object cbxDiscLabel: TComboBox
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
  object gbxDiscWriteStatus: TGroupBox
    Left = 396
    Top = 296
    Width = 408
    Height = 96
    Caption = ' Disc Writing Status '
      object lblAutoloader: TLabel
        Left = 12
        Top = 22
        Width = 110
        Height = 16
        Caption = 'Autoloader :'
      end
      object txtAutoloader: TLabel
        Left = 130
        Top = 22
        Width = 250
        Height = 16
        Caption = 'None'
      end
      object lblCurrentDisc: TLabel
        Left = 12
        Top = 44
        Width = 110
        Height = 16
        Caption = 'Current Disc :'
      end
      object txtCurrentDisc: TLabel
        Left = 130
        Top = 44
        Width = 250
        Height = 16
        Caption = ''
      end
      object lbl0: TLabel
        Left = 12
        Top = 70
        Width = 20
        Height = 16
        Caption = '0'
      end
      object pgbWrite: TProgressBar
        Left = 36
        Top = 68
        Width = 320
        Height = 18
      end
      object lbl100: TLabel
        Left = 362
        Top = 70
        Width = 30
        Height = 16
        Caption = '100'
      end
  end
  object gbxScanTransaction: TGroupBox
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
        OnStateChange = tvSessionsStateChange
      end
      object bbtnWrite: TBitBtn
        Left = 12
        Top = 146
        Width = 80
        Height = 26
        Caption = 'Write'
        OnClick = bbtnWriteClick
      end
      object bbtnAppend: TBitBtn
        Left = 100
        Top = 146
        Width = 80
        Height = 26
        Caption = ' Append'
        OnClick = bbtnAppendClick
      end
      object bbtnAbort: TBitBtn
        Left = 188
        Top = 146
        Width = 80
        Height = 26
        Caption = ' Abort'
        OnClick = bbtnAbortClick
      end
      object lblCountdown: TLabel
        Left = 12
        Top = 178
        Width = 200
        Height = 16
        Caption = 'Next Scanned Page Waiting'
      end
      object pgbCountDown: TProgressBar
        Left = 212
        Top = 176
        Width = 156
        Height = 16
      end
  end
  object StatusBar1: TStatusBar
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
