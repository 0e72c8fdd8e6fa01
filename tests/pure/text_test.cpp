#include "common/text.h"

#include <gtest/gtest.h>

namespace {

struct NumberCase {
    const char* text;
    double number;
    int32_t integer;
};

// Full-width forms are written as their code page 936 bytes (the sources are
// compiled with GBK as execution character set).
const NumberCase kNumbers[] = {
    {"", 0, 0},
    {"abc", 0, 0},
    {"-", 0, 0},
    {".", 0, 0},
    {"4", 4, 4},
    {"  59", 59, 59},
    {"\t-1", -1, -1},
    {"+7x", 7, 7},
    {"4.5", 4.5, 4},
    {".5", 0.5, 0},
    {"5.", 5, 5},
    {"1e3", 1000, 1},
    {"1E-2", 0.01, 1},
    {"2e", 2, 2},
    {"2e+", 2, 2},
    {"-3.25e1kg", -32.5, -3},
    {"999", 999, 999},
    {"１２", 12, 12},   // full-width digits
    {"　－３", -3, -3}, // ideographic space, full-width minus
    {"４．５", 4.5, 4}, // full-width point
    {"12abc", 12, 12},
    {"x12", 0, 0},
    {"99999999999", 99999999999.0, 2147483647},
    {"-99999999999", -99999999999.0, -2147483647 - 1},
};

TEST(TextConversions, TextToNumberAndInteger) {
    for (const auto& c : kNumbers) {
        EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.number) << '"' << c.text << '"';
        EXPECT_EQ(TextToInteger(c.text), c.integer) << '"' << c.text << '"';
    }
}

TEST(TextConversions, NumberToTextHasNoPointOrLeadingZero) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{4, "4"},
                 {9, "9"},
                 {-1, "-1"},
                 {0, "0"},
                 {59, "59"},
                 {0.5, "0.5"},
                 {1316134911, "1316134911"},
                 {1.0 / 3, "0.3333333333333"},
                 {1e20, "1e+20"}};
    for (const auto& c : cases)
        EXPECT_EQ(NumberToText(c.value), c.text) << c.value;
}

TEST(TextSearch, TriesOnlyCharacterStarts) {
    // "测" is B2 E2 in code page 936; its trail byte 0xE2 followed by 0xB2 of the next
    // "测" must not be taken for a character.
    const std::string two = "测测";
    EXPECT_EQ(FindText(two, "\xE2\xB2"), std::string::npos);
    EXPECT_EQ(FindText(two, "测"), 0u);
    // 0x5C ('\') is a trail byte of "碶" (B4 5C): no match inside the character.
    EXPECT_EQ(FindText("碶", "\\"), std::string::npos);
    EXPECT_EQ(FindText("a碶\\", "\\"), 3u);
    EXPECT_EQ(FindText("'张三'", "张三'"), 1u);
    EXPECT_EQ(FindText("abc", "abcd"), std::string::npos);
}

TEST(TextSearch, EmptyFragmentOccursOnlyInNonEmptyText) {
    EXPECT_EQ(FindText("x", ""), 0u);
    EXPECT_EQ(FindText("", ""), std::string::npos);
    EXPECT_FALSE(ContainsTextIgnoringCase("", ""));
}

TEST(TextSearch, TrailingLoneLeadByteIsSteppedOver) {
    // The text ends in a lead byte without its trail: the search must stop at the end.
    const char buf[] = {'a', 'b', static_cast<char>(0xB2), '\0', 'b'};
    std::string_view text(buf, 3);
    EXPECT_EQ(FindText(text, "b"), 1u);
    EXPECT_EQ(FindText(text, "x"), std::string::npos);
    EXPECT_EQ(FindText(text, "\xB2"), 2u);
    EXPECT_EQ(FoldAsciiLower(text), std::string("ab\xB2"));
}

TEST(TextSearch, FoldsOnlyAsciiOutsideDoubleByteCharacters) {
    // "Ａ" is A3 C1; "乙" is D2 D2; a trail byte in A..Z (0x41..0x5A) stays: "丁" is B6 A1,
    // "侣" is C2 C0... use a character with trail 0x41: "丂" is 81 41.
    EXPECT_EQ(FoldAsciiLower("QQ张Zx"), "qq张zx");
    EXPECT_EQ(FoldAsciiLower("\x81\x41"
                             "A"),
              "\x81\x41"
              "a");
    EXPECT_TRUE(ContainsTextIgnoringCase("Chat with BOB", "bob"));
    EXPECT_FALSE(ContainsTextIgnoringCase("\x81\x41", "a"));
    EXPECT_TRUE(ContainsText("Chrome.exe", "Chrome"));
    EXPECT_FALSE(ContainsText("chrome.exe", "Chrome"));
}

TEST(TextConversions, NarrowsFullWidthForms) {
    EXPECT_EQ(NarrowFullWidth("ＡＢ１"), "AB1");
    EXPECT_EQ(NarrowFullWidth("信息"), "信息");
    EXPECT_EQ(NarrowFullWidth("\xA3"), "\xA3"); // lone lead byte kept
}

} // namespace
