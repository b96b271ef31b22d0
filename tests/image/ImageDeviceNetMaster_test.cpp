// The DeviceNet master image of model 1: node records, the two byte maps
// and the main block in one 16384-byte bank.
#include "ImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

namespace {

// Node records and maps expected by offset in the 14336 bytes before the main block.
struct TExpectedTables {
    std::vector<std::uint8_t> b = std::vector<std::uint8_t>(14336, 0);
    TExpectedTables() { std::fill(b.begin() + 2048, b.end(), 0xFF); }
    void U16(std::size_t off, std::uint16_t v) {
        b[off] = std::uint8_t(v);
        b[off + 1] = std::uint8_t(v >> 8);
    }
    void Node(int i, std::uint8_t id, std::uint16_t in, std::uint16_t out, std::uint16_t reset, std::uint16_t inStart,
              std::uint16_t outStart) {
        std::size_t o = std::size_t(i) * 16;
        b[o] = id;
        U16(o + 4, in);
        U16(o + 6, out);
        U16(o + 10, reset);
        U16(o + 12, inStart);
        U16(o + 14, outStart);
    }
    void In(int i, std::uint16_t key, std::uint16_t offset) { U16(2048 + 4 * i, key), U16(2048 + 4 * i + 2, offset); }
    void Out(int i, std::uint16_t key, std::uint16_t offset) { U16(8192 + 4 * i, key), U16(8192 + 4 * i + 2, offset); }
    std::string Bytes() const { return std::string(b.begin(), b.end()); }
};

TExpectedBlock Model1_Main_Preset() {
    TExpectedBlock main = Main_Defaults();
    main.U16(52, 5000).U32(212, 0x65000).U32(216, 0x66800).U32(220, 0x64800);
    return main;
}

}  // namespace

TEST(ImageDeviceNetMaster, Model1LaysNodesMapsAndMainBlock) {
    TProjectFixture p(1);
    p.ParGen({{"PROFINET_IP1", "10"}, {"PROFINET_IP2", "0"}, {"PROFINET_IP3", "0"}, {"PROFINET_IP4", "7"},
              {"PROFINET_SM1", "255"}, {"PROFINET_SM2", "255"}, {"PROFINET_SM3", "0"}, {"PROFINET_SM4", "0"},
              {"PROFINET_GAT1", "10"}, {"PROFINET_GAT2", "0"}, {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "1"},
              {"PROFINET_EN_GAT", "1"}, {"PROFINET_NAME_STA", "dnet-master"}, {"PROFINET_NB_IN", "200"},
              {"PROFINET_NB_OUT", "100"}, {"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "5"},
              {"DNETM_ID_DEV", "62"}, {"DNETM_BAUDRATE", "0"}});
    p.DNETM_Net({R"(ID="5" NB_IN="3" NB_OUT="2" Reset_DeviceNet=" y " Reset_PROFINET="N" Mnemonic="first")",
                 R"(ID="9" NB_IN="2" NB_OUT="1" Reset_DeviceNet="N" Reset_PROFINET="Y" Mnemonic="second")"});
    // The second slave's extra input row lies beyond its size; the third child belongs to no slave.
    p.DNETM_DefOff({{{"0", "", "7"}, {"x", "-1"}}, {{"20", "21", "22"}, {"30"}}, {{"40"}, {"41"}}});
    std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
    Write_Device_Image(*image, p.Sources().Project_Dir);

    TExpectedTables t;
    t.Node(0, 5, 3, 2, 0x01, 0, 0);
    t.Node(1, 9, 2, 1, 0x02, 3, 2);
    t.In(0, 5120, 0);
    t.In(1, 5122, 7);
    t.In(2, 9216, 20);
    t.In(3, 9217, 21);
    t.Out(0, 9216, 30);
    TExpectedBlock main = Model1_Main_Preset();
    main.Bytes(40, {10, 0, 0, 7, 255, 255, 0, 0, 10, 0, 0, 1}).Text(80, "dnet-master").U32(116, 200).U32(120, 100);
    main.U32(300, 6).Bytes(128, {62}).U32(0, 125000).U32(124, 2).U32(136, 4).U32(140, 1);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), t.Bytes() + main.Close()));
}

TEST(ImageDeviceNetMaster, WithoutProjectTablesTheNodesAreZeroAndTheMapsUnused) {
    TProjectFixture p(1);
    p.DNETM_DefOff({{{"1"}, {"2"}}});  // no slave list: nothing is mapped
    std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
    Write_Device_Image(*image, p.Sources().Project_Dir);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), TExpectedTables().Bytes() + Model1_Main_Preset().Close()));
}

TEST(ImageDeviceNetMaster, InputStartsAndBaudRates) {
    TProjectFixture p(1);
    p.DNETM_Net({R"(ID="1" NB_IN="10" NB_OUT="0")", R"(ID="2" NB_IN="20" NB_OUT="4")"});
    std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
    const Byte* a = image->Bank_Image_A.Data();
    EXPECT_EQ(a[12] | a[13] << 8, 0);
    EXPECT_EQ(a[16 + 12] | a[16 + 13] << 8, 10);

    struct TBaud {
        const char* Text;
        Cardinal Rate;
    };
    for (const TBaud& c : {TBaud{"1", 250000}, TBaud{"2", 500000}, TBaud{"5", 500000}, TBaud{"x", 500000}}) {
        TProjectFixture q(1);
        q.ParGen({{"DNETM_BAUDRATE", c.Text}});
        std::unique_ptr<TDeviceImage> built = Build_Device_Image(q.Sources());
        const Byte* mb = built->Main_Param_Block.Data();
        EXPECT_EQ(Cardinal(mb[0] | mb[1] << 8 | mb[2] << 16), c.Rate) << c.Text;
    }
}
