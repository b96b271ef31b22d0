#include "framework/Printers.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int PageObjects(const std::string& pdf) {
    // "/Type /Page" objects, not the "/Type /Pages" tree.
    std::regex page(R"(/Type\s*/Page(?![a-zA-Z]))");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST(Printers, TwoPagePdfHasTwoPages) {
    TempDir tmp;
    TPrinter p;
    p.SetOutputFileName(S(tmp.file("out.pdf")));
    p.SetTitle(S("Grid"));
    EXPECT_THROW(p.Canvas(), EInvalidOperation);
    p.BeginDoc();
    EXPECT_TRUE(p.Printing());
    EXPECT_EQ(p.XResolution(), 300);
    EXPECT_EQ(p.PageWidth(), 2480);  // A4 portrait at 300 pixels per inch
    EXPECT_EQ(p.PageHeight(), 3508);
    EXPECT_THROW(p.BeginDoc(), EInvalidOperation);
    TCanvas& c = p.Canvas();
    EXPECT_EQ(c.Font().Height(), -42);  // 10 points at 300 pixels per inch
    c.TextOut(200, 200, S("Page one"));
    c.Rectangle(100, 100, 2380, 3408);
    p.NewPage();
    EXPECT_EQ(p.PageNumber(), 2);
    p.Canvas().TextOut(200, 200, S("Page two"));
    p.EndDoc();
    EXPECT_FALSE(p.Printing());
    const std::string pdf = ReadAll(tmp.file("out.pdf"));
    ASSERT_GT(pdf.size(), 100u);
    EXPECT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    EXPECT_EQ(PageObjects(pdf), 2);
}

TEST(Printers, AbortLeavesNoFileAndLandscapeTurnsThePage) {
    TempDir tmp;
    TPrinter p;
    p.SetOrientation(poLandscape);
    EXPECT_EQ(p.PageWidth(), 3508);
    p.SetOutputFileName(S(tmp.file("gone.pdf")));
    p.BeginDoc();
    EXPECT_THROW(p.SetOrientation(poPortrait), EInvalidOperation);
    p.Canvas().TextOut(10, 10, S("x"));
    p.Abort();
    EXPECT_TRUE(p.Aborted());
    EXPECT_FALSE(std::ifstream(tmp.file("gone.pdf")).good());
    TPrinter none;
    EXPECT_THROW(none.BeginDoc(), EInvalidOperation);  // neither a file nor a printer
}

}  // namespace
