// The nineteen country flags: each in its place in the nationality order, with
// the colours and layout of its country, and no two alike.

#include <QColor>
#include <QImage>
#include <QSize>

#include <gtest/gtest.h>

#include "picture_checks.h"
#include "resources/pictures/pictures.h"

namespace norix::resources::pictures {
namespace {

struct FlagSample {
  const char* country;
  int id;
  QRgb colour;
  double x;  // place in the flag, 0 ... 1 from the hoist
  double y;  // 0 ... 1 from the top
};

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(26, 26, 26);

// Points away from any edge of the design, checked on a flag drawn ten times
// its size so that no sample falls on a blended border.
const FlagSample kSamples[] = {
    {"Australia", 301, qRgb(200, 16, 46), 0.25, 0.25},  // centre of the union flag
    {"Australia", 301, qRgb(1, 33, 105), 0.97, 0.5},
    {"Australia", 301, kWhite, 0.25, 0.75},  // Commonwealth star
    {"Austria", 302, qRgb(200, 16, 46), 0.5, 0.15},
    {"Austria", 302, kWhite, 0.5, 0.5},
    {"Austria", 302, qRgb(200, 16, 46), 0.5, 0.85},
    {"Belgium", 303, kBlack, 0.15, 0.5},
    {"Belgium", 303, qRgb(253, 218, 36), 0.5, 0.5},
    {"Belgium", 303, qRgb(239, 51, 64), 0.85, 0.5},
    {"Denmark", 304, qRgb(200, 16, 46), 0.1, 0.1},
    {"Denmark", 304, kWhite, 0.37, 0.1},
    {"Denmark", 304, kWhite, 0.8, 0.5},
    {"Denmark", 304, qRgb(200, 16, 46), 0.8, 0.85},
    {"Finland", 305, kWhite, 0.1, 0.1},
    {"Finland", 305, qRgb(0, 47, 108), 0.36, 0.1},
    {"Finland", 305, qRgb(0, 47, 108), 0.8, 0.5},
    {"France", 306, qRgb(0, 85, 164), 0.15, 0.5},
    {"France", 306, kWhite, 0.5, 0.5},
    {"France", 306, qRgb(239, 65, 53), 0.85, 0.5},
    {"Germany", 307, kBlack, 0.5, 0.15},
    {"Germany", 307, qRgb(221, 0, 0), 0.5, 0.5},
    {"Germany", 307, qRgb(255, 206, 0), 0.5, 0.85},
    {"Greece", 308, qRgb(13, 94, 175), 0.05, 0.05},  // canton
    {"Greece", 308, kWhite, 0.17, 0.05},             // its cross
    {"Greece", 308, qRgb(13, 94, 175), 0.9, 0.05},   // first stripe
    {"Greece", 308, kWhite, 0.9, 0.166},             // second stripe
    {"Greece", 308, qRgb(13, 94, 175), 0.9, 0.95},   // ninth stripe
    {"Ireland", 309, qRgb(22, 155, 98), 0.15, 0.5},
    {"Ireland", 309, kWhite, 0.5, 0.5},
    {"Ireland", 309, qRgb(255, 136, 62), 0.85, 0.5},
    {"Italy", 310, qRgb(0, 146, 70), 0.15, 0.5},
    {"Italy", 310, kWhite, 0.5, 0.5},
    {"Italy", 310, qRgb(206, 43, 55), 0.85, 0.5},
    {"Japan", 311, qRgb(188, 0, 45), 0.5, 0.5},
    {"Japan", 311, kWhite, 0.1, 0.1},
    {"Japan", 311, kWhite, 0.9, 0.9},
    {"Netherlands", 312, qRgb(174, 28, 40), 0.5, 0.15},
    {"Netherlands", 312, kWhite, 0.5, 0.5},
    {"Netherlands", 312, qRgb(33, 70, 139), 0.5, 0.85},
    {"Norway", 313, qRgb(186, 12, 47), 0.1, 0.1},
    {"Norway", 313, qRgb(0, 32, 91), 0.35, 0.5},
    {"Norway", 313, qRgb(0, 32, 91), 0.8, 0.5},
    {"Norway", 313, kWhite, 0.8, 0.425},
    {"Portugal", 314, qRgb(4, 106, 56), 0.1, 0.5},
    {"Portugal", 314, qRgb(218, 41, 28), 0.85, 0.5},
    {"Spain", 315, qRgb(170, 21, 27), 0.8, 0.1},
    {"Spain", 315, qRgb(241, 191, 0), 0.8, 0.5},
    {"Spain", 315, qRgb(170, 21, 27), 0.8, 0.9},
    {"Sweden", 316, qRgb(0, 106, 167), 0.1, 0.1},
    {"Sweden", 316, qRgb(254, 204, 0), 0.375, 0.1},
    {"Sweden", 316, qRgb(254, 204, 0), 0.8, 0.5},
    {"Switzerland", 317, qRgb(218, 41, 28), 0.1, 0.1},
    {"Switzerland", 317, kWhite, 0.5, 0.5},
    {"Switzerland", 317, kWhite, 0.5, 0.3},
    {"Switzerland", 317, qRgb(218, 41, 28), 0.375, 0.3},
    {"Switzerland", 317, qRgb(218, 41, 28), 0.9, 0.5},
    {"England", 318, kWhite, 0.1, 0.1},
    {"England", 318, qRgb(206, 17, 36), 0.5, 0.5},
    {"England", 318, qRgb(206, 17, 36), 0.5, 0.1},
    {"England", 318, qRgb(206, 17, 36), 0.1, 0.5},
    {"England", 318, kWhite, 0.9, 0.9},
    {"U.S.A.", 319, qRgb(60, 59, 110), 0.06, 0.03},  // canton, between stars
    {"U.S.A.", 319, qRgb(178, 34, 52), 0.9, 0.03},   // first stripe
    {"U.S.A.", 319, kWhite, 0.9, 0.115},             // second stripe
    {"U.S.A.", 319, qRgb(178, 34, 52), 0.9, 0.97},   // thirteenth stripe
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
  for (int a = resources::kFirstFlagPicture; a <= resources::kLastFlagPicture; ++a) {
    const QImage first = RenderPicture(a);
    for (int b = a + 1; b <= resources::kLastFlagPicture; ++b) {
      EXPECT_GT(ShareOfDifferentPixels(first, RenderPicture(b), 60), 0.10) << a << " and " << b;
    }
  }
}

}  // namespace
}  // namespace norix::resources::pictures
