#include "ShellState.h"
#include "shell/USettings.h"

#include <gtest/gtest.h>

TEST(Settings, MissingFileGivesTheDefaultsAndSavingWritesTheFixedForm) {
    ExeFolder exe;
    Project_Name = u"left over";
    Read_Settings();
    EXPECT_EQ(Project_Name, u"");
    EXPECT_EQ(Last_IP_Address, u"192.168.2.205");
    EXPECT_EQ(Language_Name, u"English");
    EXPECT_FALSE(Opt_Enable_Internet || Opt_Enable_Update || Opt_Jump_Field_Tables || Opt_Double_Click_Auto_Size);

    Save_Setting();
    EXPECT_EQ(exe.dir.read("Bridgeform.xml"),
              "<Conf_Settings><lastproj><projectname/></lastproj><lastipadd><ipaddress>192.168.2.205</ipaddress>"
              "</lastipadd><lastlang><language>English</language></lastlang><lastinternet>"
              "<enable_internet>0</enable_internet><enable_update>0</enable_update>"
              "<enable_jump_field_tables>0</enable_jump_field_tables>"
              "<Double_Click_Auto_Size>0</Double_Click_Auto_Size></lastinternet></Conf_Settings>\r\n");
}

TEST(Settings, ValuesSurviveASaveAndARead) {
    ExeFolder exe;
    Project_Name = u"Plant A & B";
    Last_IP_Address = u" 10.0.0.7";
    Language_Name = u"Deutsch";
    Opt_Enable_Internet = true;
    Opt_Double_Click_Auto_Size = true;
    Save_Setting();
    ShellState::Clear();
    Set_Program_Folders(Utf8ToString(exe.dir.path()));
    Read_Settings();
    EXPECT_EQ(Project_Name, u"Plant A & B");
    EXPECT_EQ(Last_IP_Address, u" 10.0.0.7");  // taken as it is, untrimmed
    EXPECT_EQ(Language_Name, u"Deutsch");
    EXPECT_TRUE(Opt_Enable_Internet);
    EXPECT_FALSE(Opt_Enable_Update);
    EXPECT_FALSE(Opt_Jump_Field_Tables);
    EXPECT_TRUE(Opt_Double_Click_Auto_Size);
}

TEST(Settings, EachSettingFallsBackOnItsOwn) {
    ExeFolder exe;
    exe.dir.write("Bridgeform.xml",
                  "<Conf_Settings>\n  <lastproj><projectname>P1</projectname></lastproj>\n"
                  "  <lastlang><language></language></lastlang>\n"
                  "  <lastinternet><enable_internet>1</enable_internet><enable_update>true</enable_update>"
                  "<enable_jump_field_tables> 1</enable_jump_field_tables>"
                  "<double_click_auto_size>1</double_click_auto_size></lastinternet>\n</Conf_Settings>");
    Read_Settings();
    EXPECT_EQ(Project_Name, u"P1");
    EXPECT_EQ(Last_IP_Address, u"192.168.2.205");
    EXPECT_EQ(Language_Name, u"");  // loading the language then falls back to English
    EXPECT_TRUE(Opt_Enable_Internet);
    EXPECT_FALSE(Opt_Enable_Update);           // "true" is not "1"
    EXPECT_FALSE(Opt_Jump_Field_Tables);       // " 1" is not "1"
    EXPECT_FALSE(Opt_Double_Click_Auto_Size);  // names are matched exactly
}

TEST(Settings, AnUnparsableFileCountsAsMissingAndStaysUntilTheNextSave) {
    for (const char* content : {"", "<Conf_Settings><lastproj>", "not xml at all"}) {
        ExeFolder exe;
        exe.dir.write("Bridgeform.xml", content);
        Read_Settings();
        EXPECT_EQ(Language_Name, u"English") << content;
        EXPECT_EQ(Last_IP_Address, u"192.168.2.205") << content;
        EXPECT_EQ(exe.dir.read("Bridgeform.xml"), content);
        Save_Setting();
        EXPECT_EQ(exe.dir.read("Bridgeform.xml").rfind("<Conf_Settings>", 0), 0u);
    }
}

TEST(Settings, TheRootIsReadAlsoBehindADeclarationOrComment) {
    const std::string body =
        "<Conf_Settings><lastlang><language>Deutsch</language></lastlang>"
        "<lastinternet><enable_update>1</enable_update></lastinternet></Conf_Settings>";
    const struct {
        std::string content;
        bool read;
    } cases[] = {
        {body, true},
        {"\r\n  " + body, true},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body, true},
        {"<!-- kept by hand -->" + body, true},
        {"<?note x?>" + body, true},
        {"<!-- no settings here -->", false},
    };
    for (const auto& c : cases) {
        ExeFolder exe;
        exe.dir.write("Bridgeform.xml", c.content);
        Read_Settings();
        EXPECT_EQ(Language_Name, c.read ? u"Deutsch" : u"English") << c.content;
        EXPECT_EQ(Opt_Enable_Update, c.read) << c.content;
    }
}
