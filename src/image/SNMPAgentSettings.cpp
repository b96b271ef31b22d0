#include "image/SNMPAgentSettings.h"

#include "framework/SysUtils.h"
#include "shell/UComon.h"

#include <algorithm>

namespace {

// Field sizes and the lengths the general-parameters form allows.
constexpr std::size_t V3_User_Field = 20, V3_User_Chars = 19;
constexpr std::size_t Password_Field = 16, Password_Chars = 15;
// The privacy pass phrase may fill its field: the form takes 16 characters
// for the models whose agent has the longer field in use (35 among them).
constexpr std::size_t Priv_Password_Chars = 16;

bool Is_Hex_Digit(Char c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Each pair of characters read as one hexadecimal byte; a pair that is not
// hexadecimal gives 0 and an odd last character is dropped.
void Put_Hex_Password(const String& text, TLeBytes dst, std::size_t offset) {
    dst.Fill(offset, Password_Field, 0);
    std::size_t pairs = std::min(text.size() / 2, Password_Field);
    for (std::size_t k = 0; k < pairs; ++k) {
        Char hi = text[2 * k], lo = text[2 * k + 1];
        int value = Is_Hex_Digit(hi) && Is_Hex_Digit(lo) ? StrToIntDef(String(u"$") + hi + lo, 0) : 0;
        dst.PutU8(offset + k, static_cast<Cardinal>(value));
    }
}

}  // namespace

Cardinal Read_SNMP_Agent_Settings(const TParGenImage& pg, TLeBytes block, const TSNMP_Agent_Fields& at) {
    Cardinal flags = 0;
    if (pg.Flag(u"SNMP_VERSION1")) flags |= SNMP_Flag_Version1;
    if (pg.Flag(u"SNMP_VERSION2")) flags |= SNMP_Flag_Version2;
    if (pg.Flag(u"SNMP_VERSION3")) flags |= SNMP_Flag_Version3;

    if (flags & SNMP_Flag_Version3) {
        pg.Put_Text(u"SNMP_VER3_USER", block, at.V3_User, V3_User_Field, V3_User_Chars);
        int level = SNMP_Security_Level_Code(pg.Raw(u"SNMP_VER3_SECURITY_LEVEL").value_or(String()));
        if (level >= 1) flags |= SNMP_Flag_Auth;
        if (level == 2) flags |= SNMP_Flag_Priv;
    }
    if (flags & SNMP_Flag_Auth) {
        pg.Put_Text(u"SNMP_VER3_AUTHORITY", block, at.V3_Auth_Password, Password_Field, Password_Chars);
        bool sha = SNMP_Auth_Mode_Code(pg.Raw(u"SNMP_VER3_AUTHORITY_MODE").value_or(String())) == 1;
        flags |= sha ? SNMP_Flag_SHA : SNMP_Flag_MD5;
    }
    if (flags & SNMP_Flag_Priv) {
        bool aes = SNMP_Priv_Mode_Code(pg.Raw(u"SNMP_VER3_PRIVACY_MODE").value_or(String())) == 1;
        flags |= aes ? SNMP_Flag_AES : SNMP_Flag_DES;
        bool hex = aes && pg.Flag(u"SNMP_VER3_PRIVACY_HEX");
        if (std::optional<String> password = pg.Raw(u"SNMP_VER3_PRIVACY")) {
            if (hex)
                Put_Hex_Password(*password, block, at.V3_Priv_Password);
            else
                block.PutText(at.V3_Priv_Password, Password_Field, Priv_Password_Chars, *password);
        }
    }
    block.PutU32(at.Flags, flags);
    return flags;
}

void Read_SNMP_Agent_Settings(const TParGenImage& pg, TMain_Param_Block& main, TCPU2_Param_Block* cpu2) {
    TLeBytes mb = main.Bytes();
    Cardinal flags =
        Read_SNMP_Agent_Settings(pg, mb, {MB::SNMP_Flags, MB::V3_User, MB::V3_Auth_Password, MB::V3_Priv_Password});
    if (cpu2) {
        TLeBytes cb = cpu2->Bytes();
        cb.PutU32(C2_SNMP_Flags, flags);
        cb.PutBytes(C2_V3_User, mb.Data() + MB::V3_User, V3_User_Field);
        cb.PutBytes(C2_V3_Auth_Password, mb.Data() + MB::V3_Auth_Password, Password_Field);
        cb.PutBytes(C2_V3_Priv_Password, mb.Data() + MB::V3_Priv_Password, Password_Field);
    }
}

void Read_SNMP_Contact_Location(const TParGenImage& pg, TMain_Param_Block& main, TCPU2_Param_Block* cpu2) {
    constexpr std::size_t Text_Field = 16, Text_Chars = 16;  // contact and location may fill their field
    TLeBytes mb = main.Bytes();
    pg.Put_Text(u"SNMP_Contact", mb, MB::Contact_Text, Text_Field, Text_Chars);
    pg.Put_Text(u"SNMP_Location", mb, MB::Location_Text, Text_Field, Text_Chars);
    if (cpu2) {
        TLeBytes cb = cpu2->Bytes();
        pg.Put_Text(u"SNMP_Contact", cb, C2_Contact_Text, Text_Field, Text_Chars);
        pg.Put_Text(u"SNMP_Location", cb, C2_Location_Text, Text_Field, Text_Chars);
    }
}
