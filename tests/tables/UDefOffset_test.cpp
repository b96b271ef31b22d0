#include "tables/UDefOffset.h"

#include "Editor_Windows.h"
#include "framework/Dialogs.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const char* const Network =
    "<DNET_Net><row ID='5' NB_IN='2' NB_OUT='1' Reset_DeviceNet='N' Reset_PROFINET='N' Mnemonic='valve'/>"
    "<row ID='7' NB_IN='0' NB_OUT='2' Reset_DeviceNet='N' Reset_PROFINET='N' Mnemonic='drive'/>"
    "<row ID='9' NB_IN='1' NB_OUT='1' Reset_DeviceNet='N' Reset_PROFINET='N' Mnemonic='pump'/></DNET_Net>";
const char* const Offsets =
    "<Define_Offset><Nodo_DNET><ByteIN><row Offset='0' Mnemonic='in0'/><row Offset='1' Mnemonic='in1'/></ByteIN>"
    "<ByteOUT><row Offset='0' Mnemonic='out0'/></ByteOUT></Nodo_DNET>"
    "<Nodo_DNET><ByteIN/><ByteOUT><row Offset='4' Mnemonic='s2o0'/><row Offset='abc' Mnemonic='s2o1'/></ByteOUT>"
    "</Nodo_DNET></Define_Offset>";

class DefOffset : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Model_Code = 1;
        Path_DNETM_Net = S(dir.file("DNETM_Net.xml"));
        Path_DNETM_DefOff = S(dir.file("DNETM_DefOff.xml"));
        Path_ParGen = S(dir.file("ParGen.xml"));
        w = Make_Window<TFDefOffset>();
    }
    void TearDown() override {
        Model_Code = model_;
        Path_DNETM_Net.clear();
        Path_DNETM_DefOff.clear();
        Path_ParGen.clear();
    }
    // Shows the window, runs body inside it and presses OK (Cancel when
    // OK leaves the window open, or when ok is false).
    int Show(const std::function<void()>& body, bool ok = true) {
        dialogs.OnModalForm = [&](TCustomForm*) {
            body();
            if (ok) w->Btn_OK->Click();
            if (w->ModalResult() == mrNone) w->Btn_Cancel->Click();
        };
        return w->ShowModal();
    }
    void Click_Slave(int row) {
        const TRect R = w->ACG_DN_Slaves->CellRect(1, row);
        SimulateClick(w->ACG_DN_Slaves, R.Left + 5, R.Top + 5);
    }
    // "offset:mnemonic" per row of a byte grid.
    static std::vector<std::string> Bytes(TExColumnGrid* g) {
        std::vector<std::string> v;
        for (int r = 1; r < g->RowCount(); ++r) {
            EXPECT_EQ(g->GetCellEx(0, r), IntToStr(r - 1));
            v.push_back(StringToUtf8(g->GetCellEx(1, r) + u":" + g->GetCellEx(2, r)));
        }
        return v;
    }
    using V = std::vector<std::string>;
    TempDir dir;
    TScriptedDialogService dialogs;
    std::unique_ptr<TFDefOffset> w;
    int model_ = Model_Code;
};

std::unique_ptr<TSlave_DN> Slave(int id, std::vector<String> outs, std::vector<String> ins = {}) {
    auto s = std::make_unique<TSlave_DN>();
    s->ID = static_cast<std::uint8_t>(id);
    s->ByteOUT = static_cast<std::uint16_t>(outs.size());
    s->SL_ByteOUT = outs;
    s->SL_ByteOUT_M.resize(outs.size());
    s->ByteIN = static_cast<std::uint16_t>(ins.size());
    s->SL_ByteIN = ins;
    s->SL_ByteIN_M.resize(ins.size());
    return s;
}

}  // namespace

TEST_F(DefOffset, EditsOfEverySlaveSurviveSwitchingAndAreSavedAsTheGoldenFile) {
    EXPECT_EQ(w->ClientWidth(), 482);
    EXPECT_EQ(w->ClientHeight(), 610);
    EXPECT_EQ(w->PageControl1->ActivePage(), w->TabSheet1);
    EXPECT_EQ(w->Label3->Caption(), u"Use \"None\" to not pass the byte from DeviceNet to PROFINET array");
    dir.write("DNETM_Net.xml", Network);
    dir.write("DNETM_DefOff.xml", Offsets);
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>16</PROFINET_NB_IN><PROFINET_NB_OUT>8</PROFINET_NB_OUT></Par_Gen>");
    EXPECT_EQ(Show([&] {
                  TExColumnGrid* s = w->ACG_DN_Slaves;
                  ASSERT_EQ(s->RowCount(), 4);
                  EXPECT_EQ(s->GetCellEx(3, 2), u"drive");
                  EXPECT_EQ(s->GetCellEx(0, 3), u"9");
                  // The first slave is shown at once.
                  EXPECT_EQ(w->Slave_Before_Select, 0);
                  EXPECT_EQ(Bytes(w->ACG_ByteIN), (V{"0:in0", "1:in1"}));
                  EXPECT_EQ(Bytes(w->ACG_ByteOUT), (V{"0:out0"}));
                  TStringList& outChoices = w->ACG_ByteOUT->Columns().Items(1)->ComboItems();
                  EXPECT_EQ(outChoices.Count(), 9);
                  EXPECT_EQ(outChoices[0], u"None");
                  EXPECT_EQ(outChoices[8], u"7");
                  EXPECT_EQ(w->ACG_ByteIN->Columns().Items(1)->ComboItems().Count(), 17);

                  Click_Slave(2);
                  EXPECT_EQ(w->Slave_Before_Select, 1);
                  EXPECT_EQ(w->ACG_ByteIN->RowCount(), 1);  // no input bytes
                  EXPECT_EQ(Bytes(w->ACG_ByteOUT), (V{"4:s2o0", "abc:s2o1"}));
                  w->ACG_ByteOUT->SetCellEx(1, 1, u"6");
                  w->ACG_ByteOUT->SetCellEx(2, 2, u"second");
                  Click_Slave(1);
                  EXPECT_EQ(Bytes(w->ACG_ByteOUT), (V{"0:out0"}));
                  Click_Slave(2);
                  EXPECT_EQ(Bytes(w->ACG_ByteOUT), (V{"6:s2o0", "abc:second"}));
              }),
              mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_EQ(dir.read("DNETM_DefOff.xml"), Golden("DNETM_DefOff.xml"));
}

TEST_F(DefOffset, CancelDiscardsTheEditsOfEverySlave) {
    dir.write("DNETM_Net.xml", Network);
    dir.write("DNETM_DefOff.xml", Offsets);
    EXPECT_EQ(Show(
                  [&] {
                      w->ACG_ByteIN->SetCellEx(2, 1, u"edited");
                      Click_Slave(2);
                      w->ACG_ByteOUT->SetCellEx(1, 1, u"7");
                      Click_Slave(3);
                  },
                  false),
              mrCancel);
    EXPECT_EQ(dir.read("DNETM_DefOff.xml"), Offsets);
    Show(
        [&] {
            EXPECT_EQ(Bytes(w->ACG_ByteIN), (V{"0:in0", "1:in1"}));
            Click_Slave(2);
            EXPECT_EQ(Bytes(w->ACG_ByteOUT), (V{"4:s2o0", "abc:s2o1"}));
        },
        false);
}

TEST_F(DefOffset, OffsetsFollowTheSlavesByPositionAndTheirByteCounts) {
    // A slave inserted at the top: every offset list now belongs to the next
    // slave; the first slave's counts grew (input) and shrank (output).
    dir.write("DNETM_Net.xml",
              "<DNET_Net><row ID='1' NB_IN='3' NB_OUT='0' Mnemonic='new'/>"
              "<row ID='5' NB_IN='0' NB_OUT='3' Mnemonic='valve'/></DNET_Net>");
    dir.write("DNETM_DefOff.xml", Offsets);
    EXPECT_EQ(Show([] {}), mrOk);
    TXmlDocument doc;
    doc.LoadFromFile(Path_DNETM_DefOff);
    const TXmlNode root = doc.DocumentElement();
    ASSERT_EQ(root.ChildCount(), 2);
    auto rows = [](const TXmlNode& list) {
        std::vector<std::string> v;
        for (const TXmlNode& r : list.Children())
            v.push_back(StringToUtf8(*r.Attribute(u"Offset") + u":" + *r.Attribute(u"Mnemonic")));
        return v;
    };
    EXPECT_EQ(rows(root.Child(0).ChildNode(u"ByteIN")), (V{"0:in0", "1:in1", "None:"}));
    EXPECT_EQ(rows(root.Child(0).ChildNode(u"ByteOUT")), V{});
    EXPECT_EQ(rows(root.Child(1).ChildNode(u"ByteIN")), V{});
    EXPECT_EQ(rows(root.Child(1).ChildNode(u"ByteOUT")), (V{"4:s2o0", "abc:s2o1", "None:"}));
}

TEST_F(DefOffset, WithoutANetworkOkWritesTheRootAndTheCommentOnly) {
    EXPECT_EQ(Show([&] {
                  EXPECT_EQ(w->ACG_DN_Slaves->RowCount(), 1);
                  EXPECT_EQ(w->ACG_ByteIN->RowCount(), 1);
                  EXPECT_EQ(w->ACG_ByteOUT->RowCount(), 1);
                  EXPECT_EQ(w->Slave_Before_Select, -1);
                  Click_Slave(0);  // the header: no slave
                  EXPECT_EQ(w->Slave_Before_Select, -1);
              }),
              mrOk);
    EXPECT_EQ(dir.read("DNETM_DefOff.xml"), "<Define_Offset/>\r\n<!--SW_VERSION = 1.102-->\r\n");
}

TEST_F(DefOffset, NetworkRowsAreCutToTheFieldsAndABadCountStopsTheShow) {
    dir.write("DNETM_Net.xml",
              "<DNET_Net><row ID='300' NB_IN='65537' NB_OUT='x2' Mnemonic='a'/>"
              "<row ID='2' NB_IN='abc' NB_OUT='1' Mnemonic='b'/><row ID='3' NB_IN='1' NB_OUT='1' Mnemonic='c'/>"
              "</DNET_Net>");
    const std::string offsets = "<Define_Offset><Nodo_DNET><ByteIN/><ByteOUT/></Nodo_DNET></Define_Offset>";
    dir.write("DNETM_DefOff.xml", offsets);
    EXPECT_EQ(Show([&] {
                  ASSERT_EQ(dialogs.Shown.size(), 1u);
                  dialogs.AnswerBox(IDNO);
                  EXPECT_EQ(dialogs.Shown[0].Text, u"'abc' is not a valid integer value");
                  ASSERT_EQ(w->List_Slaves_DN.size(), 1u);
                  const TSlave_DN& s = *w->List_Slaves_DN[0];
                  EXPECT_EQ(s.ID, 44);  // 300 in 8 bits
                  EXPECT_EQ(s.ByteIN, 1);
                  EXPECT_EQ(s.ByteOUT, 2);
                  EXPECT_EQ(w->ACG_DN_Slaves->RowCount(), 2);  // only the slave made
                  EXPECT_EQ(w->ACG_DN_Slaves->GetCellEx(0, 1), u"300");
                  // The rest of the show was skipped: nothing selected yet.
                  EXPECT_EQ(w->Slave_Before_Select, -1);
                  EXPECT_EQ(w->ACG_ByteOUT->RowCount(), 1);
                  Click_Slave(1);
                  EXPECT_EQ(Bytes(w->ACG_ByteOUT), (V{"None:", "None:"}));
              }),
              mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 2u);  // OK asked before replacing the file
    EXPECT_EQ(dir.read("DNETM_DefOff.xml"), offsets);

    // An offsets element without its ByteOUT list stops the show the same way.
    dir.write("DNETM_Net.xml", Network);
    dir.write("DNETM_DefOff.xml", "<Define_Offset><Nodo_DNET><ByteIN/></Nodo_DNET></Define_Offset>");
    dialogs.Shown.clear();
    Show([&] { EXPECT_EQ(w->List_Slaves_DN.size(), 3u); }, false);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"The table element \"ByteOUT\" is missing.");
}

TEST_F(DefOffset, OnlyOutputBytesMayNotShareAnOffset) {
    const String lead = u"Error in ByteOUT! The same byte of EtherNet/IP is used in two bytes DeviceNet\n\r";
    struct Case {
        std::function<TSlave_List()> slaves;
        const char16_t* clash;  // nullptr passes
    };
    auto list = [](auto... s) {
        TSlave_List l;
        (l.push_back(std::move(s)), ...);
        return l;
    };
    const Case cases[] = {
        {[&] { return list(Slave(5, {u"3", u"None", u"3"})); }, u"(First ID = 5 Byte = 0, Second ID = 5 Byte = 2)"},
        {[&] { return list(Slave(5, {u"None", u"7"}), Slave(9, {u"1", u"7"})); },
         u"(First ID = 5 Byte = 1, Second ID = 9 Byte = 1)"},
        {[&] { return list(Slave(5, {u"x10"}), Slave(6, {u"16"})); }, u"(First ID = 5 Byte = 0, Second ID = 6 Byte = 0)"},
        {[&] { return list(Slave(5, {u"100000"}), Slave(6, {u"100000"})); },
         u"(First ID = 5 Byte = 0, Second ID = 6 Byte = 0)"},
        {[&] { return list(Slave(5, {u"None", u"abc", u"-1"}), Slave(6, {u"None", u"abc", u"-1"})); }, nullptr},
        {[&] { return list(Slave(5, {u"1"}, {u"2", u"2"}), Slave(6, {u"2"}, {u"1"})); }, nullptr},
    };
    for (const Case& c : cases) {
        dialogs.Shown.clear();
        std::map<int, TOffsetOwner> owners;
        EXPECT_EQ(Check_Data(c.slaves(), owners), c.clash == nullptr);
        if (c.clash) {
            ASSERT_EQ(dialogs.Shown.size(), 1u);
            EXPECT_EQ(dialogs.Shown[0].Text, lead + c.clash);
        }
    }
    // A clash found at OK keeps the window open and the file untouched.
    dir.write("DNETM_Net.xml", Network);
    dir.write("DNETM_DefOff.xml", Offsets);
    dialogs.Shown.clear();
    EXPECT_EQ(Show([&] {
                  Click_Slave(2);
                  w->ACG_ByteOUT->SetCellEx(1, 2, u"0");  // slave 5 byte 0 has it
                  w->Btn_OK->Click();
                  EXPECT_EQ(w->ModalResult(), mrNone);
              },
                   false),
              mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, lead + u"(First ID = 5 Byte = 0, Second ID = 7 Byte = 1)");
    EXPECT_EQ(dir.read("DNETM_DefOff.xml"), Offsets);
}

TEST_F(DefOffset, TypedTextStillInTheEditorGoesWithTheSlave) {
    dir.write("DNETM_Net.xml", Network);
    dir.write("DNETM_DefOff.xml", Offsets);
    auto type_into = [&](TExColumnGrid* g, int col, int row, const char16_t* text) {
        const TRect R = g->CellRect(col, row);
        SimulateClick(g, R.Left + 5, R.Top + 5);
        SimulateText(text);
    };
    EXPECT_EQ(Show([&] {
                  Click_Slave(2);
                  w->PageControl1->SetActivePage(w->TabSheet2);
                  type_into(w->ACG_ByteOUT, 2, 1, u"x");
                  Click_Slave(1);  // the editor is still open
                  Click_Slave(2);
                  EXPECT_EQ(Bytes(w->ACG_ByteOUT), (V{"4:x", "abc:s2o1"}));
                  type_into(w->ACG_ByteOUT, 2, 2, u"y");
              }),
              mrOk);
    TXmlDocument doc;
    doc.LoadFromFile(Path_DNETM_DefOff);
    const TXmlNode out = doc.DocumentElement().Child(1).ChildNode(u"ByteOUT");
    EXPECT_EQ(*out.Child(0).Attribute(u"Mnemonic"), u"x");
    EXPECT_EQ(*out.Child(1).Attribute(u"Mnemonic"), u"y");
}

TEST_F(DefOffset, TheSplitterSizesTheSlavePanelAndThePanelsPaintTheWindowColour) {
    Show(
        [&] {
            EXPECT_EQ(w->Panel1->Top(), 69);
            EXPECT_EQ(w->Panel1->Height(), 162);
            EXPECT_EQ(w->Splitter1->Top(), 69 + 162);
            EXPECT_EQ(w->Splitter1->ResizeControl(), w->Panel1);
            SimulateMouseDown(w->Splitter1, mbLeft, 100, 1);
            SimulateMouseMove(w->Splitter1, 100, 41, TShiftState{ssLeft});
            SimulateMouseUp(w->Splitter1, mbLeft, 100, 41);
            EXPECT_EQ(w->Panel1->Height(), 202);
            EXPECT_EQ(w->Panel3->Top(), 69 + 202 + w->Splitter1->Height());
            EXPECT_EQ(w->Panel3->Top() + w->Panel3->Height(), 610 - 40);
            // The slave grid grows with its panel.
            EXPECT_EQ(w->ACG_DN_Slaves->Height(), 136 + 40);
            for (TPanel* p : {w->P_Button, w->Panel1, w->Panel3}) {
                EXPECT_FALSE(p->ParentColor());
                EXPECT_EQ(p->Color(), 0xEDF7F8);  // #F8F7ED
            }
        },
        false);
}

TEST_F(DefOffset, TheOffsetChoicesFollowTheAreaSizesWithinTheLargestImage) {
    const struct {
        const char* parGen;  // nullptr: no file
        int in, out;
    } cases[] = {
        {nullptr, 1438, 1438},
        {"<P><PROFINET_NB_IN>100</PROFINET_NB_IN><PROFINET_NB_OUT>0x20</PROFINET_NB_OUT></P>", 100, 32},
        {"<P><PROFINET_NB_IN>5000</PROFINET_NB_IN><PROFINET_NB_OUT>-3</PROFINET_NB_OUT></P>", 1440, 0},
        {"<P><PROFINET_NB_IN>abc</PROFINET_NB_IN></P>", 1438, 1438},
    };
    for (const auto& c : cases) {
        if (c.parGen) dir.write("ParGen.xml", c.parGen);
        Show(
            [&] {
                EXPECT_EQ(w->MAX_BYTE_IN, c.in);
                EXPECT_EQ(w->MAX_BYTE_OUT, c.out);
                TStringList& in = w->ACG_ByteIN->Columns().Items(1)->ComboItems();
                ASSERT_EQ(in.Count(), c.in + 1);
                EXPECT_EQ(in[0], u"None");
                if (c.in > 0) {
                    EXPECT_EQ(in[c.in], IntToStr(c.in - 1));
                }
                EXPECT_EQ(w->ACG_ByteOUT->Columns().Items(1)->ComboItems().Count(), c.out + 1);
            },
            false);
    }
    EXPECT_TRUE(dialogs.Shown.empty());
}
