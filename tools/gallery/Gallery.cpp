// Builds a form with one of every standard control, placed in pixels as
// the configurator's windows place them, and writes it as a PNG.

#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

#include <cstdio>

namespace {

template <class T>
T* Place(TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(parent);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    String out = argc > 1 ? Utf8ToString(argv[1]) : S("gallery.png");
    Application->Initialize();
    TForm form(nullptr);
    form.SetCaption(u"Gallery");
    form.SetBorderStyle(bsSingle);
    form.SetClientWidth(640);
    form.SetClientHeight(420);
    form.SetColor(RGB(248, 247, 237));
    form.Font().SetName(u"Verdana");
    form.Font().SetHeight(-11);

    auto* label = Place<TLabel>(&form, 16, 8, 200, 17);
    label->SetCaption(u"&Label with accelerator");
    auto* big = Place<TLabel>(&form, 16, 26, 200, 36);
    big->Font().SetHeight(-32);
    big->Font().SetColor(clGray);
    big->SetCaption(u"CX-40");
    auto* link = Place<TLinkLabel>(&form, 230, 8, 180, 17);
    link->SetCaption(u"Visit <a href=\"http://localhost/\">the product page</a>");

    auto* edit = Place<TEdit>(&form, 16, 70, 192, 21);
    edit->SetText(u"192.168.0.10");
    label->SetFocusControl(edit);
    auto* mask = Place<TMaskEdit>(&form, 16, 100, 192, 21);
    mask->SetEditMask(u"99/99/0000;1;_");
    auto* memo = Place<TMemo>(&form, 16, 130, 192, 60);
    memo->Lines().Add(u"First line");
    memo->Lines().Add(u"Second line");

    auto* combo = Place<TComboBox>(&form, 16, 200, 192, 22);
    combo->SetStyle(csDropDownList);
    for (auto s : {u"1200", u"9600", u"19200", u"115200"}) combo->Items().Add(s);
    combo->SetItemIndex(1);
    auto* list = Place<TListBox>(&form, 16, 230, 90, 70);
    for (auto s : {u"Meter 1", u"Meter 2 [NOT FOUND]", u"Meter 3"}) list->Items().Add(s);
    list->SetItemIndex(2);
    // Owner-drawn, as the scan window's progress list.
    list->SetStyle(lbOwnerDrawFixed);
    list->OnDrawItem = [list](TWinControl*, int index, TRect r, TOwnerDrawState state) {
        TCanvas& c = list->Canvas();
        c.FillRect(r);
        const String& text = list->Items().Strings(index);
        if (!state.Contains(odSelected)) c.Font().SetColor(text.find(u"[NOT FOUND]") == String::npos ? clBlue : clRed);
        c.TextOut(r.Left + 2, r.Top + 1, text);
    };
    auto* checks = Place<TCheckListBox>(&form, 118, 230, 90, 70);
    for (auto s : {u"Enabled", u"Scale", u"Swap"}) checks->Items().Add(s);
    checks->SetChecked(0, true);

    auto* check = Place<TCheckBox>(&form, 16, 310, 192, 17);
    check->SetCaption(u"Enable Gateway");
    check->SetChecked(true);
    auto* group = Place<TGroupBox>(&form, 16, 334, 192, 76);
    group->SetCaption(u" Working Mode ");
    auto* r1 = Place<TRadioButton>(group, 9, 20, 170, 17);
    r1->SetCaption(u"Normal Mode");
    r1->SetChecked(true);
    auto* r2 = Place<TRadioButton>(group, 9, 46, 170, 17);
    r2->SetCaption(u"Single Slave Mode");

    auto* panel = Place<TPanel>(&form, 230, 34, 180, 60);
    panel->SetCaption(u"Panel");
    auto* shape = Place<TShape>(&form, 420, 34, 60, 40);
    shape->SetShape(stRoundRect);
    shape->Brush().SetColor(clSkyBlue);
    auto* circle = Place<TShape>(&form, 490, 34, 40, 40);
    circle->SetShape(stCircle);
    circle->Brush().SetColor(clYellow);
    auto* bevel = Place<TBevel>(&form, 540, 34, 80, 40);
    bevel->SetShape(bsFrame);
    auto* image = Place<TImage>(&form, 420, 84, 48, 48);
    TCanvas& ic = image->ImageCanvas();
    ic.Brush().SetColor(clNavy);
    ic.FillRect(Rect(0, 0, 48, 48));
    ic.Brush().SetColor(clLime);
    ic.Ellipse(8, 8, 40, 40);

    auto* radios = Place<TRadioGroup>(&form, 230, 104, 180, 80);
    radios->SetCaption(u" Parity ");
    radios->SetColumns(2);
    for (auto s : {u"NONE", u"ODD", u"EVEN"}) radios->Items().Add(s);
    radios->SetItemIndex(2);

    auto* scroll = Place<TScrollBar>(&form, 230, 194, 180, 17);
    scroll->SetPosition(40);
    auto* track = Place<TTrackBar>(&form, 230, 216, 180, 30);
    track->SetPosition(3);
    auto* progress = Place<TProgressBar>(&form, 230, 252, 180, 17);
    progress->SetPosition(60);
    auto* picker = Place<TDateTimePicker>(&form, 230, 276, 180, 21);
    picker->SetDateTime(EncodeDateTime(2026, 12, 10, 9, 30, 0, 0));
    auto* speed1 = Place<TSpeedButton>(&form, 480, 84, 60, 24);
    speed1->SetCaption(u"Left");
    speed1->SetGroupIndex(1);
    speed1->SetDown(true);
    auto* speed2 = Place<TSpeedButton>(&form, 544, 84, 60, 24);
    speed2->SetCaption(u"Right");
    speed2->SetGroupIndex(1);

    auto* pages = Place<TPageControl>(&form, 420, 140, 200, 110);
    auto* sheet1 = new TTabSheet(&form);
    sheet1->SetPageControl(pages);
    sheet1->SetCaption(u"Meters");
    auto* tree = Place<TTreeView>(sheet1, 4, 4, 180, 60);
    TTreeNode* root = tree->Items().AddChild(nullptr, u"M-Bus network");
    tree->Items().AddChild(root, u"Meter 1");
    tree->Items().AddChild(root, u"Meter 2");
    root->Expand(false);
    auto* sheet2 = new TTabSheet(&form);
    sheet2->SetPageControl(pages);
    sheet2->SetCaption(u"Variables");
    auto* sheet3 = new TTabSheet(&form);
    sheet3->SetPageControl(pages);
    sheet3->SetCaption(u"Hidden");
    sheet3->SetTabVisible(false);

    auto* calendar = Place<TMonthCalendar>(&form, 420, 256, 200, 110);
    calendar->SetDate(EncodeDateTime(2026, 12, 10, 0, 0, 0, 0));

    auto* ok = Place<TButton>(&form, 230, 380, 112, 28);
    ok->SetCaption(u"OK");
    ok->SetDefault(true);
    auto* cancel = Place<TButton>(&form, 354, 380, 112, 28);
    cancel->SetCaption(u"Cancel");
    cancel->SetCancel(true);

    try {
        SaveControlToPng(&form, out);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("%s\n", StringToUtf8(out).c_str());
    return 0;
}
