// Every window of every model, as a person first sees it: no control reaches
// out of its parent's client area, and every caption, label, column header,
// row number, tab and list item fits its control in the fonts the program
// draws it with.

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "image/UAdvanceFunctions.h"
#include "image/UBootTCP.h"
#include "tables/UDMXDefVal.h"
#include "tables/UDNet.h"
#include "tables/UDefOffset.h"
#include "tables/UModbus_TCP_Master_Set_Access.h"
#include "tables/UNodeGuard.h"
#include "tables/UReStart_Devices.h"
#include "tables/USNMP_Trap_Access.h"
#include "tables/USNMP_Trap_Access_MBus.h"
#include "tables/UCAN_Rec_Frames.h"
#include "tables/UCAN_Send_Frame.h"
#include "tables/UReceiveJ1939.h"
#include "tables/UReceiveNMEA.h"
#include "tables/UTransmitJ1939.h"
#include "tables/UTransmitNMEA.h"
#include "tables/U_Rec_Info.h"
#include "tables/U_Sen_Info.h"
#include "tables/USetAccess.h"
#include "tables/USet_PDO_Access.h"
#include "tables/USet_SDO_Client_Access.h"
#include "tables/USet_SDO_Server_Access.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UNewIDNode.h"
#include "mbus/UScanDecode.h"
#include "mbus/UScanModbusStart.h"
#include "shell/UParGen.h"
#include "descfiles/UEds.h"
#include "descfiles/UGSDML.h"
#include "descfiles/UProfibus_GSD.h"
#include "descfiles/UProfinetFileName.h"
#include "descfiles/USNMP_MIB.h"
#include "app/Program_Windows.h"
#include "app/UBridgeformeFirmWare.h"
#include "controls/ExPageControl.h"
#include "controls/FlatButton.h"
#include "framework/ComCtrls.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Simulate.h"
#include "grid/ExCGrid.h"
#include "shell/Globals.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>

namespace {

const int All_Model_Codes[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                               19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 1018, 2004};

// Texts that are cut on purpose: "window.control" of a caption that a window
// shortens itself. None so far.
const std::set<std::string> Elided_On_Purpose = {};

// Windows that a model never opens are created all the same; their layout
// is checked only for the models that reach them.
bool Reached(const std::string& form, int model) {
    if (form == "FNewIDNode") return model == 10 || model == 21;  // only from the M-Bus network editor
    if (form == "FNew_Project") return model != 2004;              // its wizard has no new-project step
    return true;
}

// The room the platform takes beside a caption: the box of a check box or
// radio button with its gap, and the inner edge of a button.
constexpr int Check_Box_Room = 18;
constexpr int Button_Edge_Room = 4;
// A cell's text stands inside the grid's text offset on both sides, and a
// fixed cell gives its right pixel to the grid line.
constexpr int Fixed_Line_Room = 1;
// A drop-down list draws its items inside a small margin, and beside its
// scroll bar when it holds more items than it shows.
constexpr int List_Item_Room = 8;
constexpr int List_Scroll_Bar_Room = 17;

class Text_Meter {
public:
    Text_Meter() {
        bitmap_.SetWidth(1);
        bitmap_.SetHeight(1);
    }
    int Width(const TFont& font, const String& text) {
        bitmap_.Canvas().Font().Assign(&font);
        return bitmap_.Canvas().TextWidth(text);
    }

private:
    TBitmap bitmap_;
};

String Without_Accelerator(const String& s) {
    String out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size()) ++i;
        out += s[i];
    }
    return out;
}

std::string Name_Of(const TControl* c) {
    std::string n = StringToUtf8(c->Name());
    return n.empty() ? "<" + StringToUtf8(c->ClassName()) + ">" : n;
}

class Layout_Check {
public:
    explicit Layout_Check(const TCustomForm* form) : form_(Name_Of(form)) {}

    void Window(TWinControl* w) {
        Texts(w);
        // A window taller than the screen scrolls its controls up and down.
        bool scrolls = false;
        for (int i = 0; i < w->ControlCount(); ++i)
            if (auto* b = dynamic_cast<TScrollBar*>(w->Controls(i)); b && b->Visible() && b->Kind() == sbVertical)
                scrolls = true;
        for (int i = 0; i < w->ControlCount(); ++i) {
            TControl* c = w->Controls(i);
            // A page that is not selected still shows its controls once it is.
            const bool page = dynamic_cast<TTabSheet*>(c) || dynamic_cast<TExTabSheet*>(c);
            if (!c->Visible() && !page) continue;
            Inside(w, c, scrolls);
            if (auto* child = dynamic_cast<TWinControl*>(c)) {
                // Grids place their editors themselves; scroll boxes scroll.
                if (dynamic_cast<TExStringGrid*>(w) || dynamic_cast<TScrollBox*>(w)) continue;
                Window(child);
            } else {
                Texts(c);
            }
        }
    }

    std::vector<std::string> Faults;

private:
    void Fault(const TControl* c, const std::string& what) {
        const std::string where = form_ + "." + Name_Of(c);
        if (!Elided_On_Purpose.count(where)) Faults.push_back(where + ": " + what);
    }

    void Inside(const TWinControl* parent, const TControl* c, bool scrolls) {
        const TRect r = c->BoundsRect();
        int w = parent->ClientWidth(), h = parent->ClientHeight();
        // A page that was never selected has no size yet: it takes the selected page's.
        if (auto* s = dynamic_cast<const TExTabSheet*>(parent); s && w == 0 && s->ExPageControl())
            if (TExTabSheet* a = s->ExPageControl()->ActivePage()) w = a->ClientWidth(), h = a->ClientHeight();
        if (r.Left < 0 || r.Right > w || (!scrolls && (r.Top < 0 || r.Bottom > h))) {
            std::ostringstream s;
            s << "reaches out of " << Name_Of(parent) << " (" << r.Left << "," << r.Top << " to " << r.Right << ","
              << r.Bottom << " in " << w << "x" << h << ")";
            Fault(c, s.str());
        }
    }

    void Fits(const TControl* c, const std::string& what, int need, int room) {
        if (need <= room) return;
        std::ostringstream s;
        s << what << " needs " << need << " pixels, has " << room;
        Fault(c, s.str());
    }

    void Texts(TControl* c) {
        if (c->Caption().empty() && !dynamic_cast<TWinControl*>(c)) return;
        if (auto* l = dynamic_cast<TLabel*>(c)) {
            if (!l->WordWrap()) Fits(c, "label \"" + StringToUtf8(l->Caption()) + "\"", Caption_Width(c), c->Width());
        } else if (dynamic_cast<TCheckBox*>(c) || dynamic_cast<TRadioButton*>(c)) {
            Fits(c, "caption \"" + StringToUtf8(c->Caption()) + "\"", Caption_Width(c) + Check_Box_Room, c->Width());
        } else if (auto* b = dynamic_cast<TFlatButton*>(c); b && !c->Caption().empty()) {
            const int glyph = b->Glyph().Empty() ? 0 : b->Glyph().Width() / std::max(1, b->NumGlyphs()) + 4;
            Fits(c, "caption \"" + StringToUtf8(c->Caption()) + "\"", Caption_Width(c) + glyph + Button_Edge_Room,
                 c->Width());
        } else if (auto* g = dynamic_cast<TExColumnGrid*>(c)) {
            Grid(g);
        } else if (auto* p = dynamic_cast<TPageControl*>(c)) {
            for (int i = 0; i < p->PageCount(); ++i) {
                const TRect t = p->TabRect(i);
                if (t.Right > p->ClientWidth())
                    Fits(c, "tab \"" + StringToUtf8(p->Pages(i)->Caption()) + "\"", t.Right, p->ClientWidth());
            }
        } else if (auto* p = dynamic_cast<TExPageControl*>(c)) {
            for (int i = 0; i < p->PageCount(); ++i) {
                TExTabSheet* s = p->Pages(i);
                const TRect t = p->GetPageTabRect(s);
                // The caption reads upward from TopMargin + 4 above the tab's
                // bottom; its trailing blanks only lengthen the tab.
                String text = s->Caption();
                while (!text.empty() && text.back() == u' ') text.pop_back();
                Fits(c, "tab \"" + StringToUtf8(text) + "\"",
                     meter_.Width(p->Font(), text) + p->TabMargin().TopMargin() + 4, t.Bottom - t.Top);
            }
        } else if (auto* cb = dynamic_cast<TComboBox*>(c)) {
            List(c, cb->Items(), cb->DroppedWidth(), cb->DropDownCount(), c->Font());
        }
    }

    int Caption_Width(TControl* c) { return meter_.Width(c->Font(), Without_Accelerator(c->Caption())); }

    void List(const TControl* c, const TStrings& items, int width, int shown, const TFont& font) {
        int widest = 0;
        String text;
        for (int i = 0; i < items.Count(); ++i) {
            const int w = meter_.Width(font, items[i]);
            if (w > widest) widest = w, text = items[i];
        }
        if (widest == 0) return;
        const int room = width - List_Item_Room - (items.Count() > shown ? List_Scroll_Bar_Room : 0);
        Fits(c, "list item \"" + StringToUtf8(text) + "\"", widest, room);
    }

    void Grid(TExColumnGrid* g) {
        for (int dc = 0; dc < g->ColCount(); ++dc) {
            const int rc = g->RealColIndex(dc);
            const int room = g->ColWidths(dc) - g->TotalXOffset() - Fixed_Line_Room;
            const bool fixedCol = dc < g->FixedCols();
            for (int r = 0; r < (fixedCol ? g->RowCount() : g->FixedRows()); ++r) {
                const String text = g->Cells(rc, r);
                if (text.empty()) continue;
                const int need = g->GetCellTextSize(rc, r, false, false).X;
                if (need > room) {
                    Fits(g, "cell " + std::to_string(rc) + "," + std::to_string(r) + " \"" + StringToUtf8(text) + "\"",
                         need, room);
                    break;
                }
            }
            TGridColumnItem* item = g->Columns().Items(rc);
            // A read-only column shows its value and opens no list.
            if ((item->Editor() == edComboList || item->Editor() == edComboEdit) && item->ComboItems().Count() > 0 &&
                !item->ReadOnly() && g->RowCount() > g->FixedRows())
                Grid_List(g, dc);
        }
    }

    // The list of a drop-down cell, as the grid opens it on the first data
    // row for a person's two clicks (the first makes the cell current).
    void Grid_List(TExColumnGrid* g, int dc) {
        if (auto* sheet = dynamic_cast<TTabSheet*>(g->Parent()); sheet && sheet->PageControl())
            sheet->PageControl()->SetActivePage(sheet);
        g->SetLeftCol(std::max(g->FixedCols(), dc));
        const TRect r = g->CellRect(dc, g->FixedRows());
        if (r.Right <= r.Left) return;
        SimulateClick(g, r.Left + 3, r.Top + 3);
        SimulateClick(g, r.Left + 3, r.Top + 3);
        TGridCombo* combo = g->Combobox();
        if (combo && combo->Visible())
            List(g, combo->Items(), combo->DroppedWidth(), combo->DropDownCount(), combo->Font());
        else
            Fault(g, "column " + std::to_string(dc) + " opens no list");
        SimulateKey(VK_ESCAPE);
    }

    std::string form_;
    Text_Meter meter_;
};

class WindowLayout : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("PROJECTS/Layout/bin"));
        dir.write("Bridgeform.xml",
                  "<Conf_Settings><lastproj><projectname>Layout</projectname></lastproj></Conf_Settings>");
    }
    TempDir dir;
    TScriptedDialogService dialogs;
};

}  // namespace

TEST_P(WindowLayout, EveryControlFitsItsParentAndEveryTextItsControl) {
    Model_Code = GetParam();
    Start_Folder = Utf8ToString(dir.path());
    Create_Program_Windows();
    std::vector<std::string> faults;
    auto check = [&](TCustomForm* form) {
        Layout_Check c(form);
        c.Window(form);
        faults.insert(faults.end(), c.Faults.begin(), c.Faults.end());
    };
    dialogs.OnModalForm = [&](TCustomForm* form) {
        if (Reached(StringToUtf8(form->Name()), Model_Code)) check(form);
        form->SetModalResult(mrCancel);
    };
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (form == FBridgeformeFirmWare) check(form);
        else form->ShowModal();
    }
    std::string all;
    for (const std::string& f : faults) all += "\n  " + f;
    EXPECT_TRUE(faults.empty()) << faults.size() << " layout faults:" << all;
}

INSTANTIATE_TEST_SUITE_P(AllModels, WindowLayout, ::testing::ValuesIn(All_Model_Codes),
                         [](const ::testing::TestParamInfo<int>& i) { return "Model_" + std::to_string(i.param); });
