#include "platform/qt/control_widgets.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

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

ArrowButton::ArrowButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::StrongFocus);
}

void ArrowButton::SetImages(const QImage& normal, const QImage& pressed) {
  normal_ = MaskArrowGrey(normal);
  pressed_ = pressed.isNull() ? normal_ : MaskArrowGrey(pressed);
  update();
}

bool ArrowButton::ShowsPressed() const { return isDown() || hasFocus(); }

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
  painter.drawImage(rect(), image);
}

void ArrowButton::focusInEvent(QFocusEvent* event) {
  QAbstractButton::focusInEvent(event);
  update();
}

void ArrowButton::focusOutEvent(QFocusEvent* event) {
  QAbstractButton::focusOutEvent(event);
  update();
}

BigButton::BigButton(QWidget* parent) : QAbstractButton(parent) { setFocusPolicy(Qt::StrongFocus); }

void BigButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QRect area = rect();
  if (isDown()) {
    area.translate(1, 1);
  }
  painter.setPen(isEnabled() ? QColor(Qt::black)
                             : palette().color(QPalette::Disabled, QPalette::ButtonText));
  painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text());
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(2, 2, -2, -2);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

}  // namespace norix::platform::qt
