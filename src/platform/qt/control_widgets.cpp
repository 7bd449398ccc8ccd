#include "platform/qt/control_widgets.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>

#include "platform/qt/qt_renderer.h"

namespace norix::platform::qt {

QImage MaskArrowGrey(const QImage& image) {
  if (image.isNull()) {
    return image;
  }
  QImage masked = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < masked.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
    for (int x = 0; x < masked.width(); ++x) {
      if (line[x] == (kArrowTransparent | 0xFF000000U)) {
        line[x] = 0;
      }
    }
  }
  return masked;
}

TextLabel::TextLabel(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAutoFillBackground(false);
}

void TextLabel::SetText(const QString& text) {
  if (text != text_) {
    text_ = text;
    update();
  }
}

void TextLabel::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

void TextLabel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(rect(), static_cast<int>(alignment_) | Qt::TextWordWrap, text_);
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::SetImage(const QImage& image) {
  image_ = image;
  update();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
  if (image_.isNull()) {
    return;
  }
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), image_);
}

PageButton::PageButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
}

void PageButton::enterEvent(QEnterEvent* event) {
  QAbstractButton::enterEvent(event);
  hovered_ = true;
  update();
}

void PageButton::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  hovered_ = false;
  update();
}

void PageButton::focusInEvent(QFocusEvent* event) {
  QAbstractButton::focusInEvent(event);
  update();
}

void PageButton::focusOutEvent(QFocusEvent* event) {
  QAbstractButton::focusOutEvent(event);
  update();
}

void PageButton::changeEvent(QEvent* event) {
  QAbstractButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) {
    // A disabled button offers nothing to click.
    if (isEnabled()) {
      setCursor(Qt::PointingHandCursor);
    } else {
      unsetCursor();
    }
  }
}

ArrowButton::ArrowButton(QWidget* parent) : PageButton(parent) {}

void ArrowButton::SetImages(const QImage& normal, const QImage& pressed) {
  description_ = normal.text(kPictureDescriptionKey);
  normal_ = MaskArrowGrey(normal);
  pressed_ = pressed.isNull() ? normal_ : MaskArrowGrey(pressed);
  update();
}

bool ArrowButton::ShowsPressed() const { return isDown() || hasFocus(); }

QString ArrowButton::Description() const { return description_; }

void ArrowButton::paintEvent(QPaintEvent* /*event*/) {
  const QImage& image = ShowsPressed() ? pressed_ : normal_;
  if (image.isNull()) {
    return;
  }
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!isEnabled()) {
    painter.setOpacity(0.45);
  }
  if (!Hovered()) {
    painter.drawImage(rect(), image);
    return;
  }
  // Lightened where the image is drawn, and nowhere else: the transparent
  // corners stay transparent.
  QImage lit = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter light(&lit);
  light.setCompositionMode(QPainter::CompositionMode_SourceAtop);
  light.fillRect(lit.rect(), QColor(255, 255, 255, 80));
  light.end();
  painter.drawImage(rect(), lit);
}

BigButton::BigButton(QWidget* parent) : PageButton(parent) {}

void BigButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF panel = QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5);
  const qreal radius = std::min(panel.height() / 2, 8.0);
  QColor fill(Qt::white);
  QColor edge(kLightBlue);
  QColor label(Qt::black);
  qreal edgeWidth = 1.0;
  if (!isEnabled()) {
    fill.setAlpha(60);
    edge.setAlpha(90);
    label = palette().color(QPalette::Disabled, QPalette::ButtonText);
  } else if (isDown()) {
    fill = QColor(kPaleBlue);
    edge = QColor(kPageBlue);
    label = QColor(kPageBlue);
  } else if (Hovered()) {
    fill = QColor(kHoverFill);
    edge = QColor(kPageBlue);
    edgeWidth = 1.5;
    label = QColor(kPageBlue);
  } else {
    fill.setAlpha(150);
  }
  painter.setPen(QPen(edge, edgeWidth));
  painter.setBrush(fill);
  painter.drawRoundedRect(panel, radius, radius);
  if (hasFocus()) {
    // A ring outside the panel's edge, in the blue of the page's mark.
    painter.setPen(QPen(QColor(kPageBlue), 2.0));
    painter.setBrush(Qt::NoBrush);
    const QRectF ring = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.drawRoundedRect(ring, radius + 1.5, radius + 1.5);
  }
  QRect area = rect();
  if (isDown()) {
    area.translate(1, 1);
  }
  painter.setPen(label);
  painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text());
}

}  // namespace norix::platform::qt
