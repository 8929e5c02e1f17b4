object frmDemo: TfrmDemo
  Left = 40
  Top = 30
  Width = 640
  Height = 480
  Caption = 'Class library demo'
  Color = clBtnFace
  Font.Name = 'Arial'
  Font.Height = -12
  Menu = mnuMain
  Position = poDesigned
  OnCreate = FormCreate
  object tbrTools: TToolBar
    Height = 26
    Images = imlTree
    object tbnRun: TToolButton
      Left = 0
      Hint = 'Run the job'
      Action = actRun
      ImageIndex = 0
    end
  end
  object lblTitle: TLabel
    Left = 8
    Top = 34
    Caption = '&Name:'
    FocusControl = edName
  end
  object edName: TEdit
    Left = 60
    Top = 30
    Width = 150
    Text = 'Pagorin'
    OnChange = edNameChange
  end
  object btnHello: TButton
    Left = 220
    Top = 28
    Caption = '&Hello'
    Default = True
    OnClick = btnHelloClick
  end
  object ckbOption: TCheckBox
    Left = 310
    Top = 30
    Width = 120
    Caption = 'Write per transaction'
    Checked = True
    OnClick = ckbOptionClick
  end
  object gbxGroup: TGroupBox
    Left = 8
    Top = 60
    Width = 200
    Height = 90
    Caption = 'Disc'
    object rbCD: TRadioButton
      Left = 10
      Top = 20
      Caption = 'CD'
      Checked = True
    end
    object rbDVD: TRadioButton
      Left = 10
      Top = 44
      Caption = 'DVD'
    end
  end
  object cbxKind: TComboBox
    Left = 220
    Top = 64
    Width = 140
    Style = csDropDownList
    Items.Strings = (
      'Data'
      'Audio'
      'Video')
    ItemIndex = 1
    OnChange = cbxKindChange
  end
  object memNotes: TMemo
    Left = 370
    Top = 60
    Width = 250
    Height = 90
    Lines.Strings = (
      'First note'
      'Second note')
  end
  object lbxItems: TListBox
    Left = 220
    Top = 94
    Width = 140
    Height = 56
    Items.Strings = (
      'alpha'
      'beta')
  end
  object tvSessions: TTreeView
    Left = 8
    Top = 160
    Width = 200
    Height = 150
    Images = imlTree
    PopupMenu = pmTree
    Items.Data = {
      010000000000000000000000FFFFFFFFFFFFFFFF010000000700000053657373
      696F6E010000000100000001000000FFFFFFFF000000000B0000007061676530
      30312E6A7067}
    OnChange = tvSessionsChange
  end
  object pgcPages: TPageControl
    Left = 220
    Top = 160
    Width = 400
    Height = 150
    ActivePage = tsSources
    object tsGeneral: TTabSheet
      Caption = 'General'
      object rgMode: TRadioGroup
        Left = 8
        Top = 8
        Width = 180
        Height = 90
        Caption = 'Mode'
        Items.Strings = (
          'Interactive'
          'Queue')
        ItemIndex = 0
      end
      object txtStatic: TStaticText
        Left = 200
        Top = 10
        Caption = 'Static text'
      end
      object sbrScroll: TScrollBar
        Left = 200
        Top = 40
        Width = 150
      end
    end
    object tsSources: TTabSheet
      Caption = 'Sources'
      object lvSources: TListView
        Left = 0
        Top = 0
        Width = 390
        Height = 118
        Align = alClient
        ViewStyle = vsReport
        RowSelect = True
        Columns = <
          item
            Caption = 'Source'
            Width = 200
          end
          item
            Caption = 'Version'
            Width = 100
          end>
      end
    end
  end
  object pnlBottom: TPanel
    Left = 8
    Top = 320
    Width = 612
    Height = 60
    Caption = 'Panel'
    BevelOuter = bvLowered
    object shpBox: TShape
      Left = 8
      Top = 8
      Width = 40
      Height = 40
      Shape = stEllipse
    end
    object bvlLine: TBevel
      Left = 60
      Top = 8
      Width = 100
      Height = 40
      Shape = bsFrame
    end
    object imgLogo: TImage
      Left = 170
      Top = 8
      Width = 40
      Height = 40
    end
  end
  object pgbProgress: TProgressBar
    Left = 8
    Top = 388
    Width = 612
    Height = 16
    Max = 120
    Position = 48
  end
  object sbStatus: TStatusBar
    Panels = <
      item
        Text = 'Ready'
        Width = 200
      end
      item
        Text = 'No disc'
        Width = 50
      end>
  end
  object tmrTick: TTimer
    Interval = 10
    OnTimer = tmrTickTimer
  end
  object mnuMain: TMainMenu
    object miFile: TMenuItem
      Caption = '&File'
      object miRun: TMenuItem
        Action = actRun
      end
      object miExit: TMenuItem
        Caption = 'E&xit'
        ShortCut = 32883
        OnClick = miExitClick
      end
    end
  end
  object pmTree: TPopupMenu
    object miExpand: TMenuItem
      Caption = 'Expand all'
    end
  end
  object imlTree: TImageList
  end
  object aclMain: TActionList
    object actRun: TAction
      Caption = '&Run'
      Hint = 'Run the job'
      OnExecute = actRunExecute
    end
  end
end
