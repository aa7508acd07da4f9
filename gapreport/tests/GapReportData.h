// A scratch host data directory for the report's tests: employees, fee and history fee records, the system
// options and report-data records, with the alias VAVUZ pointing at it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "engine/bk/BkSession.h"
#include "gapreport/BFilesU.h"
#include "gapreport/MissingTimeu.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/HostDataDir.h"
#include "tools/mkdemo/MachineRegistryOverride.h"

class TGapReportData {
public:
    TGapReportData()
    {
        static int counter = 0;
        folder_ = (std::filesystem::temp_directory_path() /
                   ("gapreport_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter)))
                          .string();
        std::filesystem::remove_all(folder_);
        dir_ = std::make_unique<THostDataDir>(folder_);
        registry_ = std::make_unique<TMachineRegistryOverride>();
        WriteDemoRegistry(folder_);
        ReadRunDirectories();
        HostDataDirectory = DataDirectory;
    }

    ~TGapReportData()
    {
        ShutdownHostFiles();
        BFilesU::ShutdownHostFiles();
        BkDefaultSession()->SetActive(false);
        dir_.reset();
        registry_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // Ends the directory's own start of the record manager.
    void ReleaseDir() { dir_.reset(); }
    // Ends the machine registry's override once the directories are read: the system's printers are found again.
    void ReleaseRegistry() { registry_.reset(); }

    const std::string& Folder() const { return folder_; }
    THostDataDir& Dir() { return *dir_; }
    std::string Path(const std::string& file) const { return folder_ + "\\" + file; }

    // The files a report reads, empty, and the system options with the date-format letter.
    void MakeReportFiles(const std::string& dateFormat = "M")
    {
        for (const char* file : {"Sysop.qc", "yempl.qf", "fee.qf", "hfee.qf"}) dir_->MakeFile(file);
        THostRecord options = dir_->NewRecord("Sysop.qc");
        options.Set("DateFmt", dateFormat);
        dir_->Insert("Sysop.qc", options);
    }

    void AddEmployee(const std::string& code, const std::string& first, const std::string& last, bool active)
    {
        THostRecord employee = dir_->NewRecord("yempl.qf");
        employee.Set("Employee Code", code).Set("Employee First Name", first).Set("Employee Last Name", last);
        employee.Set("Unassigned", active ? "" : "N");
        dir_->Insert("yempl.qf", employee);
    }

    // A fee record of fee.qf or hfee.qf.
    void AddFee(const std::string& file, const std::string& code, const std::string& type, const std::string& date,
                double hours, const std::string& hndr = "")
    {
        THostRecord fee = dir_->NewRecord(file);
        fee.Set("Client Code", "ACME").Set("Case Suffix", RightJustified("1", 7)).Set("Type", type);
        fee.Set("Transaction Date", date).Set("Employee Code", code).Set("HNDR", hndr);
        fee.SetDecimal("Actual Hours", hours);
        dir_->Insert(file, fee);
    }

    // A report-data record: all timekeepers, no production flag, to the screen.
    THostRecord ReportRequest(const std::string& start, const std::string& end, const std::string& kind)
    {
        THostRecord request = dir_->NewRecord("RD000007.00");
        request.Set("ReportCode", "MT").Set("FileNumberPP", "000").Set("PrintFileName", "MISSTIME");
        request.Set("PrintFileNameS", "NONE (PRINTING TO SCREEN)").Set("PrintSize", "W").Set("PageLength", " 66");
        request.Set("ProdStatus", "N").Set("StartTranDate", start).Set("EndTranDate", end);
        request.Set("StatusCodes", kind);
        return request;
    }

    void WriteReportData(const std::string& file, const THostRecord& request)
    {
        dir_->MakeFile(file);
        dir_->Insert(file, request);
        dir_->CloseFiles();
    }

private:
    std::string folder_;
    std::unique_ptr<THostDataDir> dir_;
    std::unique_ptr<TMachineRegistryOverride> registry_;
};

// A report-data record as the host passes it on the command line: without its autoincrement field.
inline std::string CommandLineRecord(const THostRecord& request)
{
    return request.Bytes().substr(4);
}
