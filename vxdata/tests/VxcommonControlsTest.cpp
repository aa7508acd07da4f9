// The routines the library's controls share: drawing their buttons, keys, class names, labels and SQL tokens.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/DBTables.h"
#include "db/MemDataSet.h"
#include "db/StringField.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"
#include "vxdata/Vxcommon.h"

namespace {

std::string RectText(const TRect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}
#define EXPECT_RECT(actual, expected) EXPECT_EQ(RectText(actual), RectText(expected))

struct TFreeObject {
    void operator()(TObject* object) const { object->Free(); }
};

std::unique_ptr<TMemDataSet, TFreeObject> MakePeople()
{
    std::unique_ptr<TMemDataSet, TFreeObject> data(new TMemDataSet(nullptr));
    data->FieldDefs()->Add("LastName", ftString, 20);
    data->FieldDefs()->Add("Photo", ftGraphic);
    data->Open();
    data->FieldByName("LastName")->SetDisplayLabel("Last~Name");
    return data;
}

TEST(VxcommonKeys, SearchKeys)
{
    const struct {
        Word key;
        bool search;
    } cases[] = {{VK_BACK, true},  {VK_SPACE, true}, {VK_DELETE, true}, {'0', true},     {'Z', true},
                 {111, true},      {112, false},     {145, false},      {146, true},     {VK_RETURN, false},
                 {VK_LEFT, false}, {VK_TAB, false},  {VK_ESCAPE, false}, {VK_INSERT, false}};
    for (const auto& c : cases) EXPECT_EQ(vxIsSearchKey(c.key), c.search) << c.key;
}

TEST(VxcommonClasses, NamesThroughTheAncestorChain)
{
    EXPECT_TRUE(vxIsClassNamed(TTable::StaticClass(), "ttable"));
    EXPECT_TRUE(vxIsClassNamed(TTable::StaticClass(), "TBDEDataSet"));
    EXPECT_TRUE(vxIsClassNamed(TTable::StaticClass(), "tdbdataset"));
    EXPECT_TRUE(vxIsClassNamed(TMemDataSet::StaticClass(), "TDataSet"));
    EXPECT_FALSE(vxIsClassNamed(TMemDataSet::StaticClass(), "TBDEDataSet"));
    EXPECT_FALSE(vxIsClassNamed(TbkTable::StaticClass(), "TBDEDataSet"));
    EXPECT_FALSE(vxIsClassNamed(nullptr, "TObject"));
}

TEST(VxcommonFields, EngineFieldsAndSearchableTypes)
{
    auto people = MakePeople();
    EXPECT_TRUE(vxIsNonEngineField(people->FieldByName("LastName")));
    TTable table(nullptr);
    TStringField onTable(nullptr);
    onTable.SetFieldName("Code");
    onTable.SetDataSet(&table);
    EXPECT_FALSE(vxIsNonEngineField(&onTable));
    onTable.SetFieldKind(fkCalculated);
    EXPECT_TRUE(vxIsNonEngineField(&onTable));
    EXPECT_TRUE(vxIsCalculatedOrLookup(&onTable));
    onTable.SetDataSet(nullptr);
    EXPECT_FALSE(vxIsNonEngineField(&onTable));

    for (TFieldType type : {ftBytes, ftVarBytes, ftBlob, ftGraphic}) EXPECT_FALSE(vxIsSearchableFieldType(type));
    for (TFieldType type : {ftString, ftInteger, ftMemo, ftDate}) EXPECT_TRUE(vxIsSearchableFieldType(type));
}

TEST(VxcommonFields, LabelsAndTexts)
{
    auto people = MakePeople();
    EXPECT_EQ(vxFieldNameFromLabel(people.get(), "Last Name"), "LastName");
    EXPECT_EQ(vxFieldNameFromLabel(people.get(), "Last~Name"), "LastName");
    EXPECT_EQ(vxFieldNameFromLabel(people.get(), "last name"), "");
    EXPECT_EQ(vxFieldNameFromLabel(people.get(), "Photo"), "Photo");

    TStringList lines;
    lines.SetText("alpha\nBeta\nbeta\n");
    EXPECT_EQ(vxIndexOfText(&lines, "BETA"), 1);
    EXPECT_EQ(vxIndexOfText(&lines, "gamma"), -1);
    EXPECT_EQ(vxScaleForDpi(16, 120), 20);
    EXPECT_EQ(vxMax(3, -4), 3);
    EXPECT_EQ(vxMin(3, -4), -4);
}

TEST(VxcommonSql, Tokens)
{
    const struct {
        std::string text;
        Integer start;
        std::vector<std::string> tokens;
        Integer end;  // the position after the last token
    } cases[] = {
        {" SELECT \"A B\" FROM", 1, {"SELECT", "\"A B\"", "FROM"}, 19},
        {" select \"A B\" from", 1, {"s", "e"}, 4},
        {"A,B", 1, {"A", ",", "B"}, 4},
        {"T.NAME_1,$X", 1, {"T.NAME_1", ",", "$X"}, 12},
        {"'it''s'", 1, {"'it'", "'s'"}, 8},
        {"\tX", 1, {"X"}, 3},
    };
    for (const auto& c : cases) {
        Integer position = c.start;
        std::string token;
        for (const std::string& expected : c.tokens) {
            vxScanSQLToken(c.text, position, token);
            EXPECT_EQ(token, expected) << c.text;
        }
        EXPECT_EQ(position, c.end) << c.text;
    }
    // An open quote, the end of the text and positions outside it give nothing and keep the position.
    for (Integer start : {0, 2, 7}) {
        Integer position = start;
        std::string token = "x";
        vxScanSQLToken(" 'open", position, token);
        EXPECT_EQ(token, "") << start;
    }
    Integer position = 2;
    std::string token;
    vxScanSQLToken(" 'open", position, token);
    EXPECT_EQ(position, 2);
    position = 1;
    vxScanSQLToken("   ", position, token);
    EXPECT_EQ(token, "");
}

class VxcommonDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        bitmap.SetWidth(40);
        bitmap.SetHeight(40);
        bitmap.Canvas()->SetListener(&recorder);
    }
    void TearDown() override { bitmap.Canvas()->SetListener(nullptr); }

    TBitmap bitmap;
    TCanvasRecorder recorder;
};

TEST_F(VxcommonDrawing, EllipsisButton)
{
    const struct {
        Integer buttonState;
        TControlState state;
        UINT edgeFlags;
        Integer x, y;  // the middle dot
    } cases[] = {
        {0, {}, BF_RECT | BF_MIDDLE, 11, 12},
        {2, {}, BF_RECT | BF_MIDDLE | BF_FLAT, 12, 13},
        {2, {csPaintCopy}, BF_RECT | BF_MIDDLE, 12, 13},
    };
    for (const auto& c : cases) {
        recorder.Drawings.clear();
        vxDrawEllipsisButton(bitmap.Canvas(), Rect(4, 5, 20, 21), c.buttonState, true, c.state);
        ASSERT_EQ(DrawingKinds(recorder.Drawings),
                  (std::vector<std::string>{"DrawEdge", "FillRect", "FillRect", "FillRect"}));
        EXPECT_EQ(recorder.Drawings[0].Type, UINT(EDGE_RAISED));
        EXPECT_EQ(recorder.Drawings[0].Flags, c.edgeFlags);
        EXPECT_RECT(recorder.Drawings[0].Rect, Rect(4, 5, 20, 21));
        // 16 pixels wide: dots of side 2, two sides apart.
        EXPECT_RECT(recorder.Drawings[1].Rect, Bounds(c.x - 4, c.y, 2, 2));
        EXPECT_RECT(recorder.Drawings[2].Rect, Bounds(c.x, c.y, 2, 2));
        EXPECT_RECT(recorder.Drawings[3].Rect, Bounds(c.x + 4, c.y, 2, 2));
        EXPECT_EQ(recorder.Drawings[2].BrushColor, clBlack);
    }
    recorder.Drawings.clear();
    vxDrawEllipsisButton(bitmap.Canvas(), Rect(0, 0, 5, 5), 0, true, {});
    EXPECT_RECT(recorder.Drawings[2].Rect, Bounds(1, 2, 1, 1));
}

TEST_F(VxcommonDrawing, ComboArrowButton)
{
    const struct {
        bool pressed, enabled;
        TControlState state;
        UINT flags;
    } cases[] = {
        {false, true, {}, DFCS_SCROLLCOMBOBOX},
        {true, true, {}, DFCS_SCROLLCOMBOBOX | DFCS_PUSHED | DFCS_FLAT},
        {true, true, {csPaintCopy}, DFCS_SCROLLCOMBOBOX},
        {false, false, {}, DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE},
    };
    for (const auto& c : cases) {
        recorder.Drawings.clear();
        vxDrawComboArrowButton(bitmap.Canvas(), Rect(2, 2, 18, 20), c.pressed, c.enabled, c.state);
        ASSERT_EQ(DrawingKinds(recorder.Drawings), std::vector<std::string>{"DrawFrameControl"});
        EXPECT_EQ(recorder.Drawings[0].Type, UINT(DFC_SCROLL));
        EXPECT_EQ(recorder.Drawings[0].Flags, c.flags);
        EXPECT_RECT(recorder.Drawings[0].Rect, Rect(2, 2, 18, 20));
    }
}

TEST_F(VxcommonDrawing, FocusFrameAndLineHeight)
{
    bitmap.Canvas()->Pen()->SetColor(clRed);
    vxDrawFocusFrame(bitmap.Canvas(), Rect(1, 1, 30, 20));
    ASSERT_EQ(DrawingKinds(recorder.Drawings), (std::vector<std::string>{"Rectangle", "DrawFocusRect"}));
    EXPECT_EQ(recorder.Drawings[0].PenColor, clHighlight);
    EXPECT_EQ(recorder.Drawings[0].BrushStyle, bsClear);
    EXPECT_EQ(bitmap.Canvas()->Pen()->Color(), clRed);
    EXPECT_EQ(bitmap.Canvas()->Brush()->Style(), bsSolid);
    EXPECT_EQ(bitmap.Canvas()->Font()->Color(), clHighlight);

    HDC dc = bitmap.Canvas()->Handle();
    TRect measured = Rect(0, 0, 100, 0);
    DrawTextA(dc, " ", 1, &measured, DT_CALCRECT);
    const Integer line = measured.bottom + 2 * GetSystemMetrics(SM_CYBORDER) + 3;
    EXPECT_TRUE(vxIsSingleLineHeight(dc, Rect(0, 0, 100, line), 0));
    EXPECT_FALSE(vxIsSingleLineHeight(dc, Rect(0, 0, 100, line + 1), 0));
}

// Records the key messages a window gets and whether Alt was down in them.
struct TKeyLog {
    UINT Msg;
    WPARAM Key;
    LPARAM Data;
    bool AltDown;
};
std::vector<TKeyLog> keyLog;

LRESULT CALLBACK KeyLogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
        keyLog.push_back({msg, wParam, lParam, GetKeyState(VK_MENU) < 0});
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

TEST(VxcommonKeys, KeyWithModifierArrivesWhileTheModifierIsDown)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = KeyLogProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VxKeyLog";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("VxKeyLog", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    keyLog.clear();
    vxPostKeyWithModifier(window, VK_DOWN, VK_MENU);
    vxPostKeyWithModifier(window, VK_HOME, VK_CONTROL);
    PumpMessages();
    ASSERT_EQ(keyLog.size(), 4u);
    EXPECT_EQ(keyLog[0].Msg, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(keyLog[0].Key, WPARAM(VK_DOWN));
    EXPECT_NE(keyLog[0].Data & (LPARAM(1) << 29), 0);
    EXPECT_EQ(keyLog[0].Data & 0xFFFF, 1);
    EXPECT_TRUE(keyLog[0].AltDown);
    EXPECT_EQ(keyLog[1].Msg, UINT(WM_SYSKEYUP));
    EXPECT_EQ(keyLog[2].Msg, UINT(WM_KEYDOWN));
    EXPECT_EQ(keyLog[2].Data & (LPARAM(1) << 29), 0);
    EXPECT_FALSE(keyLog[2].AltDown);
    EXPECT_EQ(keyLog[3].Msg, UINT(WM_KEYUP));
    // The keyboard state is the real one again.
    EXPECT_GE(GetKeyState(VK_MENU), 0);
    EXPECT_GE(GetKeyState(VK_DOWN), 0);
    DestroyWindow(window);
}

TEST(VxcommonComponents, OwnerForm)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* holder = new TComponent(form.get());
    auto* inner = new TComponent(holder);
    EXPECT_EQ(vxGetOwnerForm(inner), form.get());
    EXPECT_EQ(vxGetOwnerForm(form.get()), form.get());
    TComponent top(nullptr);
    auto* child = new TComponent(&top);
    EXPECT_EQ(vxGetOwnerForm(child), &top);
    EXPECT_EQ(vxGetOwnerForm(nullptr), nullptr);
}

TEST(VxcommonComponents, ReleaseLeftButtonOfTheActiveForm)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBounds(50, 50, 200, 120);
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    std::vector<std::string> released;
    form->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { released.push_back("form"); };
    edit->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { released.push_back("edit"); };
    form->Show();
    ActivateForm(form.get());
    PumpMessages();
    ASSERT_EQ(Screen->ActiveForm(), form.get());
    vxReleaseLeftButton();
    PumpMessages();
    EXPECT_TRUE(released.empty());
    edit->SetControlState({csLButtonDown});
    vxReleaseLeftButton();
    PumpMessages();
    EXPECT_EQ(released, std::vector<std::string>{"edit"});
    form->SetControlState({csLButtonDown});
    vxReleaseLeftButton();
    PumpMessages();
    EXPECT_EQ(released, (std::vector<std::string>{"edit", "form"}));
}

}  // namespace
