// The plain Ethernet model 31 (a block of its own) and the plain serial
// model 9 (main and second-processor blocks), as whole blocks by offset.
#include "ImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

namespace {


TExpectedBlock Ethernet_Defaults() {
    TExpectedBlock e;
    e.U32(0, 250000).U32(12, 9600).Bytes(40, {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255});
    e.U16(52, 5000).U16(54, 10001).U16(56, 10001).U32(60, 9600);
    return e;
}

}  // namespace

TEST(ImageEthernet, Model31BuildsItsOwnBlock) {
    TProjectFixture bare(31);
    Build_And_Write(bare);
    EXPECT_EQ(bare.Read_Bin("bank.bin"), Ethernet_Defaults().Close());

    TProjectFixture sparse(31);
    sparse.ParGen({{"PROFINET_EN_GAT", "1"}, {"Ethernet_IP4", "x"}});
    Build_And_Write(sparse);
    TExpectedBlock s = Ethernet_Defaults();
    s.Bytes(40, {192, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 1}).Text(80, "devicename1").U32(116, 1438).U32(120, 1438);
    s.U16(54, 10001).U16(104, 10001).Bytes(304, {192, 168, 0, 10, 255, 255, 255, 0, 255, 255, 255, 255});
    EXPECT_EQ(sparse.Read_Bin("bank.bin"), s.Close());

    TProjectFixture full(31);
    full.ParGen({{"PROFINET_IP1", "10"}, {"PROFINET_IP2", "0"}, {"PROFINET_IP3", "0"}, {"PROFINET_IP4", "9"},
                 {"PROFINET_NAME_STA", "eth-31"}, {"PROFINET_NB_IN", "100"}, {"PROFINET_NB_OUT", "200"},
                 {"Ethernet_IP1", "172"}, {"Ethernet_IP2", "16"}, {"Ethernet_IP3", "1"}, {"Ethernet_IP4", "2"},
                 {"Ethernet_SM3", "0"}, {"Ethernet_GAT4", "254"}, {"Ethernet_EN_GAT", "1"},
                 {"Ethernet_TCP_Port", "502"}, {"Ethernet_UDP_Port", "70000"}});
    Build_And_Write(full);
    TExpectedBlock f = Ethernet_Defaults();
    f.Bytes(40, {10, 0, 0, 9, 255, 255, 255, 0, 255, 255, 255, 255}).Text(80, "eth-31").U32(116, 200).U32(120, 100);
    f.U16(54, 502).U16(104, 70000 & 0xFFFF).Bytes(304, {172, 16, 1, 2, 255, 255, 0, 0, 192, 168, 0, 254});
    EXPECT_EQ(full.Read_Bin("bank.bin"), f.Close());
}

TEST(ImageEthernet, Model9WithoutGeneralParametersWritesTwoDefaultBlocks) {
    TProjectFixture p(9);
    Build_And_Write(p);
    TExpectedBlock main = Main_Defaults();
    main.b[96] = 2;
    main.b[97] = 8;
    EXPECT_EQ(p.Read_Bin("bank.bin"), main.Close());
    TExpectedBlock cpu2 = CPU2_Defaults();
    cpu2.b[96] = 2;
    cpu2.b[97] = 8;
    EXPECT_EQ(p.Read_Bin("bank_K64.bin"), cpu2.Close());
}

TEST(ImageEthernet, Model9CarriesTheSerialSettingsIntoBothBlocks) {
    struct TCase {
        TKeys Keys;
        std::uint32_t Speed;
        std::uint8_t Data_Bits, Mode;
    };
    const TCase cases[] = {
        {{{"SERIAL_BAUDRATE", "3"}, {"SERIAL_DATABITS", "1"}, {"SERIAL_SERIAL", "0"}}, 9600, 7, 9},
        {{{"SERIAL_BAUDRATE", "9"}, {"SERIAL_DATABITS", "0"}, {"SERIAL_SERIAL", "1"}}, 9600, 8, 8},
        {{{"SERIAL_BAUDRATE", "0"}, {"SERIAL_DATABITS", "2"}, {"SERIAL_PARITY", "2"}}, 1200, 8, 8},
        {{{"SERIAL_PARITY", "1"}}, 115200, 8, 8},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(9);
        TKeys keys = c.Keys;
        keys.push_back({"PROFINET_NAME_STA", "serial-9"});
        p.ParGen(keys);
        Build_And_Write(p);
        int parity = 0;
        for (const auto& [k, v] : c.Keys)
            if (k == "SERIAL_PARITY") parity = std::stoi(v);
        const std::vector<std::uint8_t> address = {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255};

        TExpectedBlock main = Main_Defaults();
        main.U32(12, c.Speed).U16(16, c.Data_Bits).U16(18, parity).U32(60, c.Speed).U16(64, c.Data_Bits).U16(66, parity);
        main.Bytes(40, address).Text(80, "serial-9").U32(116, 500).U32(120, 500);
        main.b[96] = 2;
        main.b[97] = c.Mode;
        EXPECT_EQ(p.Read_Bin("bank.bin"), main.Close()) << c.Speed;

        TExpectedBlock cpu2 = CPU2_Defaults();
        cpu2.Bytes(40, address).Text(80, "serial-9").U32(116, 500).U32(120, 500);
        cpu2.b[96] = 2;
        cpu2.b[97] = c.Mode;
        for (std::size_t port : {0, 3, 4}) {
            cpu2.U32(400 + 4 * port, c.Speed);
            cpu2.b[424 + port] = std::uint8_t(parity);
            cpu2.b[430 + port] = 1;
            cpu2.b[436 + port] = c.Data_Bits;
        }
        EXPECT_EQ(p.Read_Bin("bank_K64.bin"), cpu2.Close()) << c.Speed;
    }
}
