// The PROFIBUS slave images: model 3's own block and model 23's main block,
// as whole 2048-byte blocks worked out by offset.
#include "ImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

namespace {

std::string Build_Bank(const TProjectFixture& p) {
    Write_Device_Image(*Build_Device_Image(p.Sources()), p.Sources().Project_Dir);
    return p.Read_Bin("bank.bin");
}

TExpectedBlock Profibus_Defaults() {
    TExpectedBlock e;
    e.U32(0, 125000).U32(4, 125000).U32(8, 9600).U16(52, 10000).U16(54, 10001).U16(56, 10001);
    e.b[59] = 192;
    e.U32(60, 9600).U32(64, 2).U32(80, 0x20);
    return e;
}

}  // namespace

TEST(ImageProfibus, Model3WithoutGeneralParametersKeepsTheBlockDefaults) {
    TProjectFixture p(3);
    std::string bank = Build_Bank(p);
    EXPECT_EQ(bank, Profibus_Defaults().Close());
    EXPECT_EQ(bank.substr(376, 2044 - 376), std::string(2044 - 376, '\0'));
}

TEST(ImageProfibus, Model3ReadsItsKeys) {
    struct TCase {
        TKeys Keys;
        TExpectedBlock Expected;
    };
    const TKeys address = {{"PROFINET_IP1", "10"}, {"PROFINET_IP2", "1"}, {"PROFINET_IP3", "2"}, {"PROFINET_IP4", "300"},
                           {"PROFINET_GAT1", "192"}, {"PROFINET_GAT2", "168"}, {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "254"}};
    auto with = [&](TKeys extra) {
        TKeys keys = address;
        keys.insert(keys.end(), extra.begin(), extra.end());
        return keys;
    };
    auto expected = [](std::vector<std::uint8_t> gateway, std::uint32_t flags) {
        TExpectedBlock e = Profibus_Defaults();
        e.Bytes(40, {10, 1, 2, 44, 255, 255, 255, 0}).Bytes(48, gateway).U32(80, flags).Text(344, "devicename1");
        return e;
    };
    const TCase cases[] = {
        {with({{"PROFINET_EN_GAT", "1"}, {"PROFIBUS_SLAVE_RESET_DATA", "1"}}), expected({192, 168, 0, 254}, 0x60)},
        {with({{"PROFINET_EN_GAT", "0"}, {"PROFIBUS_SLAVE_RESET_DATA", "0"}}), expected({255, 255, 255, 255}, 0x20)},
        {with({}), expected({255, 255, 255, 255}, 0x20)},
        {with({{"PROFIBUS_SLAVE_ID_DEV", "261"}, {"PROFIBUS_SLAVE_NB_IN", "100"}, {"PROFIBUS_SLAVE_NB_OUT", "50"},
               {"PROFINET_NAME_STA", "a-station-name-longer-than-its-field"}}),
         [&] {
             TExpectedBlock e = expected({255, 255, 255, 255}, 0x20);
             e.b[58] = 5;
             e.U32(368, 100).U32(372, 50).Bytes(344, std::vector<std::uint8_t>(16, 0)).Text(344, "a-station-name-");
             return e;
         }()},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(3);
        p.ParGen(c.Keys);
        TExpectedBlock e = c.Expected;
        EXPECT_EQ(Build_Bank(p), e.Close()) << c.Keys.back().first;
    }
}

TEST(ImageProfibus, Model23FillsTheMainBlockWithItsOwnDefaults) {
    TProjectFixture bare(23);
    TExpectedBlock defaults = Main_Defaults();
    EXPECT_EQ(Build_Bank(bare), defaults.Close());

    TProjectFixture missing(23);
    missing.ParGen({{"PROFINET_NAME_STA", "pb-23"}});
    TExpectedBlock e = Main_Defaults();
    e.Bytes(40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255}).Text(80, "pb-23").U32(116, 244).U32(120, 244);
    e.b[129] = 10;
    EXPECT_EQ(Build_Bank(missing), e.Close());

    TProjectFixture keys(23);
    keys.ParGen({{"PROFINET_EN_GAT", "1"}, {"PROFIBUS_SLAVE_ID_DEV", "3"}, {"PROFIBUS_SLAVE_NB_IN", "100"},
                 {"PROFIBUS_SLAVE_NB_OUT", "50"}});
    TExpectedBlock k = Main_Defaults();
    k.Bytes(40, {192, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 1}).Text(80, "devicename1").U32(116, 50).U32(120, 100);
    k.b[129] = 3;
    EXPECT_EQ(Build_Bank(keys), k.Close());
}
