/* Installs the file printer in a Wine prefix: the PostScript driver with our PPD, a printer on a file port, and makes
   it the default printer. Usage: addprinter <printer name> <PPD path> <port> */
#include <windows.h>
#include <winspool.h>
#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: addprinter <printer name> <PPD path> <port>\n");
        return 2;
    }
    const char* name = argv[1];
    char driverName[] = "dunsys File Printer";

    DRIVER_INFO_3A driver = {0};
    driver.cVersion = 3;
    driver.pName = driverName;
    driver.pDriverPath = (char*)"wineps.drv";
    driver.pDataFile = argv[2];
    driver.pConfigFile = (char*)"wineps.drv";
    driver.pDefaultDataType = (char*)"RAW";
    if (!AddPrinterDriverExA(NULL, 3, (BYTE*)&driver, APD_COPY_ALL_FILES | APD_COPY_FROM_DIRECTORY)) {
        fprintf(stderr, "AddPrinterDriverEx failed: %lu\n", GetLastError());
        return 1;
    }

    PRINTER_INFO_2A printer = {0};
    printer.pPrinterName = (char*)name;
    printer.pPortName = argv[3];
    printer.pDriverName = driverName;
    printer.pPrintProcessor = (char*)"WinPrint";
    printer.pDatatype = (char*)"RAW";
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE handle = AddPrinterA(NULL, 2, (BYTE*)&printer);
    if (!handle && GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
        fprintf(stderr, "AddPrinter failed: %lu\n", GetLastError());
        return 1;
    }
    if (handle) ClosePrinter(handle);

    if (!SetDefaultPrinterA(name)) {
        fprintf(stderr, "SetDefaultPrinter failed: %lu\n", GetLastError());
        return 1;
    }
    return 0;
}
