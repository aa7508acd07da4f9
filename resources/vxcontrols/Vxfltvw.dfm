object vxFilterDialogView: TvxFilterDialogView
  Left = 220
  Top = 140
  BorderStyle = bsDialog
  Caption = 'Show Search Summary'
  ClientHeight = 206
  ClientWidth = 481
  Color = clBtnFace
  Font.Color = clBlack
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = [fsBold]
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object StringGrid1: TStringGrid
    Left = 9
    Top = 9
    Width = 464
    Height = 154
    ColCount = 3
    DefaultRowHeight = 18
    FixedCols = 0
    RowCount = 8
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing]
    ScrollBars = ssNone
    TabOrder = 0
    OnEnter = StringGrid1Enter
  end
end
