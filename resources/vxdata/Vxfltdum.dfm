object vxDummyForm: TvxDummyForm
  Left = 200
  Top = 108
  Width = 435
  Height = 300
  Caption = 'vxDummyForm'
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  PixelsPerInch = 96
  TextHeight = 13
end
