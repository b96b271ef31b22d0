// The update job file byte for byte, the updater command lines, and a
// cross-check that the flash addresses of the job agree with the table
// addresses stored in the blocks the job sends.
#include "ImageFixture.h"
#include "MBusImageFixture.h"
#include "TableFixture.h"
#include "framework/XmlDoc.h"
#include "image/ImageBuild.h"
#include "image/UBootTCP.h"
#include "shell/UModel_Tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace {

struct TUpdateFixture {
    explicit TUpdateFixture(int model) : Project(model) {
        Project.Dir().write("exe/MASTER/sim52806_K64.SIM", "firmware");  // found whatever its case
        Project.Dir().write("exe/MASTER/Sim52839.sim", "firmware");
        Ctx.Model_Code = model;
        Ctx.IP_Address = u"192.168.2.205";
        Ctx.Exe_Dir = Utf8ToString(Project.Dir().file("exe"));
        Ctx.Master_Dir = Utf8ToString(Project.Dir().file("exe/MASTER"));
        Ctx.Project_Dir = Utf8ToString(Project.Project());
    }
    std::string Master() const { return Project.Dir().file("exe/MASTER"); }
    std::string Bin() const { return Project.Project() + "/bin"; }
    TProjectFixture Project;
    TUpdate_Context Ctx;
};

struct TOp {
    std::string Protection, File, Start;
    bool Firmware;
    std::string Css, Cmd;
    std::string GoToApp;
    bool ReadBack = true;
};

// One operation as the updater reads it: the twenty elements in their order.
std::string Op(const TOp& o) {
    auto e = [](const std::string& name, const std::string& text) {
        return text.empty() ? "<" + name + "/>" : "<" + name + ">" + text + "</" + name + ">";
    };
    return "<Operation>" + e("Ope_Protection_Enabled", o.Protection) + e("Ope_GoToBoot_Before", "0") +
           e("Ope_GoToApp_Before", "0") + e("Ope_IP_Address", "") + e("Ope_Port", "2008") + e("Ope_Port_Sec", "2007") +
           e("Ope_Erase_Memory", "0") + e("Ope_FileName", o.File) + e("Ope_Start_Address", o.Start) +
           e("Ope_Memory_Type", "0") + e("Ope_Bank_Type", o.Firmware ? "1" : "2") + e("Ope_Read_Back", o.ReadBack ? "1" : "0") +
           e("Ope_Write_CSS", o.Firmware ? "1" : "0") + e("Ope_Address_CSS", o.Css) + e("Ope_Command_CSS", o.Cmd) +
           e("Ope_Write_Internal_Data", "0") + e("Ope_WID_Address", "0x78300") + e("Ope_WID_Command", "0x0B") +
           e("Ope_WID_Data", "") + e("Ope_GoToApp_After", o.GoToApp) + "</Operation>";
}

std::string Header(const std::string& code, const std::string& port, const std::string& protections) {
    return "<Ethernet_Update><Version>1000</Version><Title>www.bridgeform.example - " + code +
           " Ethernet Update</Title><IP_Address_Dev>192.168.2.205</IP_Address_Dev><Application_Port>" + port +
           "</Application_Port><Boot_Port>2008</Boot_Port><Boot_Port_Sec>2007</Boot_Port_Sec>"
           "<Address_Protection>0x78000</Address_Protection>" +
           protections;
}

// Each operation of a job: file name (without folders), start, processor code, bank type, GoToApp_After.
std::vector<std::vector<std::string>> Operations(const std::string& job) {
    TXmlDocument doc;
    doc.LoadFromUtf8(job);
    std::vector<std::vector<std::string>> ops;
    for (TXmlNode op : doc.DocumentElement().ChildNode(u"Operations").Children()) {
        std::string file = StringToUtf8(op.ChildNode(u"Ope_FileName").Text());
        ops.push_back({file.substr(file.find_last_of('/') + 1), StringToUtf8(op.ChildNode(u"Ope_Start_Address").Text()),
                       StringToUtf8(op.ChildNode(u"Ope_Protection_Enabled").Text()),
                       StringToUtf8(op.ChildNode(u"Ope_Bank_Type").Text()),
                       StringToUtf8(op.ChildNode(u"Ope_GoToApp_After").Text())});
    }
    return ops;
}

}  // namespace

TEST(UpdateJob, Model35JobByteForByte) {
    TUpdateFixture f(35);
    Write_Update_Job(f.Ctx);
    std::string expected =
        Header("CV52806", "10000",
               "<Address_Protection_Sec>0x07800</Address_Protection_Sec><Protections><Protection>0x5B023</Protection>"
               "</Protections>") +
        "<Operations>" + Op({"0x5B023", f.Master() + "/sim52806_K64.SIM", "0x8000", true, "0x7A00", "0x02", "0"}) +
        Op({"0x5B023", f.Bin() + "/bank1.bin", "0x07000", false, "0x50100", "0x0B", "0"}) +
        Op({"0x5B023", f.Bin() + "/bank2.bin", "0x80000", false, "0x50100", "0x0B", "1"}) +
        "</Operations></Ethernet_Update>\r\n";
    EXPECT_EQ(f.Project.Dir().read("exe/Ethernet_Update.xml"), expected);
}

TEST(UpdateJob, Models13And20JobsByteForByte) {
    TUpdateFixture f13(13);
    f13.Ctx.Options.Read_Firm = false;
    std::string main13 = f13.Master() + "/Sim52839.sim";
    EXPECT_EQ(Update_Job_Text(f13.Ctx),
              Header("CV52839", "5000",
                     "<Address_Protection_Sec>0x07800</Address_Protection_Sec><Protections><Protection>0x5A00D</Protection>"
                     "<Protection>0x5B00D</Protection></Protections>") +
                  "<Operations>" + Op({"0x5A00D", main13, "0x8000", true, "0x78100", "0x0B", "0", false}) +
                  Op({"0x5B00D", f13.Master() + "/Sim52839_K64.sim", "0x8000", true, "0x7A00", "0x02", "0", false}) +
                  Op({"0x5A00D", f13.Bin() + "/bank.bin", "0x68000", false, "0x50100", "0x0B", "1"}) +
                  Op({"0x5B00D", f13.Bin() + "/bank1.bin", "0x07000", false, "0x50100", "0x0B", "1"}) +
                  "</Operations></Ethernet_Update>\r\n");

    TUpdateFixture f20(20);
    f20.Ctx.Options.Firmware = false;
    f20.Ctx.Options.Read_Conf = false;
    EXPECT_EQ(Update_Job_Text(f20.Ctx),
              Header("CV52836", "5000", "<Protections><Protection>0x5A014</Protection></Protections>") + "<Operations>" +
                  Op({"", f20.Bin() + "/bank.bin", "0x68000", false, "0x50100", "0x0B", "1", false}) +
                  "</Operations></Ethernet_Update>\r\n");
}

TEST(UpdateJob, OperationsOfOtherModels) {
    struct TCase {
        int Model;
        bool F, C;
        int MapType;
        std::vector<std::vector<std::string>> Ops;
    } cases[] = {
        {0, false, true, 1,
         {{"bank1.bin", "0x68000", "0x5A000", "2", "0"}, {"bank3.bin", "0x07000", "0x5B000", "2", "0"},
          {"bank2.bin", "0x50000", "0x5A000", "2", "1"}, {"bank2.bin", "0x80000", "0x5B000", "2", "1"}}},
        {18, true, false, 1, {{"Sim52809.sim", "0x8000", "0x5A012", "1", "1"}, {"Sim52809_K64.sim", "0x8000", "0x5B012", "1", "1"}}},
        {16, true, false, 0, {{"Sim52810_FixMap.sim", "0x8000", "", "1", "1"}}},
        {16, true, false, 1, {{"Sim52810.sim", "0x8000", "", "1", "1"}}},
        {1018, false, true, 1,
         {{"bank.bin", "0x62000", "0x5A3FA", "2", "1"}, {"bank1.bin", "0x07000", "0x5B3FA", "2", "0"},
          {"bank2.bin", "0x80000", "0x5B3FA", "2", "1"}}},
        {29, true, true, 1,
         {{"Sim529-K314.sim", "0x8000", "", "1", "0"}, {"bank1.bin", "0x07000", "", "2", "0"}, {"bank2.bin", "0x68800", "", "2", "1"}}},
        {21, false, true, 1,
         {{"bank.bin", "0x50000", "0x5A00A, 0x5A015", "2", "1"}, {"bank1.bin", "0x68000", "0x5B00A, 0x5B015", "2", "0"},
          {"bank2.bin", "0x50800", "0x5B00A, 0x5B015", "2", "0"}, {"bank3.bin", "0x80000", "0x5B015", "2", "1"}}},
        {35, false, false, 1, {}},
        {8, false, true, 1,
         {{"bank1.bin", "0x68000", "0x5A008", "2", "0"}, {"bank3.bin", "0x07000", "0x5B008", "2", "0"},
          {"bank2.bin", "0x56000", "0x5A008", "2", "1"}, {"bank4.bin", "0x80000", "0x5B008", "2", "1"}}},
        {6, false, true, 1,
         {{"bank1.bin", "0x68000", "0x5A006", "2", "0"}, {"bank3.bin", "0x07000", "0x5B006", "2", "0"},
          {"bank2.bin", "0x58000", "0x5A006", "2", "1"}, {"bank2.bin", "0x80000", "0x5B006", "2", "1"}}},
        {9, true, true, 1,
         {{"Sim52824.sim", "0x8000", "0x5A009", "1", "0"}, {"Sim52824_K64.sim", "0x8000", "0x5B009", "1", "0"},
          {"bank.bin", "0x68000", "0x5A009", "2", "1"}, {"bank_K64.bin", "0x07000", "0x5B009", "2", "1"}}},
        {12, false, true, 1,
         {{"bank.bin", "0x68000", "0x5A00C", "2", "1"}, {"bank1.bin", "0x07000", "0x5B00C", "2", "1"}}},
        {28, false, true, 1, {{"bank1.bin", "0x68000", "", "2", "0"}, {"bank2.bin", "0x58000", "", "2", "1"}}},
        {33, false, true, 1, {{"bank1.bin", "0x68000", "", "2", "0"}, {"bank2.bin", "0x56000", "", "2", "1"}}},
        {19, true, true, 0, {{"Sim52811_FixMap.sim", "0x8000", "", "1", "0"}, {"bank.bin", "0x62000", "", "2", "1"}}},
        {30, true, true, 0, {{"Sim529-K313.sim", "0x8000", "", "1", "0"}, {"bank.bin", "0x62000", "", "2", "1"}}},
        {2004, false, true, 1,
         {{"bank.bin", "0x68000", "0x5A7D4", "2", "1"}, {"bank1.bin", "0x07000", "0x5B7D4", "2", "0"},
          {"bank2.bin", "0x80000", "0x5B7D4", "2", "1"}}},
        {31, true, true, 1, {{"Sim52838.sim", "0x8000", "", "1", "0"}, {"bank.bin", "0x07000", "", "2", "1"}}},
        {10, true, true, 1,
         {{"Sim52802.sim", "0x8000", "0x5A00A, 0x5A015", "1", "0"}, {"Sim52802_R731.sim", "0x8000", "0x5B00A, 0x5B015", "1", "0"},
          {"bank.bin", "0x50000", "0x5A00A, 0x5A015", "2", "1"}, {"bank1.bin", "0x68000", "0x5B00A, 0x5B015", "2", "0"},
          {"bank2.bin", "0x50800", "0x5B00A, 0x5B015", "2", "1"}}},
    };
    for (const TCase& c : cases) {
        TUpdateFixture f(c.Model);
        f.Ctx.Options.Firmware = c.F;
        f.Ctx.Options.Conf = c.C;
        f.Ctx.map_type_809 = c.MapType;
        EXPECT_EQ(Operations(Update_Job_Text(f.Ctx)), c.Ops) << c.Model;
    }
}

// The head of every job: application port, protection addresses and the
// number of processor codes; the title ends with the model's software code
// (the partner product code for 1018 and 2004). The Operations element is
// there even when neither firmware nor project is chosen.
TEST(UpdateJob, HeadersOfEveryJobModel) {
    const std::vector<int> port5000 = {0, 4, 6, 11, 12, 13, 20, 25, 26, 27, 2004, 29, 31};
    const std::vector<int> secondProcessor = {0, 4, 6, 8, 9, 11, 12, 13, 18, 35, 1018, 2004};
    auto in = [](const std::vector<int>& models, int m) { return std::find(models.begin(), models.end(), m) != models.end(); };
    for (int model : {0, 4, 6, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20, 21, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35,
                      1018, 2004}) {
        TUpdateFixture f(model);
        f.Ctx.Options = {false, false, false, false};
        TXmlDocument doc;
        doc.LoadFromUtf8(Update_Job_Text(f.Ctx));
        TXmlNode root = doc.DocumentElement();
        std::vector<std::u16string> names;
        for (TXmlNode child : root.Children()) names.push_back(child.NodeName());
        std::vector<std::u16string> expected = {u"Version", u"Title", u"IP_Address_Dev", u"Application_Port", u"Boot_Port",
                                                u"Boot_Port_Sec", u"Address_Protection"};
        if (in(secondProcessor, model)) expected.push_back(u"Address_Protection_Sec");
        expected.insert(expected.end(), {u"Protections", u"Operations"});
        if (model == 12) expected.push_back(u"STM32");
        EXPECT_EQ(names, expected) << model;

        EXPECT_EQ(root.ChildNode(u"Version").Text(), u"1000") << model;
        const std::string code = model == 1018 ? "RVX-TRP Desktop" : model == 2004 ? "ZK-RS485QWT-091144"
                                                                                   : StringToUtf8(Model_SW_Code(model));
        const std::string title = StringToUtf8(root.ChildNode(u"Title").Text());
        EXPECT_NE(title.find(" - " + code + " Ethernet Update"), std::string::npos) << model << ": " << title;
        EXPECT_EQ(root.ChildNode(u"Application_Port").Text(), in(port5000, model) ? u"5000" : u"10000") << model;
        EXPECT_EQ(root.ChildNode(u"Boot_Port").Text(), u"2008") << model;
        EXPECT_EQ(root.ChildNode(u"Boot_Port_Sec").Text(), u"2007") << model;
        EXPECT_EQ(root.ChildNode(u"Address_Protection").Text(), model == 29 || model == 31 ? u"0x07800" : u"0x78000") << model;
        if (in(secondProcessor, model)) {
            EXPECT_EQ(root.ChildNode(u"Address_Protection_Sec").Text(), u"0x07800") << model;
        }

        const int protections = model == 10 ? 3 : model == 35 ? 1 : in(secondProcessor, model) || model == 21 ? 2 : 1;
        EXPECT_EQ(root.ChildNode(u"Protections").ChildCount(), protections) << model;
        for (TXmlNode p : root.ChildNode(u"Protections").Children()) {
            const std::string text = StringToUtf8(p.Text());
            EXPECT_TRUE(text.size() > 2 && text.rfind("0x", 0) == 0 &&
                        text.find_first_not_of("0123456789ABCDEF", 2) == std::string::npos)
                << model << ": " << text;
        }
        ASSERT_FALSE(root.ChildNode(u"Operations").IsNull()) << model;
        EXPECT_EQ(root.ChildNode(u"Operations").ChildCount(), 0) << model;
    }
}

TEST(UpdateJob, Model12AddsItsSTM32Operations) {
    TUpdateFixture f(12);
    TXmlDocument doc;
    doc.LoadFromUtf8(Update_Job_Text(f.Ctx));
    TXmlNode stm32 = doc.DocumentElement().ChildNode(u"STM32");
    EXPECT_EQ(stm32.ChildNode(u"Address_Protection").Text(), u"0x08020000");
    std::vector<TXmlNode> ops = stm32.ChildNode(u"Operations").Children();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].ChildCount(), 16);
    EXPECT_EQ(ops[0].ChildNode(u"Ope_Start_Address").Text(), u"0x08040000");
    EXPECT_EQ(ops[1].ChildNode(u"Ope_WID_Data").Text(), u"0x00, 0x00, 0x00, 0x01");
    EXPECT_EQ(ops[1].ChildNode(u"Ope_Start_Address").Text(), u"0x08020800");
    const std::pair<const char16_t*, const char16_t*> firmware[] = {
        {u"Ope_Protection_Enabled", u""}, {u"Ope_Bank_Type", u"1"},        {u"Ope_Write_CSS", u"1"},
        {u"Ope_Address_CSS", u"0x08020400"}, {u"Ope_Command_CSS", u"0x02"}, {u"Ope_GoToApp_After", u"0"}};
    for (const auto& [name, text] : firmware) EXPECT_EQ(ops[0].ChildNode(name).Text(), text) << StringToUtf8(name);
    EXPECT_TRUE(ops[0].ChildNode(u"Ope_WID_Address").IsNull());
    const std::pair<const char16_t*, const char16_t*> project[] = {
        {u"Ope_Protection_Enabled", u""},  {u"Ope_Bank_Type", u"2"},        {u"Ope_Write_CSS", u"0"},
        {u"Ope_Address_CSS", u"0x50100"}, {u"Ope_Command_CSS", u"0x0B"},   {u"Ope_Write_Internal_Data", u"0"},
        {u"Ope_WID_Address", u"0x07810"}, {u"Ope_WID_Command", u"0x02"},   {u"Ope_GoToApp_After", u"1"}};
    for (const auto& [name, text] : project) EXPECT_EQ(ops[1].ChildNode(name).Text(), text) << StringToUtf8(name);
    EXPECT_EQ(ops[1].ChildNode(u"Ope_FileName").Text(), Utf8ToString(f.Bin() + "/bank1.bin"));
}

TEST(UpdateJob, UpdaterCommandLines) {
    TUpdateFixture f1(1);
    f1.Project.Dir().write("exe/MASTER/SIM52831.SIM", "firmware");
    TUpdater_Call call = Updater_Call(f1.Ctx);
    EXPECT_EQ(StringToUtf8(call.Program), f1.Project.Dir().file("exe/TCP_52831_Update.exe"));
    EXPECT_EQ(StringToUtf8(call.Parameters), "192.168.2.205 2007 FW FR PW PR \"" + f1.Master() + "/SIM52831.SIM\" \"" + f1.Bin() +
                                                 "/bank.bin\"");

    TUpdateFixture f7(7);
    f7.Ctx.Options = {false, false, false, false};
    EXPECT_EQ(StringToUtf8(Updater_Call(f7.Ctx).Parameters),
              "192.168.2.205 2007 NO NO NO NO \"" + f7.Master() + "/sim52823.sim\" \"" + f7.Bin() + "\"");

    for (auto [model, program] : {std::pair{35, "Ethernet_Update.exe"}, {1018, "Ethernet_Update_PA.exe"}, {2004, "Ethernet_Update_PBX.exe"}}) {
        TUpdateFixture f(model);
        TUpdater_Call c = Updater_Call(f.Ctx);
        EXPECT_EQ(StringToUtf8(c.Program), f.Project.Dir().file(std::string("exe/") + program));
        EXPECT_TRUE(c.Parameters.empty());
    }
    EXPECT_FALSE(Writes_Update_Job(7));
}

TEST(UpdateJob, AJobThatCannotBeWrittenIsAnError) {
    TUpdateFixture f(35);
    const std::string exe = f.Project.Dir().file("exe");
    std::filesystem::create_directory(exe + "/Ethernet_Update.xml");  // its place is taken
    TUpdate_Context missing = f.Ctx;
    missing.Exe_Dir = Utf8ToString(exe + "/missing-folder");
    for (const TUpdate_Context& ctx : {f.Ctx, missing}) {
        try {
            Write_Update_Job(ctx);
            ADD_FAILURE() << StringToUtf8(ctx.Exe_Dir);
        } catch (const EImageError& e) {
            EXPECT_NE(std::string(e.what()).find("The update job cannot be written"), std::string::npos) << e.what();
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(exe + "/Ethernet_Update.xml"));
    EXPECT_FALSE(std::filesystem::exists(exe + "/missing-folder"));
}

TEST(UpdateJob, MapTypeOfTheSNMPModels) {
    TProjectFixture p(16);
    String path = p.Sources().Path_ParGen;
    EXPECT_EQ(Get_Map_Type_809(16, path), 1);  // no file
    p.ParGen({{"SNMP_MapType", "0"}});
    EXPECT_EQ(Get_Map_Type_809(16, path), 0);
    EXPECT_EQ(Get_Map_Type_809(30, path), 1);
    p.ParGen({});
    EXPECT_EQ(Get_Map_Type_809(19, path), 0);
}

// Where the job puts each bank file and where the blocks say their tables
// lie must agree: the tables are found in the written files by their
// contents, not by the builder's offsets.
TEST(UpdateJob, FlashAddressesOfTheJobAgreeWithTheBlocks) {
    // A marked row (a trap row by its community name at entry +12, a request
    // by its poll time 0x12345678 at entry +4) or a block (by its station
    // name) must lie, on the processor that receives Block_File, at the
    // address that the block in Block_File holds at Pointer, or at Fixed.
    const std::string read = "read-table-1st", write = "write-table-1st", request = "\x78\x56\x34\x12";
    const std::string station = "station-mark";
    struct TCheck {
        std::string Marker;
        std::size_t Marker_Offset;
        std::string Block_File;
        std::size_t Pointer;
        Cardinal Fixed = 0;
        std::size_t Block_At = 0;  // where the block lies in Block_File (behind a trap section: 0x6000)
    };
    const std::vector<TCheck> rtuMaster = {{request, 4, "bank1.bin", 196}, {station, 80, "bank.bin", 0, 0x68000},
                                           {station, 80, "bank1.bin", 0, 0x07000}};
    const std::vector<TCheck> snmpMaster = {
        {request, 4, "bank1.bin", 196},        {read, 12, "bank.bin", 424, 0, 0x6000}, {write, 12, "bank.bin", 428, 0, 0x6000},
        {read, 12, "bank1.bin", 1444},         {write, 12, "bank1.bin", 1448}, {station, 440, "bank.bin", 0, 0x68000},
        {station, 1396, "bank1.bin", 0, 0x07000}};
    const std::vector<TCheck> snmpSlave = {{read, 12, "bank.bin", 424}, {write, 12, "bank.bin", 428},
                                           {station, 440, "bank.bin", 0, 0x68000}};
    const std::map<int, std::vector<TCheck>> cases = {
        {20, {{read, 12, "bank.bin", 424}, {write, 12, "bank.bin", 428}}},
        {35, {{read, 12, "bank1.bin", 1444}, {write, 12, "bank1.bin", 1448}}},
        {4, rtuMaster},
        {2004, rtuMaster},
        {18, snmpMaster},
        {1018, snmpMaster},
        {11, {{request, 4, "bank1.bin", 76}, {request, 4, "bank1.bin", 196}, {request, 4, "bank3.bin", 76},
              {request, 4, "bank3.bin", 196}, {station, 80, "bank1.bin", 0, 0x68000}, {station, 80, "bank3.bin", 0, 0x07000}}},
        {19, {{request, 4, "bank.bin", 76, 0, 0x6000}, {request, 4, "bank.bin", 196, 0, 0x6000},
              {read, 12, "bank.bin", 424, 0, 0x6000}, {write, 12, "bank.bin", 428, 0, 0x6000},
              {station, 440, "bank.bin", 0, 0x68000}}},
        {12, {{station, 80, "bank.bin", 0, 0x68000}, {station, 80, "bank1.bin", 0, 0x07000}}},
        {16, snmpSlave},
        {17, snmpSlave},
    };
    for (const auto& [model, checks] : cases) {
        TUpdateFixture f(model);
        f.Project.ParGen({{"PROFINET_NAME_STA", station}, {"SNMP_MapType", "1"}});
        f.Project.SNMP_Trap({R"(Enable="Y" Community_Name="read-table-1st")"}, {R"(Enable="Y" Community_Name="write-table-1st")"});
        const std::string row = R"(Slave_ID="1" Type="Holding Register" Address="0" NPoint="1" PollTime="305419896" MaxError="0" Position="0" Bit="0" IP_Address="1.2.3.4")";
        f.Project.ModbusM_SetAccess({row}, {});
        f.Project.ModbusTCPM_SetAccess({row}, {});
        Write_Device_Image(*Build_Device_Image(f.Project.Sources()), f.Ctx.Project_Dir);

        const auto ops = Operations(Update_Job_Text(f.Ctx));
        auto processor_of = [&, model = model](const std::string& file) -> std::string {
            for (const auto& op : ops)
                if (op[3] == "2" && op[0] == file) return op[2];
            ADD_FAILURE() << model << ": the job does not send " << file;
            return "?";
        };
        // The flash address of a marker on one processor: the start of the bank that holds it there, plus its place.
        auto locate = [&](const std::string& marker, std::size_t markerOffset, const std::string& processor) -> Cardinal {
            for (const auto& op : ops) {
                if (op[3] != "2" || op[2] != processor) continue;
                std::size_t at = f.Project.Read_Bin(op[0]).find(marker);
                if (at != std::string::npos)
                    return static_cast<Cardinal>(std::stoul(op[1], nullptr, 16)) + Cardinal(at - markerOffset);
            }
            return 0;  // not sent to that processor
        };
        for (const TCheck& c : checks) {
            Cardinal expected = c.Fixed;
            if (!expected) {
                std::string block = f.Project.Read_Bin(c.Block_File);
                expected = TLeBytes(reinterpret_cast<Byte*>(block.data()), block.size(), "block").GetU32(c.Block_At + c.Pointer);
            }
            EXPECT_EQ(locate(c.Marker, c.Marker_Offset, processor_of(c.Block_File)), expected)
                << model << ": " << c.Block_File << " +" << c.Pointer << " (fixed " << c.Fixed << ")";
        }
    }

    // The families with blocks of their own: every bank file is sent, and
    // the addresses the blocks store are where the job puts the files.
    for (int model : {9, 10, 21, 29, 31}) {
        TUpdateFixture f(model);
        f.Project.ParGen(MBus_ParGen());
        MBus_Network(f.Project, {{R"(Node_State="1")", {R"(Enable="1" Type="0" Fun_Field="0" Dim="2")"}}});
        Write_Device_Image(*Build_Device_Image(f.Project.Sources()), f.Ctx.Project_Dir);

        std::map<std::string, std::pair<Cardinal, std::string>> flash;
        for (const auto& op : Operations(Update_Job_Text(f.Ctx)))
            if (op[3] == "2") flash[op[0]] = {static_cast<Cardinal>(std::stoul(op[1], nullptr, 16)), op[2]};
        std::set<std::string> written;
        for (const auto& e : std::filesystem::directory_iterator(f.Bin()))
            if (e.path().filename().string().rfind("bank", 0) == 0 && std::filesystem::file_size(e.path()) > 0)
                written.insert(e.path().filename().string());  // model 10's empty "bank3.bin" is not sent
        std::set<std::string> sent;
        for (const auto& [file, where] : flash) sent.insert(file);
        EXPECT_EQ(sent, written) << model;

        if (model == 10 || model == 21) {
            // Both processors find the network image at the same flash address, its first node behind it.
            for (const auto& [file, base] : {std::pair{std::string("bank.bin"), 2049u}, std::pair{std::string("bank2.bin"), 1u}}) {
                std::string bytes = f.Project.Read_Bin(file);
                EXPECT_EQ(flash[file].first + base, 0x50801u) << model << file;
                EXPECT_EQ(flash[file].first + U32_At(bytes, base), 0x50809u) << model << file;
            }
            EXPECT_NE(flash["bank.bin"].second, flash["bank2.bin"].second) << model;
        }
        if (model == 21) {
            EXPECT_EQ(U32_At(f.Project.Read_Bin("bank1.bin"), 768), flash["bank3.bin"].first);
            EXPECT_NE(flash["bank1.bin"].second.find(flash["bank3.bin"].second), std::string::npos);  // the second processor
        }
        if (model == 29) EXPECT_EQ(U32_At(f.Project.Read_Bin("bank1.bin"), 480), flash["bank2.bin"].first);
    }
}

// The CAN-side models send a bank file to each processor that holds a table
// copy; each block's table addresses must be where the job puts the tables.
TEST(UpdateJob, FlashAddressesOfTheCANSideTablesAgreeWithTheBlocks) {
    // A descriptor in a block file and the table it names: its file and its offset there.
    struct Check {
        const char* Block;
        std::size_t Descriptor;
        const char* Table;
        std::size_t Offset;
        std::string Marker;  // found at the table's offset (+ Marker_At)
        std::size_t Marker_At;
    };
    struct Case {
        int Model;
        std::vector<Check> Checks;
    };
    const std::string can = TExpectedEntry(4).U32(0, 0x1234).Str(), sdo = TExpectedEntry(2).U16(0, 0x4321).Str();
    const std::string pdo = TExpectedEntry(4).U32(0, 0x181).Str(), rx = TExpectedEntry(4).U32(0, 0x12300).Str();
    const std::string tx = TExpectedEntry(4).U32(0, 0x18004500).Str(), guard = TExpectedEntry(4).U16(0, 900).U8(2, 9).U8(3, 1).Str();
    auto traps = [](const char* file, std::size_t at) {
        return std::vector<Check>{{file, 424, file, at, "read-table-1st", 12}, {file, 428, file, at + 0x3000, "write-table-1st", 12}};
    };
    std::vector<Case> cases = {
        {0, {{"bank3.bin", 200, "bank2.bin", 0, can, 0}}},
        {6, {{"bank3.bin", 204, "bank2.bin", 0, rx, 0}, {"bank3.bin", 208, "bank2.bin", 0x4000, tx, 0}}},
        {8, {{"bank3.bin", 224, "bank4.bin", 0, sdo, 4}, {"bank3.bin", 228, "bank4.bin", 0x4000, sdo, 4},
             {"bank3.bin", 232, "bank4.bin", 0x8000, sdo, 4}, {"bank3.bin", 236, "bank4.bin", 0xA000, sdo, 4},
             {"bank3.bin", 240, "bank4.bin", 0xC000, pdo, 0}, {"bank3.bin", 244, "bank4.bin", 0xD000, pdo, 0},
             {"bank3.bin", 1744, "bank4.bin", 0xE000, guard, 0}, {"bank1.bin", 560, "bank1.bin", 2048, guard, 0}}},
        {33, {{"bank1.bin", 224, "bank2.bin", 0, sdo, 4}, {"bank1.bin", 228, "bank2.bin", 0x4000, sdo, 4},
              {"bank1.bin", 232, "bank2.bin", 0x8000, sdo, 4}, {"bank1.bin", 236, "bank2.bin", 0xA000, sdo, 4},
              {"bank1.bin", 240, "bank2.bin", 0xC000, pdo, 0}, {"bank1.bin", 244, "bank2.bin", 0xD000, pdo, 0},
              {"bank1.bin", 560, "bank1.bin", 2048, guard, 0}}},
        {32, {{"bank1.bin", 204, "bank2.bin", 0, rx, 0}, {"bank1.bin", 208, "bank2.bin", 0x4000, tx, 0}}},
        {15, traps("bank1.bin", 2048)},
        {34, traps("bank1.bin", 2048)},
    };
    for (const Check& c : traps("bank1.bin", 2048)) cases[4].Checks.push_back(c);
    for (const Check& c : traps("bank1.bin", 2560)) cases[3].Checks.push_back(c);

    for (const Case& c : cases) {
        TUpdateFixture f(c.Model);
        const TProjectFixture& p = f.Project;
        p.SNMP_Trap({R"(Enable="Y" Community_Name="read-table-1st" IP_Address="1.2.3.4")"}, {R"(Enable="Y" Community_Name="write-table-1st")"});
        Table_File(p, "CAN_Rec_Frames.xml", "F", {{"Receive_Frames", {R"(Cob_Id="4660" Type="x" Dimension="0" TimeOut="0")"}}});
        const std::string sdoRow = R"(Device_ID="1" Poll_Time="1" Index="17185" SubIndex="0" NByte="1" Address_B1="0")";
        Table_File(p, "SDO_Server_CANopen.xml", "S", {{"SDO_Read", {sdoRow}}, {"SDO_Write", {sdoRow}}});
        Table_File(p, "SDO_Client_CANopen.xml", "S", {{"SDO_Read", {sdoRow}}, {"SDO_Write", {sdoRow}}});
        Table_File(p, "PDO_CANopen.xml", "P",
                   {{"Receive_PDO", {R"(COB-ID="385" TimeOut="0" Dimension="1" Address_B1="0")"}},
                    {"Transmit_PDO", {R"(COB-ID="385" Send_Time="0" Dimension="1" Address_B1="0")"}}});
        Row_File(p, "NodeGuard.xml", "G", {R"(NodeID="9" GuardTime="900" LifeTimeFactor="1")"});
        Row_File(p, "J1939_Rec_Frames.xml", "J", {R"(DP="0" PGN="291" SA="0")"});
        Row_File(p, "J1939_Send_Frames.xml", "J", {R"(Priority="6" DP="0" PGN="69" SA="0")"});
        Write_Device_Image(*Build_Device_Image(p.Sources()), f.Ctx.Project_Dir);

        // file and processor -> start address
        std::map<std::pair<std::string, std::string>, Cardinal> flash;
        std::map<std::string, std::string> blockProcessor;
        for (const auto& op : Operations(Update_Job_Text(f.Ctx))) {
            if (op[3] != "2") continue;
            flash[{op[0], op[2]}] = static_cast<Cardinal>(std::stoul(op[1], nullptr, 16));
            blockProcessor.emplace(op[0], op[2]);
        }
        for (const Check& k : c.Checks) {
            ASSERT_TRUE(blockProcessor.count(k.Block)) << c.Model << " does not send " << k.Block;
            const std::string processor = blockProcessor[k.Block];
            ASSERT_TRUE(flash.count({k.Table, processor})) << c.Model << " sends no " << k.Table << " to " << processor;
            const std::string table = p.Read_Bin(k.Table);
            EXPECT_EQ(table.substr(k.Offset + k.Marker_At, k.Marker.size()), k.Marker) << c.Model << " " << k.Table << "+" << k.Offset;
            std::string block = p.Read_Bin(k.Block);
            TLeBytes b(reinterpret_cast<Byte*>(block.data()), block.size(), "block");
            EXPECT_EQ(b.GetU32(k.Descriptor), (flash[{k.Table, processor}] + k.Offset))
                << c.Model << " " << k.Block << "+" << k.Descriptor;
        }
    }
}
