#include "app/Wizard_Actions.h"

#include "framework/System.h"
#include "shell/Globals.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct ParGenCase {
    int model;
    const char* content;  // nullptr: no file
    bool enabled;
};

bool Enabled_For(const ParGenCase& c, const TempDir& dir) {
    Model_Code = c.model;
    Path_ParGen = Utf8ToString(dir.file("ParGen.xml"));
    std::remove(dir.file("ParGen.xml").c_str());
    if (c.content)
        dir.write("ParGen.xml", c.content);
    const int value = c.model == 21 ? Read_SNMP_Map() : Read_SNMP_Map_Type();
    return SNMP_Buttons_Enabled(value);
}

}  // namespace

TEST(WizardActions, SnmpButtonsFollowTheMapOfTheGeneralParameters) {
    const int savedModel = Model_Code;
    TempDir dir;
    const ParGenCase cases[] = {
        {18, nullptr, true},
        {18, "<Par_Gen><SNMP_MapType>0</SNMP_MapType></Par_Gen>", false},
        {18, "<Par_Gen><SNMP_MapType>1</SNMP_MapType></Par_Gen>", true},
        {19, "<Par_Gen><Other>1</Other></Par_Gen>", false},
        {19, "<Par_Gen><SNMP_MapType>x</SNMP_MapType></Par_Gen>", false},
        {30, "<Par_Gen><SNMP_MapType>0</SNMP_MapType></Par_Gen>", true},
        {1018, "<Par_Gen/>", true},
        {21, nullptr, false},
        {21, "<Par_Gen><SNMP_MAP>  vaRiable </SNMP_MAP></Par_Gen>", true},
        {21, "<Par_Gen><SNMP_MAP>Fixed</SNMP_MAP></Par_Gen>", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Enabled_For(c, dir), c.enabled) << c.model << " " << (c.content ? c.content : "no file");

    Model_Code = 18;
    dir.write("ParGen.xml", "<Par_Gen><SNMP_MapType>");
    EXPECT_THROW(Read_SNMP_Map_Type(), EXmlError);
    Model_Code = savedModel;
    Path_ParGen.clear();
}
