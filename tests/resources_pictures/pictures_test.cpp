// Rendering of the program's pictures: every id, its size, bad requests, the
// page picture's quiet text area, and rendering from several threads at once.

#include "resources/pictures/pictures.h"

#include <QImage>
#include <QSize>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "picture_checks.h"

namespace norix::resources::pictures {
namespace {

TEST(Pictures, EveryIdRendersAFinishedDrawingAtItsOwnSize) {
  for (int id : AllPictureIds()) {
    SCOPED_TRACE(id);
    ASSERT_TRUE(HasPicture(id));
    const QSize size = PictureSize(id);
    ASSERT_FALSE(size.isEmpty());
    const QImage image = RenderPicture(id);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), size);

    // Something was drawn, and more than one flat colour.
    std::set<QRgb> colours;
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        colours.insert(pixel);
        if (qAlpha(pixel) == 255) {
          ++opaque;
        }
      }
    }
    EXPECT_GE(colours.size(), 3U);
    EXPECT_GT(opaque, image.width() * image.height() / 2);
  }
}

TEST(Pictures, IdsWithoutAPictureAndBadSizesGiveNothing) {
  // The gaps between the arrow ids and the ends of the ranges.
  for (int id : {-1, 0, 119, 121, 122, 125, 127, 131, 137, 140, 300, 320, 2162}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(HasPicture(id));
    EXPECT_FALSE(IsArrowImage(id));
    EXPECT_TRUE(PictureSize(id).isEmpty());
    EXPECT_TRUE(PictureSvg(id).isEmpty());
    EXPECT_TRUE(RenderPicture(id).isNull());
    EXPECT_TRUE(RenderPicture(id, QSize(32, 32)).isNull());
  }
  for (QSize bad : {QSize(0, 10), QSize(10, 0), QSize(-5, 10), QSize(),
                    QSize(kMaxPictureSide + 1, 10), QSize(10, kMaxPictureSide + 1)}) {
    SCOPED_TRACE(testing::Message() << bad.width() << " x " << bad.height());
    EXPECT_TRUE(RenderPicture(resources::kPagePicture, bad).isNull());
    EXPECT_TRUE(RenderPicture(resources::kNextArrowPicture, bad).isNull());
  }
}

TEST(Pictures, ScaleToWhateverSizeTheyAreShownAt) {
  // A page on a large font, a 1 x 1 corner case, and a flag stretched wide.
  for (auto [id, size] : {std::pair{resources::kPagePicture, QSize(906, 654)},
                          std::pair{resources::kPagePicture, QSize(1, 1)},
                          std::pair{resources::kOkArrowPressedPicture, QSize(24, 24)},
                          std::pair{319, QSize(160, 40)}}) {
    const QImage image = RenderPicture(id, size);
    ASSERT_FALSE(image.isNull()) << id;
    EXPECT_EQ(image.size(), size) << id;
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
  }
  // The drawing fills the new size: the bottom right corner of a page twice as
  // big is the same dark wave as that of the page at its own size.
  const QImage small = RenderPicture(resources::kPagePicture);
  const QImage large = RenderPicture(resources::kPagePicture, QSize(906, 654));
  EXPECT_LE(ChannelDistance(small.pixelColor(450, 324), large.pixelColor(901, 649)), 12);
  EXPECT_LE(ChannelDistance(small.pixelColor(100, 100), large.pixelColor(200, 200)), 6);
}

TEST(Pictures, PageAndFlagsAreOpaque) {
  std::vector<int> ids = {resources::kPagePicture};
  for (int id = resources::kFirstFlagPicture; id <= resources::kLastFlagPicture; ++id) {
    ids.push_back(id);
  }
  for (int id : ids) {
    const QImage image = RenderPicture(id);
    ASSERT_FALSE(image.isNull()) << id;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        ASSERT_EQ(qAlpha(image.pixel(x, y)), 255) << id << " at " << x << "," << y;
      }
    }
  }
}

TEST(Pictures, PageLeavesTheTextAreaLightAndQuiet) {
  // Page texts are black and drawn straight onto the picture. Across the left
  // two thirds, between the header and the bottom waves, black must keep a
  // contrast of at least 12:1 and the picture must not vary enough to read as
  // a pattern behind the words.
  const QImage page = RenderPicture(resources::kPagePicture);
  ASSERT_FALSE(page.isNull());
  double darkest = 1.0;
  double lightest = 0.0;
  for (int y = page.height() * 15 / 100; y < page.height() * 75 / 100; ++y) {
    for (int x = 0; x < page.width() * 2 / 3; ++x) {
      const double luminance = RelativeLuminance(page.pixelColor(x, y));
      darkest = std::min(darkest, luminance);
      lightest = std::max(lightest, luminance);
    }
  }
  const double contrastWithBlack = (darkest + 0.05) / 0.05;
  EXPECT_GE(contrastWithBlack, 12.0);
  EXPECT_LE(lightest - darkest, 0.15);

  // The waves at the bottom are clearly darker than the text area.
  const double bottom = RelativeLuminance(page.pixelColor(page.width() / 2, page.height() - 3));
  EXPECT_LT(bottom, darkest - 0.2);
}

TEST(Pictures, RenderTheSameFromSeveralThreadsAtOnce) {
  // The first use registers the compiled-in pictures; racing threads must all
  // see them and get identical drawings.
  const std::vector<int> ids = AllPictureIds();
  std::vector<std::vector<QImage>> results(4);
  std::vector<std::thread> threads;
  threads.reserve(results.size());
  for (auto& result : results) {
    threads.emplace_back([&result, &ids] {
      for (int id : ids) {
        result.push_back(RenderPicture(id));
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  for (const auto& result : results) {
    ASSERT_EQ(result.size(), ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
      EXPECT_FALSE(result[i].isNull()) << ids[i];
      EXPECT_EQ(result[i], results[0][i]) << ids[i];
    }
  }
}

}  // namespace
}  // namespace norix::resources::pictures
