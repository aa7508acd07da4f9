object GridForm: TGridForm
  Left = 60
  Top = 60
  BorderStyle = bsDialog
  Caption = 'People'
  ClientHeight = 230
  ClientWidth = 420
  Color = clBtnFace
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poDesigned
  PixelsPerInch = 96
  TextHeight = 13
  object Grid: TvxDBGrid
    Left = 8
    Top = 8
    Width = 404
    Height = 186
    DataSource = People
    FixedCols = 1
    Selected.Strings = (
      'Name'#9'12'#9'Person'
      'Id'#9'4'#9'No.'
      'Amount'#9'8'#9'Amount owed')
    UseTFields = False
    TitleColor = clBtnFace
    TitleFont.Height = -11
    TitleFont.Name = 'MS Sans Serif'
    TitleFont.Style = [fsBold]
    Options = [dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit]
    TabOrder = 0
    object Corner: TvxIButton
      Left = 4
      Top = 3
      Width = 14
      Height = 18
    end
  end
  object Status: TEdit
    Left = 8
    Top = 200
    Width = 200
    Height = 21
    TabOrder = 1
  end
  object People: TvxDataSource
    Left = 300
    Top = 200
  end
end
