#include "controls/ExDropDown.h"

#include "framework/Clipboard.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

namespace {

class TypedEdit : public TExCustomDropDown {
public:
    using TExCustomDropDown::SetEditType;
    using TExCustomDropDown::TExCustomDropDown;
};

// The framework's fixed settings: "." decimal separator, "," thousands.
struct TextFixture : ::testing::Test {
    TForm form{nullptr};
    TypedEdit* dd = nullptr;
    int changes = 0;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 100);
        dd = new TypedEdit(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 200, 21);
        dd->OnChange = [this](TObject*) { ++changes; };
        form.Show();
        dd->SetFocus();
    }
    void Caret(int Pos) {
        dd->SetSelStart(Pos);
        dd->SetSelLength(0);
    }
};

TEST_F(TextFixture, TypingIntoADecimalEdit) {
    dd->SetEditType(etFloat);
    dd->SetPrecision(2);
    struct Case {
        const char* name;
        const char16_t* text;  // as it stands, set unchanged
        int caret;
        const char16_t* typed;
        const char16_t* expect;
        int caretAfter;  // -1: not checked
    };
    const Case cases[] = {
        {"a full stop into the empty edit gives 0.", u"", 0, u".", u"0.", 2},
        {"a second full stop moves the caret behind the first", u"12.50", 1, u".", u"12.50", 3},
        {"a digit before the last decimal overwrites it", u"12.50", 4, u"7", u"12.57", 5},
        {"a third decimal at the end is refused", u"12.50", 5, u"3", u"12.50", -1},
        {"a comma three places after the last comma is taken", u"1,234", 5, u",", u"1,234,", -1},
        {"a comma two places after it is refused", u"1,234", 4, u",", u"1,234", -1},
        {"a comma without any comma yet goes anywhere", u"1234", 1, u",", u"1,234", -1},
        {"a minus sign is refused", u"12", 0, u"-", u"12", -1},
        {"a letter is refused", u"12", 2, u"a", u"12", -1},
        {"digits are typed", u"12", 2, u"3", u"123", -1},
    };
    for (const Case& c : cases) {
        dd->SetText(c.text);
        Caret(c.caret);
        SimulateText(c.typed);
        EXPECT_EQ(dd->GetText(), String(c.expect)) << c.name;
        if (c.caretAfter >= 0) EXPECT_EQ(dd->SelStart(), c.caretAfter) << c.name;
    }
}

TEST_F(TextFixture, WholeNumberEditAndPickOnlyEdit) {
    dd->SetEditType(etNumeric);
    dd->SetText(u"12");
    Caret(2);
    SimulateText(u"3a-.4");
    EXPECT_EQ(dd->GetText(), u"1234");
    dd->SetEditorEnabled(false);
    SimulateText(u"56");
    EXPECT_EQ(dd->GetText(), u"1234");
}

TEST_F(TextFixture, TextIsNormalisedByTheEditType) {
    struct Case {
        TDropDownEditType type;
        int precision;
        const char16_t* value;
        const char16_t* expect;
    };
    const Case cases[] = {
        {etNumeric, 0, u"", u"0"},
        {etFloat, 2, u"", u"0.00"},
        {etFloat, 2, u"Error", u"Error"},
        {etFloat, 2, u"7", u"7.00"},
        {etFloat, 2, u"1,234.5", u"1234.50"},
        {etMoney, 2, u"1234567", u"1,234,567.00"},
        {etHex, 0, u"ff", u"FF"},
        {etString, 0, u"", u""},
    };
    for (const Case& c : cases) {
        dd->SetEditType(c.type);
        dd->SetPrecision(c.precision);
        dd->SetTextValue(c.value);
        EXPECT_EQ(dd->GetText(), String(c.expect)) << int(c.type) << " " << String(c.value).size();
        EXPECT_EQ(dd->OldText(), String(c.expect));
        EXPECT_FALSE(dd->GetModified());
        dd->SetEditType(etString);
        dd->SetPrecision(0);
    }
}

TEST_F(TextFixture, PastingChecksTheWholeResult) {
    struct Case {
        TDropDownEditType type;
        const char16_t* text;
        int caret;
        const char16_t* clip;
        const char16_t* expect;
        int caretAfter;
    };
    const Case cases[] = {
        // A refused paste changes nothing but the caret.
        {etNumeric, u"5678", 0, u"12a", u"5678", 3},
        {etNumeric, u"5", 1, u"12", u"512", 3},
        {etNumeric, u"56", 0, u"-1", u"56", 2},
        {etFloat, u"", 0, u"12.5", u"12.50", 4},
        {etFloat, u"123", 0, u"-2", u"123", 2},
        {etString, u"ab", 1, u"xy", u"axyb", 3},
    };
    for (const Case& c : cases) {
        dd->SetEditType(c.type);
        dd->SetPrecision(c.type == etFloat ? 2 : 0);
        dd->SetText(c.text);
        Caret(c.caret);
        Clipboard().SetAsText(c.clip);
        dd->Perform(WM_PASTE);
        EXPECT_EQ(dd->GetText(), String(c.expect)) << String(c.clip).size() << " into " << int(c.type);
        EXPECT_EQ(dd->SelStart(), c.caretAfter) << int(c.type);
        dd->SetEditType(etString);
        dd->SetPrecision(0);
    }
}

TEST_F(TextFixture, LeavingReformatsAndKeepsTheModifiedFlag) {
    TEdit* next = new TEdit(&form);
    next->SetParent(&form);
    next->SetBounds(10, 50, 100, 21);
    dd->SetEditType(etFloat);
    dd->SetPrecision(2);
    dd->SetText(u"3");
    dd->SetModified(false);
    next->SetFocus();
    EXPECT_EQ(dd->GetText(), u"3.00");
    EXPECT_FALSE(dd->GetModified());

    TypedEdit* whole = new TypedEdit(&form);
    whole->SetParent(&form);
    whole->SetBounds(10, 80, 100, 21);
    whole->SetEditType(etNumeric);
    whole->SetFocus();
    whole->SetText(u"");
    next->SetFocus();
    EXPECT_EQ(whole->GetText(), u"0");
}

TEST_F(TextFixture, TypingOverTheWholeTextFiresNoChangeForThatKey) {
    dd->SetText(u"abc");
    dd->SelectAll();
    changes = 0;
    SimulateText(u"x");
    EXPECT_EQ(dd->GetText(), u"x");
    EXPECT_EQ(changes, 0);
    SimulateText(u"y");
    EXPECT_EQ(changes, 1);
    dd->SelectAll();
    changes = 0;
    SimulateKey(VK_BACK);
    EXPECT_EQ(dd->GetText(), u"");
    EXPECT_EQ(changes, 1);
}

}  // namespace

namespace {

TEST_F(TextFixture, SignedNumbersAndTheKeypadDecimalKey) {
    dd->SetEditType(etFloat);
    dd->SetPrecision(2);
    dd->SetSigned(true);
    dd->SetText(u"12.50");
    Caret(2);
    SimulateText(u"-");
    EXPECT_EQ(dd->GetText(), u"-12.50");
    EXPECT_EQ(dd->SelStart(), 3) << "the caret stays on the same character";
    SimulateText(u"-");
    EXPECT_EQ(dd->GetText(), u"12.50");
    EXPECT_EQ(dd->SelStart(), 2);
    dd->SetSigned(false);
    SimulateText(u"-");
    EXPECT_EQ(dd->GetText(), u"12.50");

    // The keypad's decimal key types the decimal separator whatever it shows.
    dd->SetText(u"");
    Caret(0);
    SimulateKey(VK_DECIMAL, {}, u',');
    EXPECT_EQ(dd->GetText(), u",") << "without the option the comma is the thousand separator";
    dd->SetExcelStyleDecimalSeparator(true);
    dd->SetText(u"");
    Caret(0);
    SimulateKey(VK_DECIMAL, {}, u',');
    EXPECT_EQ(dd->GetText(), u"0.");

    dd->SetEditType(etNumeric);
    dd->SetSigned(true);
    dd->SetText(u"42");
    dd->SelectAll();
    SimulateText(u"-");
    EXPECT_EQ(dd->GetText(), u"-");
    EXPECT_EQ(dd->SelStart(), 1);
}

}  // namespace

namespace {

TEST_F(TextFixture, MoneyIsShownWithThousandSeparatorsWhileTyping) {
    dd->SetEditType(etMoney);
    dd->SetPrecision(2);
    dd->SetText(u"123.00");
    Caret(3);
    changes = 0;
    SimulateText(u"4");
    EXPECT_EQ(dd->GetText(), u"1,234.00");
    EXPECT_EQ(dd->SelStart(), 5);
    EXPECT_EQ(changes, 1) << "the re-formatting tells nothing of its own";
    dd->SetText(u"12,345.00");
    Caret(3);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(dd->GetText(), u"1,245.00");
    dd->SelectAll();
    SimulateText(u".");
    EXPECT_EQ(dd->GetText(), u"0.00") << "the decimal point over everything starts anew";
    EXPECT_EQ(dd->SelStart(), 2);
}

}  // namespace

namespace {

// A parent that records the keys it receives.
class KeyPanel : public TCustomControl {
public:
    explicit KeyPanel(TComponent* owner) : TCustomControl(owner) {
        SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
        OnKeyDown = [this](TObject*, Word& key, TShiftState) { keys.push_back(key); };
    }
    std::vector<Word> keys;
};

TEST(DropDownTextKeys, ReturnIsTabAndEnterForTheParent) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 150);
    auto* panel = new KeyPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 300, 150);
    auto* dd = new TypedEdit(&form);
    dd->SetParent(panel);
    dd->SetBounds(10, 10, 120, 21);
    auto* next = new TEdit(&form);
    next->SetParent(panel);
    next->SetBounds(10, 50, 120, 21);
    form.Show();

    dd->SetReturnIsTab(true);
    dd->SetFocus();
    SimulateKey(VK_RETURN);
    Application->ProcessMessages();
    EXPECT_TRUE(next->Focused());

    dd->SetReturnIsTab(false);
    dd->SetDefaultHandling(false);
    dd->SetFocus();
    SimulateKey(VK_RETURN);
    Application->ProcessMessages();
    EXPECT_TRUE(dd->Focused());
    EXPECT_EQ(panel->keys, std::vector<Word>{VK_RETURN});
}

}  // namespace

namespace {

TEST_F(TextFixture, TheCaretStaysBetweenPrefixAndSuffix) {
    dd->SetPrefix(u"$ ");
    dd->SetSuffix(u" net");
    dd->SetTextValue(u"42");
    EXPECT_EQ(dd->GetText(), u"42");
    dd->SetSelStart(4);
    dd->SetSelLength(0);
    SimulateKey(VK_HOME);
    EXPECT_EQ(dd->SelStart(), 2);
    SimulateKey(VK_LEFT);
    EXPECT_EQ(dd->SelStart(), 2);
    SimulateKey(VK_BACK);
    EXPECT_EQ(dd->GetText(), u"42");
    SimulateKey(VK_END);
    EXPECT_EQ(dd->SelStart(), 4);
    SimulateKey(VK_RIGHT);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(dd->SelStart(), 4);
    EXPECT_EQ(dd->GetText(), u"42");
    SimulateKey(VK_BACK);
    EXPECT_EQ(dd->GetText(), u"4");
}

}  // namespace

namespace {

TEST_F(TextFixture, TheWholePartKeepsToItsLengthLimit) {
    dd->SetEditType(etFloat);
    dd->SetPrecision(2);
    dd->SetLengthLimit(3);
    dd->SetText(u"12.50");
    Caret(2);
    SimulateText(u"3");
    EXPECT_EQ(dd->GetText(), u"123.50");
    SimulateText(u"4");
    EXPECT_EQ(dd->GetText(), u"123.50") << "a fourth digit before the point is refused";
    Caret(5);
    SimulateText(u"7");
    EXPECT_EQ(dd->GetText(), u"123.57") << "decimals are not limited";
    dd->SetText(u"123.45");
    Caret(3);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(dd->GetText(), u"123.45") << "deleting the point would make the whole part 12345";
}

TEST_F(TextFixture, APressInsideTheSelectionKeepsItUntilTheRelease) {
    dd->SetText(u"abcdef");
    dd->SelectAll();
    SimulateMouseDown(dd, mbLeft, 20, 8);
    EXPECT_EQ(dd->SelLength(), 6);
    SimulateMouseUp(dd, mbLeft, 20, 8);
    EXPECT_EQ(dd->SelLength(), 0);
    EXPECT_GT(dd->SelStart(), 0);
}

}  // namespace
