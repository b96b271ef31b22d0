#include "tables/Byte_Map_Editor.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "tables/CAN_Frame_Editor.h"

#include <algorithm>
#include <map>
#include <optional>

namespace {

constexpr int Map_Client_Width = 654, Map_Client_Height = 508;
// The image size without a general parameter; a position derived from the
// general-parameters form's largest size is at most 1438.
constexpr int Default_Image_Size = 1439;
constexpr int SNMP_Image_Size = 1024;
// The largest process image of any model: a hand-edited size is kept within it.
constexpr int Largest_Image_Size = 1440;

bool Is_SNMP_Model(int model) { return model == 15 || model == 34; }

// A whole number of an attribute that has no default: a missing one or one
// that is no number ends the loading.
int Attribute_Number(const TXmlNode& node, const char16_t* name) {
    const std::optional<String> text = node.Attribute(name);
    if (!text) throw EConvertError(Missing_Attribute_Text);
    // Two defaults tell a number from a text that is none.
    const int a = StrToIntDef(*text, 0), b = StrToIntDef(*text, 1);
    if (a != b) throw EConvertError(u"'" + *text + u"' is not a valid integer value");
    return a;
}

void Error_Box(const String& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}); }

// Layout of the window's right half: one panel per byte under the titles.
constexpr int List_Left = 16, Titles_Top = 78, List_Top = 98, List_Width = 150, List_Height = 362;
constexpr int Panels_Left = 186, Panel_Width = 452, Panel_Height = 40, Panel_Step = 45;
constexpr int Edit_Left = 236, Edit_Top = 9, Edit_Width = 60, Edit_Height = 22, Text_Top = 12;
constexpr int Of_Left = 304, Not_In_Use_Left = 380;

}  // namespace

int Byte_Map_Size(const TByte_Map_Desc& d, int model, const String& parGenPath) {
    if (Is_SNMP_Model(model)) return SNMP_Image_Size;
    return std::clamp(ParGen_Number(parGenPath, d.Size_Key, Default_Image_Size), 0, Largest_Image_Size);
}

void Byte_Map_Load_Frames(const TByte_Map_Desc& d, const String& framesPath, TByte_Map& map) {
    TXmlDocument doc;
    doc.LoadFromFile(framesPath);
    const TXmlNode table = Table_Element(doc.DocumentElement(), d.Frames.Table.Container);
    for (int i = 0; i < table.ChildCount(); ++i) {
        const TXmlNode row = table.Child(i);
        const std::optional<String> cob_id = row.Attribute(u"Cob_Id");
        if (!cob_id) throw EConvertError(Missing_Attribute_Text);
        TRecInfo info;
        info.Dim = static_cast<std::uint8_t>(Attribute_Number(row, u"Dimension"));
        map.Cob_ID.push_back(*cob_id);
        map.Data_arr.push_back(info);
    }
}

void Byte_Map_Load(const String& path, TByte_Map& map) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    const TXmlNode root = doc.DocumentElement();
    const int rows = std::min(root.ChildCount(), static_cast<int>(map.Data_arr.size()));
    for (int i = 0; i < rows; ++i) {
        const TXmlNode row = root.Child(i);
        TRecInfo& info = map.Data_arr[static_cast<std::size_t>(i)];
        const int used = std::min<int>(info.Dim, CAN_Frame_Bytes);
        for (int n = 0; n < used; ++n) {
            const String name = u"B" + IntToStr(n + 1);
            info.PosB[n] = static_cast<std::uint16_t>(Attribute_Number(row, name.c_str()));
        }
    }
}

bool Byte_Map_Check_Range(const TByte_Map_Desc& d, const TByte_Map& map, int size, int& badFrame) {
    for (std::size_t f = 0; f < map.Data_arr.size(); ++f)
        for (int n = 0; n < CAN_Frame_Bytes; ++n) {
            const int pos = map.Data_arr[f].PosB[n];
            if (pos == No_Position || pos < size) continue;
            badFrame = static_cast<int>(f);
            Error_Box(Lang_Table[d.Range_Text + n + 1] + IntToStr(size - 1) + Lang_Table[d.Range_End_Text]);
            return false;
        }
    return true;
}

bool Byte_Map_Check_Duplicates(const TByte_Map_Desc& d, const TByte_Map& map) {
    // Keyed by the position, so a position of any size takes part.
    std::map<std::uint16_t, std::pair<std::size_t, int>> used;
    for (std::size_t f = 0; f < map.Data_arr.size(); ++f)
        for (int n = 0; n < CAN_Frame_Bytes; ++n) {
            const std::uint16_t pos = map.Data_arr[f].PosB[n];
            if (pos == No_Position) continue;
            const auto [it, fresh] = used.emplace(pos, std::make_pair(f, n + 1));
            if (fresh) continue;
            const int* t = d.Dup_Texts;
            Error_Box(Lang_Table[t[0]] + IntToStr(pos) + Lang_Table[t[1]] + map.Cob_ID[f] + Lang_Table[t[2]] +
                      IntToStr(n + 1) + Lang_Table[t[3]] + map.Cob_ID[it->second.first] + Lang_Table[t[4]] +
                      IntToStr(it->second.second));
            return false;
        }
    return true;
}

void Byte_Map_Build_Document(const TByte_Map_Desc& d, TXmlDocument& doc, const TByte_Map& map, int model) {
    TXmlNode root = doc.CreateRoot(d.Root);
    doc.AddComment(Version_Comment(TTableEditor::CAN_Frames, model));
    for (const TRecInfo& info : map.Data_arr) {
        TXmlNode row = root.AddChild(u"row");
        for (int n = 0; n < CAN_Frame_Bytes; ++n) row.SetAttribute(u"B" + IntToStr(n + 1), IntToStr(info.PosB[n]));
    }
}

TByte_Map_Form::TByte_Map_Form(TComponent* AOwner, const TByte_Map_Desc& desc)
    : TTable_Editor_Form(AOwner, desc.Form_Name, Map_Client_Width, Map_Client_Height), desc_(desc) {
    Btn_OK->OnClick = [this](TObject* s) { bitbtn1Click(s); };
    ST_Title_Cob = Make_Label(this, u"ST_Title_Cob", List_Left, Titles_Top);
    ST_Title_Bytes = Make_Label(this, u"ST_Title_Bytes", Panels_Left, Titles_Top);
    for (TLabel* l : {ST_Title_Cob, ST_Title_Bytes}) l->Font().SetStyle(TFontStyles{fsBold});
    ListBox1 = new TListBox(this);
    ListBox1->SetName(u"ListBox1");
    ListBox1->SetParent(this);
    ListBox1->SetBounds(List_Left, List_Top, List_Width, List_Height);
    ListBox1->OnClick = [this](TObject* s) { ListBox1Click(s); };
    for (int n = 0; n < CAN_Frame_Bytes; ++n) {
        TPanel* p = new TPanel(this);
        p->SetName(u"Panel" + IntToStr(n + 1));
        p->SetParent(this);
        p->SetCaption(String());
        p->SetBounds(Panels_Left, List_Top + n * Panel_Step, Panel_Width, Panel_Height);
        p->SetParentColor(true);
        Panel[n] = p;
        StaticText_Byte[n] = Make_Label(p, u"StaticText" + IntToStr(n + 3), 8, Text_Top);
        Edit[n] = new TEdit(this);
        Edit[n]->SetName(u"Edit" + IntToStr(n + 1));
        Edit[n]->SetParent(p);
        Edit[n]->SetBounds(Edit_Left, Edit_Top, Edit_Width, Edit_Height);
        Edit[n]->OnExit = [this](TObject* s) { EditExit(s); };
        // A text typed after a refusal is judged anew.
        Edit[n]->OnChange = [this](TObject*) { refused_ = -1; };
        StaticText_Of[n] = Make_Label(p, u"StaticText" + IntToStr(n + 11), Of_Left, Text_Top);
        Label_Not_In_Use[n] = Make_Label(p, u"Label" + IntToStr(n + 19), Not_In_Use_Left, Text_Top);
    }
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TByte_Map_Form::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(Map_Client_Width);
    SetClientHeight(Map_Client_Height);
    Set_Lang();
}

void TByte_Map_Form::Set_Lang() {
    SetCaption(Lang_Table[desc_.Caption_Text]);
    L_SW_Desc->SetCaption(Lang_Table[desc_.Desc_Text]);
    Btn_OK->SetCaption(Lang_Table[desc_.OK_Text]);
    Btn_Cancel->SetCaption(Lang_Table[desc_.Cancel_Text]);
    ST_Title_Cob->SetCaption(Lang_Table[desc_.Title_Cob_Text]);
    ST_Title_Bytes->SetCaption(Lang_Table[desc_.Title_Bytes_Text]);
    const int of = Is_SNMP_Model(Model_Code) ? desc_.Of_SNMP_Text : desc_.Of_PROFINET_Text;
    for (int n = 0; n < CAN_Frame_Bytes; ++n) {
        StaticText_Byte[n]->SetCaption(Lang_Table[desc_.Byte_Text + n]);
        StaticText_Of[n]->SetCaption(Lang_Table[of]);
        Label_Not_In_Use[n]->SetCaption(Lang_Table[desc_.Not_In_Use_Text]);
    }
}

void TByte_Map_Form::FormShow(TObject*) {
    pending_ = refused_ = -1;
    Map = TByte_Map();
    ListBox1->Clear();
    // Until a frame is shown, no field stores anything.
    ListBox1->SetItemIndex(-1);
    ListBox1Click(nullptr);
    const bool complete = show_.Run([&] {
        Num_Byte_Max = Byte_Map_Size(desc_, Model_Code, Path_ParGen);
        if (FileExists(*desc_.Frames.Path)) Byte_Map_Load_Frames(desc_, *desc_.Frames.Path, Map);
        if (!Map.Data_arr.empty() && FileExists(*desc_.Path)) Byte_Map_Load(*desc_.Path, Map);
    });
    ListBox1->Items().BeginUpdate();
    for (const String& cob_id : Map.Cob_ID) ListBox1->Items().Add(cob_id);
    ListBox1->Items().EndUpdate();
    if (complete && !Map.Data_arr.empty()) {
        ListBox1->SetItemIndex(0);
        ListBox1Click(nullptr);
    }
}

void TByte_Map_Form::ListBox1Click(TObject*) {
    // A field left towards Cancel, which then did not close, is still to be taken over.
    if (pending_ >= 0) {
        const int n = pending_;
        pending_ = -1;
        Take_Over(n);
    }
    const int f = ListBox1->ItemIndex();
    const bool shown = f >= 0 && f < static_cast<int>(Map.Data_arr.size());
    shown_frame_ = shown ? f : -1;
    for (int n = 0; n < CAN_Frame_Bytes; ++n) {
        const bool in_use = shown && n < Map.Data_arr[static_cast<std::size_t>(f)].Dim;
        Panel[n]->SetEnabled(in_use);
        Edit[n]->SetEnabled(in_use);
        Label_Not_In_Use[n]->SetVisible(!in_use);
        const std::uint16_t pos = in_use ? Map.Data_arr[static_cast<std::size_t>(f)].PosB[n] : No_Position;
        Edit[n]->SetText(pos == No_Position ? String(u"none") : IntToStr(pos));
    }
    refused_ = -1;
}

int TByte_Map_Form::Field_Of(TObject* Sender) const {
    for (int n = 0; n < CAN_Frame_Bytes; ++n)
        if (Sender == Edit[n]) return n;
    return -1;
}

bool TByte_Map_Form::Take_Over(int n) {
    // Only into the frame the fields show, and only a byte it has.
    if (shown_frame_ < 0 || shown_frame_ >= static_cast<int>(Map.Data_arr.size())) return true;
    TRecInfo& info = Map.Data_arr[static_cast<std::size_t>(shown_frame_)];
    if (n >= info.Dim) return true;
    const String text = Trim(Edit[n]->Text());
    if (text.empty() || UpperCase(text) == u"NONE") {
        info.PosB[n] = No_Position;
        return true;
    }
    const int v = StrToIntDef(text, -1);
    if (v < 0 || v >= Num_Byte_Max) {
        judging_ = true;
        Error_Box(Lang_Table[desc_.Range_Text + n + 1] + IntToStr(Num_Byte_Max - 1) +
                  Lang_Table[desc_.Range_End_Text]);
        if (Edit[n]->CanFocus()) Edit[n]->SetFocus();
        judging_ = false;
        refused_ = n;
        return false;
    }
    info.PosB[n] = static_cast<std::uint16_t>(v);
    return true;
}

void TByte_Map_Form::EditExit(TObject* Sender) {
    if (judging_) return;
    const int n = Field_Of(Sender);
    if (n < 0) return;
    // Cancel closes without judging the field: nothing is stored either way.
    if (ActiveControl() == Btn_Cancel || ModalResult() != mrNone) {
        pending_ = n;
        return;
    }
    pending_ = -1;
    Take_Over(n);
}

void TByte_Map_Form::bitbtn1Click(TObject*) {
    int n = Field_Of(ActiveControl());
    // A press on OK moved the focus first, and the field's exit has just refused it.
    if (n >= 0 && n == refused_) {
        refused_ = -1;
        return;
    }
    if (n < 0) n = pending_;
    pending_ = -1;
    if (n >= 0 && !Take_Over(n)) return;
    int bad = -1;
    if (!Byte_Map_Check_Range(desc_, Map, Num_Byte_Max, bad)) {
        ListBox1->SetItemIndex(bad);
        ListBox1Click(nullptr);
        return;
    }
    if (Check_And_Save(
            show_, [&] { return !desc_.Duplicate_Check || Byte_Map_Check_Duplicates(desc_, Map); },
            [&](TXmlDocument& doc) { Byte_Map_Build_Document(desc_, doc, Map, Model_Code); }, *desc_.Path))
        SetModalResult(mrOk);
}
