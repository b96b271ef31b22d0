// How single "ParGen.xml" values land in the main block: octets, flags,
// numbers typed with "$" and blanks, texts cut to their field, and the SNMP
// agent settings with their conditions.
#include "ImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

namespace {

std::vector<Byte> Field(const TDeviceImage& image, std::size_t offset, std::size_t width, bool cpu2 = false) {
    const Byte* data = cpu2 ? image.CPU2_Param_Block.Data() : image.Main_Param_Block.Data();
    return std::vector<Byte>(data + offset, data + offset + width);
}

std::vector<Byte> Text(const std::string& s, std::size_t width) {
    std::vector<Byte> v(width, 0);
    std::copy(s.begin(), s.end(), v.begin());
    return v;
}

std::vector<Byte> U32(Cardinal v) { return {Byte(v), Byte(v >> 8), Byte(v >> 16), Byte(v >> 24)}; }

struct TFieldCase {
    const char* What;
    int Model;
    TKeys Keys;
    std::size_t Offset;
    std::vector<Byte> Expected;
};

}  // namespace

TEST(ParGenFields, ValuesLandInTheirFields) {
    const std::string long16 = "0123456789ABCDEFGHIJ";
    const TFieldCase cases[] = {
        {"octets as typed", 20, {{"PROFINET_IP1", "10"}, {"PROFINET_IP2", " 20"}, {"PROFINET_IP3", "$1F"}, {"PROFINET_IP4", "300"}}, 40, {10, 20, 31, 44}},
        {"octets not numbers take the defaults", 20, {{"PROFINET_IP1", "1.5"}, {"PROFINET_IP2", "20 "}, {"PROFINET_IP3", ""}}, 40, {192, 168, 0, 5}},
        {"second port: last octet 10 when missing", 20, {}, 304, {192, 168, 0, 10}},
        {"second port: last octet 5 when no number", 20, {{"SNMP_IP4", "x"}}, 304, {192, 168, 0, 5}},
        {"gateway kept only with the flag exactly 1", 20,
         {{"PROFINET_GAT4", "9"}, {"PROFINET_EN_GAT", "1"}}, 48, {192, 168, 0, 9}},
        {"gateway flag \" 1\" is off", 20, {{"PROFINET_GAT4", "9"}, {"PROFINET_EN_GAT", " 1"}}, 48, {255, 255, 255, 255}},
        {"gateway flag \"01\" is off", 20, {{"PROFINET_EN_GAT", "01"}}, 48, {255, 255, 255, 255}},
        {"data area typed in hexadecimal", 13, {{"PROFINET_NB_IN", "$1f0"}}, 120, U32(496)},
        {"data area with a leading blank", 35, {{"EtherNetIP_Num_Byte_In", "  64"}}, 120, U32(64)},
        {"data area that is no number", 35, {{"EtherNetIP_Num_Byte_In", "64 bytes"}}, 120, U32(496)},
        {"station name cut to 15 characters", 13, {{"PROFINET_NAME_STA", long16}}, 80, Text(long16.substr(0, 15), 16)},
        {"empty station name stays empty", 13, {{"PROFINET_NAME_STA", ""}}, 80, Text("", 16)},
        {"missing station name takes the default", 20, {}, 80, Text("devicename1", 16)},
        {"missing SNMP station name takes the default", 20, {}, 440, Text("snmpname1", 16)},
        {"contact fills its 16 bytes", 20, {{"SNMP_Contact", long16}}, 456, Text(long16.substr(0, 16), 16)},
        {"the agent's data areas are fixed", 20, {{"PROFINET_NB_OUT", "200"}}, 116, U32(1024)},
    };
    for (const TFieldCase& c : cases) {
        TProjectFixture p(c.Model);
        p.ParGen(c.Keys);
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
        EXPECT_EQ(Field(*image, c.Offset, c.Expected.size()), c.Expected) << c.What;
    }
}

TEST(ParGenFields, SNMPAgentSettingsFollowTheirConditions) {
    struct TCase {
        const char* What;
        TKeys Keys;
        Cardinal Flags;
        std::string User, Auth;
        std::vector<Byte> Priv;
    } cases[] = {
        {"version 3 off: nothing of it is read",
         {{"SNMP_VERSION1", "1"}, {"SNMP_VERSION3", "0"}, {"SNMP_VER3_USER", "u"}, {"SNMP_VER3_SECURITY_LEVEL", "Auth Priv"},
          {"SNMP_VER3_AUTHORITY", "a"}, {"SNMP_VER3_PRIVACY", "p"}},
         0x001, "", "", {}},
        {"no authentication: no modes, no passwords",
         {{"SNMP_VERSION3", "1"}, {"SNMP_VER3_USER", "user3"}, {"SNMP_VER3_SECURITY_LEVEL", "NoAuth NoPriv"},
          {"SNMP_VER3_AUTHORITY", "a"}, {"SNMP_VER3_AUTHORITY_MODE", "SHA"}, {"SNMP_VER3_PRIVACY", "p"}},
         0x004, "user3", "", {}},
        {"authentication without privacy; a missing mode is MD5",
         {{"SNMP_VERSION2", "1"}, {"SNMP_VERSION3", "1"}, {"SNMP_VER3_SECURITY_LEVEL", " auth nopriv "},
          {"SNMP_VER3_AUTHORITY", "secret-authentication"}, {"SNMP_VER3_PRIVACY_MODE", "AES"}, {"SNMP_VER3_PRIVACY", "p"}},
         0x056, "", "secret-authenti", {}},
        {"privacy with DES keeps the password as text even with the hexadecimal flag",
         {{"SNMP_VERSION3", "1"}, {"SNMP_VER3_SECURITY_LEVEL", "Auth Priv"}, {"SNMP_VER3_AUTHORITY_MODE", "sha"},
          {"SNMP_VER3_PRIVACY_MODE", "DES"}, {"SNMP_VER3_PRIVACY_HEX", "1"}, {"SNMP_VER3_PRIVACY", "0A0B"}},
         0x1B4, "", "", {'0', 'A', '0', 'B'}},
        {"AES with the hexadecimal form: one byte per pair, an odd digit dropped, a bad pair 0",
         {{"SNMP_VERSION3", "1"}, {"SNMP_VER3_SECURITY_LEVEL", "Auth Priv"}, {"SNMP_VER3_AUTHORITY_MODE", "SHA"},
          {"SNMP_VER3_PRIVACY_MODE", "AES"}, {"SNMP_VER3_PRIVACY_HEX", "1"}, {"SNMP_VER3_PRIVACY", "ff0Ag17"}},
         0x2B4, "", "", {0xFF, 0x0A, 0x00}},
        {"AES without the hexadecimal form",
         {{"SNMP_VERSION3", "1"}, {"SNMP_VER3_SECURITY_LEVEL", "Auth Priv"}, {"SNMP_VER3_PRIVACY_MODE", "AES"},
          {"SNMP_VER3_PRIVACY", "privacy-password-long"}},
         0x274, "", "", Text("privacy-password", 16)},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(35);
        p.ParGen(c.Keys);
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
        std::vector<Byte> priv = c.Priv;
        priv.resize(16, 0);
        for (bool cpu2 : {false, true}) {
            EXPECT_EQ(Field(*image, cpu2 ? 1452 : 432, 4, cpu2), U32(c.Flags)) << c.What;
            EXPECT_EQ(Field(*image, cpu2 ? 1456 : 488, 20, cpu2), Text(c.User, 20)) << c.What;
            EXPECT_EQ(Field(*image, cpu2 ? 1476 : 508, 16, cpu2), Text(c.Auth, 16)) << c.What;
            EXPECT_EQ(Field(*image, cpu2 ? 1492 : 524, 16, cpu2), priv) << c.What;
        }
    }
}

TEST(ParGenFields, AnUnreadableParGenRefusesTheBuild) {
    TProjectFixture p(35);
    p.Raw_File("ParGen.xml", "<Par_Gen><PROFINET_IP1>10</Par_Gen>");
    try {
        Build_Device_Image(p.Sources());
        FAIL();
    } catch (const EImageError& e) {
        EXPECT_NE(std::string(e.what()).find("general parameters \"ParGen.xml\" cannot be read"), std::string::npos) << e.what();
    }
}
