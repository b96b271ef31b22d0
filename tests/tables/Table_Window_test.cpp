#include "tables/Table_Window.h"

#include "tables/Table_Frame.h"

#include <gtest/gtest.h>

TEST(TableWindow, TitleAndButtonPanelsFrameTheEditor) {
    TTable_Editor_Form form(nullptr, u"FEditor", 1256, 337);
    TTable_Editor_Form& f = form;
    TFlatButton* paste = Make_Editor_Button(f.P_Button, u"Btn_PasteRow", 606);
    EXPECT_EQ(form.ClientWidth(), 1256);
    EXPECT_EQ(form.ClientHeight(), 337);
    EXPECT_EQ(form.Color(), 0xEDF7F8);  // #F8F7ED
    const struct {
        TControl* control;
        int left, top, width, height;
    } places[] = {
        {f.P_Title, 0, 0, 1256, 69},
        {f.P_Button, 0, 297, 1256, 40},
        {f.Btn_OK, 16, 6, 110, 28},
        {f.Btn_Cancel, 134, 6, 110, 28},
        {paste, 606, 6, 110, 28},
    };
    for (const auto& p : places) {
        EXPECT_EQ(p.control->Left(), p.left);
        EXPECT_EQ(p.control->Top(), p.top);
        EXPECT_EQ(p.control->Width(), p.width);
        EXPECT_EQ(p.control->Height(), p.height);
    }
    EXPECT_EQ(f.Btn_Cancel->ModalResult(), mrCancel);
    EXPECT_TRUE(f.L_SW_Desc->Font().Style().Contains(fsBold));
    EXPECT_EQ(Column_Colour(0xFFD8B0), 0xB0D8FF);
    EXPECT_EQ(Column_Colour(0xE0FAFE), 0xFEFAE0);
    EXPECT_EQ(Column_Colour(Window_Colour), clWindow);
}
