// The protocol table files as the image builders read them, and the
// "ParGen.xml" rules that several families share.
#include "ImageFixture.h"
#include "image/ImageError.h"
#include "image/ParGenImage.h"
#include "image/TableFile.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Pretty-printed as the editors write it, with the version comment after the root.
const char* Requests_File =
    "<EtherNetIP_to_Modbus>\r\n"
    "  <Modbus_Read>\r\n"
    "    <row Slave_ID=\"7\" Address=\" 12\" NPoint=\"$1F\" Swap=\"Y\" Swap_Word=\"y\" Type=\" coil status \"/>\r\n"
    "    <!-- a comment between rows is no row -->\r\n"
    "    <other Slave_ID=\"-3\" Address=\"x\" Swap=\" Y\"/>\r\n"
    "  </Modbus_Read>\r\n"
    "  <Modbus_Write/>\r\n"
    "</EtherNetIP_to_Modbus>\r\n"
    "<!--Version 1.000-->\r\n";

std::string Error_Of(const std::function<void()>& action) {
    try {
        action();
    } catch (const EImageError& e) {
        return StringToUtf8(e.Message());
    }
    return "(no error)";
}

}  // namespace

TEST(TableFile, RowsAreTakenByPositionWithNumbersByTheFrameworkRuleAndFlagsByTheirFolding) {
    TempDir dir;
    dir.write("ModbusM_SetAccess.xml", Requests_File);
    std::optional<TTableFile> file = TTableFile::Load(Utf8ToString(dir.file("ModbusM_SetAccess.xml")));
    ASSERT_TRUE(file);
    TTable reads = file->Table(u"Modbus_Read");
    ASSERT_EQ(reads.Count(), 2);
    EXPECT_EQ(file->Table(u"Modbus_Write").Count(), 0);

    TTableRow first = reads.Row(0), second = reads.Row(1);
    EXPECT_EQ(first.Number(u"Slave_ID"), 7);
    EXPECT_EQ(first.Number(u"Address"), 12);  // leading blanks are skipped
    EXPECT_EQ(first.Number(u"NPoint"), 31);   // "$" hexadecimal, as every form reads it
    EXPECT_EQ(second.Number(u"Slave_ID"), -3);
    EXPECT_EQ(second.Number(u"Address", 99), 99);  // optional: no number takes the default
    EXPECT_EQ(second.Number(u"Port", 502), 502);   // optional: missing takes the default
    EXPECT_EQ(first.Text(u"Type"), String(u" coil status "));
    EXPECT_FALSE(first.Text(u"Mnemonic"));

    struct TFlagCase {
        int Row;
        const char16_t* Attribute;
        TFlagFold Fold;
        bool Expected;
    };
    const TFlagCase flags[] = {
        {0, u"Swap", TFlagFold::Exact, true},       {0, u"Swap_Word", TFlagFold::Exact, false},
        {0, u"Swap_Word", TFlagFold::Upper, true},  {1, u"Swap", TFlagFold::Upper, false},
        {1, u"Swap", TFlagFold::Trim_Upper, true},  {1, u"OnChange", TFlagFold::Trim_Upper, false},
    };
    for (const TFlagCase& c : flags)
        EXPECT_EQ(reads.Row(c.Row).Flag(c.Attribute, c.Fold), c.Expected)
            << c.Row << " " << StringToUtf8(c.Attribute) << " " << int(c.Fold);
}

TEST(TableFile, RowsOfTheRootAndOfANestedTable) {
    TempDir dir;
    dir.write("DNETM_DefOff.xml",
              "<Define_Offset><Nodo_DNET><ByteIN><row Offset=\"4\"/><row Offset=\"\"/></ByteIN></Nodo_DNET>"
              "<Nodo_DNET><ByteIN/></Nodo_DNET></Define_Offset>\r\n<!--Version 1.000-->\r\n");
    std::optional<TTableFile> file = TTableFile::Load(Utf8ToString(dir.file("DNETM_DefOff.xml")));
    ASSERT_TRUE(file);
    TTable nodes = file->Root_Rows();
    ASSERT_EQ(nodes.Count(), 2);
    TTable bytesIn = nodes.Row(0).Table(u"ByteIN");
    ASSERT_EQ(bytesIn.Count(), 2);
    EXPECT_EQ(bytesIn.Row(0).Number(u"Offset", -1), 4);
    EXPECT_EQ(bytesIn.Row(1).Number(u"Offset", -1), -1);
    EXPECT_EQ(Error_Of([&] { bytesIn.Row(1).Number(u"Offset"); }),
              "The image cannot be built: \"DNETM_DefOff.xml\": row 2 of \"ByteIN\" of row 1 of \"Define_Offset\" "
              "has no number in \"Offset\" (\"\").");
    EXPECT_EQ(Error_Of([&] { nodes.Row(1).Table(u"ByteOUT"); }),
              "The image cannot be built: \"DNETM_DefOff.xml\": row 2 of \"Define_Offset\" has no \"ByteOUT\" element.");
}

TEST(TableFile, EveryFailureNamesTheFileAndWhatIsWrong) {
    TempDir dir;
    dir.write("Good.xml", "<Root><Rows><row PollTime=\"1s\"/><row/></Rows></Root>");
    dir.write("Broken.xml", "<Root><Rows></Root>");
    dir.write("Empty.xml", "");
    auto path = [&](const char* name) { return Utf8ToString(dir.file(name)); };

    EXPECT_FALSE(TTableFile::Load(path("Missing.xml")));
    EXPECT_FALSE(TTableFile::Load(String()));

    std::string broken = Error_Of([&] { TTableFile::Load(path("Broken.xml")); });
    EXPECT_EQ(broken.rfind("The image cannot be built: \"Broken.xml\" cannot be read: ", 0), 0u) << broken;
    EXPECT_GT(broken.size(), std::string("The image cannot be built: \"Broken.xml\" cannot be read: ").size());
    EXPECT_NE(Error_Of([&] { TTableFile::Load(path("Empty.xml")); }).find("\"Empty.xml\""), std::string::npos);

    std::optional<TTableFile> good = TTableFile::Load(path("Good.xml"));
    ASSERT_TRUE(good);
    EXPECT_EQ(Error_Of([&] { good->Table(u"Modbus_Read"); }),
              "The image cannot be built: \"Good.xml\" has no \"Modbus_Read\" element.");
    TTable rows = good->Table(u"Rows");
    EXPECT_EQ(Error_Of([&] { rows.Row(0).Number(u"PollTime"); }),
              "The image cannot be built: \"Good.xml\": row 1 of \"Rows\" has no number in \"PollTime\" (\"1s\").");
    EXPECT_EQ(Error_Of([&] { rows.Row(1).Number(u"PollTime"); }),
              "The image cannot be built: \"Good.xml\": row 2 of \"Rows\" has no \"PollTime\".");

    EXPECT_EQ(Error_Of([&] { good->Check_Capacity(1023, 1024, S("requests")); }), "(no error)");
    EXPECT_EQ(Error_Of([&] { good->Check_Capacity(1024, 1024, S("requests")); }),
              "The image cannot be built: \"Good.xml\" holds more than 1024 requests, the most the converter holds.");
}

TEST(TableFile, NumbersBeyondTheIntegerRangeAreNoNumbers) {
    TempDir dir;
    dir.write("T.xml", "<R><T><row A=\"2147483647\" B=\"2147483648\" C=\"-2147483648\" D=\"$80000000\" E=\"7 \"/></T></R>");
    TTable t = TTableFile::Load(Utf8ToString(dir.file("T.xml")))->Table(u"T");
    TTableRow row = t.Row(0);
    EXPECT_EQ(row.Number(u"A"), 2147483647);
    EXPECT_EQ(row.Number(u"B", -5), -5);
    EXPECT_EQ(row.Number(u"C"), -2147483647 - 1);
    EXPECT_EQ(row.Number(u"D", -5), -5);
    EXPECT_EQ(row.Number(u"E", -5), -5);  // a trailing blank makes no number
}

TEST(ParGenSharedRules, ProfinetPortAndEnabledAddresses) {
    struct TPortCase {
        const char* Text;  // nullptr: the key is missing
        Word Expected;
    };
    const TPortCase ports[] = {
        {nullptr, 10001}, {"x", 10001}, {"34962", 10001}, {"34963", 10001}, {"34964", 10001},
        {"10000", 10001}, {"34961", 34961}, {"502", 502}, {"0", 0},
    };
    for (const TPortCase& c : ports) {
        TParGenFile file;
        if (c.Text) file.Set(u"PROFINET_PORT", Utf8ToString(c.Text));
        EXPECT_EQ(Read_Profinet_Port(TParGenImage(file), 10001), c.Expected) << (c.Text ? c.Text : "(missing)");
    }
    TParGenFile can;
    can.Set(u"PROFINET_PORT", u"34962");
    EXPECT_EQ(Read_Profinet_Port(TParGenImage(can), 2000), 2000);

    struct TEnableCase {
        const char* Enable;
        const char* Address;
        std::optional<Cardinal> Expected;
    };
    const TEnableCase enables[] = {
        {"1", "0", 1u},        {"1", "41", 42u},       {"1", "x", 1u},   {"1", nullptr, 0u},
        {"0", "41", std::nullopt}, {nullptr, "41", std::nullopt}, {" 1", "41", std::nullopt},
    };
    for (const TEnableCase& c : enables) {
        TParGenFile file;
        if (c.Enable) file.Set(u"PROFINET_ENABLE_DIAGNOSTIC", Utf8ToString(c.Enable));
        if (c.Address) file.Set(u"PROFINET_DIAGNOSTIC_ADDRESS", Utf8ToString(c.Address));
        EXPECT_EQ(Read_Enabled_Address(TParGenImage(file), u"PROFINET_ENABLE_DIAGNOSTIC", u"PROFINET_DIAGNOSTIC_ADDRESS"),
                  c.Expected)
            << (c.Enable ? c.Enable : "-") << " " << (c.Address ? c.Address : "-");
    }
}

TEST(ParGenSharedRules, AddressSetTakesItsDefaultsAndTheGatewayOnlyWhenEnabled) {
    TParGenFile file;
    file.Set(u"X_IP1", u"10");
    file.Set(u"X_IP2", u"no");
    file.Set(u"X_SM4", u"128");
    file.Set(u"X_GAT4", u"254");
    TAddressSet off = Read_Address_Set(TParGenImage(file), u"X_", {1, 2, 3, 4});
    EXPECT_EQ(off.Address, (std::array<Byte, 4>{10, 168, 3, 4}));  // no number: 168; missing: the given default
    EXPECT_EQ(off.Mask, (std::array<Byte, 4>{255, 255, 255, 128}));
    EXPECT_EQ(off.Gateway, (std::array<Byte, 4>{255, 255, 255, 255}));
    file.Set(u"X_EN_GAT", u"1");
    EXPECT_EQ(Read_Address_Set(TParGenImage(file), u"X_").Gateway, (std::array<Byte, 4>{192, 168, 0, 254}));

    std::array<Byte, 16> bytes{};
    Put_Address_Set(TLeBytes(bytes.data(), bytes.size(), "t"), 0, 8, 4, off);
    EXPECT_EQ(bytes, (std::array<Byte, 16>{10, 168, 3, 4, 255, 255, 255, 255, 255, 255, 255, 128}));
}
