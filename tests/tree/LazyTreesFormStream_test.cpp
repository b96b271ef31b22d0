// The tree in form images: the header's settings and the columns come back
// as they were written; broken images change nothing; old forms' option names.

#include "tree/LazyTrees.h"

#include "framework/Forms.h"
#include "framework/Streaming.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ByteString ShortString(const std::string& Text) { return ByteString(1, char(Text.size())) + Text; }

int Occurrences(const ByteString& Image, const ByteString& Part) {
    int Count = 0;
    for (auto At = Image.find(Part); At != ByteString::npos; At = Image.find(Part, At + 1)) ++Count;
    return Count;
}

ByteString ImageOf(TComponent& Component) {
    TMemoryStream Stream;
    WriteComponentImage(Stream, Component);
    return ByteString(Stream.Bytes());
}

void ReadImage(const ByteString& Image, TComponent& Component) {
    TStringStream Stream(Image);
    ReadComponentImage(Stream, Component);
}

// A descendant class, known to form images only once registered.
class TMeterTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
};

}  // namespace

TEST(LazyTreesFormStream, TheHeaderAndItsColumnsComeBackFromTheFormImage) {
    TForm Form(nullptr);
    auto* Source = new TLazyStringTree(&Form);
    TLazyTreeColumns& Columns = Source->Header().Columns();
    const char16_t* Texts[] = {u"Z\u00E4hler", u"\u4E2D\u6587", u"Wert"};
    for (int I = 0; I < 3; ++I) {
        TLazyTreeColumn* Column = Columns.Add();
        Column->SetText(Texts[I]);
        Column->SetWidth(60 + 10 * I);
    }
    Columns[0]->SetHint(u"the meter's number");
    Columns[0]->SetAlignment(taRightJustify);
    Columns[0]->SetMinWidth(40);
    Columns[1]->SetColor(clYellow);  // no longer the tree's colour
    Columns[1]->SetTag(4711);
    Columns[2]->SetCaptionAlignment(taCenter);
    Columns[2]->SetOptions(Columns[2]->Options() + TLTColumnOptions{coUseCaptionAlignment} -
                           TLTColumnOptions{coDraggable});
    Columns[2]->SetPosition(0);
    TLTHeader& Header = Source->Header();
    Header.SetOptions(Header.Options + THeaderOptions{hoVisible, hoHotTrack});
    Header.SetHeight(25);
    Header.SetMainColumn(1);
    Header.SetSortColumn(2);
    Header.SetSortDirection(sdDescending);
    Header.SetStyle(hsPlates);
    Header.Font().SetName(u"DejaVu Sans");
    Header.Font().SetStyle({fsBold});
    Header.FixedAreaConstraints().SetMaxWidthPercent(40);
    const ByteString Image = ImageOf(*Source);

    EXPECT_EQ(Occurrences(Image, ShortString("WideText")), 3) << "every caption, as WideText";
    EXPECT_EQ(Occurrences(Image, ShortString("WideHint")), 1) << "only the hint that is there";
    EXPECT_EQ(Occurrences(Image, ShortString("Text")) + Occurrences(Image, ShortString("Hint")), 0)
        << "the caption and hint are not written twice";
    EXPECT_EQ(Occurrences(Image, ShortString("Color")), 1) << "only the column that left the tree's colour";
    EXPECT_EQ(Occurrences(Image, ShortString("CaptionAlignment")), 1);

    // Read into a tree that had a column of its own.
    TLazyStringTree Back(nullptr);
    Back.Header().Columns().Add()->SetText(u"old");
    ReadImage(Image, Back);
    TLazyTreeColumns& Read = Back.Header().Columns();
    ASSERT_EQ(Read.Count(), 3);
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Read[I]->GetText(), Texts[I]);
        EXPECT_EQ(Read[I]->Width(), 60 + 10 * I);
        EXPECT_EQ(Read[I]->Options(), Columns[I]->Options()) << I;
    }
    EXPECT_EQ(Read[0]->Hint(), u"the meter's number");
    EXPECT_EQ(Read[0]->Alignment(), taRightJustify);
    EXPECT_EQ(Read[0]->MinWidth(), 40);
    EXPECT_EQ(Read[1]->Color(), clYellow);
    EXPECT_EQ(Read[1]->Tag(), 4711);
    EXPECT_EQ(Read[2]->CaptionAlignment(), taCenter);
    EXPECT_EQ(Read.PositionToIndex(), (std::vector<TColumnIndex>{2, 0, 1}));
    TLTHeader& BackHeader = Back.Header();
    EXPECT_EQ(BackHeader.Options, Header.Options);
    EXPECT_EQ(BackHeader.Height(), 25);
    EXPECT_EQ(BackHeader.GetMainColumn(), 1);
    EXPECT_EQ(BackHeader.SortColumn, 2);
    EXPECT_EQ(BackHeader.SortDirection, sdDescending);
    EXPECT_EQ(BackHeader.Style(), hsPlates);
    EXPECT_EQ(BackHeader.Font().Name(), u"DejaVu Sans");
    EXPECT_EQ(BackHeader.Font().Style(), TFontStyles{fsBold});
    EXPECT_EQ(BackHeader.FixedAreaConstraints().MaxWidthPercent(), 40);

    // A header that takes the tree's font keeps none of its own in the image; the columns are written
    // even when there are none.
    Header.SetParentFont(true);
    Columns.Clear();
    const ByteString Plain = ImageOf(*Source);
    EXPECT_EQ(Plain.find("Font."), ByteString::npos);
    ReadImage(Plain, Back);
    EXPECT_EQ(Back.Header().Columns().Count(), 0);
    EXPECT_TRUE(Back.Header().ParentFont());

    // A descendant class is written and read once its name is registered.
    TMeterTree Meter(nullptr);
    Meter.Header().Columns().Add()->SetText(u"Meter");
    EXPECT_THROW(ImageOf(Meter), EWriteError);
    TBaseLazyTree::RegisterStreamClass(u"TMeterTree");
    TMeterTree MeterBack(nullptr);
    ReadImage(ImageOf(Meter), MeterBack);
    ASSERT_EQ(MeterBack.Header().Columns().Count(), 1);
    EXPECT_EQ(MeterBack.Header().Columns()[0]->GetText(), u"Meter");
}

TEST(LazyTreesFormStream, ABrokenColumnChangesNothingAndOldFormsOptionNamesAreRead) {
    TLazyStringTree Source(nullptr);
    Source.Header().Columns().Add()->SetText(u"Bus");
    const ByteString Image = ImageOf(Source);
    // A column property that does not exist, and a width that is no number.
    const ByteString Width = ShortString("Width");
    for (const ByteString& Bad : {ByteString(ShortString("Widht") + ByteString(1, char(vaInt8)) + '\x05'),
                                  ByteString(Width + ByteString(1, char(vaString)) + ShortString("wide"))}) {
        ByteString Damaged = Image;
        const auto At = Damaged.find(ShortString("WideText"));
        ASSERT_NE(At, ByteString::npos);
        Damaged.insert(At, Bad);
        TLazyStringTree Target(nullptr);
        Target.Header().Columns().Add()->SetText(u"kept");
        Target.Header().Columns().Add()->SetText(u"too");
        EXPECT_THROW(ReadImage(Damaged, Target), EReadError);
        ASSERT_EQ(Target.Header().Columns().Count(), 2);
        EXPECT_EQ(Target.Header().Columns()[0]->GetText(), u"kept");
    }

    // Old forms: one set of names with "vo" for "to"; the option sets are emptied first, unknown names skipped.
    const ByteString Old = "TPF0" + ShortString("TLazyStringTree") + ShortString("") + ShortString("Options") +
                           ByteString(1, char(vaSet)) + ShortString("voShowRoot") + ShortString("voMultiSelect") +
                           ShortString("voAutoSort") + ShortString("voCheckSupport") + ShortString("voNoSuchOption") +
                           ByteString(3, '\0');
    TLazyStringTree Target(nullptr);
    Target.TreeOptions().SetPaintOptions({toShowButtons, toShowTreeLines});
    ReadImage(Old, Target);
    EXPECT_EQ(Target.TreeOptions().PaintOptions(), TLTPaintOptions{toShowRoot});
    EXPECT_EQ(Target.TreeOptions().SelectionOptions(), TLTSelectionOptions{toMultiSelect});
    EXPECT_EQ(Target.TreeOptions().AutoOptions(), TLTAutoOptions{toAutoSort});
    EXPECT_EQ(Target.TreeOptions().MiscOptions(), TLTMiscOptions{toCheckSupport});
    EXPECT_EQ(Target.TreeOptions().AnimationOptions(), TLTAnimationOptions{});
    EXPECT_EQ(ImageOf(Target).find("Options"), ByteString::npos) << "never written";
}

TEST(LazyTreesFormStream, DamagedImagesAreRefusedOrReadNeverHalfway) {
    TLazyStringTree Source(nullptr);
    for (const char16_t* Text : {u"Bus", u"Meter"}) Source.Header().Columns().Add()->SetText(Text);
    Source.Header().Columns()[1]->SetPosition(0);
    Source.Header().SetOptions(Source.Header().Options + THeaderOptions{hoVisible});
    const ByteString Image = ImageOf(Source);
    // Every shortened image, and every byte changed in a few ways: a read either fails with
    // EReadError and leaves the one column in place, or succeeds with a consistent column order.
    auto Try = [](const ByteString& Damaged) {
        TLazyStringTree Target(nullptr);
        Target.Header().Columns().Add()->SetText(u"kept");
        try {
            ReadImage(Damaged, Target);
        } catch (const EReadError&) {
            ASSERT_EQ(Target.Header().Columns().Count(), 1);
            EXPECT_EQ(Target.Header().Columns()[0]->GetText(), u"kept");
            return;
        }
        const auto& Order = Target.Header().Columns().PositionToIndex();
        EXPECT_EQ(int(Order.size()), Target.Header().Columns().Count());
    };
    for (std::size_t Length = 0; Length < Image.size(); ++Length) Try(Image.substr(0, Length));
    for (std::size_t At = 4; At < Image.size(); ++At)
        for (char Change : {'\0', '\x7F', '\xFF'}) {
            ByteString Damaged = Image;
            Damaged[At] = Change;
            Try(Damaged);
        }
}
