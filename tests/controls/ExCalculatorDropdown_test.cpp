#include "controls/ExCalculatorDropdown.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct CalcFixture : ::testing::Test {
    TForm form{nullptr};
    TExCalculatorDropdown* calc = nullptr;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 100);
        calc = new TExCalculatorDropdown(&form);
        calc->SetParent(&form);
        calc->SetBounds(10, 10, 200, 21);
        form.Show();
    }
    int IndexOf(const String& Caption) {
        TButtonItems& keys = calc->ButtonPanel()->Buttons();
        for (int i = 0; i < keys.Count(); ++i)
            if (keys.Items(i)->Caption == Caption) return i;
        return -1;
    }
    // Keys separated by blanks: "1 2 + 3 =".
    void Press(const String& Keys) {
        size_t start = 0;
        while (start < Keys.size()) {
            size_t end = Keys.find(u' ', start);
            if (end == String::npos) end = Keys.size();
            const int i = IndexOf(Keys.substr(start, end - start));
            ASSERT_GE(i, 0);
            calc->CalcButtonClick(i);
            start = end + 1;
        }
    }
};

TEST_F(CalcFixture, KeypadSequences) {
    struct Case {
        const char16_t* keys;
        const char16_t* display;
    };
    const Case cases[] = {
        {u"1 2 + 3 =", u"15.00"},
        {u"1 2 + 3 +", u"15.00"},
        {u"5 + +", u"10.00"},
        {u"2 0 0 + 1 0 %", u"20.00"},
        {u"2 0 0 + 1 0 % =", u"220.00"},
        {u"5 / 0 =", u"Error"},
        {u"5 / 0 = 7", u"7.00"},
        {u"1 2 . 4 5 6", u"12.46"},
        {u"1 2 Back", u"1.00"},
        {u"1 2 + Back", u"12.00"},
        {u"9 sqrt", u"3.00"},
        {u"4 1/x", u"0.25"},
        {u"0 1/x", u"Error"},
        {u"4 +/- sqrt", u"Error"},
        {u"7 MS C MR", u"7.00"},
        {u"7 MS 2", u"72.00"},
        {u"7 MS C 2 M+ C MR", u"9.00"},
        {u"5 / 0 = MS 3 MR", u"0.00"},
        {u"5 / 0 = + 2 =", u"2.00"},
        {u"8 - 3 * 2 =", u"10.00"},
    };
    for (const Case& c : cases) {
        Press(u"C");
        Press(u"MC");
        Press(c.keys);
        EXPECT_EQ(calc->GetText(), String(c.display)) << StringToUtf8(c.keys);
    }
}

TEST_F(CalcFixture, MaxLengthStopsDigitsSignAndPointWithoutMarkingModified) {
    calc->SetMaxLength(3);
    calc->SetTextValue(u"1");  // 1.00: four characters
    ASSERT_FALSE(calc->GetModified());
    Press(u"5 +/- .");
    EXPECT_EQ(calc->GetText(), u"1.00");
    EXPECT_FALSE(calc->GetModified());
}

TEST_F(CalcFixture, TypedCalculatorKeysWithThePopupClosed) {
    calc->SetFocus();
    calc->SetTextValue(u"12");
    SimulateText(u"+");
    EXPECT_EQ(calc->GetText(), u"12.00") << "the operator types nothing";
    SimulateText(u"3");
    EXPECT_EQ(calc->GetText(), u"3.00");
    EXPECT_EQ(calc->SelStart(), 1) << "further digits go before the decimal point";
    SimulateText(u"4");
    EXPECT_EQ(calc->GetText(), u"34.00");
    calc->CalcResult();
    EXPECT_EQ(calc->GetText(), u"46.00");
    SimulateText(u"c");
    EXPECT_EQ(calc->GetText(), u"0.00");
    EXPECT_DOUBLE_EQ(calc->Value(), 0);
    calc->SetValue(2.5);
    EXPECT_EQ(calc->GetText(), u"2.50");
    calc->SetShowThousandSeparator(true);
    calc->SetValue(1234567);
    EXPECT_EQ(calc->GetText(), u"1,234,567.00");
    EXPECT_DOUBLE_EQ(calc->Value(), 1234567);
}

TEST_F(CalcFixture, KeyRectanglesFor216By166) {
    TCustomButtonPanel panel(nullptr);
    panel.SetBounds(0, 0, 216, 166);
    panel.CreateCalculatorButtons();
    auto rect = [&](int i) {
        TRect r;
        panel.GetButtonRect(i, r);
        return r;
    };
    EXPECT_EQ(rect(0), Bounds(8, 8, 32, 29));     // the unlabelled key
    EXPECT_EQ(rect(1), Bounds(44, 8, 51, 29));    // Back
    EXPECT_EQ(rect(2), Bounds(99, 8, 51, 29));    // CE
    EXPECT_EQ(rect(3), Bounds(154, 8, 51, 29));   // C
    EXPECT_EQ(rect(4), Bounds(8, 41, 32, 29));    // MC
    EXPECT_EQ(rect(11), Bounds(44, 41, 32, 29));  // 7
    EXPECT_EQ(rect(12), Bounds(75, 41, 32, 29));  // 8
    EXPECT_EQ(rect(19), Bounds(106, 41, 32, 29)); // 9
    EXPECT_EQ(rect(20), Bounds(142, 41, 32, 29)); // /
    EXPECT_EQ(rect(27), Bounds(173, 41, 32, 29)); // sqrt
    EXPECT_EQ(rect(26), Bounds(173, 69, 32, 29)); // %
    EXPECT_EQ(rect(25), Bounds(173, 97, 32, 29)); // 1/x
    EXPECT_EQ(rect(8), Bounds(44, 125, 32, 29));  // 0
    EXPECT_EQ(rect(24), Bounds(173, 125, 32, 29)); // =
    EXPECT_EQ(panel.ButtonAtPos(50, 45), 11);
    EXPECT_EQ(panel.ButtonAtPos(2, 2), -1);

    // Another set of keys keeps the positions it was given.
    TCustomButtonPanel custom(nullptr);
    custom.SetBounds(0, 0, 216, 166);
    custom.SetButtonPanelType(plCustom);
    TButtonItem* k = custom.Buttons().Add();
    k->FLeft = 3, k->FTop = 4, k->FWidth = 10, k->FHeight = 10;
    custom.ArrangeButtons();
    EXPECT_EQ(custom.ButtonAtPos(5, 5), 0);
}

TEST_F(CalcFixture, APressReleasedOverAnotherKeyClicksNothingAndThePressedKeyRendersPressed) {
    calc->ShowDropDown();
    ASSERT_TRUE(calc->DroppedDown());
    TCustomButtonPanel* panel = calc->ButtonPanel();
    std::vector<int> clicked;
    panel->OnButtonClick = [&](TObject*, int i) { clicked.push_back(i); };
    TRect seven, eight, nine;
    panel->GetButtonRect(11, seven);
    panel->GetButtonRect(12, eight);
    panel->GetButtonRect(19, nine);
    SimulateMouseDown(panel, mbLeft, seven.Left + 5, seven.Top + 5);
    SimulateMouseUp(panel, mbLeft, eight.Left + 5, eight.Top + 5);
    EXPECT_TRUE(clicked.empty());
    EXPECT_EQ(panel->ButtonDown(), -1);

    SimulateMouseDown(panel, mbLeft, seven.Left + 5, seven.Top + 5);
    EXPECT_EQ(panel->ButtonDown(), 11);
    TBitmap shot;
    RenderControlToBitmap(panel, shot);
    TempDir dir;
    SaveControlToPng(panel, Utf8ToString(dir.file("keypad.png")));
    // The pressed key's face differs from the same place on a key at rest.
    const int dx = 3, dy = seven.Height() - 4;
    EXPECT_NE(shot.Canvas().Pixels(seven.Left + dx, seven.Top + dy), shot.Canvas().Pixels(nine.Left + dx, nine.Top + dy));
    EXPECT_EQ(shot.Canvas().Pixels(eight.Left + dx, eight.Top + dy), shot.Canvas().Pixels(nine.Left + dx, nine.Top + dy));
    SimulateMouseUp(panel, mbLeft, seven.Left + 5, seven.Top + 5);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], 11);
}

}  // namespace
