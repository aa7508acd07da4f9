inherited DerivedModule: TDerivedModule
  inherited Gadget1: TGadget
    Count = 99
  end
  object Gadget3: TGadget
    Caption = 'Added'
  end
end
