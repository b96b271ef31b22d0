#include "tree/LazyTrees.ClipboardFormats.h"

#include "tree/LazyTrees.h"

#include <gtest/gtest.h>

namespace {

// A descendant with formats of its own, as the string tree has.
class TTextTree : public TBaseLazyTree {
public:
    using TBaseLazyTree::TBaseLazyTree;
};

TEST(LazyTreeClipboardFormats, RegistryOffersByClassAndPriority) {
    TBaseLazyTree Plain(nullptr);
    TTextTree Text(nullptr);
    static bool Registered = false;
    if (!Registered) {
        Registered = true;
        TLazyTreeClass TextClass = LazyTreeClassOf<TTextTree>("TTextTree");
        RegisterTreeFormat(u"CSV", TextClass, 90);
        RegisterTreeFormat(CF_UNICODETEXT, TextClass, 95);
        RegisterTreeFormat(CF_TEXT, TextClass, 100);
        RegisterTreeFormat(CLIPFORMAT(0), TextClass, 110);  // not a standard format: nothing
        RegisterTreeFormat(u"Twice", TextClass, 120);
        RegisterTreeFormat(u"twice", BaseLazyTreeClass(), 30);
    }
    CLIPFORMAT Own = 0;
    EXPECT_EQ(TClipboardFormatList::FindFormat(u"lazy tree data", Own), BaseLazyTreeClass());
    EXPECT_GE(Own, 0xC000);
    String Name;
    EXPECT_NE(TClipboardFormatList::FindFormat(CF_UNICODETEXT, Name), nullptr);
    EXPECT_EQ(Name, u"Unicode text");
    EXPECT_EQ(TClipboardFormatList::FindFormat(u"TWICE")->Priority, 120u);

    EXPECT_EQ(Plain.ClipboardFormats().Add(u"CSV"), -1);
    EXPECT_GE(Text.ClipboardFormats().Add(u"csv"), 0);
    EXPECT_GE(Text.ClipboardFormats().Add(u"Lazy Tree Data"), 0);
    std::vector<FORMATETC> Offered = TClipboardFormatList::EnumerateFormats(&Text, &Text.ClipboardFormats());
    ASSERT_EQ(Offered.size(), 2u);
    EXPECT_EQ(Offered[0].cfFormat, Own);  // priority 50 before 90
    TClipboardFormats Empty(&Plain);
    EXPECT_TRUE(TClipboardFormatList::EnumerateFormats(&Plain, &Empty).empty());
    TStringList All;
    TClipboardFormatList::EnumerateFormats(&Plain, All);
    EXPECT_EQ(All.Count(), 2);  // "twice" and "Lazy Tree Data"
}

}  // namespace
