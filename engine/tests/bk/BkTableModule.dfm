object BkTableModule: TBkTableModule
  OldCreateOrder = False
  object Clients: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
    PictureMasks.Strings = (
      'Unassigned'#9'######'#9'F'#9'F')
  end
  object Cases: TvxBkTable
    DatabaseName = 'vavuz'
    ValidateWithMask = True
  end
end
