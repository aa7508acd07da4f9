object StartupModule: TStartupModule
  OldCreateOrder = False
  OnCreate = ModuleCreate
  Left = 200
  Top = 120
  Height = 150
  Width = 215
  object Timer1: TTimer
    Enabled = False
    Interval = 25
  end
end
