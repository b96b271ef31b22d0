// The M-Bus network file as the editor writes and reads it, the keys of the
// general parameters it works with, and the process-image byte count.
#include "mbus/MBusNetwork.h"

#include "framework/SysUtils.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

String Path(const TempDir& dir, const char* name) { return Utf8ToString(dir.file(name)); }

TNodi_List Sample_Network() {
    TNodi_List list;
    auto n = std::make_unique<TNodo>();
    n->Enable = true;
    n->Description = u"Heat <A&B>";
    n->Node_ID_Primary = 3;
    n->Node_ID_Secondary = 12345678;
    n->Send_SNK = 1;
    n->Node_State = 1;
    n->Ident_Num = 1;
    n->Swap_Ident = 1;
    n->Node_ID_Type = 1;
    n->Cut_After = 249;
    n->NS_CommName = u"public";
    n->NS_OnTimer = true;
    n->NS_Timer = 5000;
    n->IN_Desc = u"ident";
    auto v = std::make_unique<TVariabile>();
    v->Enable = true;
    v->Description = u"Volume m³";
    v->Type_Of_Data = 2;
    v->Function_Field = 2;
    v->Dimension = 7;
    v->Length = 5;
    v->Unita = 10;
    v->Scale = true;
    v->Storage_Number = 4294967295u;
    v->Tariff = 0xFFFFF;
    v->VIFE = 125;
    v->SWAP = 1;
    v->VIF_ASCII = u"kWh";
    v->Position = 100;
    v->Post_Operation = 12;
    v->Conv_Float = true;
    v->Var_CommName = u"c";
    v->Var_OnChange = true;
    v->Var_IP_Add = u"10.0.0.1";
    v->Var_Mnemonic = u"m";
    n->Var_List.push_back(std::move(v));
    list.push_back(std::move(n));
    auto d = std::make_unique<TNodo>();  // disabled nodes are written too
    d->Description = u"off";
    d->Node_ID_Primary = 7;
    d->Node_ID_Secondary = 1;
    list.push_back(std::move(d));
    return list;
}

const char* const Golden_10 =
    "<M-Bus_Network>"
    "<Nodo Enable_Node=\"1\" ID_Primary=\"3\" ID_Secondary=\"12345678\" Descrizione=\"Heat &lt;A&amp;B>\" "
    "Send_SND_NKE=\"1\" Reset_App=\"0\" Node_State=\"1\" Ident_Num=\"1\" BCDtoINT_IN=\"0\" Swap_IN=\"1\" "
    "Node_ID_Type=\"1\" Var_List_Type=\"0\" Cut_After=\"249\">"
    "<Variabile Enable=\"1\" Desc=\"Volume m\xC2\xB3\" Type=\"2\" Fun_Field=\"2\" Dim=\"7\" Unit=\"10\" Scale=\"1\" "
    "StoNumber=\"4294967295\" Tariff=\"1048575\" VIFE=\"125\" BCDtoINT=\"0\" SWAP=\"1\" VIF_ASCII=\"kWh\" "
    "Length=\"5\" TP_Mod_Regs=\"0\" ForceInteger32=\"0\" Position=\"100\" Post_Operation=\"12\"/>"
    "</Nodo>"
    "<Nodo Enable_Node=\"0\" ID_Primary=\"7\" ID_Secondary=\"1\" Descrizione=\"off\" Send_SND_NKE=\"0\" "
    "Reset_App=\"0\" Node_State=\"0\" Ident_Num=\"0\" BCDtoINT_IN=\"0\" Swap_IN=\"0\" Node_ID_Type=\"0\" "
    "Var_List_Type=\"0\" Cut_After=\"0\"/>"
    "</M-Bus_Network>\r\n<!--SW_VERSION = 1.308-->\r\n";

const char* const Golden_21 =
    "<M-Bus_Network>"
    "<Nodo Enable_Node=\"1\" ID_Primary=\"3\" ID_Secondary=\"12345678\" Descrizione=\"Heat &lt;A&amp;B>\" "
    "Send_SND_NKE=\"1\" Reset_App=\"0\" Node_State=\"1\" Ident_Num=\"1\" BCDtoINT_IN=\"0\" Swap_IN=\"1\" "
    "Node_ID_Type=\"1\" Var_List_Type=\"0\" Cut_After=\"249\" "
    "NS_Community_Name=\"public\" NS_OnChange=\"0\" NS_OnTimer=\"1\" NS_Timer=\"5000\" NS_Desc=\"\" "
    "NS_IP_Add=\"\" NS_Mnemonic=\"\" "
    "IN_Community_Name=\"\" IN_OnChange=\"0\" IN_OnTimer=\"0\" IN_Timer=\"0\" IN_Desc=\"ident\" IN_IP_Add=\"\" "
    "IN_Mnemonic=\"\">"
    "<Variabile Enable=\"1\" Desc=\"Volume m\xC2\xB3\" Type=\"2\" Fun_Field=\"2\" Dim=\"7\" Unit=\"10\" Scale=\"1\" "
    "StoNumber=\"4294967295\" Tariff=\"1048575\" VIFE=\"125\" BCDtoINT=\"0\" SWAP=\"1\" VIF_ASCII=\"kWh\" "
    "Length=\"5\" TP_Mod_Regs=\"0\" ForceInteger32=\"0\" Position=\"100\" Post_Operation=\"12\" "
    "Conv_Float=\"1\" Var_Community_Name=\"c\" Var_OnChange=\"1\" Var_OnTimer=\"0\" Var_Timer=\"0\" Var_Desc=\"\" "
    "Var_IP_Add=\"10.0.0.1\" Var_Mnemonic=\"m\"/>"
    "</Nodo>"
    "<Nodo Enable_Node=\"0\" ID_Primary=\"7\" ID_Secondary=\"1\" Descrizione=\"off\" Send_SND_NKE=\"0\" "
    "Reset_App=\"0\" Node_State=\"0\" Ident_Num=\"0\" BCDtoINT_IN=\"0\" Swap_IN=\"0\" Node_ID_Type=\"0\" "
    "Var_List_Type=\"0\" Cut_After=\"0\" "
    "NS_Community_Name=\"\" NS_OnChange=\"0\" NS_OnTimer=\"0\" NS_Timer=\"0\" NS_Desc=\"\" NS_IP_Add=\"\" "
    "NS_Mnemonic=\"\" IN_Community_Name=\"\" IN_OnChange=\"0\" IN_OnTimer=\"0\" IN_Timer=\"0\" IN_Desc=\"\" "
    "IN_IP_Add=\"\" IN_Mnemonic=\"\"/>"
    "</M-Bus_Network>\r\n<!--SW_VERSION = 1.308-->\r\n";

// Every field the model writes, compared one by one.
void Expect_Same(const TNodi_List& a, const TNodi_List& b, bool snmp) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        const TNodo &x = *a[i], &y = *b[i];
        EXPECT_EQ(x.Enable, y.Enable);
        EXPECT_EQ(x.Description, y.Description);
        EXPECT_EQ(x.Node_ID_Primary, y.Node_ID_Primary);
        EXPECT_EQ(x.Node_ID_Secondary, y.Node_ID_Secondary);
        EXPECT_EQ(x.Send_SNK, y.Send_SNK);
        EXPECT_EQ(x.Reset_App, y.Reset_App);
        EXPECT_EQ(x.Node_State, y.Node_State);
        EXPECT_EQ(x.Ident_Num, y.Ident_Num);
        EXPECT_EQ(x.BCDtoINT_IN, y.BCDtoINT_IN);
        EXPECT_EQ(x.Swap_Ident, y.Swap_Ident);
        EXPECT_EQ(x.Node_ID_Type, y.Node_ID_Type);
        EXPECT_EQ(x.Var_List_Type, y.Var_List_Type);
        EXPECT_EQ(x.Cut_After, y.Cut_After);
        if (snmp) {
            EXPECT_EQ(x.NS_CommName, y.NS_CommName);
            EXPECT_EQ(x.NS_OnTimer, y.NS_OnTimer);
            EXPECT_EQ(x.NS_Timer, y.NS_Timer);
            EXPECT_EQ(x.IN_Desc, y.IN_Desc);
        }
        ASSERT_EQ(x.Var_List.size(), y.Var_List.size());
        for (std::size_t j = 0; j < x.Var_List.size(); ++j) {
            const TVariabile &v = *x.Var_List[j], &w = *y.Var_List[j];
            EXPECT_EQ(v.Enable, w.Enable);
            EXPECT_EQ(v.Description, w.Description);
            EXPECT_EQ(v.Type_Of_Data, w.Type_Of_Data);
            EXPECT_EQ(v.Function_Field, w.Function_Field);
            EXPECT_EQ(v.Dimension, w.Dimension);
            EXPECT_EQ(v.Unita, w.Unita);
            EXPECT_EQ(v.Scale, w.Scale);
            EXPECT_EQ(v.Storage_Number, w.Storage_Number);
            EXPECT_EQ(v.Tariff, w.Tariff);
            EXPECT_EQ(v.VIFE, w.VIFE);
            EXPECT_EQ(v.BCDtoINT, w.BCDtoINT);
            EXPECT_EQ(v.SWAP, w.SWAP);
            EXPECT_EQ(v.VIF_ASCII, w.VIF_ASCII);
            EXPECT_EQ(v.Length, w.Length);
            EXPECT_EQ(v.TP_Mod_Regs, w.TP_Mod_Regs);
            EXPECT_EQ(v.ForceInteger32, w.ForceInteger32);
            EXPECT_EQ(v.Position, w.Position);
            EXPECT_EQ(v.Post_Operation, w.Post_Operation);
            EXPECT_EQ(v.Conv_Float, snmp && w.Conv_Float);
            if (snmp) {
                EXPECT_EQ(v.Var_CommName, w.Var_CommName);
                EXPECT_EQ(v.Var_OnChange, w.Var_OnChange);
                EXPECT_EQ(v.Var_IP_Add, w.Var_IP_Add);
                EXPECT_EQ(v.Var_Mnemonic, w.Var_Mnemonic);
            }
        }
    }
}

}  // namespace

TEST(MBusNetwork, IsWrittenAsTheEditorWritesItAndReadsBackFieldForField) {
    for (const auto& [model, golden] : {std::pair{10, Golden_10}, std::pair{21, Golden_21}}) {
        SCOPED_TRACE(model);
        TempDir dir;
        const TNodi_List net = Sample_Network();
        Write_MBus_Network(Path(dir, "M_Bus.xml"), model, net);
        EXPECT_EQ(dir.read("M_Bus.xml"), golden);
        TNodi_List back;
        EXPECT_EQ(Read_MBus_Network(Path(dir, "M_Bus.xml"), model, back), u"");
        Expect_Same(back, net, model == 21);
    }
}

TEST(MBusNetwork, ReaderTakesEachAttributesOwnDefault) {
    struct Case {
        const char* name;
        int model;
        const char* xml;
        std::function<void(const TNodo&)> check;
    };
    const Case cases[] = {
        {"only a description", 10, "<Nodo Descrizione=\"d\"/>",
         [](const TNodo& n) {
             EXPECT_TRUE(n.Enable);
             EXPECT_EQ(n.Node_ID_Primary, 1);
             EXPECT_EQ(n.Node_ID_Secondary, 1);
             EXPECT_EQ(n.Node_ID_Type, 0);
             EXPECT_EQ(n.Var_List_Type, 0);
             EXPECT_EQ(n.Cut_After, 0);
             EXPECT_EQ(n.Send_SNK + n.Reset_App + n.Node_State + n.Ident_Num + n.BCDtoINT_IN + n.Swap_Ident, 0);
             EXPECT_TRUE(n.Var_List.empty());
         }},
        {"ID names the secondary address", 10,
         "<Nodo Descrizione=\"d\" ID=\"7\" Node_ID_Type=\"1\" ID_Primary=\"9\" ID_Secondary=\"9\"/>",
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Secondary, 7);
             EXPECT_EQ(n.Node_ID_Primary, 1);
         }},
        {"a bad ID leaves the two addresses", 10, "<Nodo Descrizione=\"d\" ID=\"x\" ID_Primary=\"9\" ID_Secondary=\"oops\"/>",
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Primary, 9);
             EXPECT_EQ(n.Node_ID_Secondary, 1);
         }},
        {"enable 2", 10,
         "<Nodo Descrizione=\"d\" Enable_Node=\"2\"><Variabile Enable=\"2\" Desc=\"v\" Type=\"0\" Fun_Field=\"0\" "
         "Dim=\"2\"/></Nodo>",
         [](const TNodo& n) {
             EXPECT_TRUE(n.Enable);
             ASSERT_EQ(n.Var_List.size(), 1u);
             EXPECT_FALSE(n.Var_List[0]->Enable);
             EXPECT_EQ(n.Var_List[0]->Position, 1) << "missing position";
         }},
        {"storage numbers", 10,
         "<Nodo Descrizione=\"d\" Enable_Node=\"0\" Cut_After=\"260\">"
         "<Variabile Desc=\"a\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\" StoNumber=\"4294967295\"/>"
         "<Variabile Desc=\"b\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\" StoNumber=\"4294967296\"/>"
         "<Variabile Desc=\"c\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\" StoNumber=\"-1\" VIFE=\"300\"/></Nodo>",
         [](const TNodo& n) {
             EXPECT_FALSE(n.Enable);
             EXPECT_EQ(n.Cut_After, 4) << "low 8 bits";
             ASSERT_EQ(n.Var_List.size(), 3u);
             EXPECT_EQ(n.Var_List[0]->Storage_Number, 4294967295u);
             EXPECT_EQ(n.Var_List[1]->Storage_Number, 0u);
             EXPECT_EQ(n.Var_List[2]->Storage_Number, 0u);
             EXPECT_EQ(n.Var_List[2]->VIFE, 44);
         }},
        {"a scan-written node in model 21", 21,
         "<Nodo Descrizione=\"d\" Cut_After=\"2\" NS_Desc=\"x\" IN_OnChange=\"5\"/>",
         [](const TNodo& n) {
             EXPECT_FALSE(n.NS_OnChange);
             EXPECT_FALSE(n.NS_OnTimer);
             EXPECT_EQ(n.NS_Timer, 0);
             EXPECT_EQ(n.NS_Desc, u"x");
             EXPECT_TRUE(n.IN_OnChange);
         }},
        {"SNMP attributes are not read in model 10", 10, "<Nodo Descrizione=\"d\" NS_Desc=\"x\" NS_OnTimer=\"1\"/>",
         [](const TNodo& n) {
             EXPECT_EQ(n.NS_Desc, u"");
             EXPECT_FALSE(n.NS_OnTimer);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.write("M_Bus.xml", std::string("<M-Bus_Network>") + c.xml + "</M-Bus_Network>");
        TNodi_List list;
        EXPECT_EQ(Read_MBus_Network(Path(dir, "M_Bus.xml"), c.model, list), u"");
        ASSERT_EQ(list.size(), 1u);
        c.check(*list[0]);
    }
}

TEST(MBusNetwork, AnUnreadableFileStopsWithAMessageKeepingWhatWasRead) {
    Load_Default_Texts();
    const struct {
        const char* xml;
        std::size_t nodes, vars_of_last;
    } cases[] = {
        {"<M-Bus_Network><Nodo Descrizione=\"a\"/><Nodo ID=\"2\"/><Nodo Descrizione=\"c\"/></M-Bus_Network>", 1, 0},
        {"<M-Bus_Network><Nodo Descrizione=\"a\"><Variabile Desc=\"v\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\"/>"
         "<Variabile Type=\"0\" Fun_Field=\"0\" Dim=\"2\"/></Nodo></M-Bus_Network>",
         1, 1},
        {"<M-Bus_Network><Nodo Descrizione=\"a\"><Variabile Desc=\"v\" Type=\"x\" Fun_Field=\"0\" Dim=\"2\"/>"
         "</Nodo></M-Bus_Network>",
         1, 0},
        {"<M-Bus_Network><Nodo Descrizione=\"a\">", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        TempDir dir;
        dir.write("M_Bus.xml", c.xml);
        TNodi_List list;
        EXPECT_NE(Read_MBus_Network(Path(dir, "M_Bus.xml"), 10, list), u"");
        ASSERT_EQ(list.size(), c.nodes);
        if (c.nodes)
            EXPECT_EQ(list.back()->Var_List.size(), c.vars_of_last);
    }
    TNodi_List none;
    TempDir dir;
    EXPECT_EQ(Read_MBus_Network(Path(dir, "M_Bus.xml"), 10, none), u"") << "a missing file is an empty network";
    EXPECT_TRUE(none.empty());
}

TEST(MBusNetwork, GeneralParametersAreReadPerModelAndOnlyTheByteCountIsWrittenBack) {
    TempDir dir;
    const String pg = Path(dir, "ParGen.xml");
    TMBus_ParGen p = Read_MBus_ParGen(pg, 10);
    EXPECT_FALSE(p.Auto_Calc_Byte_Used);
    EXPECT_EQ(p.Num_Byte_Par_Gen, 1439);
    EXPECT_EQ(p.Map_Type_808, 1);

    dir.write("ParGen.xml", "<Par_Gen><PROFINET_AUTO_CALC_BYTE>1</PROFINET_AUTO_CALC_BYTE><Working_mode>2</Working_mode>"
                            "<PROFINET_NB_OUT>abc</PROFINET_NB_OUT><SNMP_MAP>Variable</SNMP_MAP></Par_Gen>\r\n");
    p = Read_MBus_ParGen(pg, 10);
    EXPECT_TRUE(p.Auto_Calc_Byte_Used);
    EXPECT_EQ(p.Working_Mode, 2);
    EXPECT_EQ(p.Num_Byte_Par_Gen, 1439);
    p = Read_MBus_ParGen(pg, 21);
    EXPECT_FALSE(p.Auto_Calc_Byte_Used);
    EXPECT_EQ(p.Working_Mode, 0);
    EXPECT_EQ(p.Num_Byte_Par_Gen, 1024);
    EXPECT_EQ(p.Map_Type_808, 1);
    EXPECT_EQ(Read_Map_Type(Path(dir, "none.xml")), 0);

    Write_NB_OUT(pg, 77);
    EXPECT_EQ(dir.read("ParGen.xml"),
              "<Par_Gen><PROFINET_AUTO_CALC_BYTE>1</PROFINET_AUTO_CALC_BYTE><Working_mode>2</Working_mode>"
              "<PROFINET_NB_OUT>77</PROFINET_NB_OUT><SNMP_MAP>Variable</SNMP_MAP></Par_Gen>\r\n");
    dir.write("ParGen.xml", "<Par_Gen><A>1</A></Par_Gen>\r\n<!--v-->\r\n");
    Write_NB_OUT(pg, 5);
    EXPECT_EQ(dir.read("ParGen.xml"), "<Par_Gen><A>1</A><PROFINET_NB_OUT>5</PROFINET_NB_OUT></Par_Gen>\r\n<!--v-->\r\n");
}

TEST(MBusNetwork, ByteCountFollowsTheImageRules) {
    auto node = [](Byte listType, Byte ns, Byte in) {
        auto n = std::make_unique<TNodo>();
        n->Enable = true;
        n->Var_List_Type = listType;
        n->Node_State = ns;
        n->Ident_Num = in;
        return n;
    };
    auto var = [](int type, int dim, bool tp = false, bool scale = false) {
        auto v = std::make_unique<TVariabile>();
        v->Enable = true;
        v->Type_Of_Data = type;
        v->Dimension = dim;
        v->TP_Mod_Regs = tp;
        v->Scale = scale;
        v->Length = 9;
        return v;
    };
    TNodi_List net;
    EXPECT_EQ(Calcola_Byte_Usati(net), 1) << "an empty network";
    net.push_back(node(0, 1, 1));
    net[0]->Var_List.push_back(var(0, 2, false, true));
    EXPECT_EQ(Calcola_Byte_Usati(net), 10);
    net[0]->Enable = false;
    EXPECT_EQ(Calcola_Byte_Usati(net), 1) << "a disabled node counts nothing";

    const struct {
        Byte listType;
        int type, dim;
        bool tp, force, flt;
        int bytes;
    } cases[] = {
        {1, 0, 0, true, false, false, 6},  {0, 0, 0, true, false, false, 1},  {0, 20, 0, true, false, false, 6},
        {0, 0, 0, false, true, false, 4},  {0, 0, 3, false, false, true, 4},  {0, 0, 1, false, false, false, 2},
        {0, 0, 3, false, false, false, 8}, {0, 0, 4, false, false, false, 3}, {0, 0, 5, false, false, false, 6},
        {0, 0, 6, false, false, false, 4}, {0, 0, 7, false, false, false, 9}, {0, 0, 255, false, false, false, 2},
    };
    for (const auto& c : cases) {
        auto n = node(c.listType, 0, 0);
        auto v = var(c.type, c.dim, c.tp);
        v->ForceInteger32 = c.force;
        v->Conv_Float = c.flt;
        EXPECT_EQ(Var_Byte_Count(*n, *v), c.bytes) << int(c.listType) << " " << c.type << " " << c.dim;
    }
}
