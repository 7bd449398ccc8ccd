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

// The colours of the page picture that the buttons draw their states in.
inline constexpr QRgb kPageBlue = qRgb(0x2F, 0x5F, 0x8F);   // the mark, focus rings
inline constexpr QRgb kLightBlue = qRgb(0x9C, 0xBC, 0xDD);  // the shallow wave
inline constexpr QRgb kPaleBlue = qRgb(0xD9, 0xE5, 0xF2);   // the sky's deepest shade
inline constexpr QRgb kHoverFill = qRgb(0xE6, 0xF0, 0xFB);  // a menu entry under the mouse

// A button of the page's own drawing that lights up while the mouse is over
// it and shows the pointing hand, so that it reads as something to click.
class PageButton : public QAbstractButton {
 public:
  explicit PageButton(QWidget* parent);
  // True while the mouse is over the button (and it is enabled).
  [[nodiscard]] bool Hovered() const { return hovered_ && isEnabled(); }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool hovered_ = false;
};

// A picture button: the normal image, or the pressed one while the mouse
// holds it down or while it has the keyboard focus. Light grey parts of
// both images are transparent. Under the mouse the image is lightened.
class ArrowButton final : public PageButton {
 public:
  explicit ArrowButton(QWidget* parent);
  void SetImages(const QImage& normal, const QImage& pressed);
  // True when the pressed image is the one shown.
  [[nodiscard]] bool ShowsPressed() const;
  // What the normal picture shows, as its description says ("Back", "Next",
  // ...): the name a reader of the screen announces for the button when it
  // has no text of its own. Empty when the picture carries none.
  [[nodiscard]] QString Description() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage normal_;
  QImage pressed_;
  QString description_;
};

// A menu button drawn on the page picture: its label centred on one line on
// a pale rounded panel with a thin blue edge. Under the mouse the panel
// brightens and the label turns page blue; with the keyboard focus a page
// blue ring goes round it; held down, the panel darkens and the label moves
// by a pixel. Disabled: a grey label on a faint panel.
class BigButton final : public PageButton {
 public:
  explicit BigButton(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace norix::platform::qt
