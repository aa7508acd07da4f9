object AddClientDlgF: TAddClientDlgF
  Left = 300
  Top = 250
  BorderStyle = bsDialog
  Caption = 'Information'
  ClientHeight = 112
  ClientWidth = 292
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -13
  Font.Name = 'Arial'
  Position = poScreenCenter
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 16
  object Label1: TLabel
    Left = 16
    Top = 12
    Width = 260
    Height = 40
    AutoSize = False
    Caption = 'No such client.  Do you wish to add this client now?'
    WordWrap = True
  end
  object YesBitBtn: TBitBtn
    Left = 48
    Top = 68
    Width = 89
    Height = 30
    TabOrder = 0
    OnClick = YesBitBtnClick
    Kind = bkYes
  end
  object NoBitBtn: TBitBtn
    Left = 156
    Top = 68
    Width = 89
    Height = 30
    TabOrder = 1
    OnClick = YesBitBtnClick
    Kind = bkNo
  end
end
