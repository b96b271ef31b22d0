#include "app/Wizard_Layout.h"

#include "Wizard_Table.h"

#include <gtest/gtest.h>

#include <map>

namespace {

const std::map<int, int> Step_Counts = {
    {0, 6},  {1, 5},  {2, 4},  {3, 4},  {4, 5},  {5, 4},  {6, 6},  {7, 6},  {8, 9},  {9, 4},
    {10, 5}, {11, 5}, {12, 4}, {13, 4}, {14, 6}, {15, 7}, {16, 5}, {17, 5}, {18, 6}, {19, 6},
    {20, 6}, {21, 6}, {22, 5}, {23, 4}, {24, 7}, {25, 5}, {26, 4}, {27, 6}, {28, 6}, {29, 5},
    {30, 6}, {31, 4}, {32, 7}, {33, 10}, {34, 7}, {35, 5}, {1018, 6}, {2004, 3},
};

std::string Encode(int model) {
    std::string rows[11];
    for (const TWizard_Place& p : Wizard_Places(model)) {
        std::string name = StringToUtf8(p.Button).substr(4);
        EXPECT_EQ(p.Column == 2, !rows[p.Row].empty()) << model << " " << name;
        rows[p.Row] += (p.Column == 2 ? "+" : "") + name;
    }
    std::string s;
    for (int r = 1; r <= 10; ++r)
        if (!rows[r].empty())
            s += (s.empty() ? "" : ";") + rows[r];
    return s;
}

}  // namespace

TEST(WizardLayout, RowsPerModel) {
    ASSERT_EQ(Rows_From_3.size(), 38u);
    for (const auto& [model, rows] : Rows_From_3) {
        const std::string head = model == 2004 ? "Open;Prm_Gen" : "New+Open;Prm_Gen";
        EXPECT_EQ(Encode(model), head + (rows.empty() ? "" : ";" + rows) + ";CreateBin") << model;
        EXPECT_EQ(Wizard_Step_Count(model), Step_Counts.at(model)) << model;
    }
}

TEST(WizardLayout, WindowHeightFollowsTheLastStep) {
    EXPECT_EQ(Main_Client_Height(2004), 352);
    EXPECT_EQ(Main_Client_Height(33), 660);
    EXPECT_EQ(Wizard_Row_Top(10), 508);
    EXPECT_EQ(Wizard_Step_Label_Top(1), 128);
}
