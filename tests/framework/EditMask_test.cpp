#include "framework/EditMask.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string U8(const String& s) { return StringToUtf8(s); }
}  // namespace

// Typing a sequence into an empty entry: which characters are taken, what is
// shown, what is stored, and the first position still missing.
TEST(EditMask, TypingShowingAndStoring) {
    struct Case {
        const char* mask;
        const char* typed;
        const char* taken;  // y/n for each typed character
        const char* shown;
        const char* stored;
        int invalid;  // FirstInvalid, -1 complete
    };
    const Case cases[] = {
        {"(000) 000-0000;1;_", "5551234567", "yyyyyyyyyy", "(555) 123-4567", "(555) 123-4567", -1},
        // Typing the literals is taken as moving past them.
        {"(000) 000-0000;1;_", "(555) 123-4567", "yyyyyyyyyyyyyy", "(555) 123-4567", "(555) 123-4567", -1},
        {"(000) 000-0000;1;_", "555x", "yyyn", "(555) ___-____", "(555)    -    ", 6},
        {"(000) 000-0000;0;_", "5551234", "yyyyyyy", "(555) 123-4___", "5551234", 11},
        {"LL-999;0; ", "ab12", "yyyy", "ab-12 ", "ab12", -1},
        {"LL-999;0; ", "a1b", "yny", "ab-   ", "ab", -1},
        {"LL-999;0; ", "a", "y", "a -   ", "a", 1},
        {"<LLL", "AbC", "yyy", "abc", "abc", -1},
        {">l<ll", "aBC", "yyy", "Abc", "Abc", -1},
        {">L<>L", "ab", "yy", "Ab", "Ab", -1},
        // Escaped mask characters are literals; a typed literal moves past it.
        {"\\L\\0-00;1;_", "L12", "yyy", "L0-12", "L0-12", -1},
        {"\\L\\0-00;0;_", "12", "yy", "L0-12", "12", -1},
        {"#99", "-1x2", "yyny", "-12", "-12", -1},
        {"#99", "+", "y", "+__", "+  ", -1},
        {"AaCc", "1a%", "yyy", "1a%_", "1a% ", -1},
        {"AaCc", "%", "n", "____", "    ", 0},
        {"99:99", "1234", "yyyy", "12:34", "12:34", -1},
        {"00/00;0;*", "1", "y", "1*/**", "1", 1},
        // With "!" the stored text loses its leading blanks instead.
        {"!999;0;_", "", "", "___", "", -1},
        {"999;0;_", "", "", "___", "", -1},
        {"000", "1234", "yyyn", "123", "123", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " <- " + c.typed);
        const TEditMask m(Utf8ToString(c.mask));
        String shown = m.EmptyText();
        int pos = 0;
        std::string taken;
        for (const Char ch : Utf8ToString(c.typed)) taken += m.InputChar(shown, pos, ch) ? 'y' : 'n';
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(U8(shown), c.shown);
        EXPECT_EQ(U8(m.StoredText(shown)), c.stored);
        EXPECT_EQ(m.FirstInvalid(shown), c.invalid);
        // The stored text shows again as it was.
        EXPECT_EQ(U8(m.FormatText(m.StoredText(shown))), c.shown);
    }
}

TEST(EditMask, FieldsBlanksAndFormatting) {
    const TEditMask phone(u"(000) 000-0000;1;_");
    EXPECT_TRUE(phone.SaveLiterals());
    EXPECT_EQ(phone.Blank(), u'_');
    EXPECT_EQ(phone.Length(), 14);
    EXPECT_EQ(U8(phone.EmptyText()), "(___) ___-____");
    // A value stored without its literals is taken as well.
    EXPECT_EQ(U8(phone.FormatText(u"5551234567")), "(555) 123-4567");
    EXPECT_EQ(U8(phone.FormatText(u"(555) 12")), "(555) 12_-____");
    // No fields: literals are stored and the blank is "_".
    const TEditMask plain(u"00-00");
    EXPECT_TRUE(plain.SaveLiterals());
    EXPECT_EQ(U8(plain.EmptyText()), "__-__");
    const TEditMask spaced(u"LL-999;0; ");
    EXPECT_FALSE(spaced.SaveLiterals());
    EXPECT_EQ(U8(spaced.FormatText(u"ab12")), "ab-12 ");
    EXPECT_TRUE(TEditMask(u"").Empty());
    // Navigation skips literals.
    EXPECT_EQ(phone.NextInput(4), 6);
    EXPECT_EQ(phone.PrevInput(6), 3);
    EXPECT_EQ(phone.NextInput(14), -1);
    EXPECT_EQ(phone.PrevInput(1), -1);
    // Deleting blanks the input positions; literals stay.
    String shown = u"(555) 123-4567";
    phone.Clear(shown, 3, 6);
    EXPECT_EQ(U8(shown), "(55_) ___-4567");
}

TEST(EditMask, AnIncompleteRequiredEntryIsRefused) {
    const TEditMask phone(u"(000) 000-0000;1;_");
    EXPECT_NO_THROW(phone.Validate(u"(555) 123-4567"));
    try {
        phone.Validate(u"(555) 123-45__");
        FAIL() << "no exception";
    } catch (const EDBEditError& e) {
        EXPECT_EQ(U8(e.Message()), "Invalid input value. Use escape key to abandon changes");
    }
    // Optional positions may stay blank; a character a position does not
    // take (a value set from outside) is invalid as well.
    const TEditMask code(u"LL-999;0; ");
    EXPECT_NO_THROW(code.Validate(u"ab-   "));
    EXPECT_EQ(code.FirstInvalid(u"a1-   "), 1);
    EXPECT_THROW(code.Validate(u"  -   "), EDBEditError);
}
