object NoteForm: TNoteForm
  Left = 120
  Top = 100
  BorderStyle = bsDialog
  Caption = 'Adding a note'
  ClientHeight = 120
  ClientWidth = 300
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = [fsBold]
  KeyPreview = True
  Menu = MainMenu1
  Position = poDesigned
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object Label1: TLabel
    Left = 8
    Top = 8
    Width = 40
    Height = 13
    Caption = '&Note:'
    FocusControl = Edit1
  end
  object Edit1: TEdit
    Left = 8
    Top = 28
    Width = 200
    Height = 21
    MaxLength = 78
    TabOrder = 0
    OnChange = Edit1Change
  end
  object AddButton: TButton
    Left = 8
    Top = 70
    Width = 75
    Height = 25
    Caption = '&Add'
    Default = True
    Enabled = False
    ModalResult = 1
    TabOrder = 1
  end
  object CancelButton: TButton
    Left = 96
    Top = 70
    Width = 75
    Height = 25
    Cancel = True
    Caption = '&Cancel'
    ModalResult = 2
    TabOrder = 2
  end
  object Panel1: TPanel
    Left = 220
    Top = 8
    Width = 70
    Height = 40
    Color = clRed
    ParentFont = False
    Font.Color = clNavy
    TabOrder = 3
    object Shape1: TShape
      Left = 4
      Top = 4
      Width = 20
      Height = 10
      Brush.Color = clYellow
    end
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Exit1: TMenuItem
        Caption = 'E&xit'
        ShortCut = 16472
        OnClick = Exit1Click
      end
    end
  end
end
