object DataModule1: TDataModule1
  OldCreateOrder = False
  OnDestroy = DataModule1Destroy
  Height = 640
  Width = 860
  object Client1_: TvxBkTable
    DatabaseName = 'vavuz'
    AutoCalcFields = False
    PictureMasks.Strings = (
      'Threshhold'#9'#[#][#][#][#]'#9'T'#9'F')
    ValidateWithMask = True
    OnCalcFields = Client1_CalcFields
    Left = 16
    Top = 8
    object Client1_LastCommaFirst: TStringField
      FieldKind = fkCalculated
      FieldName = 'LastCommaFirst'
      Size = 72
    end
    object Client1_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object Client1_ClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object Client1_First6LastName: TStringField
      FieldName = 'First 6 Last Name'
      Size = 6
    end
    object Client1_ClientFirstName: TStringField
      FieldName = 'Client First Name'
      Size = 30
    end
    object Client1_ClientLastName: TStringField
      FieldName = 'Client Last Name'
      Size = 40
    end
    object Client1_SecondNameLine: TStringField
      FieldName = 'Second Name Line'
      Size = 60
    end
    object Client1_AddressLine1: TStringField
      FieldName = 'Address Line 1'
      Size = 60
    end
    object Client1_AddressLine2: TStringField
      FieldName = 'Address Line 2'
      Size = 60
    end
    object Client1_City: TStringField
      FieldName = 'City'
      Size = 30
    end
    object Client1_StateZipCountry: TStringField
      FieldName = 'State Zip Country'
      Size = 30
    end
    object Client1_Phone1: TStringField
      FieldName = 'Phone 1'
      Size = 20
    end
    object Client1_Phone2: TStringField
      FieldName = 'Phone 2'
      Size = 20
    end
    object Client1_OfficeCode: TStringField
      FieldName = 'Office Code'
      Size = 2
    end
    object Client1_CCA: TStringField
      FieldName = 'CCA'
      Size = 4
    end
    object Client1_ClientType1: TStringField
      FieldName = 'Client Type 1'
      Size = 2
    end
    object Client1_ClientType2: TStringField
      FieldName = 'Client Type 2'
      Size = 2
    end
    object Client1_BillingRateCode: TStringField
      FieldName = 'Billing Rate Code'
      Size = 2
    end
    object Client1_SalesTax: TStringField
      FieldName = 'Sales Tax'
      OnSetText = Client1_SalesTaxSetText
      Size = 1
    end
    object Client1_FinanceCharge: TStringField
      FieldName = 'Finance Charge'
      Size = 1
    end
    object Client1_AltBillingFormat: TStringField
      FieldName = 'Alt Billing Format'
      Size = 3
    end
    object Client1_Unassigned: TStringField
      FieldName = 'Unassigned'
      Size = 6
    end
    object Client1_Threshhold: TFloatField
      FieldName = 'Threshhold'
    end
  end
  object Client2_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    OnCalcFields = Client1_CalcFields
    Left = 112
    Top = 8
    object Client2_LastCommaFirst: TStringField
      FieldKind = fkCalculated
      FieldName = 'LastCommaFirst'
      Size = 72
    end
    object Client2_City: TStringField
      FieldName = 'City'
      Size = 30
    end
    object Client2_ClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object Client2_ClientFirstName: TStringField
      FieldName = 'Client First Name'
      Size = 30
    end
    object Client2_ClientLastName: TStringField
      FieldName = 'Client Last Name'
      Size = 40
    end
    object Client2_Unassigned: TStringField
      FieldName = 'Unassigned'
      Size = 6
    end
  end
  object ClientSave_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 208
    Top = 8
    object ClientSave_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object ClientSave_ClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object ClientSave_First6LastName: TStringField
      FieldName = 'First 6 Last Name'
      Size = 6
    end
    object ClientSave_ClientFirstName: TStringField
      FieldName = 'Client First Name'
      Size = 30
    end
    object ClientSave_ClientLastName: TStringField
      FieldName = 'Client Last Name'
      Size = 40
    end
    object ClientSave_SecondNameLine: TStringField
      FieldName = 'Second Name Line'
      Size = 60
    end
    object ClientSave_AddressLine1: TStringField
      FieldName = 'Address Line 1'
      Size = 60
    end
    object ClientSave_AddressLine2: TStringField
      FieldName = 'Address Line 2'
      Size = 60
    end
    object ClientSave_City: TStringField
      FieldName = 'City'
      Size = 30
    end
    object ClientSave_StateZipCountry: TStringField
      FieldName = 'State Zip Country'
      Size = 30
    end
    object ClientSave_Phone1: TStringField
      FieldName = 'Phone 1'
      Size = 20
    end
    object ClientSave_Phone2: TStringField
      FieldName = 'Phone 2'
      Size = 20
    end
    object ClientSave_OfficeCode: TStringField
      FieldName = 'Office Code'
      Size = 2
    end
    object ClientSave_CCA: TStringField
      FieldName = 'CCA'
      Size = 4
    end
    object ClientSave_ClientType1: TStringField
      FieldName = 'Client Type 1'
      Size = 2
    end
    object ClientSave_ClientType2: TStringField
      FieldName = 'Client Type 2'
      Size = 2
    end
    object ClientSave_BillingRateCode: TStringField
      FieldName = 'Billing Rate Code'
      Size = 2
    end
    object ClientSave_SalesTax: TStringField
      FieldName = 'Sales Tax'
      Size = 1
    end
    object ClientSave_FinanceCharge: TStringField
      FieldName = 'Finance Charge'
      Size = 1
    end
    object ClientSave_AltBillingFormat: TStringField
      FieldName = 'Alt Billing Format'
      Size = 3
    end
    object ClientSave_Unassigned: TStringField
      FieldName = 'Unassigned'
      Size = 6
    end
    object ClientSave_Threshhold: TFloatField
      FieldName = 'Threshhold'
    end
  end
  object Case1_: TvxBkTable
    DatabaseName = 'vavuz'
    DefaultIndex = False
    PictureMasks.Strings = (
      'Case Status 2'#9'{ ,C,D,F,N,R}'#9'T'#9'F'
      'Retainer Min $'#9'#[#][#][#][#][#][#]'#9'T'#9'F'
      'Fee Budget $'#9'*#[.[#][#]]'#9'T'#9'F'
      'Cost Budget $'#9'*#[.[#][#]]'#9'T'#9'F'
      'Threshhold'#9'#[#][#][#][#]'#9'T'#9'F')
    ValidateWithMask = True
    Left = 304
    Top = 8
    object Case1_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object Case1_ClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object Case1_CaseSuffix: TStringField
      FieldName = 'Case Suffix'
      Size = 7
    end
    object Case1_AlternateID: TStringField
      FieldName = 'Alternate ID'
      Size = 20
    end
    object Case1_AltBillingFormat: TStringField
      FieldName = 'Alt Billing Format'
      Size = 3
    end
    object Case1_DescriptionLine1: TStringField
      FieldName = 'Description Line 1'
      Size = 50
    end
    object Case1_RespAtty1: TStringField
      FieldName = 'Resp Atty 1'
      Size = 4
    end
    object Case1_RespAtty2: TStringField
      FieldName = 'Resp Atty 2'
      Size = 4
    end
    object Case1_RespAtty3: TStringField
      FieldName = 'Resp Atty 3'
      Size = 4
    end
    object Case1_DepartmentCode: TStringField
      FieldName = 'Department Code'
      Size = 2
    end
    object Case1_CaseType1: TStringField
      FieldName = 'Case Type 1'
      Size = 2
    end
    object Case1_CaseType2: TStringField
      FieldName = 'Case Type 2'
      Size = 2
    end
    object Case1_CaseType3: TStringField
      FieldName = 'Case Type 3'
      Size = 2
    end
    object Case1_SalesTax: TStringField
      FieldName = 'Sales Tax'
      Size = 1
    end
    object Case1_FinanceCharge: TStringField
      FieldName = 'Finance Charge'
      Size = 1
    end
    object Case1_StatementMsgCode: TStringField
      FieldName = 'Statement Msg Code'
      Size = 2
    end
    object Case1_FeeBCC: TStringField
      FieldName = 'Fee BCC'
      Size = 1
    end
    object Case1_CostBCC: TStringField
      FieldName = 'Cost BCC'
      Size = 1
    end
    object Case1_CaseStatus1: TStringField
      FieldName = 'Case Status 1'
      Size = 1
    end
    object Case1_CaseStatus2: TStringField
      FieldName = 'Case Status 2'
      Size = 1
    end
    object Case1_BillingRateCode: TStringField
      FieldName = 'Billing Rate Code'
      Size = 2
    end
    object Case1_RetTransferCode: TStringField
      FieldName = 'Ret Transfer Code'
      Size = 1
    end
    object Case1_LeftJustCaseSuffix: TStringField
      FieldName = 'LeftJustCaseSuffix'
      Size = 7
    end
    object Case1_First10ClientLast: TStringField
      FieldName = 'First 10 Client Last'
      Size = 10
    end
    object Case1_ClientCoordAtty: TStringField
      FieldName = 'Client Coord Atty'
      Size = 4
    end
    object Case1_Threshhold: TFloatField
      FieldName = 'Threshhold'
    end
    object Case1_FeeBudget: TFloatField
      FieldName = 'Fee Budget $'
    end
    object Case1_CostBudget: TFloatField
      FieldName = 'Cost Budget $'
    end
    object Case1_RetainerMin: TFloatField
      FieldName = 'Retainer Min $'
    end
    object Case1_DateOpened: TStringField
      FieldName = 'Date Opened'
      Size = 6
    end
    object Case1_DateLastUpdate: TStringField
      FieldName = 'Date Last Update'
      Size = 6
    end
    object Case1_DateLastPayment: TStringField
      FieldName = 'Date Last Payment'
      Size = 6
    end
    object Case1_DateClosed: TStringField
      FieldName = 'Date Closed'
      Size = 6
    end
    object Case1_CTDactfees: TFloatField
      FieldName = 'CTD act fees'
    end
    object Case1_CTDfeewd: TFloatField
      FieldName = 'CTD fee wd'
    end
    object Case1_CTDfeewu: TFloatField
      FieldName = 'CTD fee wu'
    end
    object Case1_CTDdircost: TFloatField
      FieldName = 'CTD dir cost'
    end
    object Case1_CTDdircostwd: TFloatField
      FieldName = 'CTD dir cost wd'
    end
    object Case1_CTDdircostwu: TFloatField
      FieldName = 'CTD dir cost wu'
    end
    object Case1_CTDindirectcost: TFloatField
      FieldName = 'CTD indirect cost'
    end
    object Case1_CTDindirectcostwd: TFloatField
      FieldName = 'CTD indirect cost wd'
    end
    object Case1_CTDIndirectcostwu: TFloatField
      FieldName = 'CTD Indirect cost wu'
    end
    object Case1_CTDfeebillings: TFloatField
      FieldName = 'CTD fee billings'
    end
    object Case1_CTDDCBillings: TFloatField
      FieldName = 'CTD DC Billings'
    end
    object Case1_CTDICBillings: TFloatField
      FieldName = 'CTD IC Billings'
    end
    object Case1_CTDfcbillings: TFloatField
      FieldName = 'CTD fc billings'
    end
    object Case1_CTDstbillings: TFloatField
      FieldName = 'CTD st billings'
    end
    object Case1_CTDretbillings: TFloatField
      FieldName = 'CTD ret billings'
    end
    object Case1_CTDfeepayments: TFloatField
      FieldName = 'CTD fee payments'
    end
    object Case1_CTDDCPayments: TFloatField
      FieldName = 'CTD DC Payments'
    end
    object Case1_CTDICPayments: TFloatField
      FieldName = 'CTD IC Payments'
    end
    object Case1_CTDFCPayments: TFloatField
      FieldName = 'CTD FC Payments'
    end
    object Case1_CTDSTPayments: TFloatField
      FieldName = 'CTD ST Payments'
    end
    object Case1_CTDRetPayments: TFloatField
      FieldName = 'CTD Ret Payments'
    end
    object Case1_CTDfeeadjustments: TFloatField
      FieldName = 'CTD fee adjustments'
    end
    object Case1_CTDDCAdjustments: TFloatField
      FieldName = 'CTD DC Adjustments'
    end
    object Case1_CTDICAdjustments: TFloatField
      FieldName = 'CTD IC Adjustments'
    end
    object Case1_CTDFCAdjustments: TFloatField
      FieldName = 'CTD FC Adjustments'
    end
    object Case1_CTDSTAdjustments: TFloatField
      FieldName = 'CTD ST Adjustments'
    end
    object Case1_CTDRetAdjustments: TFloatField
      FieldName = 'CTD Ret Adjustments'
    end
    object Case1_CTDfeeTransfers: TFloatField
      FieldName = 'CTD fee Transfers'
    end
    object Case1_CTDDCTransfers: TFloatField
      FieldName = 'CTD DC Transfers'
    end
    object Case1_CTDICTransfers: TFloatField
      FieldName = 'CTD IC Transfers'
    end
    object Case1_CTDFCTransfers: TFloatField
      FieldName = 'CTD FC Transfers'
    end
    object Case1_CTDSTTransfers: TFloatField
      FieldName = 'CTD ST Transfers'
    end
    object Case1_CTDRetTransfers: TFloatField
      FieldName = 'CTD Ret Transfers'
    end
    object Case1_CTDTrustDebits: TFloatField
      FieldName = 'CTD Trust Debits'
    end
    object Case1_CTDTrustCredits: TFloatField
      FieldName = 'CTD Trust Credits'
    end
    object Case1_CTDfeehours: TFloatField
      FieldName = 'CTD fee hours'
    end
    object Case1_CTDfeewdhours: TFloatField
      FieldName = 'CTD fee wd hours'
    end
    object Case1_CTDfeewuhours: TFloatField
      FieldName = 'CTD fee wu hours'
    end
    object Case1_CaseClient: TStringField
      FieldName = 'CaseClient'
      Size = 14
    end
    object Case1_RJCaseClient: TStringField
      FieldName = 'RJCaseClient'
      Size = 14
    end
    object Case1_ClientName: TStringField
      FieldKind = fkLookup
      FieldName = 'ClientName'
      LookupDataSet = Client1_
      LookupKeyFields = 'Client Code'
      LookupResultField = 'LastCommaFirst'
      KeyFields = 'Client Code'
      Size = 72
    end
  end
  object Case2_: TvxBkTable
    DatabaseName = 'vavuz'
    DefaultIndex = False
    ControlType.Strings = (
      'Client Code;CustomEdit;ClientCode')
    ValidateWithMask = True
    Left = 400
    Top = 8
    object Case2_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object Case2_ClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object Case2_CaseSuffix: TStringField
      FieldName = 'Case Suffix'
      Size = 7
    end
    object Case2_AlternateID: TStringField
      FieldName = 'Alternate ID'
      Size = 20
    end
    object Case2_AltBillingFormat: TStringField
      FieldName = 'Alt Billing Format'
      Size = 3
    end
    object Case2_DescriptionLine1: TStringField
      FieldName = 'Description Line 1'
      Size = 50
    end
    object Case2_RespAtty1: TStringField
      FieldName = 'Resp Atty 1'
      Size = 4
    end
    object Case2_RespAtty2: TStringField
      FieldName = 'Resp Atty 2'
      Size = 4
    end
    object Case2_RespAtty3: TStringField
      FieldName = 'Resp Atty 3'
      Size = 4
    end
    object Case2_DepartmentCode: TStringField
      FieldName = 'Department Code'
      Size = 2
    end
    object Case2_CaseType1: TStringField
      FieldName = 'Case Type 1'
      Size = 2
    end
    object Case2_CaseType2: TStringField
      FieldName = 'Case Type 2'
      Size = 2
    end
    object Case2_CaseType3: TStringField
      FieldName = 'Case Type 3'
      Size = 2
    end
    object Case2_SalesTax: TStringField
      FieldName = 'Sales Tax'
      Size = 1
    end
    object Case2_FinanceCharge: TStringField
      FieldName = 'Finance Charge'
      Size = 1
    end
    object Case2_StatementMsgCode: TStringField
      FieldName = 'Statement Msg Code'
      Size = 2
    end
    object Case2_FeeBCC: TStringField
      FieldName = 'Fee BCC'
      Size = 1
    end
    object Case2_CostBCC: TStringField
      FieldName = 'Cost BCC'
      Size = 1
    end
    object Case2_CaseStatus1: TStringField
      FieldName = 'Case Status 1'
      Size = 1
    end
    object Case2_CaseStatus2: TStringField
      FieldName = 'Case Status 2'
      Size = 1
    end
    object Case2_BillingRateCode: TStringField
      FieldName = 'Billing Rate Code'
      Size = 2
    end
    object Case2_RetTransferCode: TStringField
      FieldName = 'Ret Transfer Code'
      Size = 1
    end
    object Case2_LeftJustCaseSuffix: TStringField
      FieldName = 'LeftJustCaseSuffix'
      Size = 7
    end
    object Case2_First10ClientLast: TStringField
      FieldName = 'First 10 Client Last'
      Size = 10
    end
    object Case2_ClientCoordAtty: TStringField
      FieldName = 'Client Coord Atty'
      Size = 4
    end
    object Case2_Threshhold: TFloatField
      FieldName = 'Threshhold'
    end
    object Case2_FeeBudget: TFloatField
      FieldName = 'Fee Budget $'
    end
    object Case2_CostBudget: TFloatField
      FieldName = 'Cost Budget $'
    end
    object Case2_RetainerMin: TFloatField
      FieldName = 'Retainer Min $'
    end
    object Case2_DateOpened: TStringField
      FieldName = 'Date Opened'
      Size = 6
    end
    object Case2_DateLastUpdate: TStringField
      FieldName = 'Date Last Update'
      Size = 6
    end
    object Case2_DateLastPayment: TStringField
      FieldName = 'Date Last Payment'
      Size = 6
    end
    object Case2_DateClosed: TStringField
      FieldName = 'Date Closed'
      Size = 6
    end
    object Case2_CTDactfees: TFloatField
      FieldName = 'CTD act fees'
    end
    object Case2_CTDfeewd: TFloatField
      FieldName = 'CTD fee wd'
    end
    object Case2_CTDfeewu: TFloatField
      FieldName = 'CTD fee wu'
    end
    object Case2_CTDdircost: TFloatField
      FieldName = 'CTD dir cost'
    end
    object Case2_CTDdircostwd: TFloatField
      FieldName = 'CTD dir cost wd'
    end
    object Case2_CTDdircostwu: TFloatField
      FieldName = 'CTD dir cost wu'
    end
    object Case2_CTDindirectcost: TFloatField
      FieldName = 'CTD indirect cost'
    end
    object Case2_CTDindirectcostwd: TFloatField
      FieldName = 'CTD indirect cost wd'
    end
    object Case2_CTDIndirectcostwu: TFloatField
      FieldName = 'CTD Indirect cost wu'
    end
    object Case2_CTDfeebillings: TFloatField
      FieldName = 'CTD fee billings'
    end
    object Case2_CTDDCBillings: TFloatField
      FieldName = 'CTD DC Billings'
    end
    object Case2_CTDICBillings: TFloatField
      FieldName = 'CTD IC Billings'
    end
    object Case2_CTDfcbillings: TFloatField
      FieldName = 'CTD fc billings'
    end
    object Case2_CTDstbillings: TFloatField
      FieldName = 'CTD st billings'
    end
    object Case2_CTDretbillings: TFloatField
      FieldName = 'CTD ret billings'
    end
    object Case2_CTDfeepayments: TFloatField
      FieldName = 'CTD fee payments'
    end
    object Case2_CTDDCPayments: TFloatField
      FieldName = 'CTD DC Payments'
    end
    object Case2_CTDICPayments: TFloatField
      FieldName = 'CTD IC Payments'
    end
    object Case2_CTDFCPayments: TFloatField
      FieldName = 'CTD FC Payments'
    end
    object Case2_CTDSTPayments: TFloatField
      FieldName = 'CTD ST Payments'
    end
    object Case2_CTDRetPayments: TFloatField
      FieldName = 'CTD Ret Payments'
    end
    object Case2_CTDfeeadjustments: TFloatField
      FieldName = 'CTD fee adjustments'
    end
    object Case2_CTDDCAdjustments: TFloatField
      FieldName = 'CTD DC Adjustments'
    end
    object Case2_CTDICAdjustments: TFloatField
      FieldName = 'CTD IC Adjustments'
    end
    object Case2_CTDFCAdjustments: TFloatField
      FieldName = 'CTD FC Adjustments'
    end
    object Case2_CTDSTAdjustments: TFloatField
      FieldName = 'CTD ST Adjustments'
    end
    object Case2_CTDRetAdjustments: TFloatField
      FieldName = 'CTD Ret Adjustments'
    end
    object Case2_CTDfeeTransfers: TFloatField
      FieldName = 'CTD fee Transfers'
    end
    object Case2_CTDDCTransfers: TFloatField
      FieldName = 'CTD DC Transfers'
    end
    object Case2_CTDICTransfers: TFloatField
      FieldName = 'CTD IC Transfers'
    end
    object Case2_CTDFCTransfers: TFloatField
      FieldName = 'CTD FC Transfers'
    end
    object Case2_CTDSTTransfers: TFloatField
      FieldName = 'CTD ST Transfers'
    end
    object Case2_CTDRetTransfers: TFloatField
      FieldName = 'CTD Ret Transfers'
    end
    object Case2_CTDTrustDebits: TFloatField
      FieldName = 'CTD Trust Debits'
    end
    object Case2_CTDTrustCredits: TFloatField
      FieldName = 'CTD Trust Credits'
    end
    object Case2_CTDfeehours: TFloatField
      FieldName = 'CTD fee hours'
    end
    object Case2_CTDfeewdhours: TFloatField
      FieldName = 'CTD fee wd hours'
    end
    object Case2_CTDfeewuhours: TFloatField
      FieldName = 'CTD fee wu hours'
    end
    object Case2_CaseClient: TStringField
      FieldName = 'CaseClient'
      Size = 14
    end
    object Case2_RJCaseClient: TStringField
      FieldName = 'RJCaseClient'
      Size = 14
    end
  end
  object CaseSave_: TvxBkTable
    DatabaseName = 'vavuz'
    DefaultIndex = False
    ControlType.Strings = (
      'Client Code;CustomEdit;ClientCode')
    ValidateWithMask = True
    Left = 496
    Top = 8
    object CaseSave_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object CaseSave_ClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object CaseSave_CaseSuffix: TStringField
      FieldName = 'Case Suffix'
      Size = 7
    end
    object CaseSave_AlternateID: TStringField
      FieldName = 'Alternate ID'
      Size = 20
    end
    object CaseSave_AltBillingFormat: TStringField
      FieldName = 'Alt Billing Format'
      Size = 3
    end
    object CaseSave_DescriptionLine1: TStringField
      FieldName = 'Description Line 1'
      Size = 50
    end
    object CaseSave_RespAtty1: TStringField
      FieldName = 'Resp Atty 1'
      Size = 4
    end
    object CaseSave_RespAtty2: TStringField
      FieldName = 'Resp Atty 2'
      Size = 4
    end
    object CaseSave_RespAtty3: TStringField
      FieldName = 'Resp Atty 3'
      Size = 4
    end
    object CaseSave_DepartmentCode: TStringField
      FieldName = 'Department Code'
      Size = 2
    end
    object CaseSave_CaseType1: TStringField
      FieldName = 'Case Type 1'
      Size = 2
    end
    object CaseSave_CaseType2: TStringField
      FieldName = 'Case Type 2'
      Size = 2
    end
    object CaseSave_CaseType3: TStringField
      FieldName = 'Case Type 3'
      Size = 2
    end
    object CaseSave_SalesTax: TStringField
      FieldName = 'Sales Tax'
      Size = 1
    end
    object CaseSave_FinanceCharge: TStringField
      FieldName = 'Finance Charge'
      Size = 1
    end
    object CaseSave_StatementMsgCode: TStringField
      FieldName = 'Statement Msg Code'
      Size = 2
    end
    object CaseSave_FeeBCC: TStringField
      FieldName = 'Fee BCC'
      Size = 1
    end
    object CaseSave_CostBCC: TStringField
      FieldName = 'Cost BCC'
      Size = 1
    end
    object CaseSave_CaseStatus1: TStringField
      FieldName = 'Case Status 1'
      Size = 1
    end
    object CaseSave_CaseStatus2: TStringField
      FieldName = 'Case Status 2'
      Size = 1
    end
    object CaseSave_BillingRateCode: TStringField
      FieldName = 'Billing Rate Code'
      Size = 2
    end
    object CaseSave_RetTransferCode: TStringField
      FieldName = 'Ret Transfer Code'
      Size = 1
    end
    object CaseSave_LeftJustCaseSuffix: TStringField
      FieldName = 'LeftJustCaseSuffix'
      Size = 7
    end
    object CaseSave_First10ClientLast: TStringField
      FieldName = 'First 10 Client Last'
      Size = 10
    end
    object CaseSave_ClientCoordAtty: TStringField
      FieldName = 'Client Coord Atty'
      Size = 4
    end
    object CaseSave_Threshhold: TFloatField
      FieldName = 'Threshhold'
    end
    object CaseSave_FeeBudget: TFloatField
      FieldName = 'Fee Budget $'
    end
    object CaseSave_CostBudget: TFloatField
      FieldName = 'Cost Budget $'
    end
    object CaseSave_RetainerMin: TFloatField
      FieldName = 'Retainer Min $'
    end
    object CaseSave_DateOpened: TStringField
      FieldName = 'Date Opened'
      Size = 6
    end
    object CaseSave_DateLastUpdate: TStringField
      FieldName = 'Date Last Update'
      Size = 6
    end
    object CaseSave_DateLastPayment: TStringField
      FieldName = 'Date Last Payment'
      Size = 6
    end
    object CaseSave_DateClosed: TStringField
      FieldName = 'Date Closed'
      Size = 6
    end
    object CaseSave_CTDactfees: TFloatField
      FieldName = 'CTD act fees'
    end
    object CaseSave_CTDfeewd: TFloatField
      FieldName = 'CTD fee wd'
    end
    object CaseSave_CTDfeewu: TFloatField
      FieldName = 'CTD fee wu'
    end
    object CaseSave_CTDdircost: TFloatField
      FieldName = 'CTD dir cost'
    end
    object CaseSave_CTDdircostwd: TFloatField
      FieldName = 'CTD dir cost wd'
    end
    object CaseSave_CTDdircostwu: TFloatField
      FieldName = 'CTD dir cost wu'
    end
    object CaseSave_CTDindirectcost: TFloatField
      FieldName = 'CTD indirect cost'
    end
    object CaseSave_CTDindirectcostwd: TFloatField
      FieldName = 'CTD indirect cost wd'
    end
    object CaseSave_CTDIndirectcostwu: TFloatField
      FieldName = 'CTD Indirect cost wu'
    end
    object CaseSave_CTDfeebillings: TFloatField
      FieldName = 'CTD fee billings'
    end
    object CaseSave_CTDDCBillings: TFloatField
      FieldName = 'CTD DC Billings'
    end
    object CaseSave_CTDICBillings: TFloatField
      FieldName = 'CTD IC Billings'
    end
    object CaseSave_CTDfcbillings: TFloatField
      FieldName = 'CTD fc billings'
    end
    object CaseSave_CTDstbillings: TFloatField
      FieldName = 'CTD st billings'
    end
    object CaseSave_CTDretbillings: TFloatField
      FieldName = 'CTD ret billings'
    end
    object CaseSave_CTDfeepayments: TFloatField
      FieldName = 'CTD fee payments'
    end
    object CaseSave_CTDDCPayments: TFloatField
      FieldName = 'CTD DC Payments'
    end
    object CaseSave_CTDICPayments: TFloatField
      FieldName = 'CTD IC Payments'
    end
    object CaseSave_CTDFCPayments: TFloatField
      FieldName = 'CTD FC Payments'
    end
    object CaseSave_CTDSTPayments: TFloatField
      FieldName = 'CTD ST Payments'
    end
    object CaseSave_CTDRetPayments: TFloatField
      FieldName = 'CTD Ret Payments'
    end
    object CaseSave_CTDfeeadjustments: TFloatField
      FieldName = 'CTD fee adjustments'
    end
    object CaseSave_CTDDCAdjustments: TFloatField
      FieldName = 'CTD DC Adjustments'
    end
    object CaseSave_CTDICAdjustments: TFloatField
      FieldName = 'CTD IC Adjustments'
    end
    object CaseSave_CTDFCAdjustments: TFloatField
      FieldName = 'CTD FC Adjustments'
    end
    object CaseSave_CTDSTAdjustments: TFloatField
      FieldName = 'CTD ST Adjustments'
    end
    object CaseSave_CTDRetAdjustments: TFloatField
      FieldName = 'CTD Ret Adjustments'
    end
    object CaseSave_CTDfeeTransfers: TFloatField
      FieldName = 'CTD fee Transfers'
    end
    object CaseSave_CTDDCTransfers: TFloatField
      FieldName = 'CTD DC Transfers'
    end
    object CaseSave_CTDICTransfers: TFloatField
      FieldName = 'CTD IC Transfers'
    end
    object CaseSave_CTDFCTransfers: TFloatField
      FieldName = 'CTD FC Transfers'
    end
    object CaseSave_CTDSTTransfers: TFloatField
      FieldName = 'CTD ST Transfers'
    end
    object CaseSave_CTDRetTransfers: TFloatField
      FieldName = 'CTD Ret Transfers'
    end
    object CaseSave_CTDTrustDebits: TFloatField
      FieldName = 'CTD Trust Debits'
    end
    object CaseSave_CTDTrustCredits: TFloatField
      FieldName = 'CTD Trust Credits'
    end
    object CaseSave_CTDfeehours: TFloatField
      FieldName = 'CTD fee hours'
    end
    object CaseSave_CTDfeewdhours: TFloatField
      FieldName = 'CTD fee wd hours'
    end
    object CaseSave_CTDfeewuhours: TFloatField
      FieldName = 'CTD fee wu hours'
    end
    object CaseSave_CaseClient: TStringField
      FieldName = 'CaseClient'
      Size = 14
    end
    object CaseSave_RJCaseClient: TStringField
      FieldName = 'RJCaseClient'
      Size = 14
    end
  end
  object CaseDescs_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 592
    Top = 8
    object CaseDescs_autoincrement: TAutoIncField
      FieldName = 'autoincrement'
    end
    object CaseDescs_ClientCode: TStringField
      FieldName = 'ClientCode'
      Size = 7
    end
    object CaseDescs_CaseSuffix: TStringField
      FieldName = 'CaseSuffix'
      Size = 7
    end
    object CaseDescs_DescNum: TStringField
      FieldName = 'DescNum'
      Size = 2
    end
    object CaseDescs_Descr: TStringField
      FieldName = 'Descr'
      Size = 50
    end
  end
  object CaseDescsSave: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 688
    Top = 8
    object CaseDescsSaveautoincrement: TAutoIncField
      FieldName = 'autoincrement'
    end
    object CaseDescsSaveClientCode: TStringField
      FieldName = 'ClientCode'
      Size = 7
    end
    object CaseDescsSaveCaseSuffix: TStringField
      FieldName = 'CaseSuffix'
      Size = 7
    end
    object CaseDescsSaveDescNum: TStringField
      FieldName = 'DescNum'
      Size = 2
    end
    object CaseDescsSaveDescr: TStringField
      FieldName = 'Descr'
      Size = 50
    end
  end
  object CaseAddresses: TvxBkTable
    DatabaseName = 'vavuz'
    AutoCalcFields = False
    ControlType.Strings = (
      'Address Type;CheckBox;S;X'
      'StateZipCountry;CustomEdit;StateZipCountry')
    ValidateWithMask = True
    Left = 16
    Top = 64
    object CaseAddressesClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object CaseAddressesCaseSuffix: TStringField
      FieldName = 'Case Suffix'
      Size = 7
    end
    object CaseAddressesAutoIncr: TAutoIncField
      FieldName = 'AutoIncr'
    end
    object CaseAddressesAddressType: TStringField
      FieldName = 'Address Type'
      Size = 1
    end
    object CaseAddressesName1: TStringField
      FieldName = 'Name1'
      Size = 60
    end
    object CaseAddressesName2: TStringField
      FieldName = 'Name2'
      Size = 60
    end
    object CaseAddressesAddressLine1: TStringField
      FieldName = 'AddressLine1'
      Size = 60
    end
    object CaseAddressesAddressLine2: TStringField
      FieldName = 'AddressLine2'
      Size = 60
    end
    object CaseAddressesCity: TStringField
      FieldName = 'City'
      Size = 30
    end
    object CaseAddressesStateZipCountry: TStringField
      FieldName = 'StateZipCountry'
      Size = 30
    end
    object CaseAddressesPhone1: TStringField
      FieldName = 'Phone1'
      Size = 20
    end
    object CaseAddressesPhone2: TStringField
      FieldName = 'Phone2'
      Size = 20
    end
  end
  object CaseAddrSave: TvxBkTable
    DatabaseName = 'vavuz'
    AutoCalcFields = False
    ControlType.Strings = (
      'Address Type;CheckBox;S;X'
      'StateZipCountry;CustomEdit;StateZipCountry')
    ValidateWithMask = True
    Left = 112
    Top = 64
    object CaseAddrSaveClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object CaseAddrSaveCaseSuffix: TStringField
      FieldName = 'Case Suffix'
      Size = 7
    end
    object CaseAddrSaveAutoIncr: TAutoIncField
      FieldName = 'AutoIncr'
    end
    object CaseAddrSaveAddressType: TStringField
      FieldName = 'Address Type'
      Size = 1
    end
    object CaseAddrSaveName1: TStringField
      FieldName = 'Name1'
      Size = 60
    end
    object CaseAddrSaveName2: TStringField
      FieldName = 'Name2'
      Size = 60
    end
    object CaseAddrSaveAddressLine1: TStringField
      FieldName = 'AddressLine1'
      Size = 60
    end
    object CaseAddrSaveAddressLine2: TStringField
      FieldName = 'AddressLine2'
      Size = 60
    end
    object CaseAddrSaveCity: TStringField
      FieldName = 'City'
      Size = 30
    end
    object CaseAddrSaveStateZipCountry: TStringField
      FieldName = 'StateZipCountry'
      Size = 30
    end
    object CaseAddrSavePhone1: TStringField
      FieldName = 'Phone1'
      Size = 20
    end
    object CaseAddrSavePhone2: TStringField
      FieldName = 'Phone2'
      Size = 20
    end
  end
  object Fee_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 208
    Top = 64
    object Fee_autoinc: TAutoIncField
      FieldName = 'autoinc'
    end
    object Fee_ClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object Fee_CaseSuffix: TStringField
      FieldName = 'Case Suffix'
      Size = 7
    end
    object Fee_Type: TStringField
      FieldName = 'Type'
      Size = 1
    end
    object Fee_TransactionDate: TStringField
      FieldName = 'Transaction Date'
      Size = 6
    end
    object Fee_SubType: TStringField
      FieldName = 'Sub Type'
      Size = 1
    end
    object Fee_EmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object Fee_EntryDate: TStringField
      FieldName = 'Entry Date'
      Size = 6
    end
    object Fee_HNDR: TStringField
      FieldName = 'HNDR'
      Size = 1
    end
    object Fee_GroupCode: TStringField
      FieldName = 'Group Code'
      Size = 2
    end
    object Fee_FixedFee: TStringField
      FieldName = 'Fixed Fee'
      Size = 1
    end
    object Fee_ActualHours: TFloatField
      FieldName = 'Actual Hours'
    end
    object Fee_Actual: TFloatField
      FieldName = 'Actual $'
    end
    object Fee_BillEnpCode: TStringField
      FieldName = 'Bill Enp Code'
      Size = 4
    end
    object Fee_BillableHours: TFloatField
      FieldName = 'Billable Hours'
    end
    object Fee_Billable: TFloatField
      FieldName = 'Billable $'
    end
    object Fee_InvoiceNumber: TStringField
      FieldName = 'Invoice Number'
      Size = 8
    end
    object Fee_SequenceNumber: TStringField
      FieldName = 'Sequence Number'
      Size = 8
    end
  end
  object Bill_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 400
    Top = 64
    object Bill_AutoInc: TAutoIncField
      FieldName = 'AutoInc'
    end
    object Bill_ClientCode: TStringField
      FieldName = 'Client Code'
      Size = 7
    end
    object Bill_CaseSuffix: TStringField
      FieldName = 'Case Suffix'
      Size = 7
    end
    object Bill_Type: TStringField
      FieldName = 'Type'
      Size = 1
    end
    object Bill_TransactionDate: TStringField
      FieldName = 'Transaction Date'
      Size = 6
    end
    object Bill_SysCutDate: TStringField
      FieldName = 'Sys\Cut Date'
      Size = 6
    end
    object Bill_Status: TStringField
      FieldName = 'Status'
      Size = 1
    end
    object Bill_GroupFrozen: TStringField
      FieldName = 'Group\Frozen'
      Size = 2
    end
    object Bill_Fees: TFloatField
      FieldName = 'Fees'
    end
    object Bill_DirectCosts: TFloatField
      FieldName = 'Direct Costs'
    end
    object Bill_IndirectCosts: TFloatField
      FieldName = 'Indirect Costs'
    end
    object Bill_FinanceCharges: TFloatField
      FieldName = 'Finance Charges'
    end
    object Bill_SalesTax: TFloatField
      FieldName = 'Sales Tax'
    end
    object Bill_Retainer: TFloatField
      FieldName = 'Retainer'
    end
    object Bill_InvoiceNumber: TStringField
      FieldName = 'Invoice Number'
      Size = 8
    end
    object Bill_SequenceNumber: TStringField
      FieldName = 'Sequence Number'
      Size = 8
    end
  end
  object OffCodes1_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = OffCodes1_FilterRecord
    Left = 592
    Top = 64
    object OffCodes1_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object OffCodes1_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object OffCodes1_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object OffCodes1_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object OffCodes1_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object OffCodes2_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = OffCodes1_FilterRecord
    Left = 688
    Top = 64
    object OffCodes2_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object OffCodes2_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object OffCodes2_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object OffCodes2_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object OffCodes2_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object ClTypeOne1_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = ClTypeOne1_FilterRecord
    Left = 16
    Top = 120
    object ClTypeOne1_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object ClTypeOne1_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object ClTypeOne1_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object ClTypeOne1_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object ClTypeOne1_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object ClTypeOne2_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = ClTypeOne1_FilterRecord
    Left = 112
    Top = 120
    object ClTypeOne2_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object ClTypeOne2_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object ClTypeOne2_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object ClTypeOne2_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object ClTypeOne2_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object ClTypeTwo1_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = ClTypeOne1_FilterRecord
    Left = 208
    Top = 120
    object ClTypeTwo1_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object ClTypeTwo1_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object ClTypeTwo1_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object ClTypeTwo1_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object ClTypeTwo1_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object ClTypeTwo2_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = ClTypeOne1_FilterRecord
    Left = 304
    Top = 120
    object ClTypeTwo2_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object ClTypeTwo2_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object ClTypeTwo2_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object ClTypeTwo2_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object ClTypeTwo2_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object CaTypeOne1_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = CaTypeOne1_FilterRecord
    Left = 400
    Top = 120
    object CaTypeOne1_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object CaTypeOne1_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object CaTypeOne1_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object CaTypeOne1_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object CaTypeOne1_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object CaTypeOne2_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = CaTypeOne1_FilterRecord
    Left = 496
    Top = 120
    object CaTypeOne2_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object CaTypeOne2_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object CaTypeOne2_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object CaTypeOne2_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object CaTypeOne2_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object CaTypeTwo1_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = CaTypeOne1_FilterRecord
    Left = 592
    Top = 120
    object CaTypeTwo1_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object CaTypeTwo1_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object CaTypeTwo1_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object CaTypeTwo1_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object CaTypeTwo1_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object CaTypeTwo2_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = ClTypeOne1_FilterRecord
    Left = 688
    Top = 120
    object CaTypeTwo2_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object CaTypeTwo2_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object CaTypeTwo2_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object CaTypeTwo2_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object CaTypeTwo2_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object CaTypeThree1_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = CaTypeOne1_FilterRecord
    Left = 16
    Top = 176
    object CaTypeThree1_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object CaTypeThree1_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object CaTypeThree1_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object CaTypeThree1_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object CaTypeThree1_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object CaTypeThree2_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = CaTypeOne1_FilterRecord
    Left = 112
    Top = 176
    object CaTypeThree2_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object CaTypeThree2_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object CaTypeThree2_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object CaTypeThree2_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object CaTypeThree2_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object DeptCodes1_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = DeptCodes1_FilterRecord
    Left = 208
    Top = 176
    object DeptCodes1_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object DeptCodes1_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object DeptCodes1_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object DeptCodes1_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object DeptCodes1_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object DeptCodes2_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = DeptCodes1_FilterRecord
    Left = 304
    Top = 176
    object DeptCodes2_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object DeptCodes2_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object DeptCodes2_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object DeptCodes2_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object DeptCodes2_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object StMsg1_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = StMsg1_FilterRecord
    Left = 400
    Top = 176
    object StMsg1_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object StMsg1_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object StMsg1_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object StMsg1_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object StMsg1_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object StMsg2_: TvxBkTable
    DatabaseName = 'vavuz'
    Filtered = True
    ValidateWithMask = True
    OnCalcFields = OffCodes1_CalcFields
    OnFilterRecord = StMsg1_FilterRecord
    Left = 496
    Top = 176
    object StMsg2_DescCode: TStringField
      FieldKind = fkCalculated
      FieldName = 'DescCode'
      Size = 124
    end
    object StMsg2_code: TStringField
      FieldName = 'code'
      Size = 4
    end
    object StMsg2_typecode: TStringField
      FieldName = 'type code'
      Size = 1
    end
    object StMsg2_Description: TStringField
      FieldName = 'Description'
      Size = 120
    end
    object StMsg2_transactiontype: TStringField
      FieldName = 'transaction type'
      Size = 1
    end
  end
  object RAOne1_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    OnCalcFields = Client1_CalcFields
    Left = 592
    Top = 176
    object RAOne1_LastCommaFirst: TStringField
      FieldKind = fkCalculated
      FieldName = 'LastCommaFirst'
      Size = 37
    end
    object RAOne1_EmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object RAOne1_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object RAOne1_EmployeeFirstName: TStringField
      FieldName = 'Employee First Name'
      Size = 15
    end
    object RAOne1_EmployeeLastName: TStringField
      FieldName = 'Employee Last Name'
      Size = 20
    end
  end
  object RAOne2_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    OnCalcFields = Client1_CalcFields
    Left = 688
    Top = 176
    object RAOne2_LastCommaFirst: TStringField
      FieldKind = fkCalculated
      FieldName = 'LastCommaFirst'
      Size = 37
    end
    object RAOne2_EmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object RAOne2_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object RAOne2_EmployeeFirstName: TStringField
      FieldName = 'Employee First Name'
      Size = 15
    end
    object RAOne2_EmployeeLastName: TStringField
      FieldName = 'Employee Last Name'
      Size = 20
    end
  end
  object RATwo1_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    OnCalcFields = Client1_CalcFields
    Left = 16
    Top = 232
    object RATwo1_LastCommaFirst: TStringField
      FieldKind = fkCalculated
      FieldName = 'LastCommaFirst'
      Size = 37
    end
    object RATwo1_EmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object RATwo1_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object RATwo1_EmployeeFirstName: TStringField
      FieldName = 'Employee First Name'
      Size = 15
    end
    object RATwo1_EmployeeLastName: TStringField
      FieldName = 'Employee Last Name'
      Size = 20
    end
  end
  object RATwo2_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    OnCalcFields = Client1_CalcFields
    Left = 112
    Top = 232
    object RATwo2_LastCommaFirst: TStringField
      FieldKind = fkCalculated
      FieldName = 'LastCommaFirst'
      Size = 37
    end
    object RATwo2_EmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object RATwo2_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object RATwo2_EmployeeFirstName: TStringField
      FieldName = 'Employee First Name'
      Size = 15
    end
    object RATwo2_EmployeeLastName: TStringField
      FieldName = 'Employee Last Name'
      Size = 20
    end
  end
  object RAThree1_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    OnCalcFields = Client1_CalcFields
    Left = 208
    Top = 232
    object RAThree1_LastCommaFirst: TStringField
      FieldKind = fkCalculated
      FieldName = 'LastCommaFirst'
      Size = 37
    end
    object RAThree1_EmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object RAThree1_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object RAThree1_EmployeeFirstName: TStringField
      FieldName = 'Employee First Name'
      Size = 15
    end
    object RAThree1_EmployeeLastName: TStringField
      FieldName = 'Employee Last Name'
      Size = 20
    end
  end
  object RAThree2_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    OnCalcFields = Client1_CalcFields
    Left = 304
    Top = 232
    object RAThree2_LastCommaFirst: TStringField
      FieldKind = fkCalculated
      FieldName = 'LastCommaFirst'
      Size = 37
    end
    object RAThree2_EmployeeCode: TStringField
      FieldName = 'Employee Code'
      Size = 4
    end
    object RAThree2_AutoIncrement: TAutoIncField
      FieldName = 'AutoIncrement'
    end
    object RAThree2_EmployeeFirstName: TStringField
      FieldName = 'Employee First Name'
      Size = 15
    end
    object RAThree2_EmployeeLastName: TStringField
      FieldName = 'Employee Last Name'
      Size = 20
    end
  end
  object TrDesc_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 400
    Top = 232
    object TrDesc_AutoIncr: TAutoIncField
      FieldName = 'AutoIncr'
    end
    object TrDesc_SequenceNumber: TStringField
      FieldName = 'SequenceNumber'
      Size = 8
    end
    object TrDesc_SequenceSuffix: TStringField
      FieldName = 'SequenceSuffix'
      Size = 1
    end
    object TrDesc_Description: TStringField
      FieldName = 'Description'
      Size = 78
    end
  end
  object BatchDesc_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 496
    Top = 232
    object BatchDesc_AutoIncr: TAutoIncField
      FieldName = 'AutoIncr'
    end
    object BatchDesc_SequenceNumber: TStringField
      FieldName = 'SequenceNumber'
      Size = 8
    end
    object BatchDesc_SequenceSuffix: TStringField
      FieldName = 'SequenceSuffix'
      Size = 1
    end
    object BatchDesc_Description: TStringField
      FieldName = 'Description'
      Size = 78
    end
  end
  object Batch_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    BeforeDelete = Batch_BeforeDelete
    OnCalcFields = Batch_CalcFields
    OnNewRecord = Batch_NewRecord
    Left = 592
    Top = 232
    object Batch_Auto: TAutoIncField
      FieldName = 'Auto'
    end
    object Batch_Client: TStringField
      FieldName = 'Client'
      Size = 7
    end
    object Batch_Case: TStringField
      FieldName = 'Case'
      Size = 7
    end
    object Batch_Trtype: TStringField
      FieldName = 'Trtype'
      Size = 1
    end
    object Batch_TrDate: TStringField
      FieldName = 'TrDate'
      Size = 6
    end
    object Batch_SubType: TStringField
      FieldName = 'SubType'
      Size = 1
    end
    object Batch_Aemp: TStringField
      DisplayLabel = 'Empl'
      FieldName = 'Aemp'
      Size = 4
    end
    object Batch_LastTouchDate: TStringField
      FieldName = 'LastTouchDate'
      Size = 6
    end
    object Batch_Hndr: TStringField
      FieldName = 'Hndr'
      Size = 1
    end
    object Batch_Group: TStringField
      FieldName = 'Group'
      Size = 2
    end
    object Batch_OtherCode: TStringField
      FieldName = 'OtherCode'
      Size = 1
    end
    object Batch_AUnits: TFloatField
      DisplayLabel = 'Hrs/Units'
      FieldName = 'AUnits'
      DisplayFormat = '##,##0.00'
    end
    object Batch_ADollars: TFloatField
      FieldName = 'ADollars'
      DisplayFormat = '###,###,##0.00'
    end
    object Batch_Bemp: TStringField
      FieldName = 'Bemp'
      Size = 4
    end
    object Batch_BUnits: TFloatField
      FieldName = 'BUnits'
      DisplayFormat = '##,##0.00'
    end
    object Batch_BDollars: TFloatField
      FieldName = 'BDollars'
      DisplayFormat = '###,###,##0.00'
    end
    object Batch_FeeDollars: TFloatField
      FieldName = 'FeeDollars'
      DisplayFormat = '###,###,##0.00'
    end
    object Batch_DCDollars: TFloatField
      FieldName = 'DCDollars'
      DisplayFormat = '###,###,##0.00'
    end
    object Batch_ICDollars: TFloatField
      FieldName = 'ICDollars'
      DisplayFormat = '###,###,##0.00'
    end
    object Batch_FCDollars: TFloatField
      FieldName = 'FCDollars'
      DisplayFormat = '###,###,##0.00'
    end
    object Batch_STDollars: TFloatField
      FieldName = 'STDollars'
      DisplayFormat = '###,###,##0.00'
    end
    object Batch_RetDollars: TFloatField
      FieldName = 'RetDollars'
      DisplayFormat = '###,###,##0.00'
    end
    object Batch_InvoiceNumber: TStringField
      DisplayLabel = 'Inv. #'
      FieldName = 'InvoiceNumber'
      Size = 8
    end
    object Batch_SeqNumber: TStringField
      FieldName = 'SeqNumber'
      Size = 8
    end
    object Batch_Unassigned: TStringField
      FieldName = 'Unassigned'
      Size = 11
    end
    object Batch_DisplayDate: TStringField
      DisplayLabel = 'Date'
      FieldKind = fkCalculated
      FieldName = 'DisplayDate'
      Size = 8
    end
    object Batch_TransTypeString: TStringField
      DisplayLabel = 'Type'
      FieldKind = fkCalculated
      FieldName = 'TransTypeString'
      Size = 22
    end
    object Batch_DisplayAmount: TFloatField
      DisplayLabel = 'Amount'
      FieldKind = fkCalculated
      FieldName = 'DisplayAmount'
      DisplayFormat = '###,###,##0.00'
    end
    object Batch_DisplayInv: TStringField
      DisplayLabel = 'Invoice'
      FieldKind = fkCalculated
      FieldName = 'DisplayInv'
      Size = 8
    end
  end
  object EmpRates_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 688
    Top = 232
    object EmpRates_EmpCode: TStringField
      FieldName = 'EmpCode'
      Size = 4
    end
    object EmpRates_RateCode: TStringField
      FieldName = 'RateCode'
      Size = 2
    end
    object EmpRates_Rate: TFloatField
      FieldName = 'Rate'
    end
  end
  object GroupRates_: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    Left = 16
    Top = 288
    object GroupRates_TypeOfRate: TStringField
      FieldName = 'TypeOfRate'
      Size = 1
    end
    object GroupRates_Code: TStringField
      FieldName = 'Code'
      Size = 4
    end
    object GroupRates_RGRateGroupcode: TStringField
      FieldName = 'RG Rate/Group code'
      Size = 1
    end
    object GroupRates_RateGroupcode: TStringField
      FieldName = 'Rate/Group code'
      Size = 4
    end
    object GroupRates_FixedFeeSwitch: TStringField
      FieldName = 'FixedFeeSwitch'
      Size = 1
    end
    object GroupRates_RateOrAmount: TFloatField
      FieldName = 'RateOrAmount'
    end
  end
  object Client1Src: TvxDataSource
    DataSet = Client1_
    Left = 592
    Top = 288
  end
  object Client2Src: TvxDataSource
    DataSet = Client2_
    Left = 688
    Top = 288
  end
  object ClientSaveSrc: TvxDataSource
    DataSet = ClientSave_
    Left = 16
    Top = 344
  end
  object Case1Src: TvxDataSource
    DataSet = Case1_
    Left = 112
    Top = 344
  end
  object Case2Src: TvxDataSource
    DataSet = Case2_
    Left = 208
    Top = 344
  end
  object CaseSaveSrc: TvxDataSource
    DataSet = CaseSave_
    Left = 304
    Top = 344
  end
  object CaseDescsSrc: TvxDataSource
    DataSet = CaseDescs_
    Left = 400
    Top = 344
  end
  object CaseDescSaveSrc: TvxDataSource
    DataSet = CaseDescsSave
    Left = 496
    Top = 344
  end
  object CaseAddrSrc: TvxDataSource
    DataSet = CaseAddresses
    Left = 592
    Top = 344
  end
  object CaseAddrSaveSrc: TvxDataSource
    DataSet = CaseAddrSave
    Left = 688
    Top = 344
  end
  object FeeSource: TvxDataSource
    DataSet = Fee_
    Left = 16
    Top = 400
  end
  object BillSource: TvxDataSource
    DataSet = Bill_
    Left = 208
    Top = 400
  end
  object OffCodes1Src: TvxDataSource
    DataSet = OffCodes1_
    Left = 400
    Top = 400
  end
  object OffCodes2Src: TvxDataSource
    DataSet = OffCodes2_
    Left = 496
    Top = 400
  end
  object ClTypeOne1Src: TvxDataSource
    DataSet = ClTypeOne1_
    Left = 592
    Top = 400
  end
  object ClTypeOne2Src: TvxDataSource
    DataSet = ClTypeOne2_
    Left = 688
    Top = 400
  end
  object ClTypeTwo1Src: TvxDataSource
    DataSet = ClTypeTwo1_
    Left = 16
    Top = 456
  end
  object ClTypeTwo2Src: TvxDataSource
    DataSet = ClTypeTwo2_
    Left = 112
    Top = 456
  end
  object CaTypeOne1Src: TvxDataSource
    DataSet = CaTypeOne1_
    Left = 208
    Top = 456
  end
  object CaTypeOne2Src: TvxDataSource
    DataSet = CaTypeOne2_
    Left = 304
    Top = 456
  end
  object CaTypeTwo1Src: TvxDataSource
    DataSet = CaTypeTwo1_
    Left = 400
    Top = 456
  end
  object CaTypeTwo2Src: TvxDataSource
    DataSet = CaTypeTwo2_
    Left = 496
    Top = 456
  end
  object CaTypeThree1Src: TvxDataSource
    DataSet = CaTypeThree1_
    Left = 592
    Top = 456
  end
  object CaTypeThree2Src: TvxDataSource
    DataSet = CaTypeThree2_
    Left = 688
    Top = 456
  end
  object DeptCodes1Src: TvxDataSource
    DataSet = DeptCodes1_
    Left = 16
    Top = 512
  end
  object DeptCodes2Src: TvxDataSource
    DataSet = DeptCodes2_
    Left = 112
    Top = 512
  end
  object StMsg1Src: TvxDataSource
    DataSet = StMsg1_
    Left = 208
    Top = 512
  end
  object StMsg2Src: TvxDataSource
    DataSet = StMsg2_
    Left = 304
    Top = 512
  end
  object RAOne1Src: TvxDataSource
    DataSet = RAOne1_
    Left = 400
    Top = 512
  end
  object RAOne2Src: TvxDataSource
    DataSet = RAOne2_
    Left = 496
    Top = 512
  end
  object RATwo1Src: TvxDataSource
    DataSet = RATwo1_
    Left = 592
    Top = 512
  end
  object RATwo2Src: TvxDataSource
    DataSet = RATwo2_
    Left = 688
    Top = 512
  end
  object RAThree1Src: TvxDataSource
    DataSet = RAThree1_
    Left = 16
    Top = 568
  end
  object RAThree2Src: TvxDataSource
    DataSet = RAThree2_
    Left = 112
    Top = 568
  end
  object TrDescSrc: TvxDataSource
    DataSet = TrDesc_
    Left = 208
    Top = 568
  end
  object DescsSrc: TvxDataSource
    DataSet = BatchDesc_
    Left = 304
    Top = 568
  end
  object BatchSrc: TvxDataSource
    DataSet = Batch_
    Left = 400
    Top = 568
  end
  object EmpRateSrc: TvxDataSource
    DataSet = EmpRates_
    Left = 496
    Top = 568
  end
  object GroupRatesSrc: TvxDataSource
    Left = 304
    Top = 624
  end
end
