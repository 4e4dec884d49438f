// Line styles and the measuring rule that painting, the caret, hit-testing and wrap share.
#include <string>

#include "support/test_document.h"
#include "view/layout.h"
#include "view/measure.h"
#include "view/styles.h"

TEST_F(CoreTest, InitStylesMakesTheFiveFontsAndKeepsTheirMetrics) {
    initStyles();
    struct Expected {
        const char* face;
        int height;  // -(points x 96 / 72)
        int spacing;
    };
    const Expected expected[STYLE_COUNT] = {
        {"微软雅黑", -18, 0}, {"方正小标宋简体", -22, 11}, {"黑体", -22, 0}, {"楷体", -22, 0}, {"仿宋", -20, -2},
    };
    for (int style = 0; style < STYLE_COUNT; ++style) {
        const platform::FontRequest& request = fake().fonts.at(style);
        EXPECT_EQ(request.faceName, expected[style].face);
        EXPECT_EQ(request.height, expected[style].height);
        EXPECT_FALSE(request.bold || request.italic);
        EXPECT_EQ(lineStyles[style].height, -expected[style].height);  // the fake's metrics
        EXPECT_EQ(lineStyles[style].spacing, expected[style].spacing);
        EXPECT_EQ(lineStyles[style].colour, rgb(0xFF, 0xFF, 0xFF));
    }
}

TEST_F(CoreTest, ColumnsMeasureWithExtentsTabStopsAndStyleSpacing) {
    initStyles();
    struct Case {
        int style;
        const char* text;
        int col;
        int x;
    };
    const Case cases[] = {
        {STYLE_BODY, "abc", 3, 36},
        {STYLE_BODY, "abc", 0, 0},
        {STYLE_BODY, "abc", -4, 0},
        {STYLE_BODY, "中文", 2, 24},
        {STYLE_BODY, "中文", 1, 24},          // a column inside a character counts all of it
        {STYLE_BODY, "\xA0x", 2, 24},          // 0xA0 leads a character when measuring
        {STYLE_BODY, "a\xB0", 2, 24},          // a lead byte at the end stands alone
        {STYLE_BODY, "\tx", 1, 40},
        {STYLE_BODY, "a\tb", 3, 52},           // the tab fills up to the stop at 40
        {STYLE_BODY, "abcd\t", 5, 80},         // from 48 to the next stop
        {STYLE_TITLE1, "ab", 2, 46},           // 11 pixels after every character
        {STYLE_TITLE1, "a\t", 2, 51},          // a tab at 23 advances 17 + 11
        {STYLE_NOTE, "ab", 2, 20},
        {STYLE_NOTE, "\t\t", 2, 38},           // the second tab, at 38, advances 2 - 2
        {STYLE_BODY, "abc", 99, 36},
    };
    for (const Case& c : cases) {
        setDocument({c.text});
        setLineStyle(doc.head, c.style);
        EXPECT_EQ(columnX(doc.head, c.col), c.x) << c.text << " col " << c.col << " style " << c.style;
    }
    EXPECT_EQ(tabAdvance(10), 30);
    EXPECT_EQ(tabAdvance(40), 40);
    EXPECT_EQ(tabAdvance(-2), 2);  // never backwards
}
