// The shape of the code tables: slips in typing them (a range that overlaps
// its neighbour, a missing text, a gap in a table that must cover every
// code) show here; what each row means is checked through the decoder.
#include "mbus/MBusTables.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int Text_Count(const TMBus_Code_Range& r) {
    int n = 0;
    while (n < MBus_Max_Texts && !r.Texts[n].empty()) ++n;
    return n;
}

struct TNamed_Table {
    const char* Name;
    std::span<const TMBus_Code_Range> Rows;
    bool Covers_Every_Code;
};

}  // namespace

TEST(MBusTables, CodeRangesAreOrderedDisjointAndCarryOneTextOrOnePerCode) {
    const TNamed_Table tables[] = {{"primary VIF", MBus_Primary_VIFs, true},
                                   {"0xFD extension", MBus_FD_Extensions, true},
                                   {"0xFB extension", MBus_FB_Extensions, false},
                                   {"VIFE", MBus_VIFEs, true}};
    for (const TNamed_Table& t : tables) {
        int next = 0;
        for (const TMBus_Code_Range& r : t.Rows) {
            const std::string where = std::string(t.Name) + " row " + std::to_string(r.First);
            EXPECT_LE(r.First, r.Last) << where;
            EXPECT_LE(r.Last, 0x7F) << where;
            if (t.Covers_Every_Code) {
                EXPECT_EQ(r.First, next) << where << ": gap or overlap before it";
            } else {
                EXPECT_GE(r.First, next) << where << ": overlaps the row before";
            }
            next = r.Last + 1;
            const int texts = Text_Count(r);
            const bool silent = r.Kind == TMBus_Code_Kind::Time_Point || r.Kind == TMBus_Code_Kind::Phase;
            if (silent) {
                EXPECT_EQ(texts, 0) << where;
            } else if (texts > 1) {
                EXPECT_EQ(texts, r.Last - r.First + 1) << where << ": one text per code";
            }
            for (int i = texts; i < MBus_Max_Texts; ++i) EXPECT_TRUE(r.Texts[i].empty()) << where;
            if (r.Stepped) {
                EXPECT_GT(texts, 1) << where;
            }
            if (r.Scale.Scaled) {
                EXPECT_TRUE(r.Scale.Mask == 0 || (r.Last - r.First) == r.Scale.Mask) << where;
            }
        }
        if (t.Covers_Every_Code) {
            EXPECT_EQ(next, 0x80) << t.Name;
        }
    }
}

TEST(MBusTables, EveryLVARFallsInExactlyOneRange) {
    int next = 0;
    for (const TMBus_LVAR_Range& r : MBus_LVAR_Ranges) {
        EXPECT_EQ(r.First, next);
        next = r.Last + 1;
        // Every length fits the decoder's work area of 256 bytes.
        if (!r.Reserved()) {
            EXPECT_GE(r.Length(r.First), 0) << int(r.First);
            EXPECT_LE(r.Length(r.Last), 256) << int(r.Last);
        }
    }
    EXPECT_EQ(next, 0x100);
    for (int lvar = 0; lvar < 0x100; ++lvar) {
        const TMBus_LVAR_Range& r = Find_LVAR_Range(static_cast<Byte>(lvar));
        EXPECT_TRUE(lvar >= r.First && lvar <= r.Last) << lvar;
    }
}

TEST(MBusTables, MediaAreListedOnceInRisingOrder) {
    int previous = 0;
    for (const TMBus_Medium& m : MBus_Media) {
        EXPECT_GT(m.Code, previous);
        EXPECT_FALSE(m.Name.empty());
        previous = m.Code;
    }
}

TEST(MBusTables, FixedUnitsCoverEverySixBitCode) {
    int next = 0;
    for (const TMBus_Fixed_Unit& u : MBus_Fixed_Units) {
        EXPECT_EQ(u.First, next);
        EXPECT_FALSE(u.Description.empty());
        EXPECT_TRUE(u.Scaled || u.Exponent_Of(u.Last) == 0) << int(u.First);
        next = u.Last + 1;
    }
    EXPECT_EQ(next, 0x40);
}
