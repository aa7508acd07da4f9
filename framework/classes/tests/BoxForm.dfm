object BoxForm: TBoxForm
  Caption = 'Main'
  object Timer1: TGadget
    Caption = 'Timer'
    Items = <>
  end
  object Panel1: TBox
    Caption = 'Outer'
    object Edit1: TBox
      Caption = 'Inner'
    end
    object Edit2: TBox
      Caption = 'Second'
    end
  end
  object Panel2: TBox
  end
end
