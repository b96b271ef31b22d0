// Scan result records: what a new record and meter start with, the lookup of
// a wireless meter by its application-layer address, and emptying the lists.
#include "mbus/MBusRecords.h"
#include "shell/Globals.h"

#include <gtest/gtest.h>

namespace {

class MBusRecords : public testing::Test {
protected:
    void TearDown() override {
        Cancel_MBus_Slave_List();
        Cancel_WMBus_Slave_List();
    }

    static TSlave_wMBus* Add_Wireless(Word manufacturer, int address, Byte version, Byte deviceType) {
        auto* slave = new TSlave_wMBus;
        slave->ALA_Manufacturer = manufacturer;
        slave->ALA_Address = address;
        slave->ALA_Version = version;
        slave->ALA_DeviceType = deviceType;
        // The link layer says something else: it must play no part.
        slave->LLA_Manufacturer = 0x1111;
        slave->LLA_Address = 0x0BADF00D;
        WMBus_Slave_List.push_back(slave);
        return slave;
    }
};

}  // namespace

TEST_F(MBusRecords, NewRecordsAndMetersAreKeptUntilTheUserUnticksThem) {
    TVariable_MBus record;
    EXPECT_EQ(record.vifvalue, -1) << "unknown until a VIF sets it";
    EXPECT_TRUE(record.Enable);
    EXPECT_FALSE(record.Real_Wireless_Var);
    EXPECT_FALSE(record.errata);
    EXPECT_EQ(record.Node, nullptr);

    TSlave_MBus wired;
    EXPECT_TRUE(wired.Enable);
    EXPECT_TRUE(wired.List_Var.empty());
    EXPECT_EQ(wired.Node, nullptr);

    TSlave_wMBus wireless;
    EXPECT_TRUE(wireless.Enable);
    EXPECT_FALSE(wireless.Enable_Key);
    EXPECT_EQ(wireless.Node, nullptr);
}

TEST_F(MBusRecords, WirelessMeterIsFoundByItsApplicationLayerAddressAlone) {
    EXPECT_EQ(Find_Wireless_Slave(0x4024, 0x12345678, 1, 7), -1) << "empty list";

    Add_Wireless(0x4024, 0x12345678, 1, 7);
    Add_Wireless(0x4024, 0x12345678, 2, 7);
    Add_Wireless(0x4024, 0x12345678, 1, 7);  // a repeat: the first one wins
    Add_Wireless(0x0443, -1, 0, 0xFF);

    struct TCase {
        Word Manufacturer;
        int Address;
        Byte Version, DeviceType;
        int Position;
    } cases[] = {
        {0x4024, 0x12345678, 1, 7, 0},
        {0x4024, 0x12345678, 2, 7, 1},
        {0x4024, 0x12345678, 3, 7, -1},  // another version is another meter
        {0x4024, 0x12345678, 1, 8, -1},  // another device type too
        {0x4025, 0x12345678, 1, 7, -1},
        {0x4024, 0x12345679, 1, 7, -1},
        {0x0443, -1, 0, 0xFF, 3},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Find_Wireless_Slave(c.Manufacturer, c.Address, c.Version, c.DeviceType), c.Position)
            << std::hex << c.Manufacturer << " " << c.Address << " " << int(c.Version) << " " << int(c.DeviceType);
}

TEST_F(MBusRecords, EmptyingTheListsFreesMetersWithAndWithoutRecords) {
    auto* wired = new TSlave_MBus;
    wired->List_Var.push_back(std::make_unique<TVariable_MBus>());
    wired->List_Var.push_back(std::make_unique<TVariable_MBus>());
    MBus_Slave_List.push_back(wired);
    MBus_Slave_List.push_back(new TSlave_MBus);  // answered without data records

    TSlave_wMBus* heard = Add_Wireless(1, 2, 3, 4);
    heard->List_Var.push_back(std::make_unique<TVariable_MBus>());
    Add_Wireless(5, 6, 7, 8);

    heard->Cancel_Var();
    EXPECT_TRUE(heard->List_Var.empty()) << "a newer telegram's records replace the old ones";
    EXPECT_EQ(WMBus_Slave_List.size(), 2u) << "the meter stays";

    Cancel_MBus_Slave_List();
    Cancel_WMBus_Slave_List();
    EXPECT_TRUE(MBus_Slave_List.empty());
    EXPECT_TRUE(WMBus_Slave_List.empty());
    EXPECT_EQ(Find_Wireless_Slave(1, 2, 3, 4), -1);
}
