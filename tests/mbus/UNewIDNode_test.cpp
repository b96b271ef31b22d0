// The node-ID dialog: the range of each address kind and the duplicate check,
// which compares addresses of the same kind only.
#include "mbus/UNewIDNode.h"

#include "framework/Dialogs.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TNodo> Node(int id, Byte type) {
    auto n = std::make_unique<TNodo>();
    n->Node_ID_Type = type;
    (type ? n->Node_ID_Secondary : n->Node_ID_Primary) = id;
    return n;
}

}  // namespace

TEST(UNewIDNode, OkChecksTheChosenKindsRangeAndDuplicates) {
    Load_Default_Texts();
    TScriptedDialogService dialogs;
    TFNewIDNode dlg(nullptr);
    dlg.AfterConstruction();
    EXPECT_EQ(dlg.Caption(), u"New Node ID");
    TNodi_List net;
    net.push_back(Node(5, 1));  // secondary 5
    net.push_back(Node(7, 0));  // primary 7
    dlg.Nodi_List = &net;
    const struct {
        bool secondary;
        const char16_t* text;
        int error;  // 0: accepted
    } cases[] = {
        {false, u"255", 0},      {false, u"256", 807},          {false, u"abc", 807}, {false, u"-1", 807},
        {false, u"5", 0},        {false, u"7", 789},            {true, u"99999999", 0}, {true, u"100000000", 808},
        {true, u"5", 789},       {true, u"7", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.text));
        dialogs.Shown.clear();
        dlg.SetModalResult(mrNone);
        (c.secondary ? dlg.RB_ID_Secondary : dlg.RB_ID_Primary)->SetChecked(true);
        // The field of the other kind holds nonsense: it is not checked.
        dlg.E_New_Node_ID_Pri->SetText(c.secondary ? u"x" : c.text);
        dlg.E_New_Node_ID_Sec->SetText(c.secondary ? c.text : u"x");
        dlg.Btn_OK->Click();
        if (c.error == 0) {
            EXPECT_EQ(dlg.ModalResult(), mrOk);
            EXPECT_TRUE(dialogs.Shown.empty());
        } else {
            EXPECT_EQ(dlg.ModalResult(), mrNone);
            ASSERT_EQ(dialogs.Shown.size(), 1u);
            EXPECT_EQ(dialogs.Shown[0].Text, Lang_Table[c.error]);
        }
    }
}
