object MissingTimef: TMissingTimef
  Left = 200
  Top = 150
  Width = 435
  Height = 300
  Caption = 'Missing Time Report'
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object ProgressBar1: TProgressBar
    Left = 90
    Top = 28
    Width = 247
    Height = 16
    Min = 0
    Max = 100
    TabOrder = 0
  end
  object FeeTable: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 16
    Top = 8
    object FeeTableautoinc: TAutoIncField
      FieldName = 'autoinc'
    end
    object FeeTableClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object FeeTableCaseSuffix: TStringField
      FieldName = 'Case Suffix'
      Size = 7
    end
    object FeeTableType: TStringField
      FieldName = 'Type'
      Size = 1
    end
    object FeeTableTransactionDate: TStringField
      FieldName = 'Transaction Date'
      Size = 6
    end
    object FeeTableSubType: TStringField
      FieldName = 'Sub Type'
      Size = 1
    end
    object FeeTableEmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object FeeTableEntryDate: TStringField
      FieldName = 'Entry Date'
      Size = 6
    end
    object FeeTableHNDR: TStringField
      FieldName = 'HNDR'
      Size = 1
    end
    object FeeTableGroupCode: TStringField
      FieldName = 'Group Code'
      Size = 2
    end
    object FeeTableFixedFee: TStringField
      FieldName = 'Fixed Fee'
      Size = 1
    end
    object FeeTableActualHours: TFloatField
      FieldName = 'Actual Hours'
    end
    object FeeTableActual: TFloatField
      FieldName = 'Actual $'
    end
    object FeeTableBillEnpCode: TStringField
      FieldName = 'Bill Enp Code'
      Size = 4
    end
    object FeeTableBillableHours: TFloatField
      FieldName = 'Billable Hours'
    end
    object FeeTableBillable: TFloatField
      FieldName = 'Billable $'
    end
    object FeeTableInvoiceNumber: TStringField
      FieldName = 'Invoice Number'
      Size = 8
    end
    object FeeTableSequenceNumber: TStringField
      FieldName = 'Sequence Number'
      Size = 8
    end
  end
  object HFeeTable: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 48
    Top = 8
    object HFeeTableautoinc: TAutoIncField
      FieldName = 'autoinc'
    end
    object HFeeTableClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object HFeeTableCaseSuffix: TStringField
      FieldName = 'Case Suffix'
      Size = 7
    end
    object HFeeTableType: TStringField
      FieldName = 'Type'
      Size = 1
    end
    object HFeeTableTransactionDate: TStringField
      FieldName = 'Transaction Date'
      Size = 6
    end
    object HFeeTableSubType: TStringField
      FieldName = 'Sub Type'
      Size = 1
    end
    object HFeeTableEmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object HFeeTableEntryDate: TStringField
      FieldName = 'Entry Date'
      Size = 6
    end
    object HFeeTableHNDR: TStringField
      FieldName = 'HNDR'
      Size = 1
    end
    object HFeeTableGroupCode: TStringField
      FieldName = 'Group Code'
      Size = 2
    end
    object HFeeTableFixedFee: TStringField
      FieldName = 'Fixed Fee'
      Size = 1
    end
    object HFeeTableActualHours: TFloatField
      FieldName = 'Actual Hours'
    end
    object HFeeTableActual: TFloatField
      FieldName = 'Actual $'
    end
    object HFeeTableBillEnpCode: TStringField
      FieldName = 'Bill Enp Code'
      Size = 4
    end
    object HFeeTableBillableHours: TFloatField
      FieldName = 'Billable Hours'
    end
    object HFeeTableBillable: TFloatField
      FieldName = 'Billable $'
    end
    object HFeeTableInvoiceNumber: TStringField
      FieldName = 'Invoice Number'
      Size = 8
    end
    object HFeeTableSequenceNumber: TStringField
      FieldName = 'Sequence Number'
      Size = 8
    end
  end
  object EmpTable: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 80
    Top = 8
    object EmpTableAutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object EmpTableEmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object EmpTableCAPLastName: TStringField
      FieldName = 'CAP Last Name'
      Size = 3
    end
    object EmpTableEmployeeFirstName: TStringField
      FieldName = 'Employee First Name'
      Size = 15
    end
    object EmpTableEmployeeLastName: TStringField
      FieldName = 'Employee Last Name'
      Size = 20
    end
    object EmpTableEmployeeDept: TStringField
      FieldName = 'Employee Dept'
      Size = 2
    end
    object EmpTableEmployeeClass: TStringField
      FieldName = 'Employee Class'
      Size = 2
    end
    object EmpTableStringHireDate: TStringField
      FieldName = 'String Hire Date'
      Size = 6
    end
    object EmpTableBudget: TFloatField
      FieldName = 'Budget $'
    end
    object EmpTableBudgetHours: TFloatField
      FieldName = 'Budget Hours'
    end
    object EmpTableBtrieveHireDate: TDateField
      FieldName = 'Btrieve Hire Date'
    end
    object EmpTableUnassigned: TStringField
      FieldName = 'Unassigned'
      Size = 6
    end
  end
  object ReportDataTable: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 112
    Top = 8
    object ReportDataTableBtrieve: TAutoIncField
      FieldName = 'Btrieve'
    end
    object ReportDataTableReportCode: TStringField
      FieldName = 'ReportCode'
      Size = 2
    end
    object ReportDataTableRangeOrList: TStringField
      FieldName = 'RangeOrList'
      Size = 1
    end
    object ReportDataTableFileNumberPP: TStringField
      FieldName = 'FileNumberPP'
      Size = 3
    end
    object ReportDataTablePrinterNum: TStringField
      FieldName = 'PrinterNum'
      Size = 2
    end
    object ReportDataTablePrinterName: TStringField
      FieldName = 'PrinterName'
      Size = 30
    end
    object ReportDataTablePrintFileName: TStringField
      FieldName = 'PrintFileName'
      Size = 42
    end
    object ReportDataTablePrintFileNameS: TStringField
      FieldName = 'PrintFileNameS'
      Size = 42
    end
    object ReportDataTablePrintSize: TStringField
      FieldName = 'PrintSize'
      Size = 1
    end
    object ReportDataTablePageLength: TStringField
      FieldName = 'PageLength'
      Size = 3
    end
    object ReportDataTableProdStatus: TStringField
      FieldName = 'ProdStatus'
      Size = 1
    end
    object ReportDataTableSort: TStringField
      FieldName = 'Sort'
      Size = 1
    end
    object ReportDataTableRA1: TStringField
      FieldName = 'RA1'
      Size = 4
    end
    object ReportDataTableCCA: TStringField
      FieldName = 'CCA'
      Size = 4
    end
    object ReportDataTableBeginID: TStringField
      FieldName = 'BeginID'
      Size = 20
    end
    object ReportDataTableEndingID: TStringField
      FieldName = 'EndingID'
      Size = 20
    end
    object ReportDataTableStartTranDate: TStringField
      FieldName = 'StartTranDate'
      Size = 6
    end
    object ReportDataTableEndTranDate: TStringField
      FieldName = 'EndTranDate'
      Size = 6
    end
    object ReportDataTableBCC: TStringField
      FieldName = 'BCC'
      Size = 12
    end
    object ReportDataTableStatusCodes: TStringField
      FieldName = 'StatusCodes'
      Size = 6
    end
    object ReportDataTableMinWipDollars: TStringField
      FieldName = 'MinWipDollars'
      Size = 6
    end
    object ReportDataTableMinWipAge: TStringField
      FieldName = 'MinWipAge'
      Size = 3
    end
    object ReportDataTableCurrHistBoth: TStringField
      FieldName = 'CurrHistBoth'
      Size = 1
    end
    object ReportDataTableUnbillOnly: TStringField
      FieldName = 'UnbillOnly'
      Size = 1
    end
    object ReportDataTableStartBillDate: TStringField
      FieldName = 'StartBillDate'
      Size = 6
    end
    object ReportDataTableEndBillDate: TStringField
      FieldName = 'EndBillDate'
      Size = 6
    end
    object ReportDataTableStartInvNum: TStringField
      FieldName = 'StartInvNum'
      Size = 8
    end
    object ReportDataTableEndInvNum: TStringField
      FieldName = 'EndInvNum'
      Size = 8
    end
    object ReportDataTableMinArDollars: TStringField
      FieldName = 'MinArDollars'
      Size = 6
    end
    object ReportDataTableMinArAge: TStringField
      FieldName = 'MinArAge'
      Size = 3
    end
    object ReportDataTableRemindOnly: TStringField
      FieldName = 'RemindOnly'
      Size = 1
    end
    object ReportDataTableSepMergeInv: TStringField
      FieldName = 'SepMergeInv'
      Size = 1
    end
    object ReportDataTableSepMergeCases: TStringField
      FieldName = 'SepMergeCases'
      Size = 1
    end
    object ReportDataTableHeldNonBoth: TStringField
      FieldName = 'HeldNonBoth'
      Size = 1
    end
  end
end
