// The two parameter blocks in their default state, byte for byte, with the
// checksums that the converter checks.
#include "image/CPU2ParamBlock.h"
#include "image/ImageError.h"
#include "image/MainParamBlock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<Byte> Expect(std::initializer_list<std::pair<std::size_t, std::vector<Byte>>> runs) {
    std::vector<Byte> bytes(2048, 0);
    for (const auto& [offset, run] : runs)
        for (std::size_t i = 0; i < run.size(); ++i) bytes[offset + i] = run[i];
    return bytes;
}

}  // namespace

TEST(ParamBlocks, DefaultMainBlockIsByteExactWithItsSum) {
    TMain_Param_Block block;
    block.Bytes().Fill(0, TMain_Param_Block::Member_Size, 0x5A);  // leftovers of an earlier build
    Init_Main_Param_Block(block);
    std::vector<Byte> buffer(3000, 0xEE);
    std::size_t end = Save_Main_Param_Block(block, 100, TLeBytes(buffer.data(), buffer.size(), "test"));
    EXPECT_EQ(end, 2148u);
    std::vector<Byte> image(buffer.begin() + 100, buffer.begin() + 2148);
    EXPECT_EQ(image, Expect({{0, {0x48, 0xE8, 0x01, 0x00}},
                             {12, {0x80, 0x25, 0x00, 0x00}},
                             {16, {0x08, 0x00}},
                             {52, {0x10, 0x27, 0x11, 0x27, 0x11, 0x27}},
                             {60, {0x80, 0x25, 0x00, 0x00}},
                             {64, {0x08, 0x00}},
                             {131, {0xFF}},
                             {2044, {0x31, 0x04, 0x00, 0x00}}}));  // 1073
    EXPECT_EQ(buffer[99], 0xEE);
    EXPECT_EQ(buffer[2148], 0xEE);
}

TEST(ParamBlocks, DefaultSecondProcessorBlockIsByteExactAndStable) {
    TCPU2_Param_Block block;
    Init_CPU2_Param_Block(block);
    std::vector<Byte> first(2048), second(2048);
    EXPECT_EQ(Save_CPU2_Param_Block(block, 0, TLeBytes(first.data(), first.size(), "test")), 2048u);
    Save_CPU2_Param_Block(block, 0, TLeBytes(second.data(), second.size(), "test"));
    EXPECT_EQ(first, second);  // the stored sum is not summed again
    EXPECT_EQ(first, Expect({{0, {0x90, 0xD0, 0x03, 0x00, 0x90, 0xD0, 0x03, 0x00}},
                             {12, {0x80, 0x25, 0x00, 0x00}},
                             {40, {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255}},
                             {52, {0x10, 0x27, 0x11, 0x27, 0x11, 0x27}},
                             {436, {8, 8, 8, 8, 8, 8, 8, 8}},
                             {2044, {0x82, 0x0D, 0x00, 0x00}}}));  // 3458
}

TEST(ParamBlocks, SumCoversEveryMemberAndTheRestIsZero) {
    TMain_Param_Block block;
    Init_Main_Param_Block(block);
    block.Bytes().Fill(0, TMain_Param_Block::Member_Size, 0xFF);
    std::vector<Byte> image(2048);
    Save_Main_Param_Block(block, 0, TLeBytes(image.data(), image.size(), "test"));
    Cardinal sum = 676u * 255u;
    EXPECT_EQ(TLeBytes(image.data(), image.size(), "test").GetU32(2044), sum);
    for (std::size_t i = 676; i < 2044; ++i) ASSERT_EQ(image[i], 0) << i;
}

TEST(ParamBlocks, FieldsNeverSpillAndABlockNeedsRoom) {
    TMain_Param_Block block;
    Init_Main_Param_Block(block);
    TLeBytes b = block.Bytes();
    b.PutText(MB::Station_Name, 16, 15, u"abcdefghijklmnopqrst");
    EXPECT_EQ(b.GetU8(MB::Station_Name + 14), 'o');
    EXPECT_EQ(b.GetU8(MB::Station_Name + 15), 0);
    EXPECT_EQ(b.GetU8(MB::Device_Variant), 0);
    b.PutText(MB::Contact_Text, 16, 16, u"\u0141ocation-123456789");  // low byte of each character
    EXPECT_EQ(b.GetU8(MB::Contact_Text), 0x41);
    EXPECT_EQ(b.GetU8(MB::Contact_Text + 15), '7');
    EXPECT_EQ(b.GetU8(MB::Location_Text), 0);
    EXPECT_THROW(b.PutU32(TMain_Param_Block::Member_Size - 2, 1), EImageError);

    std::vector<Byte> small(2047, 0xEE);
    try {
        Save_Main_Param_Block(block, 0, TLeBytes(small.data(), small.size(), "Bank_Image_X"));
        FAIL();
    } catch (const EImageError& e) {
        EXPECT_NE(std::string(e.what()).find("Bank_Image_X (2047 bytes)"), std::string::npos) << e.what();
    }
    EXPECT_EQ(small, std::vector<Byte>(2047, 0xEE));
}
