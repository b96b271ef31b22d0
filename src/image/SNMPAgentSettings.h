#pragma once
// The SNMP agent settings of "ParGen.xml", read the same way by every model
// with an SNMP agent: the version bits and the SNMPv3 user, security level,
// modes and passwords, into the main block's SNMP fields and, for the models
// whose agent runs on the second processor, into the same fields there.

#include "image/CPU2ParamBlock.h"
#include "image/MainParamBlock.h"
#include "image/ParGenImage.h"

// SNMP_Flags bits (main +432, CPU2 +1452).
enum : Cardinal {
    SNMP_Flag_Version1 = 0x001,
    SNMP_Flag_Version2 = 0x002,
    SNMP_Flag_Version3 = 0x004,
    SNMP_Flag_Auth = 0x010,
    SNMP_Flag_Priv = 0x020,
    SNMP_Flag_MD5 = 0x040,
    SNMP_Flag_SHA = 0x080,
    SNMP_Flag_DES = 0x100,
    SNMP_Flag_AES = 0x200,
};

// Sets main +432 and fills +488 (user), +508 (authentication password) and
// +524 (privacy password); with cpu2, the same values go to CPU2 +1452,
// +1456, +1476 and +1492. Each key is read only when its condition holds:
// the user and the security level only with version 3; the authentication
// mode and password only when the level sets authentication (bit 4); the
// privacy mode and password only when it sets privacy (bit 5); the
// hexadecimal form only with AES (bit 9). Texts are cut to what the form
// allows (user 19, authentication password 15 characters) and the privacy
// password, typed or hexadecimal, to the 16 bytes of its field.
void Read_SNMP_Agent_Settings(const TParGenImage& pg, TMain_Param_Block& main, TCPU2_Param_Block* cpu2);

// Where a block keeps the agent settings: the flags (u32), the user (20
// bytes) and the two passwords (16 bytes each).
struct TSNMP_Agent_Fields {
    std::size_t Flags, V3_User, V3_Auth_Password, V3_Priv_Password;
};

// The same reading into any block that has the four fields; returns the flags.
Cardinal Read_SNMP_Agent_Settings(const TParGenImage& pg, TLeBytes block, const TSNMP_Agent_Fields& at);

// "SNMP_Contact" and "SNMP_Location" into main +456 and +472 and, with cpu2,
// CPU2 +1856 and +1872: each fills its 16-byte field; a missing key leaves
// the field as it is.
void Read_SNMP_Contact_Location(const TParGenImage& pg, TMain_Param_Block& main, TCPU2_Param_Block* cpu2);
