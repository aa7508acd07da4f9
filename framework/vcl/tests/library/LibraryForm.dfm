object LibraryForm: TLibraryForm
  Left = 200
  Top = 150
  BorderStyle = bsDialog
  Caption = 'Library form'
  ClientHeight = 80
  ClientWidth = 260
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poDesigned
  PixelsPerInch = 96
  TextHeight = 13
  object Label1: TLabel
    Left = 8
    Top = 12
    Width = 120
    Height = 13
    Caption = 'Read from the library'
  end
  object Edit1: TEdit
    Left = 8
    Top = 36
    Width = 240
    Height = 21
    TabOrder = 0
    Text = 'library text'
  end
end
