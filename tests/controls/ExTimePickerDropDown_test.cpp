#include "controls/ExTimePickerDropDown.h"

#include "framework/DateUtils.h"
#include "framework/Forms.h"
#include "framework/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

namespace {

struct Clock : ::testing::Test {
    TForm form{nullptr};
    TExWatch* w = nullptr;
    int changes = 0;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 300);
        w = new TExWatch(&form);
        w->SetParent(&form);
        w->SetBounds(0, 0, 180, 180);
        w->OnChange = [this](TObject*) { ++changes; };
    }
    void At(int H, int M, int Sec = 0) { w->SetTime(EncodeTime(Word(H), Word(M), Word(Sec), 0)); }
    std::pair<int, int> HM() const {
        Word h, m, s, ms;
        DecodeTime(w->Time(), h, m, s, ms);
        return {h, m};
    }
    // The face square is (10, 10)-(170, 170): centre (90, 90), radius 80.
    std::unique_ptr<TBitmap> Render() {
        form.Show();
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(w, *b);
        return b;
    }
};

TEST_F(Clock, PointsGiveMinutesAndHours) {
    struct Case {
        int x, y, minute, hourAM, hourPM;
    } const cases[] = {
        {90, 90, 23, 5, 17},   // the centre: dx and dy count as 1
        {160, 90, 15, 3, 15},  // 3 o'clock
        {90, 160, 30, 6, 18},
        {20, 90, 45, 9, 21},
        {95, 20, 1, 0, 12},   // just right of 12
        {85, 20, 59, 12, 0},  // just left of 12: 12 rounds to 12, which with PM wraps to 0
        {90, 20, 0, 0, 12},   // straight up: 60 becomes 0
    };
    for (const Case& c : cases) {
        EXPECT_EQ(w->MinuteAtPoint(c.x, c.y), c.minute) << c.x << "," << c.y;
        At(1, 0);
        EXPECT_EQ(w->HourAtPoint(c.x, c.y), c.hourAM) << c.x << "," << c.y << " AM";
        At(13, 0);
        EXPECT_EQ(w->HourAtPoint(c.x, c.y), c.hourPM) << c.x << "," << c.y << " PM";
    }
}

TEST_F(Clock, KeysStepTheHourAndMinuteWithWrapping) {
    w->SetAnimation(false);
    struct Case {
        const char* name;
        int h, m;
        Word key;
        int eh, em;
    } const cases[] = {
        {"Right at 59 moves to the next hour", 10, 59, VK_RIGHT, 11, 0},
        {"Right", 10, 20, VK_RIGHT, 10, 21},
        {"Left at 0 goes to 59 of the hour before", 0, 0, VK_LEFT, 23, 59},
        {"Left", 10, 20, VK_LEFT, 10, 19},
        {"PageUp at 23", 23, 10, VK_PRIOR, 0, 10},
        {"PageUp", 8, 10, VK_PRIOR, 9, 10},
        {"PageDown at 0", 0, 10, VK_NEXT, 23, 10},
        {"Home", 8, 10, VK_HOME, 12, 10},
        {"End in the second half", 8, 45, VK_END, 9, 0},
        {"A in the afternoon", 15, 10, 'A', 3, 10},
        {"A in the morning", 3, 10, 'A', 3, 10},
        {"P in the morning", 3, 10, 'P', 15, 10},
        {"another key", 3, 10, 'X', 3, 10},
    };
    for (const Case& c : cases) {
        At(c.h, c.m);
        w->ProcessKey(c.key);
        EXPECT_EQ(HM(), std::make_pair(c.eh, c.em)) << c.name;
    }
    // Automatic mode ignores the keys.
    w->Settings().SetAuto(true);
    const TDateTime before = w->Time();
    w->ProcessKey(VK_PRIOR);
    EXPECT_EQ(w->Time(), before);
    w->Settings().SetAuto(false);
}

TEST_F(Clock, MinuteZeroAdvancesTheHourOnlyFromTheSecondHalf) {
    w->SetAnimation(false);
    At(10, 45);
    w->SetMinute(0);
    EXPECT_EQ(HM(), std::make_pair(11, 0));
    At(23, 45);
    w->SetMinute(0);
    EXPECT_EQ(HM(), std::make_pair(0, 0));
    At(10, 20);
    w->SetMinute(0);
    EXPECT_EQ(HM(), std::make_pair(10, 0));
    EXPECT_EQ(changes, 3);
    try {
        w->SetMinute(60);
        FAIL() << "60 accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), S("Invalid time"));
    }
    EXPECT_EQ(HM(), std::make_pair(10, 0));
    w->SetHour(24);
    EXPECT_EQ(HM(), std::make_pair(10, 0));
}

TEST_F(Clock, AnimationEasesTowardsTheTargetAndReportsOnce) {
    At(10, 0);
    w->SetMinute(40);
    EXPECT_EQ(HM(), std::make_pair(10, 0));
    ASSERT_TRUE(w->AnimationTimer().Enabled());
    std::vector<int> steps;
    int last = 0;
    for (int i = 0; i < 100 && w->AnimationTimer().Enabled(); ++i) {
        w->AnimationTimer().Tick();
        steps.push_back(HM().second - last);
        last = HM().second;
    }
    EXPECT_FALSE(w->AnimationTimer().Enabled());
    EXPECT_EQ(HM(), std::make_pair(10, 40));
    ASSERT_GT(steps.size(), 5u);
    EXPECT_EQ(steps.front(), 4);
    for (size_t i = 1; i < steps.size(); ++i) EXPECT_LE(steps[i], steps[i - 1]);
    EXPECT_EQ(changes, 1);

    // Past 12 o'clock from the second half: up to 60, which is 0 of the next hour.
    changes = 0;
    At(10, 50);
    w->SetMinute(0);
    while (w->AnimationTimer().Enabled()) w->AnimationTimer().Tick();
    EXPECT_EQ(HM(), std::make_pair(11, 0));
    EXPECT_EQ(changes, 1);

    changes = 0;
    w->SetHour(2);
    while (w->AnimationTimer().Enabled()) w->AnimationTimer().Tick();
    EXPECT_EQ(HM(), std::make_pair(2, 0));
    EXPECT_EQ(changes, 1);
}

TEST_F(Clock, FaceShowsHandsAndTheNumeralsTheTickMarksAllow) {
    w->SetAnimation(false);
    At(3, 0);
    // Whether any pixel of the box around numeral 6 (centre (91, 152)) is dark.
    const auto DarkNear6 = [](TCanvas& c) {
        for (int y = 144; y <= 160; ++y)
            for (int x = 83; x <= 99; ++x) {
                const TColor p = c.Pixels(x, y);
                if (GetRValue(p) < 80 && GetGValue(p) < 80 && GetBValue(p) < 80) return true;
            }
        return false;
    };
    {
        auto b = Render();
        TCanvas& c = b->Canvas();
        EXPECT_EQ(c.Pixels(120, 90), TColor(0x000000));  // hour hand towards 3
        EXPECT_EQ(c.Pixels(90, 50), TColor(0x000000));   // minute hand up
        EXPECT_EQ(c.Pixels(60, 60), TColor(0xFFFFFF));   // face
        EXPECT_TRUE(DarkNear6(c));
    }
    w->SetStyle(wsTower);
    EXPECT_EQ(w->Appearance().TickMarks(), tmHours);
    {
        auto b = Render();
        TCanvas& c = b->Canvas();
        EXPECT_EQ(c.Pixels(110, 90), TColor(0x000000));  // the pointer hand
        EXPECT_FALSE(DarkNear6(c));
        // Square face: the corner is filled with the gradient's start.
        const TColor corner = c.Pixels(3, 3);
        EXPECT_NEAR(GetRValue(corner), 0xFE, 6);
        EXPECT_NEAR(GetBValue(corner), 0xB1, 6);
    }
}

TEST_F(Clock, PresetsSetTheirLookAndFlags) {
    // A new clock is wsClassic without its preset.
    w->SetStyle(wsClassic);
    EXPECT_EQ(w->Appearance().HourMarkLength(), 0);
    w->SetStyle(wsGray);
    EXPECT_EQ(w->Appearance().HourPointerShadow(), clNone);
    w->SetStyle(wsClassic);
    EXPECT_EQ(w->Appearance().HourMarkLength(), 8);
    EXPECT_EQ(w->Appearance().HourPointerSize(), 5);

    w->SetShowAMPM(false);
    w->SetStyle(wsTower);
    EXPECT_FALSE(w->ShowAMPM());
    EXPECT_FALSE(w->ShowNumbers());
    w->SetShowAMPM(true);
    w->SetStyle(wsTower);  // unchanged value: nothing happens
    w->SetStyle(wsSmooth);
    EXPECT_TRUE(w->ShowAMPM() == false && w->ShowNumbers());
    EXPECT_EQ(w->Appearance().HourPointerShadow(), TColor(0xB2B2B2));

    // Sized from the control.
    w->SetBounds(0, 0, 180, 180);
    w->SetStyle(wsSports);
    EXPECT_EQ(w->Appearance().CenterPointSize(), 50);
    w->SetStyle(wsSuperNova);
    EXPECT_EQ(w->Appearance().HourMarkLength(), 40);
    EXPECT_EQ(w->Appearance().MinuteMarkLength(), 60);
    w->SetBounds(0, 0, 90, 120);
    w->SetStyle(wsSports);
    EXPECT_EQ(w->Appearance().CenterPointSize(), 25);
}

TEST_F(Clock, LibraryLooksRecolourTheFace) {
    TWatchAppearance& a = w->Appearance();
    int notices = 0;
    a.OnChange = [&](TObject*) { ++notices; };
    w->SetComponentStyle(tsCustom);
    EXPECT_EQ(a.CenterPointOuterBorderColor(), TColor(0x000000));
    EXPECT_EQ(a.HourFont().Color(), TColor(0x000000));
    EXPECT_EQ(a.BackgroundColor(), TColor(0xFFFFFF));
    struct Row {
        TGPKStyle style;
        TColor ampmBorder, ampmFill, background, border, hands, second, shadow;
    } const rows[] = {
        {tsOffice2003Blue, 0x962D00, 0xD68759, 0xFFD2AF, 0xD68759, 0xD68759, 0xFFFFFF, 0xFFFFFF},
        {tsOffice2007Luna, 0xF0DED0, 0xF0DED0, 0xFFEFE3, 0xF0DED0, 0x723708, 0x723708, 0xFFFFFF},
        {tsWindowsXP, 0x000000, clBtnFace, clBtnFace, 0x000000, 0x000000, 0x000000, 0xFFFFFF},
        {tsOffice2010Silver, 0xD2CDC8, 0xEDE5E0, 0xFFFFFF, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xC0C0C0},
    };
    for (const Row& r : rows) {
        w->SetComponentStyle(r.style);
        EXPECT_EQ(a.AMPMBorderColor(), r.ampmBorder) << r.style;
        EXPECT_EQ(a.AMPMColor(), r.ampmFill) << r.style;
        EXPECT_EQ(a.BackgroundColor(), r.background) << r.style;
        EXPECT_EQ(a.BackgroundColorTo(), r.background) << r.style;
        EXPECT_EQ(a.BorderColor(), r.border) << r.style;
        EXPECT_EQ(a.HourColor(), r.hands) << r.style;
        EXPECT_EQ(a.MinutePointer(), r.hands) << r.style;
        EXPECT_EQ(a.SecondPointer(), r.second) << r.style;
        EXPECT_EQ(a.MinutePointerShadow(), r.shadow) << r.style;
    }
    // The AM/PM colours alone are stored without notice.
    w->SetComponentStyle(tsOffice2003Blue);
    notices = 0;
    a.SetAMPMColor(TColor(0x123456));
    EXPECT_EQ(notices, 1);
    notices = 0;
    a.StoreAMPMColors(TColor(0x1), TColor(0x2));
    EXPECT_EQ(notices, 0);
}

TEST(WatchAppearance, AssignNotifiesOnlyForItsLastThreeProperties) {
    TWatchAppearance a, b;
    int notices = 0;
    a.OnChange = [&](TObject*) { ++notices; };
    b.SetBackgroundColor(TColor(0x00FF00));
    b.HourFont().SetName(S("Courier"));
    a.Assign(&b);
    EXPECT_EQ(notices, 0);
    EXPECT_EQ(a.BackgroundColor(), TColor(0x00FF00));
    EXPECT_EQ(a.HourFont().Name(), S("Courier"));
    b.SetTickMarks(tmNone);
    a.Assign(&b);
    EXPECT_EQ(notices, 1);
    a.ResetDefaults();
    EXPECT_EQ(a.TickMarks(), tmAll);
    EXPECT_EQ(a.HourFont().Name(), S("Tahoma"));
}

}  // namespace

namespace {

struct TimeEdit : ::testing::Test {
    TForm form{nullptr};
    TExTimePickerDropDown* dd = nullptr;
    int timeChanges = 0;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 100);
        dd = new TExTimePickerDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 120, 21);
        dd->OnTimeChange = [this](TObject*) { ++timeChanges; };
        form.Show();
        dd->SetFocus();
    }
    static TDateTime At(int H, int M, int Sec) { return EncodeTime(Word(H), Word(M), Word(Sec), 0); }
    static std::tuple<int, int, int> Parts(TDateTime T) {
        Word h, m, s, ms;
        DecodeTime(T, h, m, s, ms);
        return {h, m, s};
    }
};

TEST_F(TimeEdit, UpAndDownChangeThePartAtTheCaret) {
    struct Case {
        const char* name;
        bool seconds;
        int caret;
        Word key;
        std::tuple<int, int, int> start, expect;
    } const cases[] = {
        {"before the first separator: hour", true, 2, VK_DOWN, {10, 20, 30}, {11, 20, 30}},
        {"Up lowers", true, 0, VK_UP, {10, 20, 30}, {9, 20, 30}},
        {"Down at 23 wraps to 0", true, 1, VK_DOWN, {23, 20, 30}, {0, 20, 30}},
        {"after the first separator: minute", true, 3, VK_DOWN, {10, 20, 30}, {10, 21, 30}},
        {"Up at minute 0 wraps to 59", true, 5, VK_UP, {10, 0, 30}, {10, 59, 30}},
        {"after the second separator: second", true, 6, VK_DOWN, {10, 20, 59}, {10, 20, 0}},
        {"no seconds: the minute at the end", false, 5, VK_DOWN, {10, 20, 30}, {10, 21, 30}},
    };
    for (const Case& c : cases) {
        dd->SetShowSeconds(c.seconds);
        dd->SetTime(At(std::get<0>(c.start), std::get<1>(c.start), std::get<2>(c.start)));
        timeChanges = 0;
        dd->SetSelStart(c.caret);
        Word key = c.key;
        dd->KeyDown(key, {});
        EXPECT_EQ(Parts(dd->Time()), c.expect) << c.name;
        EXPECT_EQ(dd->SelStart(), c.caret) << c.name;
        EXPECT_EQ(key, c.key) << c.name;
        EXPECT_EQ(timeChanges, 1) << c.name;
    }
    EXPECT_EQ(dd->GetText(), u"10:21");
}

TEST_F(TimeEdit, TypedTimesAreParsedAndImpossibleOnesRefused) {
    EXPECT_FALSE(dd->EditorEnabled());
    EXPECT_EQ(dd->GetText(), u"00:00:00");
    dd->SetEditorEnabled(true);
    dd->SetTime(At(1, 2, 3));
    struct Case {
        const char* text;
        std::tuple<int, int, int> expect;
    } const cases[] = {
        {"12:34:56", {12, 34, 56}},
        {"25:00:00", {12, 34, 56}},  // refused, Time kept
        {"07:60:00", {12, 34, 56}},
        {"07:30:00", {7, 30, 0}},
        {"07:30", {7, 30, 0}},  // not a complete time
    };
    for (const Case& c : cases) {
        dd->SetTextValue(String(c.text, c.text + strlen(c.text)));
        EXPECT_EQ(Parts(dd->Time()), c.expect) << c.text;
    }
    // Without seconds the form is hours and minutes; the seconds of Time stay.
    dd->SetTime(At(10, 20, 30));
    dd->SetShowSeconds(false);
    EXPECT_EQ(dd->GetText(), u"10:20");
    EXPECT_EQ(Parts(dd->Time()), std::make_tuple(10, 20, 30));
    dd->SetShowSeconds(true);
    EXPECT_EQ(dd->GetText(), u"10:20:30");
    EXPECT_EQ(timeChanges, 0);
}

TEST_F(TimeEdit, ThePopupWorksOnACopyThatEscPutsBack) {
    dd->SetAnimation(false);
    dd->SetShowTimePicker(true);
    dd->SetTime(At(10, 20, 0));
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TExWatch* w = dd->Watch();
    EXPECT_EQ(Parts(w->Time()), std::make_tuple(10, 20, 0));
    ASSERT_NE(dd->DateTimePicker(), nullptr);
    EXPECT_EQ(dd->DateTimePicker()->Format(), S("HH:mm:ss"));
    // The picker moves the clock only; Esc puts the clock back.
    dd->DateTimePicker()->SetTime(At(15, 0, 0));
    dd->DateTimePicker()->OnChange(dd->DateTimePicker());
    EXPECT_EQ(Parts(w->Time()), std::make_tuple(15, 0, 0));
    EXPECT_EQ(Parts(dd->Time()), std::make_tuple(10, 20, 0));
    dd->HideDropDown(true);
    EXPECT_EQ(Parts(w->Time()), std::make_tuple(10, 20, 0));
    EXPECT_EQ(Parts(dd->Time()), std::make_tuple(10, 20, 0));
    // Accepting takes the clock's time.
    dd->ShowDropDown();
    dd->DateTimePicker()->SetTime(At(15, 0, 0));
    dd->DateTimePicker()->OnChange(dd->DateTimePicker());
    dd->HideDropDown(false);
    EXPECT_EQ(Parts(dd->Time()), std::make_tuple(15, 0, 0));
    // A clock change while open reaches Time and the picker at once.
    dd->ShowDropDown();
    w->ProcessKey(VK_PRIOR);
    EXPECT_EQ(Parts(dd->Time()), std::make_tuple(16, 0, 0));
    EXPECT_EQ(Parts(dd->DateTimePicker()->Time()), std::make_tuple(16, 0, 0));
    EXPECT_EQ(timeChanges, 1);
    dd->HideDropDown(false);
}

TEST_F(TimeEdit, AutomaticClockIsNotSetFromTime) {
    Word h, m, s, ms;
    DecodeTime(Time(), h, m, s, ms);
    const TDateTime far = At((h + 6) % 24, 0, 0);
    dd->SetTime(far);
    dd->WatchSettings().SetAuto(true);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    EXPECT_GT(std::abs(dd->Watch()->Time() - far), 0.2);
    dd->HideDropDown(true);
    // A new control carries the colours of its initial look.
    TExTimePickerDropDown fresh(nullptr);
    EXPECT_EQ(fresh.WatchAppearance().BackgroundColor(), TColor(0xFFEFE3));
    EXPECT_EQ(fresh.WatchAppearance().HourPointer(), TColor(0x723708));
}

}  // namespace
