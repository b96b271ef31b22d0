#include "grid/ExgSpinEdit.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A shown form with a focused spin edit.
struct SpinForm {
    TForm form{nullptr};
    TExgSpinEdit* spin;
    TEdit* other;
    SpinForm() {
        form.SetBounds(0, 0, 300, 120);
        spin = new TExgSpinEdit(&form);
        spin->SetParent(&form);
        spin->SetBounds(10, 10, 120, 24);
        other = new TEdit(&form);
        other->SetParent(&form);
        other->SetBounds(10, 50, 120, 24);
        form.Show();
        spin->SetFocus();
    }
};

TEST(ExgSpinEdit, IntegerKeysStepWithinTheLimits) {
    SpinForm f;
    f.spin->SetMaxValue(100);
    f.spin->SetIncrement(5);
    struct Case {
        const char16_t* start;
        Word key;
        const char16_t* shown;
    };
    // Page keys step by Increment too; Home and End are the edit's own caret keys.
    const Case cases[] = {
        {u"97", VK_PRIOR, u"100"}, {u"95", VK_PRIOR, u"100"}, {u"90", VK_UP, u"95"},
        {u"3", VK_DOWN, u"0"},     {u"50", VK_NEXT, u"45"},
    };
    for (const Case& c : cases) {
        f.spin->SetText(c.start);
        SimulateKey(c.key);
        EXPECT_EQ(f.spin->Text(), String(c.shown)) << StringToUtf8(c.start) << " key " << c.key;
    }
}

TEST(ExgSpinEdit, LeavingClampsTypedValuesAndEqualLimitsMeanNone) {
    SpinForm f;
    f.spin->SetText(u"150");
    f.other->SetFocus();
    EXPECT_EQ(f.spin->Text(), u"100");
    f.spin->SetMaxValue(0);
    f.spin->SetValue(12345);
    EXPECT_EQ(f.spin->Value(), 12345);
}

TEST(ExgSpinEdit, UnreadableTextFallsBackToTheLimitOfItsType) {
    SpinForm f;
    f.spin->SetMinValue(7);
    f.spin->SetMinFloatValue(2.5);
    f.spin->SetText(u"abc");
    EXPECT_EQ(f.spin->Value(), 7);
    EXPECT_DOUBLE_EQ(f.spin->FloatValue(), 2.5);
    f.spin->SetText(u"");
    EXPECT_EQ(f.spin->Value(), 0);
}

TEST(ExgSpinEdit, FloatWithPrecisionRefusesDigitsBeyondItAndPagesByTheLargeStep) {
    SpinForm f;
    f.spin->SetSpinType(sptFloat);
    f.spin->SetPrecision(2);
    f.spin->SetFloatValue(3.14);
    EXPECT_EQ(f.spin->Text(), u"3.14");
    f.spin->SetSelStart(4);
    const int beeps = MessageBeepCount();
    SimulateText(u"5");
    EXPECT_EQ(f.spin->Text(), u"3.14");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    SimulateKey(VK_PRIOR);
    EXPECT_EQ(f.spin->Text(), u"4.14");
    SimulateKey(VK_DOWN);
    EXPECT_EQ(f.spin->Text(), u"4.04");
}

TEST(ExgSpinEdit, CharactersAreFilteredByTheSpinType) {
    SpinForm f;
    struct Case {
        TExgSpinType type;
        const char16_t* text;
        int caret;
        Char key;
        bool valid;
    };
    const Case cases[] = {
        {sptNormal, u"12", 2, u'3', true},  {sptNormal, u"12", 2, u'a', false}, {sptNormal, u"12", 2, u'.', false},
        {sptNormal, u"12", 0, u'-', true},  {sptNormal, u"12", 1, u'-', false}, {sptNormal, u"-12", 0, u'-', false},
        {sptFloat, u"1.5", 3, u'.', false}, {sptFloat, u"15", 2, u'.', true},   {sptFloat, u"15", 2, u',', false},
        {sptTime, u"10:20:30", 8, u':', false}, {sptTime, u"10:20", 5, u':', true}, {sptNormal, u"1", 1, 13, false},
    };
    for (const Case& c : cases) {
        f.spin->SetSpinType(c.type);
        f.spin->SetText(c.text);
        f.spin->SetSelStart(c.caret);
        f.spin->SetSelLength(0);
        Char k = c.key;
        EXPECT_EQ(f.spin->IsValidChar(k), c.valid) << StringToUtf8(c.text) << " key " << int(c.key);
    }
    f.spin->SetSpinType(sptNormal);
    f.spin->SetEditorEnabled(false);
    Char digit = u'5', back = VK_BACK;
    EXPECT_FALSE(f.spin->IsValidChar(digit));
    EXPECT_FALSE(f.spin->IsValidChar(back));
}

TEST(ExgSpinEdit, ACarriageReturnBeepsAndIsDropped) {
    SpinForm f;
    f.spin->SetText(u"12");
    const int beeps = MessageBeepCount();
    f.spin->Perform(WM_CHAR, VK_RETURN);
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    EXPECT_EQ(f.spin->Text(), u"12");
}

TEST(ExgSpinEdit, TimeStepsTheFieldUnderTheCaretAndWrapsAtMidnight) {
    SpinForm f;
    f.spin->SetSpinType(sptTime);
    f.spin->SetTimeValue(0);
    EXPECT_EQ(f.spin->Text(), u"00:00:00");
    f.spin->SetSelStart(0);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(f.spin->Text(), u"23:00:00");
    f.spin->SetSelStart(4);
    SimulateKey(VK_UP);
    EXPECT_EQ(f.spin->Text(), u"23:01:00");
    f.spin->SetSelStart(7);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(f.spin->Text(), u"23:00:59");
    // A step of a day or more is a span, not a time of day: it wraps instead of failing.
    f.spin->SetIncrementHours(25);
    f.spin->SetSelStart(0);
    SimulateKey(VK_UP);
    EXPECT_EQ(f.spin->Text(), u"00:00:59");
    f.spin->SetShowSeconds(false);
    f.spin->SetTimeValue(EncodeTime(9, 5, 0, 0));
    EXPECT_EQ(f.spin->Text(), u"9:05");
}

TEST(ExgSpinEdit, DateStepsTheFieldUnderTheCaretInTheLocaleOrder) {
    SpinForm f;
    f.spin->SetSpinType(sptDate);
    struct Case {
        const char16_t* format;
        int caret;
        const char16_t* after;
    };
    // 29 February 2024 stepped up: by day, by month, by year (28 February 2025).
    const Case cases[] = {
        {u"dd/mm/yyyy", 0, u"01/03/2024"}, {u"dd/mm/yyyy", 4, u"29/03/2024"}, {u"dd/mm/yyyy", 8, u"28/02/2025"},
        {u"mm/dd/yyyy", 0, u"03/29/2024"}, {u"mm/dd/yyyy", 4, u"03/01/2024"}, {u"mm/dd/yyyy", 8, u"02/28/2025"},
    };
    for (const Case& c : cases) {
        TFormatSettings fs = FormatSettings();
        fs.ShortDateFormat = c.format;
        TFormatSettingsGuard guard(fs);
        f.spin->SetDateValue(EncodeDate(2024, 2, 29));
        f.spin->SetSelStart(c.caret);
        SimulateKey(VK_UP);
        EXPECT_EQ(f.spin->Text(), String(c.after)) << StringToUtf8(c.format) << " caret " << c.caret;
    }
}

TEST(ExgSpinEdit, AReadOnlyEditBeepsOnEveryStep) {
    SpinForm f;
    f.spin->SetText(u"5");
    f.spin->SetReadOnly(true);
    const int beeps = MessageBeepCount();
    f.spin->IncrementValue(false);
    f.spin->DecrementValue(true);
    EXPECT_EQ(MessageBeepCount(), beeps + 2);
    EXPECT_EQ(f.spin->Text(), u"5");
}

TEST(ExgSpinEdit, WithoutTheEditorTypingAndPastingChangeNothingButTheButtonsStep) {
    SpinForm f;
    f.spin->SetText(u"5");
    f.spin->SetEditorEnabled(false);
    f.spin->SetSelStart(1);
    SimulateText(u"7");
    f.spin->Perform(WM_PASTE);
    EXPECT_EQ(f.spin->Text(), u"5");
    TExTimerSpeedButton* up = f.spin->Button()->UpButton();
    SimulateClick(up, 2, 2);
    EXPECT_EQ(f.spin->Text(), u"6");
}

TEST(ExgSpinEdit, HoldingAButtonRepeatsAfter400AndThenEvery100Milliseconds) {
    SpinForm f;
    f.spin->SetText(u"10");
    TExTimerSpeedButton* down = f.spin->Button()->DownButton();
    SimulateMouseDown(down, mbLeft, 2, 2);
    ASSERT_TRUE(down->RepeatTimer());
    EXPECT_TRUE(down->RepeatTimer()->Enabled());
    EXPECT_EQ(down->RepeatTimer()->Interval(), 400u);
    down->RepeatTimer()->Tick();
    EXPECT_EQ(down->RepeatTimer()->Interval(), 100u);
    down->RepeatTimer()->Tick();
    EXPECT_EQ(f.spin->Text(), u"8");
    SimulateMouseUp(down, mbLeft, 2, 2);
    EXPECT_FALSE(down->RepeatTimer()->Enabled());
    EXPECT_EQ(f.spin->Text(), u"7");
}

TEST(ExgSpinEdit, TheButtonPairSplitsItsAreaByDirection) {
    TExgSpinButton pair(nullptr);
    pair.SetBounds(0, 0, 15, 20);
    EXPECT_EQ(pair.UpButton()->BoundsRect(), Rect(0, 0, 15, 10));
    EXPECT_EQ(pair.DownButton()->BoundsRect(), Rect(0, 9, 15, 20));
    pair.SetDirection(spHorizontal);
    EXPECT_EQ(pair.Width(), 20);
    EXPECT_EQ(pair.DownButton()->BoundsRect(), Rect(0, 0, 10, 20));
    EXPECT_EQ(pair.UpButton()->BoundsRect(), Rect(11, 0, 20, 20));
    EXPECT_EQ(pair.UpButton()->ButtonDirection(), bdRight);
}

TEST(ExgSpinEdit, PosFromCountsFromTheStartOfTheText) {
    EXPECT_EQ(PosFrom(u"/", u"01/02/2024", 0), 3);
    EXPECT_EQ(PosFrom(u"/", u"01/02/2024", 3), 6);
    EXPECT_EQ(PosFrom(u"/", u"01/02/2024", 6), 0);
}

}  // namespace
