object GadgetModule: TGadgetModule
  OldCreateOrder = False
  OnCreate = ModuleCreate
  OnDestroy = ModuleDestroy
  Left = 192
  Top = 107
  Height = 150
  Width = 215
  object Gadget1: TGadget
    Count = 3
    Letter = 'x'
    Shape = stSquare
    Shapes = [stCircle, stTriangle]
    Ratio = 1.25
    Price = 123450c
    Due = 45000.5d
    Big = 1099511627776
    Caption = 'Fee''s'#9'Budget'
    Enabled = False
    Lines.Strings = (
      'Client Code'#9'10'#9'Client Code'#9'F'
      'Second')
    Buddy = Gadget2
    Items = <
      item
        Width = 10
        Title = 'First'
      end
      item
        Title = 'Second'
      end>
    Font.Name = 'Courier'
    Font.Size = 10
    OnChange = GadgetChange
    OnValidate = GadgetValidate
    Value = 'text'
    Blob = {
      0001FF}
  end
  object Gadget2: TGadget
    Caption = 'Other'
    Items = <>
    OnChange = GadgetChange
  end
end
