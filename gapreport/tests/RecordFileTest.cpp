// The report's record-file units on a scratch data directory: the numbered file table and keyed reads by kind of
// the program's layer, the older layer with its own slots and texts, and the date-format letter.
#include <string>

#include <gtest/gtest.h>

#include "GapReportData.h"
#include "engine/btrieve/BtrLoad.h"
#include "gapreport/BFilesU.h"
#include "gapreport/ReportBinU.h"
#include "hostdata/BFilesU2.h"
#include "hostdata/tests/RecordFileTestSupport.h"
#include "vcl/TestHelpers.h"

namespace {

constexpr Byte EmployeeFile = 3;

std::string CodeOf(const TDynCharArr& record)
{
    return std::string(record.begin() + 4, record.begin() + 8);
}

class ReportRecordFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        data_.MakeReportFiles("D");
        data_.AddEmployee("AB", "Ann", "Baker", true);
        data_.AddEmployee("CD", "Carl", "Dunn", false);
        data_.AddEmployee("EF", "Eve", "Fry", true);
        data_.Dir().CloseFiles();
    }

    TOVFileStructure& Employees()
    {
        OpenHostFileByNumber(EmployeeFile);
        return *HostFileSlot(EmployeeFile).Structure;
    }

    TScriptedDialogs dialogs_;
    TGapReportData data_;
};

TEST_F(ReportRecordFiles, KeyedReadsByKind)
{
    TOVFileStructure& employees = Employees();
    const struct {
        const char* Key;
        int Kind;
        bool Found;
        const char* Code;
        bool EndOfFile;
    } cases[] = {
        {"CD  ", 0, true, "CD  ", false},  {"CC  ", 0, false, "", false},  {"CD  ", 1, true, "EF  ", false},
        {"CD  ", 2, true, "AB  ", false},  {"CC  ", 3, true, "CD  ", false}, {"CD  ", 3, true, "CD  ", false},
        {"CE  ", 4, true, "CD  ", false},  {"EF  ", 1, false, "", true},    {"AB  ", 2, false, "", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(employees.GetByKey(c.Key, c.Kind), c.Found) << c.Key << " kind " << c.Kind;
        if (c.Found) {
            EXPECT_EQ(CodeOf(employees.GetBuffer()), c.Code) << c.Key << " kind " << c.Kind;
        }
        EXPECT_EQ(employees.GetEndOfFile(), c.EndOfFile) << c.Key << " kind " << c.Kind;
    }
}

TEST_F(ReportRecordFiles, AnUnknownKindReadsNothing)
{
    TOVFileStructure& employees = Employees();
    ASSERT_TRUE(employees.GetByKey("EF  ", 0));
    employees.EndOfFile = true;
    EXPECT_FALSE(employees.GetByKey("AB  ", 7));
    EXPECT_FALSE(employees.GetByKey("AB  ", -1));
    EXPECT_EQ(CodeOf(employees.GetBuffer()), "EF  ");
    EXPECT_TRUE(employees.GetEndOfFile());
}

TEST_F(ReportRecordFiles, ReadsThroughTheStructureFillItsOwnBuffer)
{
    TOVFileStructure& employees = Employees();
    TDynCharArr& buffer = employees.GetBuffer();
    EXPECT_EQ(&buffer, &employees.Buffer);
    std::string codes;
    for (employees.GetFirst(); !employees.GetEndOfFile(); employees.GetNext()) codes += CodeOf(buffer) + "|";
    EXPECT_EQ(codes, "AB  |CD  |EF  |");
}

TEST_F(ReportRecordFiles, TheFileTableOpensOnceAndOnlyItsEntries)
{
    OpenHostFileByNumber(EmployeeFile);
    const TBtrFile& slot = HostFileSlot(EmployeeFile);
    EXPECT_EQ(slot.Path, data_.Folder() + "\\YEmpl.qf");
    ASSERT_TRUE(slot.Structure);
    EXPECT_EQ(slot.Structure->Buffer.size(), 74u);
    EXPECT_EQ(slot.File->KeyNumber(), 1);
    const TWinBtr* file = slot.File.get();
    OpenHostFileByNumber(EmployeeFile);
    EXPECT_EQ(HostFileSlot(EmployeeFile).File.get(), file);

    OpenHostFileByNumber(9);
    EXPECT_EQ(HostFileSlot(9).Path, data_.Folder() + "\\Sysop.qc");
    EXPECT_EQ(HostFileSlot(9).File->KeyNumber(), 0);
    for (Byte n : {0, 13, 16, 21, 99}) {
        OpenHostFileByNumber(n);
        EXPECT_FALSE(IsFileOpen(n)) << int(n);
    }
    EXPECT_TRUE(dialogs_.Shown.empty());
}

TEST_F(ReportRecordFiles, TheDateFormatLetterIsByte23OfTheSystemOptions)
{
    ReadSysopDateFormat();
    EXPECT_EQ(SysopDateFormat, "D");
    EXPECT_FALSE(BFilesU::HostFileSlot(19).File);

    data_.MakeReportFiles("M");
    data_.Dir().CloseFiles();
    ReadSysopDateFormat();
    EXPECT_EQ(SysopDateFormat, "M");

    data_.Dir().MakeFile("Sysop.qc");
    data_.Dir().CloseFiles();
    ReadSysopDateFormat();
    EXPECT_EQ(SysopDateFormat, "");
}

TEST_F(ReportRecordFiles, AMissingSystemOptionsFileFailsTheRead)
{
    std::filesystem::remove(data_.Path("Sysop.qc"));
    const std::string spec = data_.Folder() + "\\sysop.qc";
    EXPECT_EQ(AbortText([] { ReadSysopDateFormat(); }),
              "The file " + spec + " could not be opened.\r\r" + StatusLines(12) + ".");
    EXPECT_FALSE(BFilesU::HostFileSlot(19).File);
}

TEST_F(ReportRecordFiles, TheOlderLayerKeepsItsOwnSlotsAndTexts)
{
    const std::string sysop = data_.Path("Sysop.qc");
    OpenHostFile(19, data_.Path("yempl.qf"), 0);
    BFilesU::OpenHostFile(19, sysop, 0);
    EXPECT_EQ(BFilesU::GetRecordLength(19), 504);
    TDynCharArr record(504);
    bool endOfFile = true;
    BFilesU::GetFirstRecord(19, record, endOfFile, false);
    EXPECT_FALSE(endOfFile);
    EXPECT_EQ(record[22], 'D');
    EXPECT_EQ(HostFileSlot(19).Path, data_.Path("yempl.qf"));

    EXPECT_EQ(AbortText([] { BFilesU::GetRecordLength(7); }), "Filenumber 7 is not valid!");
    EXPECT_EQ(AbortText([&] { BFilesU::OpenHostFile(19, sysop, 0); }), "File already opened as number 19:\r" + sysop);
    // No tags: the whole spec is the path.
    EXPECT_EQ(AbortText([&] { BFilesU::OpenHostFile(20, sysop + ";SO", 0); }),
              "The file " + sysop + ";SO could not be opened.\r\r" + StatusLines(12) + ".");
    EXPECT_FALSE(BFilesU::HostFileSlot(20).File);
    BFilesU::OpenHostFile(21, sysop, 0);
    EXPECT_EQ(BFilesU::HostFileSlot(21).Path, sysop);
    EXPECT_FALSE(BFilesU::HostFileSlot(21).Structure);
}

TEST_F(ReportRecordFiles, NeitherLayerStopsTheRecordManagerUnderTheOther)
{
    data_.ReleaseDir();
    BFilesU::OpenHostFile(19, data_.Path("Sysop.qc"), 0);
    TOVFileStructure& employees = Employees();
    BFilesU::ShutdownHostFiles();
    ASSERT_TRUE(IsBtrieveRequesterLoaded());
    EXPECT_TRUE(employees.GetByKey("EF  ", 0));

    BFilesU::OpenHostFile(19, data_.Path("Sysop.qc"), 0);
    ShutdownHostFiles();
    TDynCharArr record(504);
    bool endOfFile = true;
    BFilesU::GetFirstRecord(19, record, endOfFile, false);
    EXPECT_EQ(record[22], 'D');
}

}  // namespace
