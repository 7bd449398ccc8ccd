// The arrow button images: light grey is their transparent colour, the button
// and its glyph are opaque, and each id shows the right glyph in the right
// colour, normal and pressed.

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>
#include <limits>

#include <gtest/gtest.h>

#include "picture_checks.h"
#include "resources/pictures/pictures.h"

namespace norix::resources::pictures {
namespace {

constexpr int kArrowIds[] = {resources::kBackArrowPicture,   resources::kBackArrowPressedPicture,
                             resources::kNextArrowPicture,   resources::kNextArrowPressedPicture,
                             resources::kCancelArrowPicture, resources::kCancelArrowPressedPicture,
                             resources::kOkArrowPicture,     resources::kOkArrowPressedPicture};

// The SVG drawn as it is written, light grey background included, the way a
// colour-keyed blit would see it.
QImage DrawnOnLightGrey(int id) {
  QSvgRenderer renderer(PictureSvg(id));
  QImage image(PictureSize(id), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(0, 0, image.width(), image.height()));
  painter.end();
  return image;
}

// Near-white opaque pixels: the glyph. Counted in rows top ... bottom - 1,
// with the mean column of what was found.
struct GlyphMass {
  int pixels = 0;
  double centreX = 0;
};

GlyphMass Glyph(const QImage& image, int top = 0, int bottom = -1) {
  if (bottom < 0) {
    bottom = image.height();
  }
  GlyphMass mass;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.alpha() == 255 && c.red() > 225 && c.green() > 225 && c.blue() > 225) {
        ++mass.pixels;
        mass.centreX += x;
      }
    }
  }
  if (mass.pixels > 0) {
    mass.centreX /= mass.pixels;
  }
  return mass;
}

// How far the glyph's middle lies right of its top: negative for '<',
// positive for '>'. Not a number (failing every comparison) when either part
// of the glyph is missing.
double PointsRightBy(const QImage& image) {
  const GlyphMass top = Glyph(image, 7, 11);
  const GlyphMass middle = Glyph(image, 14, 18);
  if (top.pixels == 0 || middle.pixels == 0) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  return middle.centreX - top.centreX;
}

// Mean colour of the opaque, not near-white pixels: the button's face.
QColor FaceColour(const QImage& image) {
  double r = 0;
  double g = 0;
  double b = 0;
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.alpha() == 255 && !(c.red() > 200 && c.green() > 200 && c.blue() > 200)) {
        r += c.red();
        g += c.green();
        b += c.blue();
        ++n;
      }
    }
  }
  if (n == 0) {
    return {};
  }
  return QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

TEST(ArrowImages, SourcesPaintTheirBackgroundInLightGrey) {
  for (int id : kArrowIds) {
    const QImage asWritten = DrawnOnLightGrey(id);
    ASSERT_FALSE(asWritten.isNull()) << id;
    for (auto [x, y] : {std::pair{0, 0}, std::pair{31, 0}, std::pair{0, 31}, std::pair{31, 31}}) {
      EXPECT_EQ(asWritten.pixel(x, y), kArrowTransparentColour) << id << " at " << x << "," << y;
    }
  }
}

TEST(ArrowImages, LightGreyIsTransparentAndTheButtonOpaque) {
  for (int id : kArrowIds) {
    SCOPED_TRACE(id);
    const QImage image = RenderPicture(id);
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.hasAlphaChannel());
    for (auto [x, y] : {std::pair{0, 0}, std::pair{31, 0}, std::pair{0, 31}, std::pair{31, 31},
                        std::pair{1, 1}, std::pair{30, 1}}) {
      EXPECT_EQ(qAlpha(image.pixel(x, y)), 0) << x << "," << y;
    }
    // The round button covers the middle completely.
    int opaque = 0;
    int inside = 0;
    for (int y = 4; y < 28; ++y) {
      for (int x = 4; x < 28; ++x) {
        if ((x - 16) * (x - 16) + (y - 16) * (y - 16) <= 11 * 11) {
          ++inside;
          opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
        }
      }
    }
    EXPECT_EQ(opaque, inside);
    // A clear glyph on it.
    EXPECT_GE(Glyph(image).pixels, 25);
  }
}

TEST(ArrowImages, OnlyTheLightGreyIsLeftOut) {
  // Drawn over light grey, the transparent image must look exactly like the
  // source; where the source shows nothing but light grey the image must be
  // fully transparent, so no grey seam is left on the page around a button.
  for (int id : kArrowIds) {
    SCOPED_TRACE(id);
    const QImage asWritten = DrawnOnLightGrey(id);
    const QImage image = RenderPicture(id);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(ShareOfDifferentPixels(OverBackground(image, QColor(kArrowTransparentColour)),
                                     asWritten, 2),
              0.0);
    int keyed = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (asWritten.pixel(x, y) == kArrowTransparentColour) {
          ++keyed;
          EXPECT_EQ(qAlpha(image.pixel(x, y)), 0) << x << "," << y;
        }
      }
    }
    EXPECT_GT(keyed, 60);
  }
}

TEST(ArrowImages, EachIdShowsItsOwnGlyphAndColour) {
  // '<' points left and '>' right, normal and pressed alike.
  for (int id : {resources::kBackArrowPicture, resources::kBackArrowPressedPicture}) {
    EXPECT_LT(PointsRightBy(RenderPicture(id)), -3.0) << id;
  }
  for (int id : {resources::kNextArrowPicture, resources::kNextArrowPressedPicture}) {
    EXPECT_GT(PointsRightBy(RenderPicture(id)), 3.0) << id;
  }
  // Blue for moving on and back, red for cancel, green for OK.
  auto dominant = [](QColor c) {
    if (c.blue() > c.red() && c.blue() > c.green()) return 'b';
    if (c.red() > c.green() && c.red() > c.blue()) return 'r';
    return 'g';
  };
  for (auto [id, colour] : {std::pair{resources::kBackArrowPicture, 'b'},
                            std::pair{resources::kBackArrowPressedPicture, 'b'},
                            std::pair{resources::kNextArrowPicture, 'b'},
                            std::pair{resources::kNextArrowPressedPicture, 'b'},
                            std::pair{resources::kCancelArrowPicture, 'r'},
                            std::pair{resources::kCancelArrowPressedPicture, 'r'},
                            std::pair{resources::kOkArrowPicture, 'g'},
                            std::pair{resources::kOkArrowPressedPicture, 'g'}}) {
    EXPECT_EQ(dominant(FaceColour(RenderPicture(id))), colour) << id;
  }
}

TEST(ArrowImages, PressedDiffersFromNormalAndEveryImageFromEveryOther) {
  for (int a : kArrowIds) {
    for (int b : kArrowIds) {
      if (a < b) {
        EXPECT_GT(ShareOfDifferentPixels(RenderPicture(a), RenderPicture(b), 40), 0.05)
            << a << " and " << b;
      }
    }
  }
}

}  // namespace
}  // namespace norix::resources::pictures
