#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Menus.h"

#include <gtest/gtest.h>

TEST(Dialogs, MessageDialogsReportTheirButtonsAndReturnTheAnswer) {
    TScriptedDialogService dialogs;
    dialogs.AnswerBox(mrNo);
    EXPECT_EQ(MessageDlg(u"Overwrite the file?", mtConfirmation, {mbYes, mbNo}), mrNo);
    EXPECT_EQ(MessageBox(0, u"Exit without saving?", u"Question", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Caption, u"Confirm");
    EXPECT_EQ(dialogs.Shown[0].Icon, diQuestion);
    EXPECT_EQ(dialogs.Shown[0].Buttons, (std::vector<int>{mrYes, mrNo}));
    // The second box had no scripted answer: its default button, counted.
    EXPECT_EQ(dialogs.Shown[1].Buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(dialogs.Unanswered, 1);
}

TEST(Dialogs, FileDialogsAddTheDefaultExtensionAndCancelCleanly) {
    TScriptedDialogService dialogs;
    TSaveDialog save(nullptr);
    save.Filter = u"Electronic Data Sheet (*.eds)|*.eds";
    save.DefaultExt = u"*.eds";
    save.FileName = u"old.eds";
    dialogs.AnswerFile(u"/tmp/net.d/gateway");
    dialogs.AnswerFile(u"/tmp/gateway.txt");
    dialogs.AnswerFile(u"");
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, u"/tmp/net.d/gateway.eds");
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, u"/tmp/gateway.txt");
    EXPECT_FALSE(save.Execute());
    EXPECT_EQ(save.FileName, u"/tmp/gateway.txt");
    EXPECT_EQ(dialogs.Shown[0].Kind, dkSaveFile);
    EXPECT_EQ(dialogs.Shown[0].Text, save.Filter);
}

TEST(Dialogs, FilterEntriesShowTheirPatternsOnce) {
    EXPECT_EQ(FileDialogFilters(u"Electronic Data Sheet (*.eds)|*.eds"),
              (std::vector<String>{u"Electronic Data Sheet (*.eds)"}));
    EXPECT_EQ(FileDialogFilters(u"PROFINET XML|*.xml|All|*.a;*.b|dangling"),
              (std::vector<String>{u"PROFINET XML (*.xml)", u"All (*.a *.b)"}));
    EXPECT_EQ(FileDialogFilters(u"Text (*.txt)|*.log"), (std::vector<String>{u"Text (*.txt) (*.log)"}));
    EXPECT_TRUE(FileDialogFilters(u"").empty());
}

TEST(Dialogs, LinksAndPopupMenusGoThroughTheService) {
    TScriptedDialogService dialogs;
    OpenLink(u"http://127.0.0.1/product");
    TPopupMenu menu(nullptr);
    int deleted = 0;
    menu.Items().Add(NewItem(&menu, u"&Insert row", nullptr));
    menu.Items().Add(NewLine(&menu));
    menu.Items().Add(NewItem(&menu, u"&Delete row", [&](TObject*) { ++deleted; }));
    dialogs.AnswerMenu(u"Delete row");
    menu.Popup(100, 100);
    EXPECT_EQ(deleted, 1);
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Kind, dkOpenLink);
    EXPECT_EQ(dialogs.Shown[0].FileName, u"http://127.0.0.1/product");
    EXPECT_EQ(dialogs.Shown[1].Kind, dkPopupMenu);
}
