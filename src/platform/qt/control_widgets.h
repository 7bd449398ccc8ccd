// The controls the page draws itself: transparent texts, pictures, arrow
// buttons and big buttons. They paint nothing under their content, so the
// page picture shows through and a shorter new text leaves no trace of the
// longer one before it (Qt repaints the page under a non-opaque child).
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QString>
#include <QWidget>

namespace norix::platform::qt {

// Light grey, the transparent colour of the arrow images.
inline constexpr QRgb kArrowTransparent = qRgb(192, 192, 192);

// `image` with every pixel of exactly light grey made fully transparent.
[[nodiscard]] QImage MaskArrowGrey(const QImage& image);

// A static text: left, centred or right aligned, wrapped at word breaks.
class TextLabel final : public QWidget {
 public:
  explicit TextLabel(QWidget* parent);
  void SetText(const QString& text);
  void SetAlignment(Qt::Alignment alignment);
  [[nodiscard]] const QString& Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignTop;
};

// A picture resource scaled to the control.
class PictureBox final : public QWidget {
 public:
  explicit PictureBox(QWidget* parent);
  void SetImage(const QImage& image);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

// A picture button: the normal image, or the pressed one while the mouse
// holds it down or while it has the keyboard focus. Light grey parts of
// both images are transparent.
class ArrowButton final : public QAbstractButton {
 public:
  explicit ArrowButton(QWidget* parent);
  void SetImages(const QImage& normal, const QImage& pressed);
  // True when the pressed image is the one shown.
  [[nodiscard]] bool ShowsPressed() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QImage normal_;
  QImage pressed_;
};

// A menu button drawn on the page picture: only its label, centred on one
// line, black (grey when disabled), with a dotted frame while focused and
// the label moved by a pixel while held down.
class BigButton final : public QAbstractButton {
 public:
  explicit BigButton(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace norix::platform::qt
