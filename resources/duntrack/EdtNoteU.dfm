object EdtNoteF: TEdtNoteF
  Left = 200
  Top = 200
  BorderIcons = [biSystemMenu]
  BorderStyle = bsDialog
  Caption = 'EdtNoteF'
  ClientHeight = 120
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
    Width = 560
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
  object BitBtnDelete: TBitBtn
    Left = 8
    Top = 60
    Width = 140
    Height = 25
    Caption = 'Delete this note'
    TabOrder = 1
    OnClick = BitBtnDeleteClick
  end
  object BitBtnSave: TBitBtn
    Left = 594
    Top = 60
    Width = 75
    Height = 25
    Caption = '&Save'
    Default = True
    Enabled = False
    TabOrder = 2
    OnClick = BitBtnSaveClick
  end
  object BitBtnCancel: TBitBtn
    Left = 677
    Top = 60
    Width = 75
    Height = 25
    Caption = '&Cancel'
    TabOrder = 3
    OnClick = BitBtnCancelClick
  end
end
