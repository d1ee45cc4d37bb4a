#include "markup/Gradient.h"

#include "markup/HTMLabel.h"
#include "markup/TColor.h"

#include <QImage>

#include <cmath>
#include <gtest/gtest.h>

namespace {

// Row colour worked out independently: bands overlap by a row, the later band wins.
QRgb expectedRow(int row, int width, int height, QRgb start, QRgb end)
{
    const int n = std::max(1, width / 4);
    const double h = double(height) / n;
    int band = 0;
    for (int i = 0; i < n; ++i)
        if (std::nearbyint(i * h) <= row)
            band = i;
    const auto part = [&](int s, int e) {
        return s + int(std::nearbyint(double(band) * (e - s) / n));
    };
    return qRgb(part(qRed(start), qRed(end)), part(qGreen(start), qGreen(end)),
                part(qBlue(start), qBlue(end)));
}

QImage labelImage(int width, int height, QRgb from, QRgb to)
{
    THTMLabel label;
    label.resize(width, height);
    label.setColor(from);
    label.setColorTo(to);
    return label.render();
}

TEST(Gradient, LabelBandsCountFromTheWidth)
{
    struct Case
    {
        int width, height;
        qsizetype bands;
        int extent;
    };
    for (const Case c : {Case{628, 224, 157, 2}, Case{628, 69, 157, 1}, Case{632, 41, 158, 1},
                         Case{3, 50, 1, 51}, Case{0, 10, 1, 11}, Case{8, 9, 2, 5}}) {
        SCOPED_TRACE(c.width);
        const auto bands = Gradient::labelBands(c.width, c.height, 0, 0xFFFFFF);
        EXPECT_EQ(bands.size(), c.bands);
        EXPECT_EQ(bands.first().extent, c.extent);
        EXPECT_EQ(bands.first().from, 0);
    }
}

TEST(Gradient, ButtonBandsAreSixteenRoundedRowsPlusOne)
{
    const auto bands = Gradient::buttonBands(31, qRgb(255, 255, 255), qRgb(0xC4, 0xBF, 0xB3));
    ASSERT_EQ(bands.size(), 16);
    // h = 31 / 16 = 1.9375: each band is 3 rows, starting at round(i * h).
    const int tops[16] = {0, 2, 4, 6, 8, 10, 12, 14, 16, 17, 19, 21, 23, 25, 27, 29};
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bands[i].from, tops[i]);
        EXPECT_EQ(bands[i].extent, 3);
    }
    EXPECT_EQ(bands.first().color, qRgb(255, 255, 255));
    // 15/16 of the way: 255 - round(15 * 59 / 16) = 255 - 55 (55.3) = 200.
    EXPECT_EQ(qRed(bands.last().color), 200);
}

TEST(Gradient, HTMLabel6PaintsEveryRowByItsBand)
{
    const QRgb top = tcolor(15330541);
    const QRgb bottom = tcolor(13621466);
    const QImage image = labelImage(628, 224, top, bottom);
    for (int row = 0; row < 224; ++row) {
        SCOPED_TRACE(row);
        const QRgb expected = expectedRow(row, 628, 224, top, bottom);
        ASSERT_EQ(image.pixel(0, row) & 0xFFFFFF, expected & 0xFFFFFF);
        ASSERT_EQ(image.pixel(627, row) & 0xFFFFFF, expected & 0xFFFFFF);
    }
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, top & 0xFFFFFF);
    // The bottom row is band 156 of 157; for these colours 156/157 of the way
    // rounds onto 13621466 in all three parts.
    EXPECT_EQ(image.pixel(300, 223) & 0xFFFFFF, 0xDAD8CFu);
    // Band 155 sits two rows higher and shares that colour after rounding.
    EXPECT_EQ(image.pixel(300, 221) & 0xFFFFFF, 0xDAD8CFu);
    EXPECT_NE(image.pixel(300, 200) & 0xFFFFFF, 0xDAD8CFu);
}

TEST(Gradient, LastBandStopsOneStepShortOfTheEndColour)
{
    // The progress label's colours: 156/157 of the way is visibly short of #033893.
    // With h = 1 the bottom row belongs to band 156.
    const QImage image = labelImage(628, 157, tcolor(14859414), tcolor(9648131));
    EXPECT_EQ(image.pixel(10, 0) & 0xFFFFFF, 0x96BCE2u);
    EXPECT_EQ(image.pixel(10, 156) & 0xFFFFFF, 0x043994u);
}

TEST(Gradient, PlainColourWithoutColorTo)
{
    THTMLabel label;
    label.resize(40, 20);
    label.setColor(qRgb(1, 2, 3));
    const QImage image = label.render();
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0x010203u);
    EXPECT_EQ(image.pixel(39, 19) & 0xFFFFFF, 0x010203u);
}

TEST(Gradient, BevelsAreDrawnOverTheGradient)
{
    THTMLabel label;
    label.resize(40, 20);
    label.setColor(qRgb(10, 10, 10));
    label.setBevels(BevelKind::Lowered, BevelKind::Raised);
    const QImage image = label.render();
    const QRgb shadow = qRgb(0xA0, 0xA0, 0xA0);
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(image.pixel(5, 0), shadow); // outer lowered: shadow on top
    EXPECT_EQ(image.pixel(0, 5), shadow);
    EXPECT_EQ(image.pixel(5, 19), white); // highlight at the bottom
    EXPECT_EQ(image.pixel(39, 5), white);
    EXPECT_EQ(image.pixel(5, 1), white);   // inner raised: highlight on top
    EXPECT_EQ(image.pixel(5, 18), shadow); // shadow at the bottom
    EXPECT_EQ(image.pixel(38, 5), shadow);
    EXPECT_EQ(image.pixel(5, 5), qRgb(10, 10, 10));
}

} // namespace
