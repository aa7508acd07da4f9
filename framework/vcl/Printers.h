// The printer: documents and pages drawn on a printer canvas. Printer() is the program's one printer; a test
// installs a TPrinterCapture, which records each page's texts (with positions) and shapes instead of printing,
// and may offer its own printers through the printer service (TScriptedPrinters in vcl/TestSeams.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "rtl/Exceptions.h"
#include "vcl/Graphics.h"

class EPrinter : public Exception { public: using Exception::Exception; };

enum TPrinterOrientation { poPortrait, poLandscape };

struct TPrintedText {
    Integer X = 0, Y = 0;
    std::string Text;
    std::string FontName;
    Integer FontHeight = 0;
    bool Bold = false;
};

struct TPrintedShape {
    std::string Kind;  // the canvas method: "Line", "Rectangle", "FillRect", "FrameRect", "Ellipse", "Draw", ...
    TRect Rect{};      // for a line: from (left, top) to (right, bottom)
};

struct TPrintedPage {
    std::vector<TPrintedText> Texts;
    std::vector<TPrintedShape> Shapes;
    // The texts grouped in lines: by Y from the top, each line's texts by X joined with one blank.
    std::vector<std::string> Lines() const;
};

class TPrinterCapture : public TCanvasListener {
public:
    std::string Title;
    std::vector<TPrintedPage> Pages;
    bool Ended = false;
    bool Aborted = false;

    // Texts go to the page's texts, every other drawing to its shapes.
    void Drawn(const TCanvasDrawing& drawing) override;
};

class TPrinter : public TObject {
    DUN_CLASS(TPrinter, TObject)
public:
    TPrinter();
    ~TPrinter() override;

    void BeginDoc();
    void EndDoc();
    void NewPage();
    void Abort();
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    Integer PageNumber() const { return pageNumber_; }

    TCanvas* Canvas();
    HDC Handle();
    // Printable area in device pixels.
    Integer PageWidth();
    Integer PageHeight();
    TPrinterOrientation Orientation();
    void SetOrientation(TPrinterOrientation orientation);
    Integer Copies() const { return copies_; }
    void SetCopies(Integer copies);
    const std::vector<std::string>& Printers();
    // -1 is the system's default printer.
    Integer PrinterIndex();
    void SetPrinterIndex(Integer index);
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    // The device mode of the current printer (the printer dialogs read and write it); after a change to it,
    // DeviceModeChanged takes its copies and makes the next device context from it.
    DEVMODEA* DeviceMode();
    void DeviceModeChanged();

    // Reads the printer list anew from the printer service and selects the default printer.
    void Refresh();

    // nullptr prints for real; otherwise pages go to the capture (the printer DC still gives the metrics).
    void SetCapture(TPrinterCapture* capture);
    TPrinterCapture* Capture() const { return capture_; }

private:
    class TPrinterCanvas;
    void CheckPrinting(bool printing) const;
    std::string CurrentPrinterName();
    // The system printer the current printer's device context and device mode are made for.
    std::string CurrentDeviceName();
    void OpenDeviceContext();
    void CloseDeviceContext();
    void LoadDeviceMode();

    std::unique_ptr<TPrinterCanvas> canvas_;
    std::vector<std::string> printers_;
    bool printersLoaded_ = false;
    Integer printerIndex_ = -1;
    std::vector<char> deviceMode_;
    HDC dc_ = nullptr;
    bool printing_ = false;
    bool aborted_ = false;
    Integer pageNumber_ = 0;
    Integer copies_ = 1;
    std::string title_;
    TPrinterCapture* capture_ = nullptr;
};

// Where the printer list and the default printer come from: the system's printers (the default) or a test's.
class TPrinterService {
public:
    virtual ~TPrinterService() = default;
    virtual std::vector<std::string> PrinterNames();
    // Empty when there is no default printer.
    virtual std::string DefaultPrinterName();
    // The system printer a listed printer's device context and device mode are made for.
    virtual std::string DeviceName(const std::string& printer) { return printer; }
};

TPrinterService* PrinterService();
// Installs a service (nullptr: the system's printers), refreshes the program's printer and returns the service it
// replaces (nullptr for the system's). The caller keeps ownership.
TPrinterService* SetPrinterService(TPrinterService* service);

// The program's printer, made on first use.
TPrinter* Printer();
// Replaces the program's printer and returns the old one (the caller owns it).
TPrinter* SetPrinter(TPrinter* printer);
