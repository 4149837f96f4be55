#include "core/Cp1252.h"
#include "core/Numeric.h"
#include "core/QtText.h"

#include <gtest/gtest.h>
#include <iconv.h>

using namespace tavrel;

TEST(NumericRule, NumberAtTheStartOfTheText) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"", 0},     {"abc", 0},     {"12", 12},      {" 12", 12},      {"-5", -5},
                          {"+3", 3},   {"51.5", 51.5}, {"40.7N", 40.7}, {"-29.7", -29.7}, {"1,200", 1},
                          {".5", 0.5}, {"-", 0},       {"7.", 7}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(numberValue(c.text), c.value) << '"' << c.text << '"';
    // Whether there was a number at all, where numberValue gives 0 either way.
    for (const char* none : {"", "abc", "-", ".", " CET"})
        EXPECT_FALSE(holdsNumber(none)) << '"' << none << '"';
    for (const char* some : {"0", " -0.0", "+3", ".5h"})
        EXPECT_TRUE(holdsNumber(some)) << '"' << some << '"';
}

TEST(NumericRule, WholeNumbersRoundHalfToEvenAndStayInRange) {
    for (const auto& [text, value] :
         {std::pair{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"99999", 32767}, {"-99999", -32768}})
        EXPECT_EQ(wholeNumber16(text), value) << text;
    EXPECT_EQ(wholeNumber32("3000"), 3000);
    EXPECT_EQ(wholeNumber32(""), 0);
}

// Against the C library's own table of the code page; the five codes it leaves undefined pass
// through as themselves.
TEST(Cp1252, EveryByteIsTheCodePagesCharacterAndBack) {
    const iconv_t cd = iconv_open("UTF-32LE", "CP1252");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        char32_t out = 0;
        char* from = &in;
        char* to = reinterpret_cast<char*>(&out);
        size_t inLeft = 1, outLeft = sizeof out;
        const bool defined = iconv(cd, &from, &inLeft, &to, &outLeft) != static_cast<size_t>(-1);
        EXPECT_EQ(cp1252ToUnicode(static_cast<unsigned char>(b)), defined ? out : char32_t(b)) << b;
        EXPECT_EQ(unicodeToCp1252(cp1252ToUnicode(static_cast<unsigned char>(b))), b) << b;
    }
    iconv_close(cd);
    EXPECT_EQ(unicodeToCp1252(U'\u4E2D'), -1);
}

TEST(Cp1252, QStringEdgeRoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(toBytes(toQString(all)), all);
    EXPECT_EQ(toBytes(QString::fromUtf16(u"\u20AC\u4E2D")), std::string("\x80?"));
}

TEST(Cp1252, LettersOutsideTheSetBecomeTheirClosestLetter) {
    struct Case {
        const char16_t* typed;
        const char* stored;
    };
    const Case cases[] = {
        {u"\u0141ukasz", "Lukasz"},                // Ł
        {u"G\u0151z\u0171", "G\xF6z\xFC"},         // ő ű take the set's ö ü
        {u"Do\u011Fan \u015Eahin", "Dogan Sahin"}, // ğ Ş
        {u"\u0160ime \u017D", "\x8Aime \x8E"},     // Š Ž are in the set
        {u"\u042E\u0440\u0438\u0439 \u0416", "Yuriy Zh"},
        {u"\u0391\u03B8\u03AE\u03BD\u03B1", "Athina"},
        {u"\u038F \u01D5\u01D6", "O \xDC\xFC"}, // Greek with an accent, pinyin
        {u"\u03AC\u03AD\u03AE\u03AF\u03CC\u03CD\u03CE", "aeiioyo"},
        {u"\u4E2D\U0001F600", "??"}, // none: one '?' for each character, also outside the BMP
    };
    for (const Case& c : cases)
        EXPECT_EQ(toBytes(QString::fromUtf16(c.typed)), c.stored)
            << QString::fromUtf16(c.typed).toStdString();
}
