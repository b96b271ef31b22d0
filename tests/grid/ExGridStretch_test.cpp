#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A shown form with a grid of 5 columns of 60 pixels and 4 rows: all fit, no bars.
struct StretchForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    StretchForm() {
        form.SetBounds(0, 0, 700, 400);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 200);
        g->SetRowCount(4);
        g->SetDefaultColWidth(60);
        form.Show();
    }
    int Others(int Except) {
        int sum = 0;
        for (int c = 0; c < g->ColCount(); ++c)
            if (c != Except) sum += g->ColWidths(c);
        return sum;
    }
};

TEST(ExGridStretch, TheStretchedColumnFillsWhatTheOthersLeave) {
    StretchForm f;
    f.g->ColumnSize().SetStretch(true);
    const int last = f.g->ColCount() - 1;
    EXPECT_EQ(f.g->ColWidths(last), f.g->ClientWidth() - f.Others(last) - 1);
    EXPECT_EQ(f.g->Columns().Items(last)->Width(), f.g->ColWidths(last));  // the column item follows

    // A width changed by hand, a new client width and a new column count stretch again.
    f.g->SetColWidths(1, 100);
    EXPECT_EQ(f.g->ColWidths(last), f.g->ClientWidth() - f.Others(last) - 1);
    f.g->SetWidth(500);
    EXPECT_EQ(f.g->ColWidths(last), f.g->ClientWidth() - f.Others(last) - 1);
    f.g->SetColCount(4);
    EXPECT_EQ(f.g->ColWidths(3), f.g->ClientWidth() - f.Others(3) - 1);

    // Another column stretches in its place.
    f.g->ColumnSize().SetStretchColumn(2);
    f.g->SetColWidths(0, 50);
    EXPECT_EQ(f.g->ColWidths(2), f.g->ClientWidth() - f.Others(2) - 1);

    // Others wider than the client area: the stretched column falls back to the default width.
    f.g->SetColWidths(1, 600);
    EXPECT_EQ(f.g->ColWidths(2), f.g->DefaultColWidth());

    // Without Stretch nothing moves.
    f.g->ColumnSize().SetStretch(false);
    f.g->SetColWidths(1, 60);
    EXPECT_EQ(f.g->ColWidths(2), f.g->DefaultColWidth());
}

TEST(ExGridStretch, AStretchColumnPastTheColumnsStretchesTheLastOnChangesAndRefusesADirectCall) {
    StretchForm f;
    f.g->ColumnSize().SetStretchColumn(9);
    EXPECT_NO_THROW(f.g->ColumnSize().SetStretch(false));
    // A direct stretch names the bad index, stretching or not, and moves nothing.
    const int before = f.g->ColWidths(4);
    try {
        f.g->ApplyColumnStretch(9);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Stretch column index out of range");
    }
    EXPECT_EQ(f.g->ColWidths(4), before);

    // Changes by the user never raise: the last column stretches.
    f.g->ColumnSize().SetStretchColumn(-1);
    f.g->ColumnSize().SetStretch(true);
    f.g->ColumnSize().SetStretchColumn(9);
    EXPECT_NO_THROW(f.g->SetColWidths(0, 80));
    EXPECT_EQ(f.g->ColWidths(4), f.g->ClientWidth() - f.Others(4) - 1);
    EXPECT_NO_THROW(f.g->SetWidth(450));
    EXPECT_EQ(f.g->ColWidths(4), f.g->ClientWidth() - f.Others(4) - 1);

    // One column takes the whole client width; no columns: nothing to stretch.
    f.g->ColumnSize().SetStretchColumn(-1);
    f.g->SetFixedCols(0);
    f.g->SetColCount(1);
    f.g->StretchRightColumn();
    EXPECT_EQ(f.g->ColWidths(0), f.g->ClientWidth());
}

// A grid following its form: the form's own handler, set before the grid was
// made, runs after the grid took the form's change of size, and the stretched
// column fits the new width even when that handler fails; its exception still
// reaches the caller. A form shrunk below the grid's size leaves the grid, and
// the next change is measured from the size the grid last followed.
TEST(ExGridStretch, AResizedFormCarriesTheGridItsHandlerAndTheStretchedColumn) {
    struct Case {
        bool sizeWithForm;
        bool handlerFails;
    };
    for (const Case k : {Case{true, false}, Case{true, true}, Case{false, true}}) {
        SCOPED_TRACE(k.sizeWithForm);
        SCOPED_TRACE(k.handlerFails);
        TForm form{nullptr};
        form.SetBounds(0, 0, 700, 400);
        TExColumnGrid* g = nullptr;
        bool armed = false;
        std::vector<int> seen;  // the grid's width each time the form's handler ran
        form.OnResize = [&](TObject* Sender) {
            if (!armed) return;
            EXPECT_EQ(Sender, &form);
            seen.push_back(g ? g->Width() : -1);
            if (k.handlerFails) throw Exception(u"the form's handler failed");
        };
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 200);
        g->SetRowCount(4);
        g->SetDefaultColWidth(60);
        g->SetSizeWithForm(k.sizeWithForm);
        g->ColumnSize().SetStretch(true);
        form.Show();
        armed = true;
        const int last = g->ColCount() - 1;
        auto others = [&] {
            int sum = 0;
            for (int c = 0; c < last; ++c) sum += g->ColWidths(c);
            return sum;
        };
        const int grown = k.sizeWithForm ? 450 : 400, kept = grown, regrown = k.sizeWithForm ? 500 : 400;
        for (auto [formWidth, gridWidth] : {std::pair{750, grown}, std::pair{300, kept}, std::pair{800, regrown}}) {
            if (k.handlerFails) EXPECT_THROW(form.SetBounds(0, 0, formWidth, 400), Exception);
            else EXPECT_NO_THROW(form.SetBounds(0, 0, formWidth, 400));
            EXPECT_EQ(g->Width(), gridWidth) << formWidth;
            EXPECT_EQ(g->Height(), 200);
            // The size followed last is what the next change is measured from.
            if (k.sizeWithForm) EXPECT_EQ(g->PrevSizeX(), formWidth == 300 ? 750 : formWidth);
            EXPECT_EQ(seen.back(), gridWidth);
            EXPECT_EQ(g->ColWidths(last), g->ClientWidth() - others() - 1) << formWidth;
        }
        delete g;
        g = nullptr;
        // The form gets its own handler back with the grid gone.
        if (k.handlerFails) EXPECT_THROW(form.SetBounds(0, 0, 720, 400), Exception);
        else form.SetBounds(0, 0, 720, 400);
        EXPECT_EQ(seen, (std::vector<int>{grown, kept, regrown, -1}));
    }
}

}  // namespace
