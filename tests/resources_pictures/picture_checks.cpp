#include "picture_checks.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "resources/pictures/pictures.h"

namespace norix::resources::pictures {
namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

std::vector<int> AllPictureIds() {
  std::vector<int> ids = {resources::kProgramIconPicture,
                          resources::kPagePicture,
                          resources::kBackArrowPicture,
                          resources::kBackArrowPressedPicture,
                          resources::kNextArrowPicture,
                          resources::kNextArrowPressedPicture,
                          resources::kCancelArrowPicture,
                          resources::kCancelArrowPressedPicture,
                          resources::kOkArrowPicture,
                          resources::kOkArrowPressedPicture};
  for (int id = resources::kFirstFlagPicture; id <= resources::kLastFlagPicture; ++id) {
    ids.push_back(id);
  }
  return ids;
}

double RelativeLuminance(QColor colour) {
  return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
         0.0722 * Linear(colour.blueF());
}

int ChannelDistance(QColor a, QColor b) {
  return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                   std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
}

double ShareOfDifferentPixels(const QImage& a, const QImage& b, int threshold) {
  if (a.size() != b.size() || a.isNull()) {
    return 1.0;
  }
  long different = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (ChannelDistance(a.pixelColor(x, y), b.pixelColor(x, y)) > threshold) {
        ++different;
      }
    }
  }
  return static_cast<double>(different) / (static_cast<double>(a.width()) * a.height());
}

QImage OverBackground(const QImage& image, QColor background) {
  QImage result(image.size(), QImage::Format_ARGB32_Premultiplied);
  result.fill(background);
  QPainter painter(&result);
  painter.drawImage(0, 0, image);
  painter.end();
  return result;
}

}  // namespace norix::resources::pictures
