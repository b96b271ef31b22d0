#include "descfiles/UProfibus_GSD.h"

#include "DescFixture.h"
#include "descfiles/DescFile_Text.h"
#include "framework/SysUtils.h"

namespace {

class GSD : public DescProject {
protected:
    // The lengths of a project, read for the model, written to a file.
    std::string Generate(int model, const std::string& nb_in, const std::string& nb_out) {
        Model_Code = model;
        ParGen({{"PROFIBUS_SLAVE_NB_IN", nb_in}, {"PROFIBUS_SLAVE_NB_OUT", nb_out}});
        EXPECT_TRUE(Read_GSD_Lengths());
        Write_GSD_File(P("out.gsd"));
        return dir.read("out.gsd");
    }

    static std::vector<std::string> Matching(const std::string& bytes, const std::string& prefix) {
        std::vector<std::string> out;
        for (const auto& l : Crlf_Lines(bytes))
            if (l.rfind(prefix, 0) == 0) out.push_back(l);
        return out;
    }
};

TEST_F(GSD, Model23WorkedExampleMatchesGoldenFile) {
    const std::string actual = Generate(23, "64", "100");
    Expect_Same_Lines(Golden("gsd/Model_23.gsd", actual), actual);

    EXPECT_EQ(100, GSD_Input_Len);
    EXPECT_EQ(64, GSD_Output_Len);
    EXPECT_EQ((std::vector<std::string>{"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01",
                                        "Module=\"DI  (PORT2)    \" 0x42,0x23,0x00,0x02",
                                        "Module=\"DO  (PORT3)    \" 0x82,0x3F,0x00,0x03"}),
              Matching(actual, "Module="));
    EXPECT_EQ((std::vector<std::string>{"Max_Module=3"}), Matching(actual, "Max_Module="));
    EXPECT_EQ((std::vector<std::string>{"Max_Data_Len=164"}), Matching(actual, "Max_Data_Len="));
    EXPECT_EQ((std::vector<std::string>{"Slot(1) = \"Slot 1\" 1 1", "Slot(2) = \"Slot 2\" 2 2", "Slot(3) = \"Slot 3\" 3 3"}),
              Matching(actual, "Slot("));
}

TEST_F(GSD, Model3ExchangesTheDirectionsAndMatchesGoldenFile) {
    const std::string actual = Generate(3, "64", "100");
    Expect_Same_Lines(Golden("gsd/Model_3.gsd", actual), actual);
    EXPECT_EQ((std::vector<std::string>{"Max_Input_Len=64"}), Matching(actual, "Max_Input_Len="));
    EXPECT_EQ((std::vector<std::string>{"Max_Output_Len=100"}), Matching(actual, "Max_Output_Len="));
    EXPECT_EQ((std::vector<std::string>{"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01",
                                        "Module=\"DO  (PORT2)    \" 0x82,0x3F,0x00,0x02",
                                        "Module=\"DO  (PORT3)    \" 0x82,0x23,0x00,0x03"}),
              Matching(actual, "Module="));
}

TEST_F(GSD, FixedLayoutRulesHold) {
    const std::string actual = Generate(23, "1", "1");
    const auto lines = Crlf_Lines(actual);
    // Comment box: 85 characters from its second line to its last.
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(85u, lines[i].size()) << "line " << i + 1 << ": " << lines[i];
    EXPECT_EQ(";" + std::string(84, '*'), lines[20]);
    // Each rule and title has the width its section names.
    for (const auto& [title, width] : std::vector<std::pair<std::string, size_t>>{
             {"Prm-Text-Def-List", 85}, {"Ext-User-Prm-Data-Def-List", 86}, {"General DP Keywords", 86},
             {"Supported baudrates", 79}, {"Module-Definition-List", 79}}) {
        auto t = Matching(actual, ";==== " + title + " ");
        ASSERT_EQ(1u, t.size()) << title;
        EXPECT_EQ(width, t[0].size()) << title;
    }
    EXPECT_EQ(actual.size() - 2, actual.rfind("\r\n"));  // every line, the last too, ends with CR LF
    for (size_t i = actual.find('\n'); i != std::string::npos; i = actual.find('\n', i + 1))
        ASSERT_EQ('\r', actual[i - 1]) << "bare line feed at byte " << i;
}

TEST_F(GSD, ModuleCountsAndLengthBytes) {
    struct Case {
        std::string nb_out;  // model 23: the Input length
        std::vector<std::string> modules;
        std::string max_module;
    };
    const Case cases[] = {
        {"0", {}, "Max_Module=1"},  // the one output module
        {"128", {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01", "Module=\"DI  (PORT2)    \" 0x42,0x3F,0x00,0x02"}, "Max_Module=3"},
        {"1", {"Module=\"DI  (PORT1)    \" 0x42,0x00,0x00,0x01"}, "Max_Module=2"},
        {"0x41", {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01", "Module=\"DI  (PORT2)    \" 0x42,0x00,0x00,0x02"}, "Max_Module=3"},
        // Not a number: the whole data area, as the image takes it.
        {"abc",
         {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01", "Module=\"DI  (PORT2)    \" 0x42,0x3F,0x00,0x02",
          "Module=\"DI  (PORT3)    \" 0x42,0x3F,0x00,0x03", "Module=\"DI  (PORT4)    \" 0x42,0x33,0x00,0x04"},
         "Max_Module=5"},
    };
    for (const Case& c : cases) {
        const std::string actual = Generate(23, "1", c.nb_out);
        std::vector<std::string> inputs;
        for (const auto& m : Matching(actual, "Module=\"DI")) inputs.push_back(m);
        EXPECT_EQ(c.modules, inputs) << c.nb_out;
        EXPECT_EQ(std::vector<std::string>{c.max_module}, Matching(actual, "Max_Module=")) << c.nb_out;
    }
}

TEST_F(GSD, TheLargestDataAreasFillEightModules) {
    const std::string actual = Generate(3, "244", "244");
    const auto modules = Matching(actual, "Module=");
    ASSERT_EQ(8u, modules.size());
    EXPECT_EQ("Module=\"DI  (PORT4)    \" 0x42,0x33,0x00,0x04", modules[3]);
    EXPECT_EQ("Module=\"DO  (PORT8)    \" 0x82,0x33,0x00,0x08", modules[7]);
    EXPECT_EQ((std::vector<std::string>{"Max_Data_Len=488"}), Matching(actual, "Max_Data_Len="));
    EXPECT_EQ((std::vector<std::string>{"Slot(8) = \"Slot 8\" 8 8"}), Matching(actual, "Slot(8)"));
    // Missing lengths: none for model 3, as its image takes them.
    Model_Code = 3;
    ParGen({{"PROFIBUS_SLAVE_NB_OUT", "10"}});
    ASSERT_TRUE(Read_GSD_Lengths());
    EXPECT_EQ(0, GSD_Input_Len);
    EXPECT_EQ(10, GSD_Output_Len);
}

TEST_F(GSD, LengthsPROFIBUSCannotCarryAreRefusedByTheirField) {
    struct Case {
        int model;
        std::string nb_in, nb_out, message;
    } cases[] = {
        {23, "10", "245", "Error! PROFIBUS_SLAVE_NB_OUT is 245 bytes, but the bus carries 0 to 244 bytes. "
                          "The file was not written."},
        {23, "2000", "10", "Error! PROFIBUS_SLAVE_NB_IN is 2000 bytes, but the bus carries 0 to 244 bytes. "
                           "The file was not written."},
        {3, "-1", "10", "Error! PROFIBUS_SLAVE_NB_IN is -1 bytes, but the bus carries 0 to 244 bytes. "
                        "The file was not written."},
        {3, "0", "0", "Error! PROFIBUS_SLAVE_NB_IN and PROFIBUS_SLAVE_NB_OUT are both 0, but a PROFIBUS master "
                      "needs at least one module. The GSD file was not written."},
        {23, "0", "0", "Error! PROFIBUS_SLAVE_NB_OUT and PROFIBUS_SLAVE_NB_IN are both 0, but a PROFIBUS master "
                       "needs at least one module. The GSD file was not written."},
    };
    for (const Case& c : cases) {
        Model_Code = c.model;
        ParGen({{"PROFIBUS_SLAVE_NB_IN", c.nb_in}, {"PROFIBUS_SLAVE_NB_OUT", c.nb_out}});
        ASSERT_TRUE(Read_GSD_Lengths());
        try {
            Write_GSD_File(P("out.gsd"));
            ADD_FAILURE() << "written: " << c.message;
        } catch (const EDescFileError& e) {
            EXPECT_EQ(c.message, StringToUtf8(e.Message()));
        }
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.gsd")));
    }
}

TEST_F(GSD, NoParGenReadsNothing) {
    Model_Code = 3;
    GSD_Input_Len = GSD_Output_Len = 7;
    EXPECT_FALSE(Read_GSD_Lengths());
    EXPECT_EQ(7, GSD_Input_Len);
}

TEST_F(GSD, MalformedParGenIsAnError) {
    Model_Code = 3;
    dir.write("ParGen.xml", "<Par_Gen><PROFIBUS_SLAVE_NB_IN>1</Par_Gen>");
    EXPECT_THROW(Read_GSD_Lengths(), EXmlError);
}

TEST_F(GSD, FileNameGetsItsExtension) {
    EXPECT_EQ(u"Station.GSD", GSD_File_Name(u"Station.GSD"));
    EXPECT_EQ(u"station.gsd", GSD_File_Name(u"station"));
    EXPECT_EQ(u"a.gsd.bak.gsd", GSD_File_Name(u"a.gsd.bak"));
    EXPECT_EQ(u".gsd", GSD_File_Name(u""));
}

TEST_F(GSD, UnwritableFileLeavesNothing) {
    Model_Code = 3;
    GSD_Input_Len = GSD_Output_Len = 1;
    EXPECT_THROW(Write_GSD_File(P("missing-folder/out.gsd")), EFCreateError);
}

}  // namespace
