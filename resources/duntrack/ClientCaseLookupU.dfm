object ClientCaseLookF: TClientCaseLookF
  Left = 120
  Top = 110
  Width = 765
  Height = 120
  Caption = 'ClientCaseLookF'
  Color = clBtnFace
  Font.Color = clBlue
  Font.Height = -13
  Font.Name = 'Arial'
  Font.Style = []
  KeyPreview = True
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  OnMouseWheel = FormMouseWheel
  PixelsPerInch = 96
  TextHeight = 16
  object Label1: TLabel
    Left = 8
    Top = 6
    Width = 44
    Height = 32
    Caption = 'Client'#13'Code'
    Font.Color = clBlue
    Font.Height = -13
    Font.Name = 'Arial'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Label2: TLabel
    Left = 228
    Top = 6
    Width = 44
    Height = 32
    Caption = 'Client'#13'Name'
    Font.Color = clBlue
    Font.Height = -13
    Font.Name = 'Arial'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Label3: TLabel
    Left = 8
    Top = 46
    Width = 44
    Height = 32
    Caption = 'Case'#13'Suffix'
    Font.Color = clBlue
    Font.Height = -13
    Font.Name = 'Arial'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Label4: TLabel
    Left = 228
    Top = 46
    Width = 70
    Height = 32
    Caption = 'Alternate'#13'Identifier'
    Font.Color = clBlue
    Font.Height = -13
    Font.Name = 'Arial'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object ClientCode: TvxDBLookupCombo
    Tag = 10
    Left = 84
    Top = 10
    Width = 120
    Height = 24
    LookupTable = DM.Client1_
    LookupField = 'Client Code'
    Selected.Strings = (
      'Client Code'#9'10'#9
      'LastCommaFirst'#9'45'#9
      'City'#9'28'#9)
    MaxLength = 7
    CharCase = ecUpperCase
    AutoDropDown = True
    ShowButton = True
    AllowClearKey = True
    ShowMatchText = True
    UseTFields = False
    TabOrder = 0
    OnChange = ClientCodeChange
    OnCloseUp = ClientCodeCloseUp
    OnEnter = ClientCodeEnter
    OnExit = ClientCodeExit
    OnKeyPress = ClientNameKeyPress
  end
  object ClientName: TvxDBLookupCombo
    Tag = 20
    Left = 306
    Top = 10
    Width = 330
    Height = 24
    LookupTable = DM.Client2_
    LookupField = 'LastCommaFirst'
    Selected.Strings = (
      'LastCommaFirst'#9'45'#9
      'Client Code'#9'11'#9
      'City'#9'28'#9)
    AutoDropDown = False
    ShowButton = True
    AllowClearKey = False
    TabOrder = 1
    OnCloseUp = ClientNameCloseUp
    OnEnter = ClientNameEnter
    OnExit = ClientNameExit
    OnKeyPress = ClientNameKeyPress
  end
  object CaseSuffix: TvxDBLookupCombo
    Tag = 110
    Left = 84
    Top = 50
    Width = 120
    Height = 24
    LookupTable = DM.Case1_
    LookupField = 'CaseClient'
    MaxLength = 7
    CharCase = ecUpperCase
    DropDownWidth = 200
    AutoDropDown = False
    ShowButton = True
    SeqSearchOptions = []
    AllowClearKey = True
    Font.Color = clBlue
    Font.Height = -13
    Font.Name = 'Courier'
    Font.Style = []
    ParentFont = False
    TabOrder = 2
    OnChange = CaseSuffixChange
    OnEnter = CaseSuffixEnter
    OnExit = CaseSuffixExit
    OnKeyDown = CaseSuffixKeyDown
    OnKeyPress = ClientNameKeyPress
  end
  object AlternateID: TvxDBLookupCombo
    Tag = 120
    Left = 306
    Top = 50
    Width = 330
    Height = 24
    LookupTable = DM.Case2_
    LookupField = 'Alternate ID'
    Selected.Strings = (
      'Alternate ID'#9'23'#9
      'Client Code'#9'9'#9
      'LeftJustCaseSuffix'#9'9'#9
      'Description Line 1'#9'38'#9
      'Case Status 1'#9'3'#9
      'Resp Atty 1'#9'6'#9)
    MaxLength = 20
    CharCase = ecUpperCase
    AutoDropDown = False
    ShowButton = True
    AllowClearKey = False
    TabOrder = 3
    OnEnter = AlternateIDEnter
    OnExit = AlternateIDExit
    OnKeyPress = ClientNameKeyPress
  end
  object Edit1: TEdit
    Tag = 1
    Left = 84
    Top = 10
    Width = 120
    Height = 24
    TabStop = False
    ReadOnly = True
    TabOrder = 4
    Visible = False
    OnClick = Edit1Click
  end
  object Edit2: TEdit
    Tag = 2
    Left = 306
    Top = 10
    Width = 330
    Height = 24
    TabStop = False
    ReadOnly = True
    TabOrder = 5
    Visible = False
    OnClick = Edit1Click
  end
  object Edit3: TEdit
    Tag = 3
    Left = 84
    Top = 50
    Width = 120
    Height = 24
    TabStop = False
    ReadOnly = True
    TabOrder = 6
    Visible = False
    OnClick = Edit1Click
  end
  object vxDBGrid1: TvxDBGrid
    Left = 700
    Top = 60
    Width = 20
    Height = 20
    Selected.Strings = (
      'LastCommaFirst'#9'72'#9
      'City'#9'30'#9
      'Client Code'#9'7'#9
      'Client First Name'#9'30'#9
      'Client Last Name'#9'40'#9
      'Unassigned'#9'6'#9)
    TabOrder = 7
    Visible = False
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 25
    OnTimer = Timer1Timer
    Left = 680
    Top = 8
  end
end
