#include "resources/pictures/pictures.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QSvgRenderer>
#include <array>
#include <utility>

#include "platform/qt/qt_renderer.h"

// The pictures live in a static library, whose resource initialiser the linker
// would drop because nothing refers to it; register them by hand instead. The
// macro declares an extern function, so it must run in the global namespace.
static void RegisterPictureResources() { Q_INIT_RESOURCE(pictures); }

namespace norix::resources::pictures {
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
    {resources::kProgramIconPicture, "norix-config.svg", kIconSide, kIconSide},
    {resources::kPagePicture, "page.svg", kPageWidth, kPageHeight},
    {resources::kBackArrowPicture, "arrow_back.svg", kArrowSide, kArrowSide},
    {resources::kBackArrowPressedPicture, "arrow_back_pressed.svg", kArrowSide, kArrowSide},
    {resources::kNextArrowPicture, "arrow_next.svg", kArrowSide, kArrowSide},
    {resources::kNextArrowPressedPicture, "arrow_next_pressed.svg", kArrowSide, kArrowSide},
    {resources::kCancelArrowPicture, "arrow_cancel.svg", kArrowSide, kArrowSide},
    {resources::kCancelArrowPressedPicture, "arrow_cancel_pressed.svg", kArrowSide, kArrowSide},
    {resources::kOkArrowPicture, "arrow_ok.svg", kArrowSide, kArrowSide},
    {resources::kOkArrowPressedPicture, "arrow_ok_pressed.svg", kArrowSide, kArrowSide},
    {resources::kFirstFlagPicture + 0, "flag_australia.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 1, "flag_austria.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 2, "flag_belgium.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 3, "flag_denmark.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 4, "flag_finland.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 5, "flag_france.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 6, "flag_germany.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 7, "flag_greece.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 8, "flag_ireland.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 9, "flag_italy.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 10, "flag_japan.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 11, "flag_netherlands.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 12, "flag_norway.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 13, "flag_portugal.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 14, "flag_spain.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 15, "flag_sweden.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 16, "flag_switzerland.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 17, "flag_england.svg", kFlagWidth, kFlagHeight},
    {resources::kFirstFlagPicture + 18, "flag_usa.svg", kFlagWidth, kFlagHeight},
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
    case resources::kBackArrowPicture:
    case resources::kBackArrowPressedPicture:
    case resources::kNextArrowPicture:
    case resources::kNextArrowPressedPicture:
    case resources::kCancelArrowPicture:
    case resources::kCancelArrowPressedPicture:
    case resources::kOkArrowPicture:
    case resources::kOkArrowPressedPicture:
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

namespace {

// What an arrow picture shows, in the language of Qt's translations (the
// wizard's own button texts without their mnemonic and arrows); empty for
// another picture.
QString ArrowDescription(int picture) {
  QString name;
  switch (picture) {
    case resources::kBackArrowPicture:
    case resources::kBackArrowPressedPicture:
      name = QCoreApplication::translate("QWizard", "< &Back");
      break;
    case resources::kNextArrowPicture:
    case resources::kNextArrowPressedPicture:
      name = QCoreApplication::translate("QWizard", "&Next >");
      break;
    case resources::kCancelArrowPicture:
    case resources::kCancelArrowPressedPicture:
      name = QCoreApplication::translate("QPlatformTheme", "Cancel");
      break;
    case resources::kOkArrowPicture:
    case resources::kOkArrowPressedPicture:
      name = QCoreApplication::translate("QPlatformTheme", "OK");
      break;
    default:
      return {};
  }
  name.remove(QLatin1Char('&'));
  name.remove(QLatin1Char('<'));
  name.remove(QLatin1Char('>'));
  return name.trimmed();
}

}  // namespace

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
  if (const QString description = ArrowDescription(resourceId); !description.isEmpty()) {
    image.setText(QString::fromLatin1(platform::qt::kPictureDescriptionKey), description);
  }
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

}  // namespace norix::resources::pictures
