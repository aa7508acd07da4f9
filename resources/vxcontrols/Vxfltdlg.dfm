object vxFilterDlg: TvxFilterDlg
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  ClientHeight = 240
  ClientWidth = 476
  Color = clBtnFace
  Font.Color = clBlack
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = [fsBold]
  KeyPreview = True
  Position = poScreenCenter
  OnActivate = FormActivate
  OnCloseQuery = FormCloseQuery
  OnKeyDown = FormKeyDown
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object FieldsLbl: TLabel
    Left = 8
    Top = 4
    Width = 35
    Height = 13
    Caption = '&Fields'
    FocusControl = FieldsListBox
  end
  object FieldsListBox: TListBox
    Left = 8
    Top = 20
    Width = 165
    Height = 160
    ItemHeight = 13
    TabOrder = 0
    OnClick = FieldsListBoxClick
  end
  object FieldTabSet: TTabSet
    Left = 8
    Top = 179
    Width = 165
    Height = 17
    Tabs.Strings = (
      '&All'
      '&Searched')
    TabIndex = 0
    OnChange = FieldTabSetChange
  end
  object FieldOrder: TRadioGroup
    Left = 5
    Top = 201
    Width = 170
    Height = 37
    Caption = 'Field Order'
    Columns = 2
    Items.Strings = (
      'Alpha&betic'
      '&Logical')
    ItemIndex = 1
    TabOrder = 4
    OnClick = FieldOrderClick
  end
  object FieldCriteria: TGroupBox
    Left = 180
    Top = 3
    Width = 205
    Height = 179
    TabOrder = 1
    object SelectNotebook: TNotebook
      Left = 2
      Top = 15
      Width = 201
      Height = 162
      Align = alClient
      Color = clBtnFace
      PageIndex = 0
      object TPage
        Left = 0
        Top = 0
        Caption = 'AsString'
        object FieldValueLbl: TLabel
          Left = 8
          Top = 7
          Width = 68
          Height = 13
          Caption = 'Field &Value'
        end
        object FilterValueCombo: TvxDBComboBox
          Left = 8
          Top = 22
          Width = 133
          Height = 21
          Style = csDropDown
          ShowButton = False
          Sorted = False
          TabOrder = 0
          Visible = False
          OnChange = FilterValueComboChange
        end
        object FilterValueEdit: TvxDBEdit
          Left = 8
          Top = 22
          Width = 133
          Height = 21
          TabOrder = 1
          OnChange = FilterValueComboChange
        end
        object FilterValueClearButton: TBitBtn
          Left = 144
          Top = 23
          Width = 45
          Height = 21
          Caption = '&Clear'
          Enabled = False
          TabOrder = 2
          OnClick = FilterValueClearButtonClick
        end
        object MatchTypeGroup: TRadioGroup
          Left = 8
          Top = 48
          Width = 182
          Height = 73
          Caption = 'Search Type'
          Items.Strings = (
            '&Exact Match'
            '&Partial Match at Beginning'
            'Partial Match Any&where')
          TabOrder = 3
          OnClick = MatchTypeGroupClick
        end
        object Panel1: TPanel
          Left = 8
          Top = 118
          Width = 182
          Height = 42
          BevelOuter = bvNone
          TabOrder = 4
          object CaseSensitive: TCheckBox
            Left = 9
            Top = 6
            Width = 165
            Height = 17
            Caption = 'Case Sensi&tive'
            TabOrder = 0
          end
          object Nonmatching: TCheckBox
            Left = 9
            Top = 22
            Width = 165
            Height = 17
            Caption = 'N&on-matching records'
            TabOrder = 1
          end
        end
      end
      object TPage
        Left = 0
        Top = 0
        Caption = 'asValue'
        object StartingRangeLbl: TLabel
          Left = 7
          Top = 9
          Width = 89
          Height = 13
          Caption = '&Starting Range'
          FocusControl = MinValueEdit
        end
        object EndingRangeLbl: TLabel
          Left = 7
          Top = 52
          Width = 81
          Height = 13
          Caption = 'En&ding Range'
          FocusControl = MaxValueEdit
        end
        object MinValueEdit: TEdit
          Left = 7
          Top = 24
          Width = 140
          Height = 21
          TabOrder = 0
          OnChange = MinValueEditChange
        end
        object MaxValueEdit: TEdit
          Left = 7
          Top = 67
          Width = 140
          Height = 21
          TabOrder = 2
          OnChange = MaxValueEditChange
        end
        object MinDateEdit: TvxDBDateTimePicker
          Left = 7
          Top = 24
          Width = 140
          Height = 21
          Epoch = 1950
          ShowButton = True
          TabOrder = 4
          Visible = False
          OnChange = MinValueEditChange
        end
        object MaxDateEdit: TvxDBDateTimePicker
          Left = 7
          Top = 67
          Width = 140
          Height = 21
          Epoch = 1950
          ShowButton = True
          TabOrder = 5
          Visible = False
          OnChange = MaxValueEditChange
        end
        object MinValueClearButton: TBitBtn
          Left = 152
          Top = 24
          Width = 45
          Height = 21
          Caption = '&Clear'
          Enabled = False
          TabOrder = 1
          OnClick = MinValueClearButtonClick
        end
        object MaxValueClearButton: TBitBtn
          Left = 152
          Top = 68
          Width = 45
          Height = 21
          Caption = 'Cl&ear'
          Enabled = False
          TabOrder = 3
          OnClick = MaxValueClearButtonClick
        end
      end
    end
  end
  object ValueRangeTabSet: TTabSet
    Left = 180
    Top = 180
    Width = 199
    Height = 21
    Tabs.Strings = (
      'By &Value'
      'By &Range')
    TabIndex = 0
    OnChange = ValueRangeTabSetChange
  end
  object ViewButton: TButton
    Left = 180
    Top = 209
    Width = 95
    Height = 25
    Caption = 'View Su&mmary'
    TabStop = False
    TabOrder = 5
    OnClick = ViewButtonClick
  end
  object ClearSearchButton: TButton
    Left = 284
    Top = 209
    Width = 95
    Height = 25
    Caption = '&New Search'
    Enabled = False
    TabStop = False
    TabOrder = 6
    OnClick = ClearSearchButtonClick
  end
end
