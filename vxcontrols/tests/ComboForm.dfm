object ComboForm: TComboForm
  Left = 80
  Top = 80
  BorderStyle = bsDialog
  Caption = 'Paragraph'
  ClientHeight = 90
  ClientWidth = 240
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poDesigned
  PixelsPerInch = 96
  TextHeight = 13
  object StatusCombo: TvxDBComboBox
    Left = 8
    Top = 8
    Width = 150
    Height = 21
    Style = csDropDownList
    MapList = True
    Items.Strings = (
      'Open'#9'O'
      'Closed'#9'C')
    DropDownCount = 12
    AllowClearKey = True
    TabOrder = 0
  end
end
