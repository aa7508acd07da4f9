// The host layouts and keys of resources/: every layout's shape, the fields the programs address by position, the
// files' keys, and the bytes of one compiled table-definition resource.
#include <gtest/gtest.h>

#include "hostdata/BFilesU2.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/HostFileDefs.h"

namespace {

using Layoutc::TKind;

struct LayoutCase {
    std::string Name;
    size_t Fields;
    int RecordLength;
};

TEST(HostLayouts, EveryLayoutCoversItsRecordFromAnAutoIncrementField)
{
    const LayoutCase cases[] = {
        {"YCLIENT", 22, 393}, {"YCASE", 73, 439},    {"FEES", 18, 80},    {"BILLS", 16, 86},
        {"NOTES", 5, 97},     {"SYSOP1", 70, 504},   {"SIMPLECD", 7, 144}, {"CASEDESC", 5, 70},
        {"TRDESC", 4, 91},    {"PRINT", 13, 97},     {"REPORTDATA", 34, 262}, {"EMP", 12, 74},
    };
    const THostFileDefs& defs = THostFileDefs::Builtin();
    EXPECT_EQ(defs.Layouts().size(), std::size(cases));
    for (const LayoutCase& c : cases) {
        const Layoutc::TLayout& layout = defs.Layout(c.Name);
        EXPECT_EQ(layout.Name, c.Name);
        EXPECT_EQ(layout.Fields.size(), c.Fields) << c.Name;
        EXPECT_EQ(layout.RecordLength, c.RecordLength) << c.Name;
        const Layoutc::TField& first = layout.Fields.front();
        EXPECT_TRUE(first.Kind == TKind::AutoIncrement && first.Offset == 0 && first.Length == 4) << c.Name;
        int end = 0;
        for (const Layoutc::TField& field : layout.Fields) {
            EXPECT_EQ(field.Offset, end) << c.Name << "." << field.Name;
            end = field.Offset + field.Length;
        }
        EXPECT_EQ(end, c.RecordLength) << c.Name;
    }
}

struct FieldCase {
    std::string Layout;
    std::string Field;
    TKind Kind;
    int Decimals;
    int Offset;
    int Length;
};

TEST(HostLayouts, FieldsTheProgramsAddressByPosition)
{
    const FieldCase cases[] = {
        {"YCASE", "CaseClient", TKind::String, 0, 411, 14},
        {"YCASE", "RJCaseClient", TKind::String, 0, 425, 14},
        {"YCASE", "Threshhold", TKind::Decimal, 0, 143, 3},
        {"YCLIENT", "Threshhold", TKind::Decimal, 0, 390, 3},
        {"YCLIENT", "Unassigned", TKind::String, 0, 384, 6},
        {"FEES", "Actual Hours", TKind::Decimal, 2, 40, 4},
        {"FEES", "Billable $", TKind::Decimal, 2, 58, 6},
        {"BILLS", "Sys\\Cut Date", TKind::String, 0, 25, 6},
        {"SYSOP1", "DateFmt", TKind::String, 0, 22, 1},
        {"SYSOP1", "CaseID", TKind::String, 0, 33, 1},
        {"SYSOP1", "UniqueCaseSuffix", TKind::String, 0, 45, 1},
        {"SYSOP1", "AltIDCap", TKind::String, 0, 48, 1},
        {"SYSOP1", "ExitRemind", TKind::String, 0, 356, 1},
        {"PRINT", "DisplayNum", TKind::Integer, 0, 6, 2},
        {"EMP", "Btrieve Hire Date", TKind::Date, 0, 64, 4},
        {"EMP", "Unassigned", TKind::String, 0, 68, 6},
        {"REPORTDATA", "StatusCodes", TKind::String, 0, 204, 6},
    };
    for (const FieldCase& c : cases) {
        const Layoutc::TField& field = FieldOf(THostFileDefs::Builtin().Layout(c.Layout), c.Field);
        EXPECT_EQ(field.Name, c.Field);
        EXPECT_TRUE(field.Kind == c.Kind) << c.Layout << "." << c.Field;
        EXPECT_EQ(field.Decimals, c.Decimals) << c.Layout << "." << c.Field;
        EXPECT_EQ(field.Offset, c.Offset) << c.Layout << "." << c.Field;
        EXPECT_EQ(field.Length, c.Length) << c.Layout << "." << c.Field;
    }
}

TEST(HostLayouts, RecordFileTagsHaveTheirLayoutsRecordLength)
{
    const std::pair<HostFileTag, std::string> tags[] = {
        {HostFileTag::CL, "YCLIENT"}, {HostFileTag::FE, "FEES"},     {HostFileTag::CA, "YCASE"},
        {HostFileTag::EM, "EMP"},     {HostFileTag::SO, "SYSOP1"},   {HostFileTag::BI, "BILLS"},
        {HostFileTag::TB, "SIMPLECD"}, {HostFileTag::CD, "CASEDESC"}, {HostFileTag::NT, "NOTES"},
    };
    for (const auto& [tag, layout] : tags) {
        EXPECT_EQ(HostFileTagInfo(tag).RecordLength, THostFileDefs::Builtin().Layout(layout).RecordLength) << layout;
    }
}

struct FileCase {
    std::string File;
    std::string Layout;
    std::vector<int> Keys;
};

TEST(HostLayouts, EveryHostFileHasItsLayoutAndKeyNumbers)
{
    const FileCase cases[] = {
        {"yclient.qf", "YCLIENT", {0, 1, 3}},  {"CLNTSAVE.QF", "YCLIENT", {0, 1, 3}},
        {"Yclient.clo", "YCLIENT", {0, 1, 3}}, {"ycase.qf", "YCASE", {0, 1, 3, 4, 5, 6}},
        {"CaseSave.qf", "YCASE", {0, 1, 3, 4, 5, 6}}, {"Fee.qf", "FEES", {0, 1, 6}},
        {"HFee.qf", "FEES", {0, 1, 6}},        {"bill.qf", "BILLS", {0, 1, 3}},
        {"HBill.qf", "BILLS", {0, 1, 3}},      {"note.qf", "NOTES", {0, 1}},
        {"sysop.qc", "SYSOP1", {0}},           {"YTable.qf", "SIMPLECD", {0, 3, 4, 5}},
        {"YEmpl.qf", "EMP", {0, 1, 3}},        {"RD123456.00", "REPORTDATA", {0}},
    };
    for (const FileCase& c : cases) {
        const THostFileDef& file = THostFileDefs::Builtin().ForFile(c.File);
        EXPECT_EQ(file.Layout.Name, c.Layout) << c.File;
        std::vector<int> numbers;
        for (const THostKey& key : file.Keys) numbers.push_back(key.Number);
        EXPECT_EQ(numbers, c.Keys) << c.File;
    }
    EXPECT_THROW(THostFileDefs::Builtin().ForFile("RD.00"), Layoutc::ELayoutError);
}

void PutWord(std::string& bytes, int value)
{
    bytes += char(value & 0xFF);
    bytes += char(value >> 8);
}

// number, name, logical type, subtype, units 1, units 2, offset, length, record-manager type and size.
void PutField(std::string& bytes, int number, const std::string& name, std::initializer_list<int> words)
{
    PutWord(bytes, number);
    bytes += char(name.size());
    bytes += name;
    for (int word : words) PutWord(bytes, word);
}

TEST(HostLayouts, TheNotesResourceHoldsTheLayoutsBytes)
{
    std::string expected = "\x05NOTES";
    expected += std::string("0002", 5);
    PutField(expected, 1, "AutoIncrement", {6, 29, 4, 0, 0, 4, 15, 4});
    PutField(expected, 2, "ClientCode", {1, 0, 7, 0, 4, 7, 0, 7});
    PutField(expected, 3, "CaseSuffix", {1, 0, 7, 0, 11, 7, 0, 7});
    PutField(expected, 4, "NoteNumber", {1, 0, 1, 0, 18, 1, 0, 1});
    PutField(expected, 5, "Note", {1, 0, 78, 0, 19, 78, 0, 78});
    expected += std::string("ABCD", 5);

    HRSRC resource = FindResourceA(nullptr, "NOTES", MAKEINTRESOURCEA(10));
    ASSERT_NE(resource, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    EXPECT_EQ(std::string(data, SizeofResource(nullptr, resource)), expected);
}

}  // namespace
