#include "descfiles/UProfinetFileName_Rules.h"

#include "descfiles/DescFile_Text.h"
#include "framework/SysUtils.h"

namespace {

struct TPrefix {
    int Model;
    const char16_t* Hardware_Code;
};

const TPrefix Prefixes[] = {
    {0, u"GX52829"},  {1, u"GX52831"},   {2, u"GX52832"},   {3, u"GX52828"},   {4, u"GX52825"},  {5, u"GX52826"},
    {6, u"GX52833"},  {7, u"GX52823"},   {8, u"GX52830"},   {9, u"GX52824"},   {10, u"GX52802"}, {11, u"GX52834"},
    {12, u"GX52835"}, {13, u"GX52839"},  {14, u"GX52819"},  {20, u"GX52836"},  {22, u"GX52837"}, {24, u"GX52817"},
    {25, u"GX529K311"}, {26, u"GX529K312"}, {27, u"GX52814"}, {28, u"GX52820"}, {29, u"GX529K314"}, {31, u"GX52838"},
};

}  // namespace

String GSDML_Name_Prefix(int model) {
    for (const TPrefix& p : Prefixes)
        if (p.Model == model) return u"GSDML-V2.31-Korvia-" + String(p.Hardware_Code);
    return u"GSDML-V2.25-Korvia-";
}

String GSDML_Name_Suffix(TDateTime date) { return FormatDateTime(u"\"-\"yyyymmdd\".xml\"", date); }

bool Compose_GSDML_File_Name(const String& prefix, const String& user, const String& suffix, String& name,
                             String& error) {
    // A separator would put the file into another folder, a control
    // character into a name no tool shows properly.
    for (Char c : user) {
        if (c == u'/' || c == u'\\' || c < 0x20 || c == 0x7F) {
            error = u"The user part of the file name must not contain \"/\", \"\\\" or control characters (found " +
                    Describe_Char(c) + u").";
            return false;
        }
    }
    if (Trim(user).empty()) name = prefix + suffix;
    else if (user[0] == u'_') name = prefix + user + suffix;
    else name = prefix + u"_" + user + suffix;
    return true;
}
