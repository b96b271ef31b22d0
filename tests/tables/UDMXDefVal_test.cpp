#include "tables/UDMXDefVal.h"

#include "Editor_Windows.h"
#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

using namespace dmx_col;

class DMX : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Model_Code = 22;
        Path_DMX_Default_Values = S(dir.file("DMX_Default_Values.xml"));
        Path_ParGen = S(dir.file("ParGen.xml"));
        w = Make_Window<TFDMXDefVal>();
    }
    void TearDown() override {
        Model_Code = model_;
        Path_DMX_Default_Values.clear();
        Path_ParGen.clear();
    }
    void Channels(const std::string& nbIn) {
        dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>" + nbIn + "</PROFINET_NB_IN></Par_Gen>");
    }
    // Shows the window, runs body inside it and ends it with OK (or Cancel).
    int Show(const std::function<void(TExColumnGrid*)>& body, bool ok = true) {
        dialogs.OnModalForm = [&](TCustomForm*) {
            body(w->ACG_DMX_Def_Val);
            (ok ? w->Btn_OK : w->Btn_Cancel)->Click();
            if (w->ModalResult() == mrNone) w->Btn_Cancel->Click();
        };
        return w->ShowModal();
    }
    // The "Row" elements of the saved file.
    int Saved_Rows() {
        TXmlDocument doc;
        doc.LoadFromFile(Path_DMX_Default_Values);
        return doc.DocumentElement().ChildCount();
    }
    std::string Rows(int count) {
        std::string s = "<DMX_Default_Values>";
        for (int i = 1; i <= count; ++i)
            s += "<Row Default_Value='" + std::to_string(i % 256) + "' Mnemonic='c" + std::to_string(i) + "'/>";
        return s + "</DMX_Default_Values>";
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    std::unique_ptr<TFDMXDefVal> w;
    int model_ = Model_Code;
};

}  // namespace

TEST_F(DMX, TheChannelCountFollowsTheGeneralParametersWithinAUniverse) {
    const struct {
        const char* nbIn;  // nullptr: no "ParGen.xml"
        int channels;
    } cases[] = {{nullptr, 512}, {"100", 100}, {"100000", 512}, {"abc", 512}, {"-5", 0}, {"0x10", 16}};
    for (const auto& c : cases) {
        if (c.nbIn) {
            Channels(c.nbIn);
        } else {
            std::filesystem::remove(dir.file("ParGen.xml"));
        }
        EXPECT_EQ(Show([&](TExColumnGrid* g) {
                      EXPECT_EQ(g->RowCount(), c.channels + 1);
                      if (c.channels > 0) {
                          EXPECT_EQ(g->GetCellEx(0, c.channels), IntToStr(c.channels));
                      }
                  }),
                  mrOk)
            << (c.nbIn ? c.nbIn : "none");
        EXPECT_EQ(Saved_Rows(), c.channels);
    }
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(DMX, TheFileIsReadNoFurtherThanTheChannels) {
    dir.write("DMX_Default_Values.xml", Rows(600));
    Show([](TExColumnGrid* g) {
        EXPECT_EQ(g->GetCellEx(Default_Value, 512), u"0");  // 512 % 256
        EXPECT_EQ(g->GetCellEx(Mnemonic, 512), u"c512");
        EXPECT_EQ(g->GetCellEx(Default_Value, 511), u"255");
    });
    EXPECT_EQ(Saved_Rows(), 512);

    // Fewer rows than channels: the rest "0"; a missing value "0", an empty
    // one stays empty and fails OK.
    Channels("6");
    dir.write("DMX_Default_Values.xml",
              "<X><Row Default_Value='7' Mnemonic='a'/><y Mnemonic='b'/><Row Default_Value='' Mnemonic=''/></X>");
    EXPECT_EQ(Show([](TExColumnGrid* g) {
                  const char16_t* want[][2] = {{u"7", u"a"}, {u"0", u"b"}, {u"", u""}, {u"0", u""}, {u"0", u""},
                                               {u"0", u""}};
                  for (int r = 1; r <= 6; ++r) {
                      EXPECT_EQ(g->GetCellEx(Default_Value, r), want[r - 1][0]) << r;
                      EXPECT_EQ(g->GetCellEx(Mnemonic, r), want[r - 1][1]) << r;
                  }
              }),
              mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Error row 3!! Default Value must be between 0 and 255");
}

TEST_F(DMX, EveryChannelNeedsAValueFrom0To255) {
    const struct {
        const char* value;
        bool ok;
    } cases[] = {{"0", true}, {"255", true}, {"$FF", true}, {"256", false}, {"-1", false}, {"", false},
                 {" 5", true}, {"5 ", false}, {"1.5", false}};
    for (const auto& c : cases) {
        StandInGrid grid(5, 3);
        for (int r = 1; r <= 4; ++r) grid.SetCellEx(Default_Value, r, u"1");
        grid.SetCellEx(Default_Value, 4, S(c.value));
        dialogs.Shown.clear();
        EXPECT_EQ(DMX_Controllo_dati(grid), c.ok) << c.value;
        if (!c.ok) {
            ASSERT_EQ(dialogs.Shown.size(), 1u);
            EXPECT_EQ(dialogs.Shown[0].Text, u"Error row 4!! Default Value must be between 0 and 255");
        }
    }
}

TEST_F(DMX, EditsAreSavedAsTheGoldenFileAndCancelLeavesIt) {
    EXPECT_EQ(w->ClientWidth(), 475);
    EXPECT_EQ(w->ClientHeight(), 337);
    EXPECT_EQ(w->ACG_DMX_Def_Val->GetCellEx(0, 0), u"Channel");
    Channels("4");
    EXPECT_EQ(Show([](TExColumnGrid* g) {
                  g->SetCellEx(Default_Value, 1, u"255");
                  g->SetCellEx(Mnemonic, 1, u"dimmer");
                  g->SetCellEx(Default_Value, 3, u"x10");
                  g->SetCellEx(Mnemonic, 4, u" pan ");
              }),
              mrOk);
    EXPECT_EQ(dir.read("DMX_Default_Values.xml"), Golden("DMX_Default_Values.xml"));
    EXPECT_EQ(Show([](TExColumnGrid* g) {
                  EXPECT_EQ(g->GetCellEx(Default_Value, 3), u"x10");
                  g->SetCellEx(Default_Value, 2, u"9");
              },
                   false),
              mrCancel);
    EXPECT_EQ(dir.read("DMX_Default_Values.xml"), Golden("DMX_Default_Values.xml"));
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(DMX, AFileThatCannotBeReadIsShownAndOkAsksBeforeReplacingIt) {
    const std::string broken = "<DMX_Default_Values><Row Default_Value='1'";
    dir.write("DMX_Default_Values.xml", broken);
    Channels("3");
    EXPECT_EQ(Show([&](TExColumnGrid* g) {
                  ASSERT_EQ(dialogs.Shown.size(), 1u);
                  dialogs.AnswerBox(IDNO);
                  EXPECT_EQ(g->RowCount(), 4);
                  EXPECT_EQ(g->GetCellEx(Default_Value, 1), u"0");
              }),
              mrCancel);
    EXPECT_EQ(dialogs.Shown.size(), 2u);  // the question, answered No
    EXPECT_EQ(dir.read("DMX_Default_Values.xml"), broken);
}

TEST_F(DMX, RenderedGridShowsTheActiveCellAndTheValueColumnColours) {
    Channels("8");
    TBitmap bmp;
    Show(
        [&](TExColumnGrid* g) {
            g->SetCol(Mnemonic);
            g->SetRow(2);
            RenderControlToBitmap(g, bmp);
        },
        false);
    const int row_h = w->ACG_DMX_Def_Val->RowHeights(1);
    const struct {
        int x, y;
        TColor rgb;  // #RRGGBB
        const char* what;
    } pixels[] = {
        {100 + 100 + 6, 2 * row_h + 6, 0xB6CAEA, "active cell"},
        {100 + 6, 1 * row_h + 6, 0xE0FAFE, "Default Value, row 1"},
        {100 + 6, 2 * row_h + 6, 0xE0FAFE, "Default Value, row 2"},
    };
    for (const auto& p : pixels) {
        const TColor want = RGB((p.rgb >> 16) & 0xFF, (p.rgb >> 8) & 0xFF, p.rgb & 0xFF);
        EXPECT_EQ(ColorToRGB(bmp.Canvas().Pixels(p.x, p.y)), want) << p.what;
    }
}
