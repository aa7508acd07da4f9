object vxRichTabDialog: TvxRichTabDialog
  Left = 245
  Top = 108
  BorderStyle = bsDialog
  Caption = 'Tabs'
  ClientHeight = 192
  ClientWidth = 257
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 13
  object GroupBox1: TGroupBox
    Left = 8
    Top = 6
    Width = 160
    Height = 178
    Caption = '&Tab Stop Position'
    TabOrder = 0
    object Edit1: TEdit
      Left = 10
      Top = 20
      Width = 140
      Height = 21
      TabOrder = 0
      OnEnter = Edit1Enter
      OnExit = Edit1Exit
      OnKeyPress = Edit1KeyPress
    end
    object ListBox1: TListBox
      Left = 10
      Top = 44
      Width = 140
      Height = 95
      ItemHeight = 13
      MultiSelect = True
      Sorted = True
      TabOrder = 1
    end
    object Button1: TButton
      Left = 10
      Top = 146
      Width = 66
      Height = 23
      Caption = '&Set'
      TabOrder = 2
      OnClick = SetButtonClick
    end
    object Button2: TButton
      Left = 84
      Top = 146
      Width = 66
      Height = 23
      Caption = 'Cl&ear'
      TabOrder = 3
      OnClick = Button2Click
    end
  end
  object OKButton: TButton
    Left = 176
    Top = 12
    Width = 75
    Height = 25
    Caption = '&OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
    OnClick = OKButtonClick
  end
  object Button3: TButton
    Left = 176
    Top = 44
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 2
  end
  object Button4: TButton
    Left = 176
    Top = 76
    Width = 75
    Height = 25
    Caption = 'Clear A&ll'
    TabOrder = 3
    OnClick = Button4Click
  end
end
