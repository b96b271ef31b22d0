// The DMX images: the block of its own by offset, the 512 channel defaults,
// and the two buffer layouts of models 22 and 29.
#include "ImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

namespace {


// "DMX_Default_Values.xml" as the default-values editor writes it.
void DMX_Default_Values(const TProjectFixture& p, const std::vector<std::string>& values) {
    std::string xml = "<DMX_Default_Values>";
    for (const std::string& v : values) xml += "<Row " + v + " Mnemonic=\"ch\"/>";
    p.Raw_File("DMX_Default_Values.xml", xml + "</DMX_Default_Values>\r\n<!--Version 1.000-->\r\n");
}

TExpectedBlock DMX_Block() {
    TExpectedBlock e;
    e.U32(0, 125000).U32(12, 9600).U16(16, 8).Bytes(40, {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255});
    e.U16(52, 5000).U16(54, 10001).U16(56, 10001).U32(60, 9600).U16(64, 8);
    e.U32(404, 38400).Bytes(431, {1}).Bytes(436, {8, 8, 8, 8, 8, 8, 8, 8}).U16(460, 3671).U32(480, 0x68800);
    return e;
}

}  // namespace

TEST(ImageDMX, WithoutProjectFilesTheBlockKeepsItsDefaults) {
    TProjectFixture p(22);
    Build_And_Write(p);
    std::string bank = p.Read_Bin("bank.bin");
    ASSERT_EQ(bank.size(), 2560u);
    EXPECT_EQ(bank.substr(0, 2048), DMX_Block().Close());
    EXPECT_EQ(bank.substr(492, 2044 - 492), std::string(2044 - 492, '\0'));
    EXPECT_EQ(bank.substr(2048), std::string(512, '\0'));
}

TEST(ImageDMX, TheDMXTypeGivesTheSizeOfOneSide) {
    struct TCase {
        TKeys Keys;
        std::uint32_t In, Out;
        std::uint16_t In_Channels, Out_Channels;
    };
    const TCase cases[] = {
        {{{"DMX_TYPE", "1"}}, 512, 1, 512, 0},
        {{}, 512, 1, 512, 0},
        {{{"DMX_TYPE", "x"}, {"PROFINET_NB_IN", "70000"}, {"PROFINET_NB_OUT", "9"}}, 70000, 1, 70000 & 0xFFFF, 0},
        {{{"DMX_TYPE", "0"}, {"PROFINET_NB_OUT", "24"}}, 1, 24, 0, 24},
        {{{"DMX_TYPE", "0"}}, 1, 1, 0, 1},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(22);
        TKeys keys = c.Keys;
        keys.insert(keys.end(), {{"PROFINET_GAT1", "10"}, {"PROFINET_GAT4", "254"}, {"PROFINET_NAME_STA", "dmx-station-name-too-long"}});
        p.ParGen(keys);
        Build_And_Write(p);
        TExpectedBlock e = DMX_Block();
        e.Bytes(40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255}).Text(80, "dmx-station-nam");
        e.U32(116, c.In).U32(120, c.Out).U16(476, c.Out_Channels).U16(478, c.In_Channels);
        EXPECT_EQ(p.Read_Bin("bank.bin").substr(0, 2048), e.Close()) << c.In << " " << c.Out;
    }

    TProjectFixture gateway(22);
    gateway.ParGen({{"PROFINET_EN_GAT", "1"}, {"PROFINET_GAT4", "254"}});
    Build_And_Write(gateway);
    EXPECT_EQ(gateway.Read_Bin("bank.bin").substr(48, 4), std::string("\xC0\xA8\x00\xFE", 4));
}

TEST(ImageDMX, ChannelDefaultsComeFromTheFirst512Rows) {
    struct TCase {
        int Rows;
        std::size_t Set;  // channels set from the file
    };
    for (TCase c : {TCase{600, 512}, TCase{10, 10}}) {
        TProjectFixture p(29);
        std::vector<std::string> rows;
        for (int i = 0; i < c.Rows; ++i) rows.push_back("Default_Value=\"" + std::to_string(i + 1) + "\"");
        DMX_Default_Values(p, rows);
        Build_And_Write(p);
        EXPECT_EQ(p.Read_Bin("bank1.bin"), DMX_Block().Close());
        std::string channels = p.Read_Bin("bank2.bin");
        ASSERT_EQ(channels.size(), 512u);
        for (std::size_t i = 0; i < 512; ++i)
            EXPECT_EQ(std::uint8_t(channels[i]), i < c.Set ? std::uint8_t(i + 1) : 0) << c.Rows << " channel " << i + 1;
    }

    // Odd values: the low 8 bits of a number, 0 for no number or no attribute.
    TProjectFixture odd(22);
    DMX_Default_Values(odd, {R"(Default_Value="255")", R"(Default_Value="257")", R"(Default_Value="abc")", "",
                             R"(Default_Value="$7F")"});
    Build_And_Write(odd);
    EXPECT_EQ(odd.Read_Bin("bank.bin").substr(2048, 6), std::string("\xFF\x01\x00\x00\x7F\x00", 6));
}

TEST(ImageDMX, AMalformedChannelFileRefusesTheBuild) {
    TProjectFixture p(22);
    p.Raw_File("DMX_Default_Values.xml", "<DMX_Default_Values><Row");
    try {
        Build_Device_Image(p.Sources());
        FAIL() << "the build went on";
    } catch (const EImageError& e) {
        EXPECT_NE(std::string(e.what()).find("DMX_Default_Values.xml"), std::string::npos) << e.what();
    }
}
