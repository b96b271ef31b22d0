#include "descfiles/Maker_Identity.h"

const TMaker_Identity Maker = {
    /* Vendor_Name             */ u"Korvia",
    /* Profinet_Vendor_ID      */ 0x0D2C,
    /* Street                  */ u"Via dei Tessitori 12",
    /* Town                    */ u"20900 Monza",
    /* Province_Country        */ u"(MB) - Italy",
    /* Telephone               */ u"+39 039 2041 100",
    /* Fax                     */ u"+39 039 2041 199",
    /* Service_Mail            */ u"support@korvia.example",
    /* Profibus_Ident_Model_3  */ 0x0C3A,
    /* Profibus_Ident_Model_23 */ 0x0C3B,
    /* Enterprise_Number       */ 32473,
    /* Organization            */ u"Korvia",
    /* Contact_Street          */ u"Via dei Tessitori 12",
    /* Contact_Town            */ u"20900 Monza (MB)",
    /* Contact_Country         */ u"Italy",
    /* Contact_Mail            */ u"support@korvia.example",
};

namespace {

struct TDevice_ID {
    int Model;
    Word ID;
};

// Models 1 and 13 are the same device to a PROFINET controller.
constexpr TDevice_ID Device_IDs[] = {
    {0, 0x0100},  {1, 0x0101},  {2, 0x0102},  {3, 0x0103},  {4, 0x0104},  {5, 0x0105},
    {6, 0x0106},  {7, 0x0107},  {8, 0x0108},  {9, 0x0109},  {10, 0x010A}, {11, 0x010B},
    {12, 0x010C}, {13, 0x0101}, {14, 0x010E}, {20, 0x0114}, {22, 0x0116}, {24, 0x0118},
    {25, 0x0119}, {26, 0x011A}, {27, 0x011B}, {28, 0x011C}, {29, 0x011D}, {31, 0x011F},
};

}  // namespace

Word Profinet_Device_ID(int model) {
    for (const TDevice_ID& d : Device_IDs)
        if (d.Model == model) return d.ID;
    return 0;
}
