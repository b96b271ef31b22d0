// The images of the Modbus RTU slave models 5, 26 and 16 and of the
// DeviceNet slave model 2: the main block alone, model 16 with the SNMP trap
// section behind it.
#include "ImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

namespace {

const TKeys Station_Keys = With(Profinet_Keys, {{"PROFINET_NAME_STA", "slave-station"}});


const TKeys Slave_Keys = With(Station_Keys, {
    {"MODBUS_SLAVE_SERIAL", "0"}, {"MODBUS_SLAVE_BAUDRATE", "9"}, {"MODBUS_SLAVE_PARITY", "2"},
    {"MODBUS_SLAVE_IDDEVICE", "17"}, {"MODBUS_SLAVE_STOPBITS", "1"}, {"MODBUS_SLAVE_READ_INPUT_REG", "1"},
    {"MODBUS_SLAVE_NB_IN", "64"}, {"MODBUS_SLAVE_NB_OUT", "32"}, {"MODBUS_SLAVE_SWAPBYTES", "1"},
});

}  // namespace

TEST(ImageModbusSlave, Model5WritesItsMainBlock) {
    TProjectFixture p(5);
    p.ParGen(Slave_Keys);
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.U16(58, 1).Bytes(96, {2, 0x41, 0, 0}).U16(52, 5000).Bytes(40, Profinet_Bytes).Text(80, "slave-station");
    main.U32(12, 460800).U32(60, 460800).U16(18, 2).U16(66, 2).U32(24, 17).U32(20, 2).U32(68, 2);
    main.U32(116, 64).U32(120, 32);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), main.Close()));
}

TEST(ImageModbusSlave, Model16PutsTheTrapSectionBehindTheBlockForEitherMapType) {
    const TKeys snmp = {
        {"SNMP_VERSION2", "1"}, {"SNMP_Contact", "ops"}, {"SNMP_Location", "hall"},
    };
    for (const char* mapType : {"0", "1"}) {
        const bool variable = std::string(mapType) == "1";
        TProjectFixture p(16);
        p.ParGen(With(With(Slave_Keys, snmp), {{"SNMP_MapType", mapType}}));
        p.SNMP_Trap({R"(Enable="Y" Community_Name="public" Type="Int" Position="4" NumBits="16" IP_Address="10.0.0.9")"},
                    {R"(Enable="Y" Community_Name="private" Type="String" Position="8" NumBits="2")"});
        Build_And_Write(p);

        TExpectedBlock main = Main_Defaults();
        main.Bytes(96, {0, 0x49, 0, 0}).U16(52, 10000).Bytes(40, Profinet_Bytes).Text(440, "slave-station");
        main.U32(12, 460800).U32(60, 460800).U16(18, 2).U16(66, 2).U32(24, 17);
        main.U32(116, 1024).U32(120, 1024).U32(432, 2).Text(456, "ops").Text(472, "hall");
        std::string section(0x6000, '\0');
        if (variable) {
            main.U32(416, 1).U32(420, 1).U32(424, 0x68800).U32(428, 0x6B800);
            section.replace(0, 48, Trap_Entry(4, 0, 16, 0, Trap_Flag_Int, 0, "public", "", {9, 0, 0, 10}));
            section.replace(256 * 48, 48, Trap_Entry(8, 0, 16, 0, 0, 0, "private", "", {}));
        }
        EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), main.Close() + section)) << mapType;
    }
}

TEST(ImageModbusSlave, Model2WritesTheDeviceNetSlaveBlock) {
    TProjectFixture p(2);
    p.ParGen(With(Station_Keys, {{"DNETS_ID_DEV", "33"}, {"DNETS_BAUDRATE", "1"}, {"DNETS_NB_IN", "100"},
                                  {"DNETS_NB_OUT", "50"}}));
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.Bytes(96, {0xC0, 0, 0, 4}).U16(52, 5000).Bytes(40, Profinet_Bytes).Text(80, "slave-station");
    main.U32(28, 33).U32(0, 250000).U32(116, 100).U32(120, 50);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), main.Close()));
}

TEST(ImageModbusSlave, ParGenValuesOfTheSlaveFamilies) {
    struct TCase {
        const char* What;
        int Model;
        TKeys Keys;
        std::size_t Offset;
        std::vector<std::uint8_t> Expected;
    };
    const TCase cases[] = {
        {"empty root: 115200", 5, {}, 12, {0x00, 0xC2, 0x01, 0}},
        {"empty root: parity 0", 5, {}, 18, {0, 0}},
        {"empty root: slave 1", 5, {}, 24, {1, 0, 0, 0}},
        {"empty root: RS485 slave", 5, {}, 97, {0x40}},
        {"empty root: 512 in and out", 5, {}, 116, {0, 2, 0, 0, 0, 2, 0, 0}},
        {"empty root: station name", 5, {}, 80, {'d', 'e', 'v', 'i', 'c', 'e', 'n', 'a', 'm', 'e', '1', 0}},
        {"empty root: no gateway", 5, {}, 48, {255, 255, 255, 255}},
        {"baud index 9 is 460800", 26, {{"MODBUS_SLAVE_BAUDRATE", "9"}}, 12, {0x00, 0x08, 0x07, 0}},
        {"baud index 10 is outside the list", 26, {{"MODBUS_SLAVE_BAUDRATE", "10"}}, 12, {0x80, 0x25, 0, 0}},
        {"model 16 reads no stop bits", 16, {{"MODBUS_SLAVE_STOPBITS", "1"}}, 20, {0, 0, 0, 0}},
        {"swapping is model 16's only", 5, {{"MODBUS_SLAVE_SWAPBYTES", "1"}}, 97, {0x40}},
        {"DeviceNet 250K", 2, {{"DNETS_BAUDRATE", "1"}}, 0, {0x90, 0xD0, 0x03, 0}},
        {"DeviceNet index 7 is 500K", 2, {{"DNETS_BAUDRATE", "7"}}, 0, {0x20, 0xA1, 0x07, 0}},
        {"DeviceNet missing baud is 500K", 2, {}, 0, {0x20, 0xA1, 0x07, 0}},
        {"DeviceNet node 10 and 455 bytes by default", 2, {}, 28, {10, 0, 0, 0}},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(c.Model);
        p.ParGen(c.Keys);
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
        const Byte* block = image->Main_Param_Block.Data();
        EXPECT_EQ(std::vector<std::uint8_t>(block + c.Offset, block + c.Offset + c.Expected.size()), c.Expected) << c.What;
    }
}
