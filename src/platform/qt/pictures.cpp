#include "platform/qt/pictures.h"

#include <QFile>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QSvgRenderer>
#include <array>
#include <utility>

// The pictures live in a static library, whose resource initialiser the linker
// would drop because nothing refers to it; register them by hand instead. The
// macro declares an extern function, so it must run in the global namespace.
static void RegisterPictureResources() { Q_INIT_RESOURCE(pictures); }

namespace norix::platform::qt {
namespace {

struct PictureFile {
  int id;
  const char* file;  // name in the resource folder :/norix/pictures
  int width;         // size the picture is drawn for
  int height;
};

// 302 x 201 dialog units of the default 8-point font: 3 pixels for every two
// horizontal units and 13 for every eight vertical ones.
constexpr int kPageWidth = 453;
constexpr int kPageHeight = 327;
constexpr int kArrowSide = 32;
constexpr int kFlagWidth = 32;
constexpr int kFlagHeight = 20;

constexpr int kIconSide = 128;

constexpr std::array<PictureFile, 29> kPictureFiles = {{
    {kProgramIcon, "norix-config.svg", kIconSide, kIconSide},
    {kPagePicture, "page.svg", kPageWidth, kPageHeight},
    {kBackArrow, "arrow_back.svg", kArrowSide, kArrowSide},
    {kBackArrowPressed, "arrow_back_pressed.svg", kArrowSide, kArrowSide},
    {kNextArrow, "arrow_next.svg", kArrowSide, kArrowSide},
    {kNextArrowPressed, "arrow_next_pressed.svg", kArrowSide, kArrowSide},
    {kCancelArrow, "arrow_cancel.svg", kArrowSide, kArrowSide},
    {kCancelArrowPressed, "arrow_cancel_pressed.svg", kArrowSide, kArrowSide},
    {kOkArrow, "arrow_ok.svg", kArrowSide, kArrowSide},
    {kOkArrowPressed, "arrow_ok_pressed.svg", kArrowSide, kArrowSide},
    {301, "flag_australia.svg", kFlagWidth, kFlagHeight},
    {302, "flag_austria.svg", kFlagWidth, kFlagHeight},
    {303, "flag_belgium.svg", kFlagWidth, kFlagHeight},
    {304, "flag_denmark.svg", kFlagWidth, kFlagHeight},
    {305, "flag_finland.svg", kFlagWidth, kFlagHeight},
    {306, "flag_france.svg", kFlagWidth, kFlagHeight},
    {307, "flag_germany.svg", kFlagWidth, kFlagHeight},
    {308, "flag_greece.svg", kFlagWidth, kFlagHeight},
    {309, "flag_ireland.svg", kFlagWidth, kFlagHeight},
    {310, "flag_italy.svg", kFlagWidth, kFlagHeight},
    {311, "flag_japan.svg", kFlagWidth, kFlagHeight},
    {312, "flag_netherlands.svg", kFlagWidth, kFlagHeight},
    {313, "flag_norway.svg", kFlagWidth, kFlagHeight},
    {314, "flag_portugal.svg", kFlagWidth, kFlagHeight},
    {315, "flag_spain.svg", kFlagWidth, kFlagHeight},
    {316, "flag_sweden.svg", kFlagWidth, kFlagHeight},
    {317, "flag_switzerland.svg", kFlagWidth, kFlagHeight},
    {318, "flag_england.svg", kFlagWidth, kFlagHeight},
    {319, "flag_usa.svg", kFlagWidth, kFlagHeight},
}};

const PictureFile* FindPicture(int resourceId) {
  for (const PictureFile& picture : kPictureFiles) {
    if (picture.id == resourceId) {
      return &picture;
    }
  }
  return nullptr;
}

void EnsureResourcesRegistered() {
  // Thread-safe once: a function-local static is initialised exactly once.
  static const bool registered = [] {
    RegisterPictureResources();
    return true;
  }();
  static_cast<void>(registered);
}

// The arrow sources paint their background (and anything else meant to let
// the page show through) in light grey, written "#C0C0C0". Painting those
// parts with nothing and everything else antialiased on a transparent image
// gives clean edges: a colour key applied after antialiasing would leave a
// grey seam where the drawing blends into the grey.
QByteArray LeaveOutTransparentColour(QByteArray svg) {
  svg.replace("#C0C0C0", "none");
  svg.replace("#c0c0c0", "none");
  return svg;
}

bool PictureSizeRefused(QSize size) {
  return size.width() < 1 || size.height() < 1 || size.width() > kMaxPictureSide ||
         size.height() > kMaxPictureSide;
}

}  // namespace

bool HasPicture(int resourceId) { return FindPicture(resourceId) != nullptr; }

bool IsArrowImage(int resourceId) {
  switch (resourceId) {
    case kBackArrow:
    case kBackArrowPressed:
    case kNextArrow:
    case kNextArrowPressed:
    case kCancelArrow:
    case kCancelArrowPressed:
    case kOkArrow:
    case kOkArrowPressed:
      return true;
    default:
      return false;
  }
}

QSize PictureSize(int resourceId) {
  const PictureFile* picture = FindPicture(resourceId);
  if (picture == nullptr) {
    return {};
  }
  return {picture->width, picture->height};
}

QByteArray PictureSvg(int resourceId) {
  const PictureFile* picture = FindPicture(resourceId);
  if (picture == nullptr) {
    return {};
  }
  EnsureResourcesRegistered();
  QFile file(QStringLiteral(":/norix/pictures/") + QString::fromLatin1(picture->file));
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  return file.readAll();
}

QImage RenderPicture(int resourceId, QSize size) {
  if (PictureSizeRefused(size)) {
    return {};
  }
  QByteArray svg = PictureSvg(resourceId);
  if (svg.isEmpty()) {
    return {};
  }
  if (IsArrowImage(resourceId)) {
    svg = LeaveOutTransparentColour(std::move(svg));
  }
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) {
    return {};
  }
  renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);

  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) {
    return {};
  }
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  renderer.render(&painter, QRectF(0, 0, size.width(), size.height()));
  painter.end();
  return image;
}

QImage RenderPicture(int resourceId) { return RenderPicture(resourceId, PictureSize(resourceId)); }

QPixmap PicturePixmap(int resourceId, QSize size, qreal devicePixelRatio) {
  // Checked before scaling so that a huge size or ratio cannot overflow.
  if (!(devicePixelRatio > 0.0 && devicePixelRatio <= kMaxDevicePixelRatio) ||
      PictureSizeRefused(size)) {
    return {};
  }
  const QImage image = RenderPicture(resourceId, size * devicePixelRatio);
  if (image.isNull()) {
    return {};
  }
  QPixmap pixmap = QPixmap::fromImage(image);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QImage image = RenderPicture(kProgramIcon, QSize(side, side));
    if (!image.isNull()) {
      icon.addPixmap(QPixmap::fromImage(image));
    }
  }
  return icon;
}

}  // namespace norix::platform::qt
