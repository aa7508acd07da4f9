object vxRichParagraphDialog: TvxRichParagraphDialog
  Left = 245
  Top = 108
  BorderStyle = bsDialog
  Caption = 'Paragraph'
  ClientHeight = 229
  ClientWidth = 331
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 13
  object OKBtn: TButton
    Left = 170
    Top = 196
    Width = 75
    Height = 25
    Caption = '&OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
    OnClick = OKClick
  end
  object CancelBtn: TButton
    Left = 250
    Top = 196
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 2
  end
  object Panel1: TPanel
    Left = 8
    Top = 8
    Width = 317
    Height = 181
    BevelOuter = bvRaised
    TabOrder = 0
    object Label4: TLabel
      Left = 12
      Top = 12
      Width = 49
      Height = 13
      Caption = 'Ali&gnment'
      FocusControl = AlignmentCombo
    end
    object GroupBox1: TLabel
      Left = 12
      Top = 40
      Width = 70
      Height = 13
      Caption = 'Indentation'
    end
    object Bevel1: TBevel
      Left = 86
      Top = 47
      Width = 222
      Height = 2
      Shape = bsTopLine
    end
    object Label1: TLabel
      Left = 20
      Top = 62
      Width = 21
      Height = 13
      Caption = '&Left:'
      FocusControl = LeftEdit
    end
    object Label2: TLabel
      Left = 20
      Top = 88
      Width = 28
      Height = 13
      Caption = '&Right:'
      FocusControl = RightEdit
    end
    object Label3: TLabel
      Left = 170
      Top = 62
      Width = 56
      Height = 13
      Caption = 'First line:'
      FocusControl = FirstLineEdit
    end
    object SpacingGroup: TLabel
      Left = 12
      Top = 114
      Width = 50
      Height = 13
      Caption = 'Spacing'
    end
    object Bevel2: TBevel
      Left = 66
      Top = 121
      Width = 242
      Height = 2
      Shape = bsTopLine
    end
    object BeforeParagraphLabel: TLabel
      Left = 20
      Top = 136
      Width = 39
      Height = 13
      Caption = '&Before:'
      FocusControl = BeforeParagraphEdit
    end
    object AfterParagraphLabel: TLabel
      Left = 20
      Top = 158
      Width = 30
      Height = 13
      Caption = 'Aft&er:'
      FocusControl = AfterParagraphEdit
    end
    object WithinParagraphLabel: TLabel
      Left = 170
      Top = 130
      Width = 65
      Height = 13
      Caption = 'Li&ne spacing:'
      FocusControl = LineSpacingComboBox
    end
    object WithinParagraphAt: TLabel
      Left = 250
      Top = 130
      Width = 12
      Height = 13
      Caption = '&At'
      FocusControl = WithinParagraphEdit
    end
    object AlignmentCombo: TvxDBComboBox
      Left = 76
      Top = 8
      Width = 100
      Height = 21
      Style = csDropDownList
      Items.Strings = (
        'Left'
        'Center'
        'Right')
      TabOrder = 0
    end
    object LeftEdit: TEdit
      Left = 76
      Top = 58
      Width = 70
      Height = 21
      TabOrder = 1
    end
    object RightEdit: TEdit
      Left = 76
      Top = 84
      Width = 70
      Height = 21
      TabOrder = 2
    end
    object FirstLineEdit: TEdit
      Left = 238
      Top = 58
      Width = 70
      Height = 21
      TabOrder = 3
    end
    object BeforeParagraphEdit: TEdit
      Left = 76
      Top = 132
      Width = 70
      Height = 21
      TabOrder = 4
    end
    object AfterParagraphEdit: TEdit
      Left = 76
      Top = 154
      Width = 70
      Height = 21
      TabOrder = 5
    end
    object LineSpacingComboBox: TComboBox
      Left = 170
      Top = 146
      Width = 76
      Height = 21
      Style = csDropDownList
      Items.Strings = (
        'Single'
        '1.5 Lines'
        'Double'
        'At least'
        'Exactly'
        'Multiple')
      TabOrder = 6
      OnChange = LineSpacingComboBoxChange
      OnSelect = LineSpacingComboBoxClick
    end
    object WithinParagraphEdit: TEdit
      Left = 250
      Top = 146
      Width = 58
      Height = 21
      TabOrder = 7
      OnKeyPress = WithinParagraphEditKeyPress
    end
  end
end
