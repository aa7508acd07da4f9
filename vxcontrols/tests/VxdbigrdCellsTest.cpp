// Cells that show a picture from a blob, an image of the grid's image list or a check box: loading pictures from
// blobs (with or without their header, and corrupt ones), the fit modes and raster operations, image numbers in and
// out of the list, both check-box styles, and a grid of such columns painted for real.
#include <cmath>
#include <cstring>
#include <set>
#include <stdexcept>

#include "GridFixture.h"
#include "db/BinaryFields.h"
#include "db/NumericFields.h"
#include "db/StringField.h"
#include "vcl/ImgList.h"
#include "vxdata/Vxintl.h"

namespace {

using Kinds = std::vector<std::string>;

// A .bmp file of a picture in two colours: the left half red, the right half blue.
std::string BitmapFile(Integer width, Integer height)
{
    TBitmap picture;
    picture.SetSize(width, height);
    picture.Canvas()->Brush()->SetColor(clRed);
    picture.Canvas()->FillRect(Rect(0, 0, width, height));
    picture.Canvas()->Brush()->SetColor(clBlue);
    picture.Canvas()->FillRect(Rect(width / 2, 0, width, height));
    TMemoryStream stream;
    picture.SaveToStream(&stream);
    return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

// The 8-byte header some programs put before a picture: 1, 256 and the length of what follows.
std::string PictureHeader(Cardinal length)
{
    std::string header(8, '\0');
    const Word kind = 1, version = 256;
    memcpy(&header[0], &kind, 2);
    memcpy(&header[2], &version, 2);
    memcpy(&header[4], &length, 4);
    return header;
}

std::string WithHeader(const std::string& file) { return PictureHeader(Cardinal(file.size())) + file; }

template <class T>
void PutAt(std::string& bytes, size_t offset, T value)
{
    memcpy(&bytes[offset], &value, sizeof value);
}

// Bitmap files whose headers promise more than the blob holds.
std::string TruncatedPixels() { return BitmapFile(20, 10).substr(0, 200); }
std::string HugeDimensions()
{
    std::string file = BitmapFile(20, 10);
    PutAt<Integer>(file, 18, 100000);
    PutAt<Integer>(file, 22, 100000);
    return file;
}
std::string ColourTablePastTheEnd()
{
    std::string file = BitmapFile(4, 4);
    PutAt<Word>(file, 28, 8);         // 8 bits per pixel ...
    PutAt<Cardinal>(file, 46, 5000);  // ... with a colour table of 5000 entries
    return file;
}

class GridCells : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        grid->OnRowChanged = nullptr;  // its log names people
        grid->SetWriteBackWidths(false);  // columns keep the widths the tests give them
        UseTable([](TGridTable* t) {
            t->FieldDefs()->Add("Id", ftInteger);
            t->FieldDefs()->Add("Picture", ftBlob);
            t->FieldDefs()->Add("Image", ftInteger);
            t->FieldDefs()->Add("Flag", ftString, 3);
            t->FieldDefs()->Add("Ratio", ftFloat);
        });
        ControlTypes({"Picture;Bitmap;Original Size;Source Copy", "Image;ImageIndex;", "Flag;CheckBox;S;X",
                      "Ratio;ImageIndex;"});
        images.SetWidth(16);
        images.SetHeight(16);
        for (TColor colour : {clRed, clLime}) {
            TBitmap image;
            image.SetSize(16, 16);
            image.Canvas()->Brush()->SetColor(colour);
            image.Canvas()->FillRect(Rect(0, 0, 16, 16));
            images.Add(&image, nullptr);
        }
        grid->SetImageList(&images);
        Attach();
    }
    void TearDown() override
    {
        Stop();
        vxIntl()->SetCheckBoxInGridStyle(cbStyleAuto);
        grid->SetImageList(nullptr);
        GridFixture::TearDown();
    }

    void ControlTypes(const std::vector<std::string>& lines)
    {
        TStringList list;
        for (const auto& line : lines) list.Add(line);
        table->SetControlType(&list);
    }
    void AddRow(Integer id, const std::string& picture, const Variant& image, const std::string& flag,
                const Variant& ratio = Variant())
    {
        table->AppendRecord({Variant(id), Variant(picture), image, Variant(flag), ratio});
    }

    // Records what drawing the cell puts on the grid and into the shared drawing bitmap.
    std::vector<TCanvasDrawing> Draw(Integer col, Integer row, TGridDrawState state = {})
    {
        Listen();
        recorder.Drawings.clear();
        grid->DrawCell(col, row, grid->CellRect(col, row), state);
        Stop();
        return recorder.Drawings;
    }
    void Listen()
    {
        grid->Canvas()->SetListener(&recorder);
        vxGridBitmaps().DrawBitmap->Canvas()->SetListener(&recorder);
    }
    void Stop()
    {
        grid->Canvas()->SetListener(nullptr);
        vxGridBitmaps().DrawBitmap->Canvas()->SetListener(nullptr);
    }
    static std::vector<TCanvasDrawing> OfKind(const std::vector<TCanvasDrawing>& drawings, const std::string& kind,
                                              TCanvas* canvas = nullptr)
    {
        std::vector<TCanvasDrawing> found;
        for (const auto& d : drawings)
            if (d.Kind == kind && (!canvas || d.Canvas == canvas)) found.push_back(d);
        return found;
    }
    // The picture column cell of data row 0, 50 x 20 pixels.
    TRect PictureCell()
    {
        grid->SetColWidths(2, 50);
        grid->SetRowHeights(1, 20);
        return grid->CellRect(2, 1);
    }

    TCanvasRecorder recorder;
    TImageList images{nullptr};
};

TEST_F(GridCells, PicturesFromBlobsWithAndWithoutTheirHeader)
{
    const std::string file = BitmapFile(20, 10);
    const struct {
        const char* name;
        std::string blob;
        bool loaded;
    } cases[] = {
        {"plain file", file, true},
        {"valid header", WithHeader(file), true},
        {"header with a wrong length", PictureHeader(Cardinal(file.size() + 1)) + file, false},
        {"header of a wrong kind", PictureHeader(Cardinal(file.size())).replace(0, 1, "\2") + file, false},
        {"exactly a header of nothing", PictureHeader(0), false},
        {"too short for a header", std::string("\1\0\0\1\0", 5), false},
        {"empty", std::string(), false},
        {"garbage", std::string(300, 'x'), false},
        {"pixels cut off", TruncatedPixels(), false},
        {"dimensions beyond the limit", HugeDimensions(), false},
        {"colour table past the end", ColourTablePastTheEnd(), false},
        {"header before pixels cut off", WithHeader(TruncatedPixels()), false},
    };
    Integer id = 0;
    for (const auto& c : cases) AddRow(++id, c.blob, Variant(), "");
    table->First();
    for (const auto& c : cases) {
        TBitmap picture;
        vxLoadBitmapFromBlob(&picture, table->FieldByName("Picture"));
        EXPECT_EQ(!picture.Empty(), c.loaded) << c.name;
        if (c.loaded) {
            EXPECT_EQ(picture.Width() * 100 + picture.Height(), 2010) << c.name;
        }
        table->Next();
    }
    // A field that keeps no blob loads nothing.
    TBitmap picture;
    vxLoadBitmapFromBlob(&picture, table->FieldByName("Flag"));
    EXPECT_TRUE(picture.Empty());
}

TEST_F(GridCells, RasterOperationsByName)
{
    const struct {
        const char* name;
        TCopyMode mode;
    } cases[] = {
        {"Source Copy", SRCCOPY},       {"Source Paint", SRCPAINT},           {"Source And", SRCAND},
        {"Source Invert", SRCINVERT},   {"Source Erase", SRCERASE},           {"Not Source Copy", NOTSRCCOPY},
        {"Not Source Erase", NOTSRCERASE}, {"Merge Paint", MERGEPAINT},       {"source and", SRCCOPY},
        {"Source And ", SRCCOPY},       {"", SRCCOPY},                        {"Pattern Copy", SRCCOPY},
    };
    for (const auto& c : cases) EXPECT_EQ(vxRasterOpByName(c.name), c.mode) << c.name;
}

TEST_F(GridCells, FitModesCropInsteadOfSqueezing)
{
    const struct {
        const char* fitMode;
        Integer width, height;  // of the picture, in a cell of 50 x 20
        const char* kind;       // what draws it: "CopyRect", "StretchDraw" or nothing
        TRect dest, source;     // relative to the cell's top left
    } cases[] = {
        {"Original Size", 80, 10, "CopyRect", Rect(1, 1, 50, 11), Rect(0, 0, 49, 10)},
        {"Original Size", 10, 30, "CopyRect", Rect(1, 1, 11, 20), Rect(0, 0, 10, 19)},
        {"Stretch To Fit", 80, 10, "StretchDraw", Rect(0, 0, 50, 20), TRect{}},
        // 40 x 10 becomes 80 wide at full height: its left 25 columns fill the cell.
        {"Fit Height", 40, 10, "CopyRect", Rect(1, 0, 50, 19), Rect(0, 0, 25, 10)},
        {"Fit Height", 10, 20, "CopyRect", Rect(1, 0, 10, 19), Rect(0, 0, 10, 20)},
        {"Fit Height", 2, 20, nullptr, TRect{}, TRect{}},
        // 10 x 10 becomes 50 high at full width: its top 4 rows fill the cell.
        {"Fit Width", 10, 10, "CopyRect", Rect(1, 0, 50, 19), Rect(0, 0, 10, 4)},
        {"Fit Width", 100, 20, "CopyRect", Rect(1, 0, 50, 9), Rect(0, 0, 100, 20)},
        {"Fit Width", 100, 4, nullptr, TRect{}, TRect{}},
        {"Centred", 10, 10, nullptr, TRect{}, TRect{}},
    };
    AddRow(1, "", Variant(), "");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fitMode) + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
        table->Edit();
        table->FieldByName("Picture")->SetAsString(BitmapFile(c.width, c.height));
        table->Post();
        ControlTypes({std::string("Picture;Bitmap;") + c.fitMode + ";Source And"});
        const TRect cell = PictureCell();
        ASSERT_EQ(RectText(cell), RectText(Bounds(cell.left, cell.top, 50, 20)));
        const std::vector<TCanvasDrawing> drawn = Draw(2, 1);
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn[0].Kind, "ExtTextOut");  // the background first
        const auto copies = OfKind(drawn, "CopyRect", grid->Canvas());
        const auto stretches = OfKind(drawn, "StretchDraw", grid->Canvas());
        if (!c.kind) {
            EXPECT_TRUE(copies.empty() && stretches.empty());
            continue;
        }
        const auto& shown = std::string(c.kind) == "CopyRect" ? copies : stretches;
        ASSERT_EQ(copies.size() + stretches.size(), 1u);
        ASSERT_EQ(shown.size(), 1u);
        TRect dest = c.dest;
        OffsetRect(&dest, cell.left, cell.top);
        EXPECT_RECT(shown[0].Rect, dest);
        if (shown[0].Kind == "CopyRect") {
            EXPECT_RECT(shown[0].SourceRect, c.source);
        }
        EXPECT_EQ(shown[0].CopyMode, TCopyMode(SRCAND));
        EXPECT_EQ(grid->Canvas()->CopyMode(), TCopyMode(SRCCOPY));
    }
}

TEST_F(GridCells, PicturesOfAnInsertedRecordAndOfLookupFields)
{
    const std::string file = BitmapFile(30, 12);
    // The record being inserted shows no picture yet; the others do.
    AddRow(1, file, Variant(), "");
    table->First();
    table->Insert();
    table->FieldByName("Picture")->SetAsString(file);
    const Integer inserted = grid->DataLink()->ActiveRecord();
    const Integer other = inserted == 0 ? 1 : 0;
    EXPECT_TRUE(OfKind(Draw(2, inserted + 1), "CopyRect").empty());
    EXPECT_EQ(OfKind(Draw(2, other + 1), "CopyRect").size(), 1u);
    EXPECT_EQ(grid->DataLink()->ActiveRecord(), inserted);
    table->Cancel();

    // A lookup field shows the picture of the lookup record its key finds.
    auto* logos = new TMemDataSet(nullptr);
    logos->FieldDefs()->Add("Code", ftInteger);
    logos->FieldDefs()->Add("Logo", ftBlob);
    logos->Open();
    logos->AppendRecord({Variant(7), Variant(file)});
    UseTable([&](TGridTable* t) {
        t->FieldDefs()->Add("Id", ftInteger);
        t->FieldDefs()->Add("Code", ftInteger);
        for (const char* name : {"Id", "Code"}) {
            auto* field = CreateObject<TIntegerField>(t);
            field->SetFieldName(name);
            field->SetDataSet(t);
        }
        auto* logo = CreateObject<TStringField>(t);
        logo->SetFieldName("CodeLogo");
        logo->SetSize(10);
        logo->SetFieldKind(fkLookup);
        logo->SetLookupDataSet(logos);
        logo->SetKeyFields("Code");
        logo->SetLookupKeyFields("Code");
        logo->SetLookupResultField("Logo");
        logo->SetDataSet(t);
    });
    ControlTypes({"CodeLogo;Bitmap;Stretch To Fit;Source Copy"});
    table->AppendRecord({Variant(1), Variant(7)});
    table->AppendRecord({Variant(2), Variant(8)});
    table->First();
    grid->LayoutChanged();
    PumpMessages();
    std::vector<TCanvasDrawing> drawn = Draw(3, 1);
    EXPECT_EQ(OfKind(drawn, "StretchDraw").size(), 1u);
    EXPECT_TRUE(OfKind(drawn, "DrawText").empty());
    // A key the lookup table lacks: the background only.
    drawn = Draw(3, 2);
    EXPECT_EQ(DrawingKinds(OfKind(drawn, "ExtTextOut")), Kinds{"ExtTextOut"});
    EXPECT_TRUE(OfKind(drawn, "StretchDraw").empty());
    EXPECT_TRUE(OfKind(drawn, "DrawText").empty());
    // A closed lookup table: the background, and no message while painting.
    logos->Close();
    drawn = Draw(3, 1);
    EXPECT_EQ(DrawingKinds(OfKind(drawn, "ExtTextOut")), Kinds{"ExtTextOut"});
    EXPECT_TRUE(OfKind(drawn, "StretchDraw").empty());
    EXPECT_TRUE(dialogs.Shown.empty());
    source->SetDataSet(nullptr);
    table->Close();
    logos->Free();
}

// The colour of the cell's middle on the screen.
TColor MiddleColour(TTestGrid* grid, Integer col, Integer row)
{
    const TRect cell = grid->CellRect(col, row);
    return grid->Canvas()->Pixels((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
}

TEST_F(GridCells, ImagesByTheFieldsNumber)
{
    // Images: 0 red, 1 green; the Ratio column's numbers are cut to whole ones.
    const struct {
        Variant image, ratio;
        TColor imageColour, ratioColour;
    } cases[] = {
        {Variant(0), Variant(1.7), clRed, clLime},
        {Variant(1), Variant(0.2), clLime, clRed},
        {Variant(-1), Variant(-0.5), clWhite, clWhite},
        {Variant(2), Variant(2.0), clWhite, clWhite},      // at the list's count
        {Variant(), Variant(), clWhite, clWhite},          // null
        {Variant(1000), Variant(1e30), clWhite, clWhite},  // far beyond; too large for a number of the list
        {Variant(0), Variant(std::nan("")), clRed, clWhite},
    };
    Integer id = 0;
    for (const auto& c : cases) AddRow(++id, "", c.image, "", c.ratio);
    table->First();
    grid->SetColWidths(3, 40);
    grid->SetColWidths(5, 40);
    for (Integer i = 0; i < Integer(std::size(cases)); ++i) {
        const Integer row = i + 1;
        grid->DrawCell(3, row, grid->CellRect(3, row), {});
        grid->DrawCell(5, row, grid->CellRect(5, row), {});
        EXPECT_EQ(MiddleColour(grid, 3, row), cases[i].imageColour) << i;
        EXPECT_EQ(MiddleColour(grid, 5, row), cases[i].ratioColour) << i;
    }
    // The image stands in the middle of the cell, its part within the cell's margins copied.
    const TRect cell = grid->CellRect(3, 1);
    const Integer width = cell.right - cell.left, height = cell.bottom - cell.top;
    std::vector<TCanvasDrawing> drawn = Draw(3, 1);
    auto copies = OfKind(drawn, "CopyRect", grid->Canvas());
    ASSERT_EQ(copies.size(), 1u);
    const TRect target = Bounds(cell.left + 12, std::max(cell.top, (cell.top + cell.bottom - 16) / 2), 16,
                                std::min(16, height));
    EXPECT_RECT(copies[0].Rect, target);
    EXPECT_RECT(copies[0].SourceRect, Rect(0, 0, std::min(width - 2, 16), std::min(height - 2, 16)));
    // Shrunk to fit, the whole image is stretched into that place.
    ControlTypes({"Image;ImageIndex;Shrink To Fit"});
    drawn = Draw(3, 1);
    ASSERT_EQ(OfKind(drawn, "StretchDraw").size(), 1u);
    EXPECT_RECT(OfKind(drawn, "StretchDraw")[0].Rect, target);
    // Without an image list the cell shows its background (a white one has no 3-D lines).
    grid->SetImageList(nullptr);
    EXPECT_EQ(DrawingKinds(Draw(3, 1)), Kinds{"ExtTextOut"});
}

TEST_F(GridCells, CheckBoxesInBothStyles)
{
    AddRow(1, "", Variant(), "s");    // checked: compared without regard to case
    AddRow(2, "", Variant(), "X");
    AddRow(3, "", Variant(), "S ");  // not quite the checked value
    table->First();
    TCanvas* bitmapCanvas = vxGridBitmaps().DrawBitmap->Canvas();
    const TColor grey = TColor(RGB(128, 128, 128));
    const struct {
        TvxCheckBoxInGridStyle style;
        bool readOnly;
        Integer row;
        size_t lines;       // lines of the box, mark included
        TColor fill, firstLine, secondLine, mark;
    } cases[] = {
        {cbStyleXmark, false, 1, 14, clWindow, clBlack, clGrayText, clBlack},
        {cbStyleXmark, false, 2, 8, clWindow, clBlack, clGrayText, clNone},
        {cbStyleXmark, true, 1, 14, clWindow, clBlack, clGrayText, clBlack},  // crosses know no read-only
        {cbStyleCheckmark, false, 1, 15, clWindow, clBlack, cl3DLight, clBlack},
        {cbStyleCheckmark, false, 2, 8, clWindow, clBlack, cl3DLight, clNone},
        {cbStyleCheckmark, false, 3, 8, clWindow, clBlack, cl3DLight, clNone},
        {cbStyleCheckmark, true, 1, 15, clInactiveBorder, clBlack, cl3DLight, clInactiveCaption},
        {cbStyleCheckmark, true, 2, 8, clInactiveBorder, clBlack, cl3DLight, clNone},
        {cbStyleAuto, false, 1, 15, clWindow, clBlack, cl3DLight, clBlack},  // new-style controls: check marks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.style) + (c.readOnly ? " read-only " : " ") + std::to_string(c.row));
        vxIntl()->SetCheckBoxInGridStyle(c.style);
        TStringList selected;
        if (c.readOnly) selected.Add("Flag\t3\tFlag\tT");
        grid->SetSelected(&selected);
        const TRect cell = grid->CellRect(4, c.row);
        const TRect box = Bounds((cell.left + cell.right - 10) / 2, (cell.top + cell.bottom - 10) / 2, 10, 10);
        const std::vector<TCanvasDrawing> drawn = Draw(4, c.row);
        const auto fills = OfKind(drawn, "FillRect", bitmapCanvas);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_RECT(fills[0].Rect, box);
        EXPECT_EQ(fills[0].BrushColor, c.fill);
        const auto lines = OfKind(drawn, "Line", bitmapCanvas);
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_EQ(lines[0].PenColor, c.firstLine);
        EXPECT_RECT(lines[0].Rect, Rect(box.right - 1, box.top, box.left, box.top));
        EXPECT_EQ(lines[2].PenColor, c.secondLine);
        EXPECT_EQ(lines[4].PenColor, clWhite);
        EXPECT_EQ(lines[6].PenColor, grey);
        if (c.lines > 8) {
            EXPECT_EQ(lines[8].PenColor, c.mark);
        }
        // The box goes to the grid with its frame, in one piece.
        const auto copies = OfKind(drawn, "CopyRect", grid->Canvas());
        ASSERT_EQ(copies.size(), 1u);
        const TRect area = Rect(box.left - 1, box.top - 1, box.right + 2, box.bottom + 2);
        EXPECT_RECT(copies[0].Rect, area);
        EXPECT_RECT(copies[0].SourceRect, area);
        EXPECT_EQ(copies[0].CopyMode, TCopyMode(SRCCOPY));
    }
}

// A multi-select grid that counts the records of some ids as selected.
class TSelectingGrid : public TTestGrid {
public:
    using TTestGrid::TTestGrid;
    std::set<Integer> SelectedIds;

protected:
    bool IsCurrentRecordSelected() override
    {
        return SelectedIds.count(DataLink()->DataSet()->FieldByName("Id")->AsInteger()) > 0;
    }
};

TEST_F(GridCells, TheSelectedColumnShowsWhichRecordsAreSelected)
{
    UseTable([](TGridTable* t) {
        t->FieldDefs()->Add("Id", ftInteger);
        auto* id = CreateObject<TIntegerField>(t);
        id->SetFieldName("Id");
        id->SetDataSet(t);
        auto* selected = CreateObject<TStringField>(t);
        selected->SetFieldName("SELECTED");
        selected->SetFieldKind(fkCalculated);
        selected->SetDataSet(t);
    });
    ControlTypes({"SELECTED;CheckBox;Y;N"});
    for (Integer id = 1; id <= 3; ++id) table->AppendRecord({Variant(id)});
    table->First();
    delete grid;
    auto* selecting = new TSelectingGrid(form);
    grid = selecting;
    grid->SetParent(form);
    grid->SetBounds(8, 8, 420, 200);
    Attach();
    selecting->SelectedIds = {2};
    TCanvas* bitmapCanvas = vxGridBitmaps().DrawBitmap->Canvas();
    for (Integer row = 1; row <= 3; ++row)
        EXPECT_EQ(OfKind(Draw(2, row), "Line", bitmapCanvas).size(), row == 2 ? 15u : 8u) << row;
}

TEST_F(GridCells, CellLinesAndTheActiveRecordAroundControlCells)
{
    AddRow(1, BitmapFile(30, 12), Variant(0), "S");
    AddRow(2, BitmapFile(30, 12), Variant(1), "X");
    table->First();
    TColor cellColour = clYellow;
    std::vector<Integer> ids;
    grid->OnCalcCellColors = [&](TObject*, TField* field, TGridDrawState, bool, TFont*, TBrush* brush) {
        ids.push_back(field->DataSet()->FieldByName("Id")->AsInteger());
        if (cellColour == clNone) throw std::runtime_error("colours");
        brush->SetColor(cellColour);
    };
    // Each kind of control cell reads its own row and gets its 3-D lines, unless the event paints it white.
    for (Integer col : {2, 3, 4}) {
        cellColour = clYellow;
        ids.clear();
        EXPECT_EQ(OfKind(Draw(col, 2), "Line", grid->Canvas()).size(), 4u) << col;
        EXPECT_EQ(ids, std::vector<Integer>{2}) << col;
        cellColour = clWhite;
        EXPECT_TRUE(OfKind(Draw(col, 2), "Line", grid->Canvas()).empty()) << col;
    }
    // An event that raises leaves the active record as it was.
    cellColour = clNone;
    const Integer active = grid->DataLink()->ActiveRecord();
    EXPECT_THROW(grid->DrawCell(3, 2, grid->CellRect(3, 2), {}), std::runtime_error);
    EXPECT_EQ(grid->DataLink()->ActiveRecord(), active);
    EXPECT_EQ(table->FieldByName("Id")->AsInteger(), 1);
    grid->OnCalcCellColors = nullptr;

    // A highlighted picture gets a highlight frame instead of the lines.
    grid->SetOptions(grid->Options() + TvxDBGridOptions{dgAlwaysShowSelection});
    const std::vector<TCanvasDrawing> drawn = Draw(2, 1, {gdSelected});
    const auto frames = OfKind(drawn, "FrameRect");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].BrushColor, clHighlight);
    EXPECT_RECT(frames[0].Rect, grid->CellRect(2, 1));
    EXPECT_TRUE(OfKind(drawn, "Line").empty());
}

TEST_F(GridCells, AGridOfPicturesImagesAndCheckBoxesPaints)
{
    const std::string file = BitmapFile(40, 16);
    const std::vector<std::string> blobs = {file, WithHeader(file), TruncatedPixels(), HugeDimensions(),
                                            std::string(50, '\x7f'), ColourTablePastTheEnd(), PictureHeader(0), ""};
    for (Integer i = 0; i < Integer(blobs.size()); ++i)
        AddRow(i + 1, blobs[size_t(i)], i % 3 == 2 ? Variant() : Variant(i % 2), i % 2 ? "x" : "S", Variant(i * 0.6));
    ControlTypes({"Picture;Bitmap;Fit Height;Source Copy", "Image;ImageIndex;", "Flag;CheckBox;S;X",
                  "Ratio;ImageIndex;Shrink To Fit"});
    table->First();
    grid->LayoutChanged();
    grid->SetFocus();
    PumpMessages();
    TypeKey(VK_DOWN);
    TypeKey(VK_RIGHT);
    TypeKey(VK_RIGHT);
    Listen();
    recorder.Drawings.clear();
    grid->Repaint();
    PumpMessages();
    Stop();
    EXPECT_TRUE(dialogs.Shown.empty());
    // The good pictures are drawn, the corrupt ones leave their cells' background.
    std::set<Integer> pictureTops;
    for (const auto& d : OfKind(recorder.Drawings, "CopyRect", grid->Canvas()))
        if (d.Rect.left == grid->CellRect(2, 1).left + 1) pictureTops.insert(d.Rect.top);
    EXPECT_EQ(pictureTops, (std::set<Integer>{grid->CellRect(2, 1).top, grid->CellRect(2, 2).top}));
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdbigrd-control-cells.png"));
    // Crosses, and greyed check marks in a read-only column.
    vxIntl()->SetCheckBoxInGridStyle(cbStyleXmark);
    grid->Repaint();
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdbigrd-control-cells-crosses.png"));
    vxIntl()->SetCheckBoxInGridStyle(cbStyleCheckmark);
    TStringList readOnly;
    readOnly.Add("Flag\t4\tFlag\tT");
    grid->SetSelected(&readOnly);
    grid->Repaint();
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdbigrd-control-cells-read-only.png"));
}

}  // namespace
