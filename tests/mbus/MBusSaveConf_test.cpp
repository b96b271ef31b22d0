// The network written from a scan: the published example meter as a golden
// file, appending, unticked meters and records, variable-length records and
// the wireless writer's fillers.
#include "mbus/MBusSaveConf.h"

#include "MBusFixture.h"
#include "framework/XmlDoc.h"
#include "mbus/MBusNetwork.h"
#include "support/TempDir.h"

namespace {

class MBusSaveConf : public TMBusTest {
protected:
    void TearDown() override {
        TMBusTest::TearDown();
        Cancel_WMBus_Slave_List();
    }
    TSaveConfXML Params() const {
        TSaveConfXML p;
        p.XML_Code_Dev = 11;
        p.Cut_After = 3;
        p.File_Name = Utf8ToString(dir.file("M_Bus.xml"));
        return p;
    }
    static TSlave_MBus& Scan_Example() {
        TMBusDecoder decoder;
        bool last = false;
        decoder.Decode_RSP_UD(Example_Frame.data(), static_cast<int>(Example_Frame.size()), -1, last);
        return *static_cast<TSlave_MBus*>(MBus_Slave_List.back());
    }
    std::vector<TXmlNode> Nodes(TXmlDocument& doc) const {
        doc.LoadFromFile(Utf8ToString(dir.file("M_Bus.xml")));
        return doc.DocumentElement().Children();
    }
    TempDir dir;
};

}  // namespace

TEST_F(MBusSaveConf, TheExampleMeterIsWrittenAsOneNodeWithItsThreeRecords) {
    Scan_Example();
    ASSERT_TRUE(Save_XML_Conf_Wired(Params(), true));
    EXPECT_EQ(dir.read("M_Bus.xml"), Example_Network_Xml);
    // The editor reads what the scan wrote.
    TNodi_List net;
    EXPECT_EQ(Read_MBus_Network(Utf8ToString(dir.file("M_Bus.xml")), 10, net), u"");
    ASSERT_EQ(net.size(), 1u);
    EXPECT_EQ(net[0]->Cut_After, 2);
    EXPECT_EQ(net[0]->Var_List.size(), 3u);
}

TEST_F(MBusSaveConf, AppendingKeepsTheFileAndUntickedMetersAndRecordsAreWritten) {
    dir.write("M_Bus.xml", "<M-Bus_Network><Nodo Descrizione=\"old\"/></M-Bus_Network>\r\n<!--SW_VERSION = 1.308-->\r\n");
    TSlave_MBus& meter = Scan_Example();
    meter.Enable = false;
    meter.List_Var[0]->Enable = false;
    TSaveConfXML p = Params();
    p.Append = 1;
    p.Cut_After = 0;  // no such choice: the nearest one, 1 frame
    p.StartModnode = 1;
    p.SMN_Array = {40};
    ASSERT_TRUE(Save_XML_Conf_Wired(p, false));
    TXmlDocument doc;
    const auto nodes = Nodes(doc);
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].AttributeOr(u"Descrizione", u""), u"old");
    EXPECT_EQ(nodes[0].Attributes().size(), 1u);
    EXPECT_EQ(nodes[1].AttributeOr(u"Enable_Node", u""), u"0");
    EXPECT_EQ(nodes[1].AttributeOr(u"Cut_After", u""), u"0");
    const auto vars = nodes[1].Children();
    ASSERT_EQ(vars.size(), 3u);
    EXPECT_EQ(vars[0].AttributeOr(u"Enable", u""), u"0");
    // An unkept record takes no registers in start-address mode.
    EXPECT_EQ(vars[0].AttributeOr(u"ModReg", u""), u"40");
    EXPECT_EQ(vars[1].AttributeOr(u"ModReg", u""), u"40");
    EXPECT_EQ(vars[1].AttributeOr(u"BCDtoINT", u""), u"0") << "BCD box not ticked";
    EXPECT_EQ(doc.TopLevelNodes().size(), 2u) << "the comment stays";
}

TEST_F(MBusSaveConf, DataFieldsGiveTheirSizeCodeAndRegisters) {
    const struct {
        Byte field;
        int nbyte, dim, regs;
    } cases[] = {{0x0, 0, 255, 0}, {0x1, 1, 0, 1}, {0x2, 2, 1, 1}, {0x3, 3, 4, 2}, {0x4, 4, 2, 2},
                 {0x5, 4, 6, 2},   {0x6, 6, 5, 3}, {0x7, 8, 3, 4}, {0x9, 1, 0, 1}, {0xA, 2, 1, 1},
                 {0xB, 3, 4, 2},   {0xC, 4, 2, 2}, {0xD, 5, 7, 3}, {0xD, 2, 7, 1}, {0xE, 6, 5, 3}};
    for (const auto& c : cases) {
        const TMBus_Dim_Regs dr = Dim_And_Registers(c.field, c.nbyte);
        EXPECT_EQ(dr.Dim, c.dim) << int(c.field);
        EXPECT_EQ(dr.Regs, c.regs) << int(c.field) << " " << c.nbyte;
    }
    // A 5-byte variable-length record, then one more: the second starts 3 registers on.
    auto* meter = new TSlave_MBus;
    MBus_Slave_List.push_back(meter);
    for (int i = 0; i < 2; ++i) {
        auto r = std::make_unique<TVariable_MBus>();
        r->dimension = 0xD;
        r->nbyte = 5;
        r->type_data = 21;
        r->VIF_ASCII = u"pulses";
        meter->List_Var.push_back(std::move(r));
    }
    ASSERT_TRUE(Save_XML_Conf_Wired(Params(), false));
    TXmlDocument doc;
    const auto vars = Nodes(doc).at(0).Children();
    EXPECT_EQ(vars[0].AttributeOr(u"Dim", u""), u"7");
    EXPECT_EQ(vars[0].AttributeOr(u"Length", u""), u"5");
    EXPECT_EQ(vars[0].AttributeOr(u"VIF_ASCII", u""), u"pulses");
    EXPECT_EQ(vars[1].AttributeOr(u"ModReg", u""), u"4");
}

TEST_F(MBusSaveConf, WirelessFillersAreLeftOutButCountInThePositions) {
    auto* meter = new TSlave_wMBus;
    meter->ALA_Manu_str = u"KAM";
    meter->ALA_Manufacturer = 0x2C2D;
    meter->ALA_Address = 12345678;
    meter->ALA_Version = 1;
    meter->ALA_DeviceType = 7;
    meter->Enable_Key = true;
    meter->Key[0] = 0xAB;
    WMBus_Slave_List.push_back(meter);
    for (bool real : {true, false, true}) {
        auto r = std::make_unique<TVariable_MBus>();
        r->Real_Wireless_Var = real;
        r->dimension = 0x4;
        r->Enable = real;
        meter->List_Var.push_back(std::move(r));
    }
    ASSERT_TRUE(Save_XML_Conf_Wireless(Params(), false));
    TXmlDocument doc;
    const auto nodes = Nodes(doc);
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0].AttributeOr(u"Descrizione", u""), u"KAM");
    EXPECT_EQ(nodes[0].AttributeOr(u"wMBus_ManID", u""), u"11309");
    EXPECT_EQ(nodes[0].AttributeOr(u"wMBus_Add", u""), u"12345678");
    EXPECT_EQ(nodes[0].AttributeOr(u"wMBus_En_Key", u""), u"1");
    EXPECT_EQ(nodes[0].AttributeOr(u"wMBus_Key_1", u""), u"171");
    EXPECT_EQ(nodes[0].AttributeOr(u"wMBus_Key_16", u""), u"0");
    const auto vars = nodes[0].Children();
    ASSERT_EQ(vars.size(), 2u);
    EXPECT_EQ(vars[0].AttributeOr(u"Position", u""), u"1");
    EXPECT_EQ(vars[1].AttributeOr(u"Position", u""), u"3");
    EXPECT_EQ(vars[1].AttributeOr(u"ModReg", u""), u"3") << "a filler takes no registers";
}

TEST_F(MBusSaveConf, AnEmptyListWritesNothing) {
    dir.write("M_Bus.xml", "keep");
    EXPECT_FALSE(Save_XML_Conf_Wired(Params(), true));
    EXPECT_FALSE(Save_XML_Conf_Wireless(Params(), true));
    EXPECT_EQ(dir.read("M_Bus.xml"), "keep");
}
