#pragma once
// A small stand-in for the column grid of the table editors, for the tests of
// the row helpers and the editors' rules.

#include "framework/System.h"
#include "shell/UComon.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// Cells in a map, the current cell, and the check-box columns.
class StandInGrid : public IRowGrid {
public:
    StandInGrid(int rows, int cols, int hidden = 0) : rows_(rows), cols_(cols), hidden_(hidden) {}
    int GetRowCount() const override { return rows_; }
    int GetColCount() const override { return cols_; }
    int NumHiddenColumns() const override { return hidden_; }
    String GetCellEx(int col, int row) const override {
        auto it = cells_.find({col, row});
        return it == cells_.end() ? String() : it->second;
    }
    void SetCellEx(int col, int row, const String& text) override { cells_[{col, row}] = text; }
    int GetRowEx() const override { return row_; }
    void SetRowEx(int row) override { row_ = row; }
    int GetCol() const override { return col_; }
    void SetCol(int col) override { col_ = col; }
    void AutoSizeCol(int col, int padding) override { autoSized.push_back({col, padding}); }
    bool IsDataCheckBoxColumn(int col) const override { return checkBoxCols.count(col) > 0; }

    // "a|b|c": the cells of columns 1.. of a row.
    void SetRow(int row, const std::string& cells) {
        int c = 1;
        std::string cur;
        for (char ch : cells + "|") {
            if (ch == '|') {
                SetCellEx(c++, row, S(cur));
                cur.clear();
            } else {
                cur += ch;
            }
        }
    }
    std::string Row(int row) const {
        std::string s;
        for (int c = 1; c < cols_ + hidden_; ++c)
            s += (c > 1 ? "|" : "") + StringToUtf8(GetCellEx(c, row));
        return s;
    }

    std::set<int> checkBoxCols;
    std::vector<std::pair<int, int>> autoSized;

private:
    int rows_, cols_, hidden_;
    int row_ = 1, col_ = 1;
    std::map<std::pair<int, int>, String> cells_;
};
