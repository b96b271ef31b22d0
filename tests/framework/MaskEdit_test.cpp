#include "framework/Clipboard.h"
#include "framework/EditMask.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

namespace {

struct TMaskFixture : ::testing::Test {
    TForm Form{nullptr};
    TMaskEdit* Edit = nullptr;
    int Changes = 0;

    TMaskEdit* Make(const String& Mask) {
        Form.SetBounds(0, 0, 300, 120);
        Edit = new TMaskEdit(&Form);
        Edit->SetParent(&Form);
        Edit->SetBounds(8, 8, 200, 21);
        Edit->SetEditMask(Mask);
        Edit->OnChange = [this](TObject*) { ++Changes; };
        Form.Show();
        Edit->SetFocus();
        return Edit;
    }
};

// What the engine makes of the same characters typed one by one from the start.
String EngineShown(const TEditMask& M, const String& Typed) {
    String shown = M.EmptyText();
    int pos = 0;
    for (Char c : Typed) M.InputText(shown, pos, String(1, c), false);
    return shown;
}

}  // namespace

TEST_F(TMaskFixture, TypedTextIsShownAndStoredAsTheMaskEngineSays) {
    struct Case {
        const char* Mask;
        const char* Typed;
        const char* Shown;
        const char* Stored;
    };
    const Case cases[] = {
        {"(000) 000-0000;1;_", "5551234567", "(555) 123-4567", "(555) 123-4567"},
        {"(000) 000-0000;0;_", "5551234567", "(555) 123-4567", "5551234567"},
        {"(000) 000-0000;0;_", "555", "(555) ___-____", "555"},
        {"(000) 000-0000;1;_", "555", "(555) ___-____", "(555)    -    "},
        {">LL-000;0;*", "ab12", "AB-12*", "AB12"},
        {"00:00;1;_", "12:3", "12:3_", "12:3 "},
        {"!99/99;0;_", "1", "1_/__", "1   "},
        {"cc\\0aa;1;_", "x?y", "x?0y_", "x?0y "},
    };
    for (const auto& c : cases) {
        const String mask = Utf8ToString(c.Mask), typed = Utf8ToString(c.Typed);
        SCOPED_TRACE(c.Mask);
        TMaskEdit* e = Make(mask);
        SimulateText(typed);
        const TEditMask engine(mask);
        const String shown = EngineShown(engine, typed);
        EXPECT_EQ(e->EditText(), shown);
        EXPECT_EQ(e->Text(), engine.StoredText(shown));
        EXPECT_EQ(e->EditText(), Utf8ToString(c.Shown));
        EXPECT_EQ(e->Text(), Utf8ToString(c.Stored));
        delete e;
    }
}

TEST_F(TMaskFixture, ARefusedLetterChangesNothingAndValidationNamesTheGap) {
    TMaskEdit* e = Make(u"000");
    SimulateText(u"1a2");
    EXPECT_EQ(e->EditText(), u"12_");
    EXPECT_EQ(Changes, 2);
    EXPECT_TRUE(e->Modified());
    EXPECT_THROW(e->ValidateEdit(), EDBEditError);
    EXPECT_EQ(e->SelStart(), 2);
    SimulateText(u"3");
    EXPECT_EQ(e->Text(), u"123");
    EXPECT_NO_THROW(e->ValidateEdit());
}

TEST_F(TMaskFixture, LiteralsAreStoredOnlyWhenTheMaskSaysSo) {
    TMaskEdit* e = Make(u"00-00;0;_");
    e->SetText(u"1234");
    EXPECT_EQ(e->EditText(), u"12-34");
    EXPECT_EQ(e->Text(), u"1234");
    e->SetEditMask(u"00-00;1;_");
    EXPECT_EQ(e->EditText(), u"12-34");
    EXPECT_EQ(e->Text(), u"12-34");
    e->SetText(u"56-78");
    EXPECT_EQ(e->EditText(), u"56-78");
    // Without a mask it is a plain edit again.
    e->SetEditMask(u"");
    EXPECT_EQ(e->Text(), u"56-78");
    SimulateKey(VK_END);
    SimulateText(u"x");
    EXPECT_EQ(e->Text(), u"56-78x");
}

TEST_F(TMaskFixture, DeleteBackspaceAndPasteKeepThePositionsOfTheMask) {
    TMaskEdit* e = Make(u"(000) 000-0000;0;_");
    SimulateText(u"5551234567");
    SimulateKey(VK_HOME);
    SimulateKey(VK_DELETE);
    EXPECT_EQ(e->EditText(), u"(_55) 123-4567");
    SimulateKey(VK_END);
    SimulateKey(VK_BACK);
    EXPECT_EQ(e->EditText(), u"(_55) 123-456_");
    // Pasted text fills from the caret; a letter refuses the whole paste.
    Clipboard().SetAsText(u"(999) 8");
    SimulateKey(VK_HOME);
    SimulateKey('V', TShiftState{ssCtrl});
    EXPECT_EQ(e->EditText(), u"(999) 823-456_");
    Clipboard().SetAsText(u"12x");
    SimulateKey(VK_HOME);
    SimulateKey('V', TShiftState{ssCtrl});
    EXPECT_EQ(e->EditText(), u"(999) 823-456_");
    EXPECT_EQ(e->Text(), u"999823456");
}
