// The nineteen country flags: each in its place in the nationality order, with
// the colours and layout of its country, and no two alike.

#include <QColor>
#include <QImage>
#include <QSize>

#include <gtest/gtest.h>

#include "picture_checks.h"
#include "platform/qt/pictures.h"

namespace norix::platform::qt {
namespace {

struct FlagSample {
  int id;
  const char* country;
  double x;  // place in the flag, 0 ... 1 from the hoist
  double y;  // 0 ... 1 from the top
  QRgb colour;
};

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(26, 26, 26);

// Points away from any edge of the design, checked on a flag drawn ten times
// its size so that no sample falls on a blended border.
const FlagSample kSamples[] = {
    {301, "Australia", 0.25, 0.25, qRgb(200, 16, 46)},  // centre of the union flag
    {301, "Australia", 0.97, 0.5, qRgb(1, 33, 105)},
    {301, "Australia", 0.25, 0.75, kWhite},  // Commonwealth star
    {302, "Austria", 0.5, 0.15, qRgb(200, 16, 46)},
    {302, "Austria", 0.5, 0.5, kWhite},
    {302, "Austria", 0.5, 0.85, qRgb(200, 16, 46)},
    {303, "Belgium", 0.15, 0.5, kBlack},
    {303, "Belgium", 0.5, 0.5, qRgb(253, 218, 36)},
    {303, "Belgium", 0.85, 0.5, qRgb(239, 51, 64)},
    {304, "Denmark", 0.1, 0.1, qRgb(200, 16, 46)},
    {304, "Denmark", 0.37, 0.1, kWhite},
    {304, "Denmark", 0.8, 0.5, kWhite},
    {304, "Denmark", 0.8, 0.85, qRgb(200, 16, 46)},
    {305, "Finland", 0.1, 0.1, kWhite},
    {305, "Finland", 0.36, 0.1, qRgb(0, 47, 108)},
    {305, "Finland", 0.8, 0.5, qRgb(0, 47, 108)},
    {306, "France", 0.15, 0.5, qRgb(0, 85, 164)},
    {306, "France", 0.5, 0.5, kWhite},
    {306, "France", 0.85, 0.5, qRgb(239, 65, 53)},
    {307, "Germany", 0.5, 0.15, kBlack},
    {307, "Germany", 0.5, 0.5, qRgb(221, 0, 0)},
    {307, "Germany", 0.5, 0.85, qRgb(255, 206, 0)},
    {308, "Greece", 0.05, 0.05, qRgb(13, 94, 175)},  // canton
    {308, "Greece", 0.17, 0.05, kWhite},             // its cross
    {308, "Greece", 0.9, 0.05, qRgb(13, 94, 175)},   // first stripe
    {308, "Greece", 0.9, 0.166, kWhite},             // second stripe
    {308, "Greece", 0.9, 0.95, qRgb(13, 94, 175)},   // ninth stripe
    {309, "Ireland", 0.15, 0.5, qRgb(22, 155, 98)},
    {309, "Ireland", 0.5, 0.5, kWhite},
    {309, "Ireland", 0.85, 0.5, qRgb(255, 136, 62)},
    {310, "Italy", 0.15, 0.5, qRgb(0, 146, 70)},
    {310, "Italy", 0.5, 0.5, kWhite},
    {310, "Italy", 0.85, 0.5, qRgb(206, 43, 55)},
    {311, "Japan", 0.5, 0.5, qRgb(188, 0, 45)},
    {311, "Japan", 0.1, 0.1, kWhite},
    {311, "Japan", 0.9, 0.9, kWhite},
    {312, "Netherlands", 0.5, 0.15, qRgb(174, 28, 40)},
    {312, "Netherlands", 0.5, 0.5, kWhite},
    {312, "Netherlands", 0.5, 0.85, qRgb(33, 70, 139)},
    {313, "Norway", 0.1, 0.1, qRgb(186, 12, 47)},
    {313, "Norway", 0.35, 0.5, qRgb(0, 32, 91)},
    {313, "Norway", 0.8, 0.5, qRgb(0, 32, 91)},
    {313, "Norway", 0.8, 0.425, kWhite},
    {314, "Portugal", 0.1, 0.5, qRgb(4, 106, 56)},
    {314, "Portugal", 0.85, 0.5, qRgb(218, 41, 28)},
    {315, "Spain", 0.8, 0.1, qRgb(170, 21, 27)},
    {315, "Spain", 0.8, 0.5, qRgb(241, 191, 0)},
    {315, "Spain", 0.8, 0.9, qRgb(170, 21, 27)},
    {316, "Sweden", 0.1, 0.1, qRgb(0, 106, 167)},
    {316, "Sweden", 0.375, 0.1, qRgb(254, 204, 0)},
    {316, "Sweden", 0.8, 0.5, qRgb(254, 204, 0)},
    {317, "Switzerland", 0.1, 0.1, qRgb(218, 41, 28)},
    {317, "Switzerland", 0.5, 0.5, kWhite},
    {317, "Switzerland", 0.5, 0.3, kWhite},
    {317, "Switzerland", 0.375, 0.3, qRgb(218, 41, 28)},
    {317, "Switzerland", 0.9, 0.5, qRgb(218, 41, 28)},
    {318, "England", 0.1, 0.1, kWhite},
    {318, "England", 0.5, 0.5, qRgb(206, 17, 36)},
    {318, "England", 0.5, 0.1, qRgb(206, 17, 36)},
    {318, "England", 0.1, 0.5, qRgb(206, 17, 36)},
    {318, "England", 0.9, 0.9, kWhite},
    {319, "U.S.A.", 0.06, 0.03, qRgb(60, 59, 110)},  // canton, between stars
    {319, "U.S.A.", 0.9, 0.03, qRgb(178, 34, 52)},   // first stripe
    {319, "U.S.A.", 0.9, 0.115, kWhite},             // second stripe
    {319, "U.S.A.", 0.9, 0.97, qRgb(178, 34, 52)},   // thirteenth stripe
};

TEST(FlagPictures, ShowTheirCountryInNationalityOrder) {
  for (const FlagSample& sample : kSamples) {
    const QImage flag = RenderPicture(sample.id, QSize(320, 200));
    ASSERT_FALSE(flag.isNull()) << sample.country;
    const int x = static_cast<int>(sample.x * flag.width());
    const int y = static_cast<int>(sample.y * flag.height());
    EXPECT_LE(ChannelDistance(flag.pixelColor(x, y), QColor(sample.colour)), 12)
        << sample.country << " (" << sample.id << ") at " << sample.x << "," << sample.y << " is "
        << flag.pixelColor(x, y).name().toStdString();
  }
}

TEST(FlagPictures, NoTwoFlagsAlike) {
  // Even the tricolours sharing two bands (Ireland and Italy, France and the
  // Netherlands turned) differ in a third of their area.
  for (int a = kFirstFlagPicture; a <= kLastFlagPicture; ++a) {
    const QImage first = RenderPicture(a);
    for (int b = a + 1; b <= kLastFlagPicture; ++b) {
      EXPECT_GT(ShareOfDifferentPixels(first, RenderPicture(b), 60), 0.10) << a << " and " << b;
    }
  }
}

}  // namespace
}  // namespace norix::platform::qt
