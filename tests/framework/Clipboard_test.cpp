#include "framework/Clipboard.h"

#include <gtest/gtest.h>

// The off-screen platform the tests run on keeps a clipboard in the process.
TEST(Clipboard, TextGoesInAndComesBackWhole) {
    const String text = Utf8ToString("Größe Ω\r\nsecond line");
    Clipboard().SetAsText(text);
    EXPECT_TRUE(Clipboard().HasText());
    EXPECT_EQ(Clipboard().AsText(), text);
    Clipboard().SetAsText(u"replaced");
    EXPECT_EQ(Clipboard().AsText(), u"replaced");
}
