// Pictures as the front end uses them: pixmaps on a GUI application, and a
// set of PNG files in the build folder (every picture, enlarged copies, and a
// sample page with texts, arrows and a flag) for a look by eye.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <cmath>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "picture_checks.h"
#include "resources/pictures/pictures.h"

namespace norix::resources::pictures {
namespace {

class PictureSheet : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "resources_pictures_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  static void TearDownTestSuite() { app_.reset(); }

  static std::unique_ptr<QGuiApplication> app_;
};

std::unique_ptr<QGuiApplication> PictureSheet::app_;

QString ShotPath(const QString& name) {
  return QStringLiteral(NORIX_PICTURE_SHOTS_DIR "/") + name + QStringLiteral(".png");
}

void Save(const QImage& image, const QString& name) {
  ASSERT_FALSE(image.isNull()) << name.toStdString();
  const QString path = ShotPath(name);
  ASSERT_TRUE(image.save(path)) << path.toStdString();
  // What was written reads back as the same picture.
  QImage back(path);
  ASSERT_FALSE(back.isNull()) << path.toStdString();
  EXPECT_EQ(ShareOfDifferentPixels(back.convertToFormat(QImage::Format_ARGB32),
                                   image.convertToFormat(QImage::Format_ARGB32), 1),
            0.0)
      << path.toStdString();
}

TEST_F(PictureSheet, PixmapsKeepTheirSizeOnDenseScreens) {
  const QPixmap normal = PicturePixmap(resources::kNextArrowPicture, QSize(32, 32));
  ASSERT_FALSE(normal.isNull());
  EXPECT_EQ(normal.size(), QSize(32, 32));
  EXPECT_TRUE(normal.hasAlphaChannel());

  const QPixmap dense = PicturePixmap(resources::kNextArrowPicture, QSize(32, 32), 2.0);
  ASSERT_FALSE(dense.isNull());
  EXPECT_EQ(dense.size(), QSize(64, 64));
  EXPECT_DOUBLE_EQ(dense.devicePixelRatio(), 2.0);
  EXPECT_EQ(dense.deviceIndependentSize().toSize(), QSize(32, 32));

  const QPixmap page = PicturePixmap(resources::kPagePicture, QSize(453, 327), 1.5);
  EXPECT_EQ(page.size(), QSize(680, 491));
  EXPECT_EQ(page.toImage().pixelColor(0, 0).alpha(), 255);

  for (qreal bad : {0.0, -1.0, kMaxDevicePixelRatio * 2, std::nan(""),
                    std::numeric_limits<qreal>::infinity()}) {
    EXPECT_TRUE(PicturePixmap(resources::kNextArrowPicture, QSize(32, 32), bad).isNull()) << bad;
  }
  EXPECT_TRUE(PicturePixmap(125, QSize(32, 32)).isNull());
  EXPECT_TRUE(PicturePixmap(resources::kPagePicture, QSize(kMaxPictureSide, 10), 2.0).isNull());
  EXPECT_TRUE(
      PicturePixmap(resources::kPagePicture, QSize(std::numeric_limits<int>::max(), 10), 8.0)
          .isNull());
}

TEST_F(PictureSheet, SavesEveryPictureForALookByEye) {
  ASSERT_TRUE(QDir().mkpath(QStringLiteral(NORIX_PICTURE_SHOTS_DIR)));
  for (int id : AllPictureIds()) {
    const QImage image = RenderPicture(id);
    Save(image, QString::number(id));
    if (id != resources::kPagePicture) {
      Save(RenderPicture(id, PictureSize(id) * 4), QString::number(id) + QStringLiteral("_x4"));
    }
  }

  // A page as the program shows it: header, a paragraph, a flag, the four
  // arrows at the bottom right (the first pressed, as if it had the focus).
  QImage page = RenderPicture(resources::kPagePicture);
  QPainter painter(&page);
  QFont header = painter.font();
  header.setPixelSize(20);
  header.setBold(true);
  header.setItalic(true);
  painter.setFont(header);
  painter.setPen(Qt::black);
  painter.drawText(QRect(16, 10, 340, 28), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Nationality"));
  QFont body = painter.font();
  body.setPixelSize(12);
  body.setBold(false);
  body.setItalic(false);
  painter.setFont(body);
  painter.drawText(QRect(24, 60, 380, 60), Qt::TextWordWrap,
                   QStringLiteral("Select current nationality to ensure that your modem operates "
                                  "correctly."));
  painter.drawText(QRect(24, 130, 200, 20), Qt::AlignLeft, QStringLiteral("Denmark (45)"));
  painter.drawImage(QPoint(230, 128), RenderPicture(304));
  int x = 453 - 4 * 40 - 8;
  for (int id : {resources::kBackArrowPressedPicture, resources::kNextArrowPicture,
                 resources::kCancelArrowPicture, resources::kOkArrowPicture}) {
    painter.drawImage(QPoint(x, 327 - 44), RenderPicture(id));
    x += 40;
  }
  painter.end();
  Save(page, QStringLiteral("sample_page"));

  // Every flag and arrow enlarged on one sheet over the page picture.
  QImage sheet = RenderPicture(resources::kPagePicture, QSize(5 * 104 + 16, 4 * 76 + 2 * 140 + 16));
  ASSERT_FALSE(sheet.isNull());
  QPainter sheetPainter(&sheet);
  for (int i = 0; i <= resources::kLastFlagPicture - resources::kFirstFlagPicture; ++i) {
    sheetPainter.drawImage(QPoint(8 + (i % 5) * 104, 8 + (i / 5) * 76),
                           RenderPicture(resources::kFirstFlagPicture + i, QSize(96, 60)));
  }
  const int arrows[] = {resources::kBackArrowPicture,   resources::kBackArrowPressedPicture,
                        resources::kNextArrowPicture,   resources::kNextArrowPressedPicture,
                        resources::kCancelArrowPicture, resources::kCancelArrowPressedPicture,
                        resources::kOkArrowPicture,     resources::kOkArrowPressedPicture};
  for (int i = 0; i < 8; ++i) {
    sheetPainter.drawImage(QPoint(8 + (i % 4) * 130, 8 + 4 * 76 + (i / 4) * 140),
                           RenderPicture(arrows[i], QSize(128, 128)));
  }
  sheetPainter.end();
  Save(sheet, QStringLiteral("sheet"));

  // The same at the size they are shown, every pixel blown up to 4 x 4, to
  // judge how the small drawings hold up on the screen.
  QImage actual = RenderPicture(resources::kPagePicture, QSize(10 * 36 + 8, 2 * 28 + 36 + 8));
  ASSERT_FALSE(actual.isNull());
  QPainter actualPainter(&actual);
  for (int i = 0; i <= resources::kLastFlagPicture - resources::kFirstFlagPicture; ++i) {
    actualPainter.drawImage(QPoint(4 + (i % 10) * 36, 4 + (i / 10) * 28),
                            RenderPicture(resources::kFirstFlagPicture + i));
  }
  for (int i = 0; i < 8; ++i) {
    actualPainter.drawImage(QPoint(4 + i * 36, 4 + 2 * 28), RenderPicture(arrows[i]));
  }
  actualPainter.end();
  Save(actual.scaled(actual.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation),
       QStringLiteral("actual_size_x4"));
}

}  // namespace
}  // namespace norix::resources::pictures
