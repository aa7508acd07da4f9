#include "vxcontrols/vxrich.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "vcl/Forms.h"
#include "vcl/Printers.h"
#include "vxcontrols/vxriched.h"

namespace {

// Decimal margins such as 0.7 land a hair below the thousandths they mean.
LONG Thousandths(double value) { return LONG(std::trunc(value * 1000 + 1e-6)); }

// The dialog opens centred across the screen and a third of the way down.
UINT_PTR CALLBACK CentringHook(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG) return 0;
    RECT bounds;
    GetWindowRect(dialog, &bounds);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

struct TPrinterNames {
    std::string Device, Driver, Port;
};

bool CurrentPrinterNames(TPrinterNames& names)
{
    TPrinter* printer = Printer();
    if (printer->Printers().empty() || printer->PrinterIndex() < 0) return false;
    names.Device = PrinterService()->DeviceName(printer->Printers()[printer->PrinterIndex()]);
    HANDLE handle = nullptr;
    if (!OpenPrinterA(names.Device.data(), &handle, nullptr)) return true;
    DWORD needed = 0;
    GetPrinterA(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed && GetPrinterA(handle, 2, buffer.data(), needed, &needed)) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        if (info->pDriverName) names.Driver = info->pDriverName;
        if (info->pPortName) names.Port = info->pPortName;
    }
    ClosePrinter(handle);
    return true;
}

// Four 16-bit offsets, then driver, device and port, each ended by a zero.
HGLOBAL MakeDeviceNames(const TPrinterNames& names)
{
    const size_t size = names.Driver.size() + names.Device.size() + names.Port.size() + 11;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return nullptr;
    auto* header = static_cast<DEVNAMES*>(GlobalLock(block));
    char* text = reinterpret_cast<char*>(header);
    header->wDriverOffset = 8;
    header->wDeviceOffset = WORD(header->wDriverOffset + names.Driver.size() + 1);
    header->wOutputOffset = WORD(header->wDeviceOffset + names.Device.size() + 1);
    std::memcpy(text + header->wDriverOffset, names.Driver.c_str(), names.Driver.size());
    std::memcpy(text + header->wDeviceOffset, names.Device.c_str(), names.Device.size());
    std::memcpy(text + header->wOutputOffset, names.Port.c_str(), names.Port.size());
    GlobalUnlock(block);
    return block;
}

HGLOBAL CopyDeviceMode(const DEVMODEA* mode)
{
    const size_t size = mode->dmSize + mode->dmDriverExtra;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    std::memcpy(GlobalLock(block), mode, size);
    GlobalUnlock(block);
    return block;
}

// The printer whose system device is the named one becomes the program's printer, with the device mode given.
void SelectPrinter(const std::string& device, const DEVMODEA* mode)
{
    TPrinter* printer = Printer();
    const auto& printers = printer->Printers();
    for (size_t i = 0; i < printers.size(); ++i) {
        if (printers[i] != device && PrinterService()->DeviceName(printers[i]) != device) continue;
        if (Integer(i) != printer->PrinterIndex()) printer->SetPrinterIndex(Integer(i));
        break;
    }
    if (!mode) return;
    if (DEVMODEA* current = printer->DeviceMode())
        std::memcpy(current, mode,
                    std::min<size_t>(mode->dmSize + mode->dmDriverExtra, current->dmSize + current->dmDriverExtra));
    printer->DeviceModeChanged();
}

}  // namespace

void TvxPageSetupDialog::SetRichEdit(TvxCustomRichEdit* richEdit)
{
    richEdit_ = richEdit;
    if (richEdit) richEdit->FreeNotification(this);
}

void TvxPageSetupDialog::Notification(TComponent* component, TOperation operation)
{
    TCommonDialog::Notification(component, operation);
    if (operation == opRemove && component == richEdit_) richEdit_ = nullptr;
}

PAGESETUPDLGA TvxPageSetupDialog::PrepareRecord()
{
    PAGESETUPDLGA record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = Application ? Application->Handle() : nullptr;
    record.hInstance = GetModuleHandleA(nullptr);
    record.lpfnPageSetupHook = &CentringHook;
    record.Flags = PSD_MARGINS | PSD_ENABLEPAGESETUPHOOK;
    if (!richEdit_) return record;
    if (richEdit_->EditWidth() == rewWindowSize) record.Flags |= PSD_DISABLEPAPER;
    record.Flags |= richEdit_->MeasurementUnits() == muCentimeters ? PSD_INHUNDREDTHSOFMILLIMETERS
                                                                    : PSD_INTHOUSANDTHSOFINCHES;
    const TvxPrintMargins* margins = richEdit_->PrintMargins();
    record.rtMargin = RECT{Thousandths(margins->Left()), Thousandths(margins->Top()), Thousandths(margins->Right()),
                           Thousandths(margins->Bottom())};
    TPrinterNames names;
    if (!CurrentPrinterNames(names)) return record;
    record.hDevNames = MakeDeviceNames(names);
    if (const DEVMODEA* mode = Printer()->DeviceMode()) {
        record.hDevMode = CopyDeviceMode(mode);
        if (record.hDevMode && richEdit_->EditWidth() == rewPrinterSize) {
            auto* copy = static_cast<DEVMODEA*>(GlobalLock(record.hDevMode));
            copy->dmFields |= DM_PAPERSIZE;
            copy->dmPaperSize = SmallInt(richEdit_->PaperSize());
            GlobalUnlock(record.hDevMode);
        }
    }
    return record;
}

void TvxPageSetupDialog::Release(PAGESETUPDLGA& record)
{
    if (record.hDevMode) GlobalFree(record.hDevMode);
    if (record.hDevNames) GlobalFree(record.hDevNames);
    record.hDevMode = nullptr;
    record.hDevNames = nullptr;
}

void TvxPageSetupDialog::Accept(PAGESETUPDLGA& record)
{
    if (richEdit_) {
        TvxPrintMargins* margins = richEdit_->PrintMargins();
        margins->SetLeft(record.rtMargin.left / 1000.0);
        margins->SetTop(record.rtMargin.top / 1000.0);
        margins->SetRight(record.rtMargin.right / 1000.0);
        margins->SetBottom(record.rtMargin.bottom / 1000.0);
    }
    const auto* mode = record.hDevMode ? static_cast<const DEVMODEA*>(GlobalLock(record.hDevMode)) : nullptr;
    const Integer paperSize = mode ? mode->dmPaperSize : 0;
    const bool landscape = mode && mode->dmOrientation == DMORIENT_LANDSCAPE;
    if (record.hDevNames) {
        const auto* names = static_cast<const DEVNAMES*>(GlobalLock(record.hDevNames));
        const std::string device = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
        GlobalUnlock(record.hDevNames);
        SelectPrinter(device, mode);
    }
    if (mode) GlobalUnlock(record.hDevMode);
    Release(record);
    if (!mode) return;
    Printer()->SetOrientation(landscape ? poLandscape : poPortrait);
    if (!richEdit_) return;
    richEdit_->SetPaperSize(paperSize);
    richEdit_->ApplyPaperSizeToPrinter();
}

bool TvxPageSetupDialog::ShowDialog(PAGESETUPDLGA& record) { return PageSetupDlgA(&record) != FALSE; }

bool TvxPageSetupDialog::Run()
{
    PAGESETUPDLGA record = PrepareRecord();
    bool accepted = false;
    try {
        accepted = ShowDialog(record);
    } catch (...) {
        Release(record);
        throw;
    }
    if (accepted)
        Accept(record);
    else
        Release(record);
    return accepted;
}
