// The result trees of the scan window: the texts of a wired meter, its
// records and their details; the wireless tree of the meter chosen; the
// ticks, set by mouse, reaching the meters and records and the written
// network.
#include "ScanWindowFixture.h"

#include "controls/FlatButton.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/XmlDoc.h"
#include "tree/LazyTrees.h"

namespace {

struct TShownNode {
    Cardinal Level;
    String Text;
    TCheckType CheckType;
    TCheckState CheckState;
};

std::vector<TShownNode> Walk_Tree(TLazyStringTree* t) {
    std::vector<TShownNode> out;
    for (PLazyNode n = t->GetFirst(); n; n = t->GetNext(n))
        out.push_back({t->GetNodeLevel(n), t->GetText(n, NoColumn), n->CheckType, n->CheckState});
    return out;
}

// A click on the node's check box, as the user gives it.
void Click_Check(TLazyStringTree* t, PLazyNode n) {
    t->ScrollIntoView(n, false);
    const TRect r = t->GetDisplayRect(n, false);
    const int y = (r.Top + r.Bottom) / 2;
    for (int x = 0; x < r.Right; ++x)
        if (t->GetHitTestInfoAt(x, y).HitPositions.Contains(TBaseLazyTree::hiOnItemCheckbox)) {
            SimulateClick(t, x, y);
            return;
        }
    ADD_FAILURE() << "no check box on the node";
}

}  // namespace

TEST_F(ScanWindow, WiredTreeShowsEachMeterWithItsRecordsAndTheirDetails) {
    Add_Example_Meter(2);
    auto* meter = static_cast<TSlave_MBus*>(MBus_Slave_List[0]);
    Show([&] {
        win->T_InScanTimer(nullptr);  // no scan running: the results as they are
        ASSERT_EQ(win->Style(), 3);
        const auto nodes = Walk_Tree(win->LST);
        ASSERT_EQ(nodes.size(), 1u + 3 + 3 * 12);
        EXPECT_EQ(nodes[0].Level, 0u);
        EXPECT_EQ(nodes[0].Text, u"Primary Address = 2 - Secondary Address = 12345678 - Manufacturer = PAD(16420) - "
                                 u"Version = 1 - Type = " +
                                     meter->descmedium);
        const TVariable_MBus& v = *meter->List_Var[0];
        EXPECT_EQ(nodes[1].Text, u"Value = " + v.ValueStr + u" - Type = Volume m3 (U0S0T0)");
        EXPECT_EQ(nodes[27].Text.substr(nodes[27].Text.size() - 28), u" - Type = Energy Wh (U1S0T2)");
        const std::vector<String> details = {u"Storage Number = 0",
                                             u"Tariff = 0",
                                             u"Unit = 0",
                                             u"Data Field = " + v.DataFieldStr,
                                             u"Function Field = " + v.FunctionFieldStr,
                                             u"Type = Volume m3",
                                             u"Value = " + v.ValueStr,
                                             u"DIF = $03",
                                             u"VIF = $13",
                                             u"DIFE = ",
                                             u"VIFE = ",
                                             u"DATA = $" + v.totdati};
        for (std::size_t i = 0; i < details.size(); ++i) {
            EXPECT_EQ(nodes[2 + i].Level, 2u);
            EXPECT_EQ(nodes[2 + i].Text, details[i]) << i;
            EXPECT_EQ(nodes[2 + i].CheckType, ctNone);
        }
        for (std::size_t i : {0u, 1u, 14u, 27u}) {
            EXPECT_EQ(nodes[i].CheckType, ctCheckBox) << i;
            EXPECT_EQ(nodes[i].CheckState, csCheckedNormal) << i;
        }
        // Each meter and record keeps its node.
        EXPECT_EQ(meter->Node, win->LST->GetFirst());
        EXPECT_EQ(meter->List_Var[1]->Node, win->LST->GetNextSibling(meter->List_Var[0]->Node));

        // Each row shows the picture of its level: the meter, a record, a detail line.
        win->LST->SetExpanded(meter->Node, true);
        win->LST->SetExpanded(meter->List_Var[0]->Node, true);
        TBitmap shot;
        RenderControlToBitmap(win->LST, shot);
        const int edge = (win->LST->Width() - win->LST->ClientWidth()) / 2;
        auto count = [&](PLazyNode n, TColor colour) {
            const TRect r = win->LST->GetDisplayRect(n, false);
            int found = 0;
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = 0; x < r.Right; ++x) found += shot.Canvas().Pixels(x + edge, y + edge) == colour;
            return found;
        };
        const PLazyNode rows[] = {meter->Node, meter->List_Var[0]->Node, win->LST->GetFirstChild(meter->List_Var[0]->Node)};
        const TColor pictures[] = {clSilver, clSkyBlue, clTeal};
        for (int level = 0; level < 3; ++level)
            for (int picture = 0; picture < 3; ++picture)
                if (picture == level)
                    EXPECT_GT(count(rows[level], pictures[picture]), 8) << level;
                else
                    EXPECT_EQ(count(rows[level], pictures[picture]), 0) << level << " " << picture;

        // Unticked by mouse: the record, then the meter; the written network says so.
        Click_Check(win->LST, meter->List_Var[1]->Node);
        EXPECT_FALSE(meter->List_Var[1]->Enable);
        EXPECT_TRUE(meter->Enable);
        Click_Check(win->LST, meter->Node);
        EXPECT_FALSE(meter->Enable);
        Click_Check(win->LST, meter->List_Var[1]->Node);
        EXPECT_TRUE(meter->List_Var[1]->Enable);
        Click_Check(win->LST, meter->List_Var[2]->Node);
        win->Btn_SaveConf->Click();
        TXmlDocument doc;
        doc.LoadFromFile(win->FileName_MBus);
        const TXmlNode node = doc.DocumentElement().Child(0);
        EXPECT_EQ(node.AttributeOr(u"Enable_Node", u""), u"0");
        std::vector<String> enabled;
        for (const TXmlNode& var : node.Children()) enabled.push_back(var.AttributeOr(u"Enable", u""));
        EXPECT_EQ(enabled, (std::vector<String>{u"1", u"1", u"0"}));
    });
}

TEST_F(ScanWindow, ScannedValuesOfTheCurrentCodingReachTheTreeAndTheNetwork) {
    const TBytes frame = Long_Frame(3, Current_Coding_Data());
    sim.SetFrameAnswer(Build_REQ_UD2(3, 0, false, 0), ByteString(frame.begin(), frame.end()));
    Show([&] {
        win->Btn_StartScan->Click();
        Run();
        win->T_InScanTimer(nullptr);
        ASSERT_EQ(win->Style(), 3);
        const auto nodes = Walk_Tree(win->LST);
        ASSERT_EQ(nodes.size(), 1u + 5 * 13) << "five records, no phantom ones after the key";
        const String records[] = {
            u"Value = 54.1 - Type = Vif in following String [%RH] - Moltiplicative Correction Factor: 10^(-1) (U0S0T0)",
            u"Value = G0017591208205814 - Type = Fabrication No (U0S0T0)",
            u"Value = 0x0F0E0D0C0B0A09080706050403020100 - Type = Security Key (U0S0T0)",
            u"Value = Valore non valido - Type = Time Point Date and Time (Type F) (U0S0T0)",
            u"Value = 12.345 - Type = Volume m3 (U0S0T0)",
        };
        for (std::size_t i = 0; i < std::size(records); ++i) {
            EXPECT_EQ(nodes[1 + 13 * i].Text, records[i]);
            EXPECT_EQ(nodes[1 + 13 * i + 7].Text.substr(0, 8), u"Value = ") << i;
        }
        EXPECT_EQ(nodes[1 + 13 * 2 + 4].Text, u"Data Field = Variable Length - Binary Number with 16 Bytes");

        win->Btn_SaveConf->Click();
        TXmlDocument doc;
        doc.LoadFromFile(win->FileName_MBus);
        std::vector<std::vector<String>> written;
        for (const TXmlNode& v : doc.DocumentElement().Child(0).Children()) {
            std::vector<String> row;
            for (const char16_t* a : {u"Position", u"Desc", u"Type", u"VIF_ASCII", u"Length", u"Dim", u"ModReg"})
                row.push_back(v.AttributeOr(a, u"?"));
            written.push_back(row);
        }
        EXPECT_EQ(written,
                  (std::vector<std::vector<String>>{
                      {u"1", u"Vif in following String [%RH] - Moltiplicative Correction Factor: 10^(-1) (U0S0T0)",
                       u"21", u"%RH", u"0", u"1", u"1"},
                      {u"2", u"Fabrication No (U0S0T0)", u"23", u"", u"17", u"7", u"2"},
                      {u"3", u"Security Key (U0S0T0)", u"19", u"", u"16", u"7", u"11"},
                      {u"4", u"Time Point Date and Time (Type F) (U0S0T0)", u"20", u"", u"0", u"2", u"19"},
                      {u"5", u"Volume m3 (U0S0T0)", u"2", u"", u"0", u"2", u"21"},
                  }));
    });
}

TEST_F(ScanWindow, WirelessTreeShowsTheMeterChosenInTheGrid) {
    // A meter heard encrypted, then decrypted with its key; another encrypted one.
    TWirelessDecoder decoder;
    auto hear = [&](const TBytes& t) { return decoder.Decode_Wireless_Telegram(t.data(), int(t.size()), rmAtCommand); };
    ASSERT_EQ(hear(Telegram5_At), 0);
    auto* plain = static_cast<TSlave_wMBus*>(WMBus_Slave_List[0]);
    plain->Key = Key5;
    plain->Enable_Key = true;
    ASSERT_EQ(hear(Telegram5_At), 0);
    ASSERT_FALSE(plain->Cripted);
    TBytes other = Telegram5_At;
    other[4] = 0x99;
    ASSERT_EQ(hear(other), 1);
    win->Form_Type = 1;
    Show([&] {
        win->Form_Style(5);
        win->Show_Slave_in_Tree_Wireless(1);
        auto nodes = Walk_Tree(win->LST_Wireless);
        ASSERT_EQ(nodes.size(), 1u);
        EXPECT_EQ(nodes[0].Text.substr(nodes[0].Text.size() - 12), u" - CRIPTED!!");

        win->Show_Slave_in_Tree_Wireless(0);
        nodes = Walk_Tree(win->LST_Wireless);
        ASSERT_EQ(nodes.size(), 1u + 18 + 18 * 12);
        EXPECT_EQ(nodes[0].Text, u"Manufacturer = " + plain->ALA_Manu_str +
                                     u" - Address = 12345678 - Version = 51 - Device Type = 3");
        EXPECT_EQ(nodes[0].CheckState, csCheckedNormal);
        int fillers = 0;
        for (const auto& n : nodes) fillers += n.Level == 1 && n.Text == u"Idle Filler";
        EXPECT_EQ(fillers, 15);
        // The two leading fillers, then the volume.
        EXPECT_EQ(nodes[1].Text, u"Idle Filler");
        EXPECT_EQ(nodes[1 + 2 * 13].Text.substr(0, 16), u"Value = 28504.27");
        EXPECT_EQ(plain->Node, win->LST_Wireless->GetFirst());

        win->LST_Wireless->SetExpanded(plain->Node, true);
        Click_Check(win->LST_Wireless, plain->List_Var[0]->Node);
        EXPECT_FALSE(plain->List_Var[0]->Enable);
        Click_Check(win->LST_Wireless, plain->Node);
        EXPECT_FALSE(plain->Enable);
        // Shown again, the ticks come from the meter; another meter frees the handles.
        win->Show_Slave_in_Tree_Wireless(0);
        nodes = Walk_Tree(win->LST_Wireless);
        EXPECT_EQ(nodes[0].CheckState, csUncheckedNormal);
        EXPECT_EQ(nodes[1].CheckState, csUncheckedNormal);
        EXPECT_EQ(nodes[1 + 13].CheckState, csCheckedNormal);
        win->Show_Slave_in_Tree_Wireless(1);
        EXPECT_EQ(plain->Node, nullptr);
        EXPECT_EQ(plain->List_Var[0]->Node, nullptr);
    });
}
