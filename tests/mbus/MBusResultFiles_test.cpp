#include "MBusFixture.h"
#include "mbus/MBusResultFiles.h"
#include "mbus/MBusWirelessDecode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
class MBusResultFiles : public TMBusTest {
protected:
    void TearDown() override {
        Cancel_WMBus_Slave_List();
        TMBusTest::TearDown();
    }
    std::string Wired() {
        Save_XML_File_DLL(S(dir_.file("wired.xml")));
        return dir_.read("wired.xml");
    }
    std::string Wireless() {
        Save_Wireless_XML_File_DLL(S(dir_.file("wireless.xml")));
        return dir_.read("wireless.xml");
    }
    TempDir dir_;
};
}  // namespace

TEST_F(MBusResultFiles, EmptyListsGiveTheRootAlone) {
    EXPECT_EQ(Wired(), "<SCAN_M-Bus_Wired/>\r\n");
    EXPECT_EQ(Wireless(), "<SCAN_M-Bus_Wireless/>\r\n");
}

TEST_F(MBusResultFiles, WiredExampleMeter) {
    TMBusDecoder decoder;
    bool last = false;
    ASSERT_EQ(decoder.Decode_RSP_UD(Example_Frame.data(), static_cast<int>(Example_Frame.size()), -1, last), 0);
    // A meter without records beside it.
    ASSERT_EQ(decoder.Decode_RSP_UD(Long_Frame(7, {}).data(), 21, -1, last), 1);
    EXPECT_EQ(Wired(),
              "<SCAN_M-Bus_Wired>"
              "<Node Primary_Address=\"2\" Secondary_Address=\"12345678\" Manufacturer=\"PAD (16420)\" Version=\"1\" Type=\"7\">"
              "<Variable Value=\"12.565\" Type=\"Volume m3\" UST=\"(U0S0T0)\"><Storage_Number>0</Storage_Number>"
              "<Tariff>0</Tariff><Unit>0</Unit><Data_Field>24 Bit Integer</Data_Field>"
              "<Function_Field>Istantaneous value</Function_Field><Type>Volume m3</Type><Value>12.565</Value>"
              "<DIF>$03</DIF><VIF>$13</VIF><DIFE/><VIFE/><DATA>$153100</DATA></Variable>"
              "<Variable Value=\"0.113\" Type=\"Volume Flow m3/h\" UST=\"(U0S5T0)\"><Storage_Number>5</Storage_Number>"
              "<Tariff>0</Tariff><Unit>0</Unit><Data_Field>4 Digit BCD</Data_Field>"
              "<Function_Field>Maximum value</Function_Field><Type>Volume Flow m3/h</Type><Value>0.113</Value>"
              "<DIF>$DA</DIF><VIF>$3B</VIF><DIFE>$02 </DIFE><VIFE/><DATA>$1301</DATA></Variable>"
              "<Variable Value=\"218370\" Type=\"Energy Wh\" UST=\"(U1S0T2)\"><Storage_Number>0</Storage_Number>"
              "<Tariff>2</Tariff><Unit>1</Unit><Data_Field>6 Digit BCD</Data_Field>"
              "<Function_Field>Istantaneous value</Function_Field><Type>Energy Wh</Type><Value>218370</Value>"
              "<DIF>$8B</DIF><VIF>$04</VIF><DIFE>$60 </DIFE><VIFE/><DATA>$371802</DATA></Variable></Node>"
              "<Node Primary_Address=\"7\" Secondary_Address=\"12345678\" Manufacturer=\"PAD (16420)\" Version=\"1\" "
              "Type=\"7\"/></SCAN_M-Bus_Wired>\r\n");
}

TEST_F(MBusResultFiles, WirelessDecryptedMeter) {
    auto meter = std::make_unique<TSlave_wMBus>();
    meter->ALA_Manu_str = u"ELS";
    meter->ALA_Address = 0x12345678;
    meter->ALA_Version = 0x33;
    meter->ALA_DeviceType = 3;
    TMBusDecoder decoder;
    decoder.MBusType = mtWireless;
    const TBytes data = Wireless_Example_Data();
    decoder.Decode_Data_Records(meter->List_Var, static_cast<int>(data.size()) - 1, data.data());
    WMBus_Slave_List.push_back(meter.release());
    auto bare = std::make_unique<TSlave_wMBus>();
    bare->ALA_Manu_str = u"ABC";
    bare->ALA_Address = 0x12345;
    bare->Cripted = true;
    WMBus_Slave_List.push_back(bare.release());
    const std::string filler =
        "<Variable Value=\"\" Type=\"\" UST=\"(U0S0T0)\"><Storage_Number>0</Storage_Number><Tariff>0</Tariff>"
        "<Unit>0</Unit><Data_Field>Special Function</Data_Field><Function_Field/><Type/><Value/><DIF>$2F</DIF>"
        "<VIF>$00</VIF><DIFE/><VIFE/><DATA>$</DATA></Variable>";
    std::string expected =
        "<SCAN_M-Bus_Wireless>"
        "<Node Manufacturer=\"ELS\" Address=\"12345678\" Version=\"51\" Device_Type=\"3\" Cripted=\"False\">" +
        filler + filler +
        "<Variable Value=\"28504.27\" Type=\"Volume m3\" UST=\"(U0S0T0)\"><Storage_Number>0</Storage_Number>"
        "<Tariff>0</Tariff><Unit>0</Unit><Data_Field>8 Digit BCD</Data_Field>"
        "<Function_Field>Istantaneous value</Function_Field><Type>Volume m3</Type><Value>28504.27</Value>"
        "<DIF>$0C</DIF><VIF>$14</VIF><DIFE/><VIFE/><DATA>$27048502</DATA></Variable>"
        "<Variable Value=\"31/05/08 23:50\" Type=\"Time Point Date and Time (Type F)\" UST=\"(U0S0T0)\">"
        "<Storage_Number>0</Storage_Number><Tariff>0</Tariff><Unit>0</Unit><Data_Field>32 Bit Integer</Data_Field>"
        "<Function_Field>Istantaneous value</Function_Field><Type>Time Point Date and Time (Type F)</Type>"
        "<Value>31/05/08 23:50</Value><DIF>$04</DIF><VIF>$6D</VIF><DIFE/><VIFE/><DATA>$32371F15</DATA></Variable>"
        "<Variable Value=\"0\" Type=\"Error Flag (Binary)\" UST=\"(U0S0T0)\"><Storage_Number>0</Storage_Number>"
        "<Tariff>0</Tariff><Unit>0</Unit><Data_Field>16 Bit Integer</Data_Field>"
        "<Function_Field>Istantaneous value</Function_Field><Type>Error Flag (Binary)</Type><Value>0</Value>"
        "<DIF>$02</DIF><VIF>$FD</VIF><DIFE/><VIFE>$17 </VIFE><DATA>$0000</DATA></Variable>";
    for (int i = 0; i < 13; ++i) expected += filler;
    expected += "</Node><Node Manufacturer=\"ABC\" Address=\"00012345\" Version=\"0\" Device_Type=\"0\" "
                "Cripted=\"True\"/></SCAN_M-Bus_Wireless>\r\n";
    EXPECT_EQ(Wireless(), expected);
}

TEST_F(MBusResultFiles, AFileThatCannotBeWrittenRaises) {
    EXPECT_THROW(Save_XML_File_DLL(S(dir_.file("missing/wired.xml"))), Exception);
}
