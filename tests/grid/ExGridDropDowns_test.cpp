#include "grid/ExGridDropDowns.h"

#include "GridEditorForm.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The editor form with the drop-down open.
struct DropForm : EditorForm {
    DropForm(TEditorType Kind, const String& Text) : EditorForm(Kind, Text) { Open(); }
};

TEST(GridDropDowns, EscapeRestoresTheCellInEveryWrapper) {
    struct Case {
        TEditorType kind;
        const char16_t* cell;
    };
    const Case cases[] = {{edTrackbarDropDown, u"4"},  {edMemoDropDown, u"memo"},     {edCalculatorDropDown, u"12"},
                          {edTimePickerDropDown, u"10:30:00"}, {edDetailDropDown, u"detail"}, {edImagePickerDropDown, u"pic"}};
    for (const Case& c : cases) {
        DropForm f(c.kind, c.cell);
        TExCustomDropDown* d = nullptr;
        for (int i = 0; i < f.g->ControlCount(); ++i)
            if (auto* dd = dynamic_cast<TExCustomDropDown*>(f.g->Controls(i)); dd && dd->Visible()) d = dd;
        ASSERT_TRUE(d) << int(c.kind);
        EXPECT_TRUE(d->Focused()) << int(c.kind);
        d->SetText(u"changed");
        SimulateKey(VK_ESCAPE);
        EXPECT_FALSE(d->Visible()) << int(c.kind);
        EXPECT_EQ(f.g->GetCellEx(1, 2), String(c.cell)) << int(c.kind);
        EXPECT_TRUE(f.g->Focused()) << int(c.kind);
    }
}

TEST(GridDropDowns, ATrackBarCellsUpWithThePopupClosedValidatesWritesAndMovesUp) {
    DropForm f(edTrackbarDropDown, u"5");
    TGridTrackbarDropDown* t = f.g->TrackbarDropDown();
    ASSERT_TRUE(t->Visible());
    EXPECT_EQ(t->Position(), 5);
    t->SetText(u"7");
    SimulateKey(VK_UP);
    EXPECT_FALSE(t->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"7");
    EXPECT_EQ(f.log, std::vector<std::string>{"validate 2 7"});
    EXPECT_EQ(f.g->Row(), 1);
}

TEST(GridDropDowns, ACalculatorCellWritesThePendingSumOnEnter) {
    DropForm f(edCalculatorDropDown, u"0");
    TGridCalculatorDropDown* c = f.g->CalculatorDropDown();
    ASSERT_TRUE(c->Visible());
    SimulateText(u"2+3");
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(c->Visible());
    // The calculator shows its results with its default two decimals.
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"5.00");
}

}  // namespace
