object AddNoteF: TAddNoteF
  Left = 200
  Top = 200
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'AddNoteF'
  ClientHeight = 125
  ClientWidth = 760
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object Edit1: TEdit
    Left = 8
    Top = 16
    Width = 566
    Height = 26
    Font.Color = clWindowText
    Font.Height = -17
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    MaxLength = 78
    ParentFont = False
    TabOrder = 0
    OnChange = Edit1Change
  end
  object BitBtnAdd: TBitBtn
    Left = 582
    Top = 16
    Width = 75
    Height = 25
    Caption = '&Add'
    Default = True
    Enabled = False
    TabOrder = 1
    OnClick = BitBtnAddClick
  end
  object BitBtnCancel: TBitBtn
    Left = 665
    Top = 16
    Width = 75
    Height = 25
    Caption = '&Cancel'
    TabOrder = 2
    OnClick = BitBtnCancelClick
  end
  object BitBtn1: TBitBtn
    Left = 166
    Top = 56
    Width = 250
    Height = 25
    Caption = 'Insert today'#39's &date at start (Alt-D)'
    TabOrder = 3
    OnClick = BitBtn1Click
  end
end
