#include "platform/qt/page_widget.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMoveEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <optional>
#include <string>

#include "platform/qt/control_widgets.h"
#include "platform/window/user_input.h"
#include "platform/window/window_api.h"

namespace norix::platform::qt {

namespace w = window;

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

QRect ToQt(const w::Rect& rect) { return {rect.left, rect.top, rect.Width(), rect.Height()}; }

QFont MakeFont(const w::FontDescription& description, const QFont& base) {
  QFont font = base;
  if (description.fixedPitch) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  }
  if (!description.face.empty()) {
    font.setFamily(ToQt(description.face));
  }
  if (description.pixelHeight > 0) {
    font.setPixelSize(description.pixelHeight);
  } else if (description.pointSize > 0) {
    font.setPointSize(description.pointSize);
  }
  font.setWeight(description.weight >= 600 ? QFont::Bold : QFont::Normal);
  font.setItalic(description.italic);
  return font;
}

Qt::Alignment TextAlignment(std::uint32_t style) {
  if ((style & w::ControlStyle::kCentered) != 0) {
    return Qt::AlignHCenter | Qt::AlignTop;
  }
  if ((style & w::ControlStyle::kRightAligned) != 0) {
    return Qt::AlignRight | Qt::AlignTop;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

}  // namespace

PageWidget::PageWidget(const w::WindowSnapshot& snapshot, const PictureSource& pictures)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint),
      handle_(snapshot.window.handle),
      pictures_(pictures),
      backgroundPicture_(snapshot.window.backgroundPicture) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setFixedSize(snapshot.window.clientSize.width, snapshot.window.clientSize.height);
  setWindowTitle(ToQt(snapshot.window.caption));
  if (backgroundPicture_ != 0 && pictures_) {
    background_ = pictures_(backgroundPicture_, size());
  }
  // The page takes the keyboard only when no control does (Esc and Enter
  // still reach it then); Tab goes round the controls alone.
  setFocusPolicy(Qt::ClickFocus);
  for (const w::ControlState& control : snapshot.controls) {
    QWidget* widget = MakeControl(control);
    widget->setObjectName(QString::number(control.id));
    QRect area = ToQt(control.rect);
    if (control.kind == w::ControlKind::kDropDownList) {
      // The template's height is that of the open list; closed, the box is
      // one line high.
      area.setHeight(std::min(area.height(), widget->sizeHint().height()));
    }
    widget->setGeometry(area);
    widget->installEventFilter(this);
    controls_[control.id] = {control.kind, widget, control.picture, control.pressedPicture};
    order_.push_back(control.id);
    ApplyControl(control, ~0U);
    Connect(control, widget);
  }
  ApplyWindow(snapshot.window, ~0U & ~w::WindowChange::kRaise);
}

void PageWidget::UpdateAccessibleNames() {
  QString label;  // the text of the last label in the page's order
  for (const int id : order_) {
    const Entry& entry = controls_[id];
    QWidget* widget = entry.widget;
    switch (entry.kind) {
      case w::ControlKind::kStaticText: {
        const QString& text = static_cast<TextLabel*>(widget)->Text();
        widget->setAccessibleName(text);
        if (!text.trimmed().isEmpty()) {
          label = text;
        }
        break;
      }
      case w::ControlKind::kGroupBox:
        if (const QString title = static_cast<QGroupBox*>(widget)->title(); !title.isEmpty()) {
          label = title;
        }
        break;
      case w::ControlKind::kArrowButton: {
        const QString text = static_cast<QAbstractButton*>(widget)->text();
        widget->setAccessibleName(text.isEmpty() ? static_cast<ArrowButton*>(widget)->Description()
                                                  : text);
        break;
      }
      case w::ControlKind::kEdit:
      case w::ControlKind::kDropDownList:
      case w::ControlKind::kListBox:
      case w::ControlKind::kProgressBar:
      case w::ControlKind::kTrackbar:
        widget->setAccessibleName(label.simplified());
        break;
      default:
        // Push, big and check buttons and radios are named by their text.
        break;
    }
  }
}

QWidget* PageWidget::Control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second.widget;
}

int PageWidget::IdOf(const QObject* widget) const {
  for (const auto& [id, entry] : controls_) {
    if (entry.widget == widget) {
      return id;
    }
  }
  return 0;
}

QWidget* PageWidget::MakeControl(const w::ControlState& state) {
  namespace S = w::ControlStyle;
  switch (state.kind) {
    case w::ControlKind::kStaticText: {
      auto* label = new TextLabel(this);
      label->SetAlignment(TextAlignment(state.style));
      return label;
    }
    case w::ControlKind::kPicture:
      return new PictureBox(this);
    case w::ControlKind::kGroupBox:
      return new QGroupBox(this);
    case w::ControlKind::kLine: {
      auto* line = new QFrame(this);
      line->setFrameShape((state.style & S::kVertical) != 0 ? QFrame::VLine : QFrame::HLine);
      line->setFrameShadow(QFrame::Sunken);
      return line;
    }
    case w::ControlKind::kPushButton: {
      auto* button = new QPushButton(this);
      button->setAutoDefault(false);
      button->setDefault((state.style & S::kDefault) != 0);
      return button;
    }
    case w::ControlKind::kArrowButton:
      return new ArrowButton(this);
    case w::ControlKind::kBigButton:
      return new BigButton(this);
    case w::ControlKind::kCheckBox:
      return new QCheckBox(this);
    case w::ControlKind::kRadio: {
      auto* radio = new QRadioButton(this);
      radio->setAutoExclusive(false);  // the model clears the others of the group
      return radio;
    }
    case w::ControlKind::kEdit: {
      auto* edit = new QLineEdit(this);
      edit->setReadOnly((state.style & S::kReadOnly) != 0);
      if ((state.style & S::kCentered) != 0) {
        edit->setAlignment(Qt::AlignCenter);
      } else if ((state.style & S::kRightAligned) != 0) {
        edit->setAlignment(Qt::AlignRight);
      }
      return edit;
    }
    case w::ControlKind::kDropDownList:
      return new QComboBox(this);
    case w::ControlKind::kListBox:
      return new QListWidget(this);
    case w::ControlKind::kProgressBar: {
      auto* bar = new QProgressBar(this);
      bar->setTextVisible(false);
      bar->setOrientation((state.style & S::kVertical) != 0 ? Qt::Vertical : Qt::Horizontal);
      return bar;
    }
    case w::ControlKind::kTrackbar:
      return new QSlider((state.style & S::kVertical) != 0 ? Qt::Vertical : Qt::Horizontal, this);
  }
  return new QWidget(this);
}

void PageWidget::Connect(const w::ControlState& state, QWidget* widget) {
  const int id = state.id;
  switch (state.kind) {
    case w::ControlKind::kPushButton:
    case w::ControlKind::kArrowButton:
    case w::ControlKind::kBigButton:
      connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
              [this, id] { w::UserClick(handle_, id); });
      break;
    case w::ControlKind::kCheckBox:
    case w::ControlKind::kRadio:
      // Qt has already toggled the box; the model decides what it shows.
      connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this, [this, id] {
        w::UserClick(handle_, id);
        SyncChecked(id);
      });
      break;
    case w::ControlKind::kEdit: {
      auto* edit = static_cast<QLineEdit*>(widget);
      connect(edit, &QLineEdit::textEdited, this, [this, id, edit](const QString& proposed) {
        // The model applies the edit's rules (digits only, capitals, limit)
        // and the widget shows what it accepted.
        const std::optional<std::string> accepted =
            w::UserEditText(handle_, id, proposed.toStdString());
        const QString shown = accepted ? ToQt(*accepted) : ToQt(w::GetDlgItemText(handle_, id));
        if (shown != edit->text()) {
          const int cursor = edit->cursorPosition();
          edit->setText(shown);
          edit->setCursorPosition(std::min(cursor, static_cast<int>(shown.size())));
        }
      });
      break;
    }
    case w::ControlKind::kDropDownList:
      connect(static_cast<QComboBox*>(widget), qOverload<int>(&QComboBox::activated), this,
              [this, id](int index) { w::UserSelectItem(handle_, id, index); });
      break;
    case w::ControlKind::kListBox:
      // Selection, not the current row: a list taking the focus moves its
      // current row without the user picking a line.
      connect(static_cast<QListWidget*>(widget), &QListWidget::itemSelectionChanged, this,
              [this, id, widget] {
                const int row = static_cast<QListWidget*>(widget)->currentRow();
                if (row >= 0 && static_cast<QListWidget*>(widget)->item(row)->isSelected()) {
                  w::UserSelectItem(handle_, id, row);
                }
              });
      break;
    case w::ControlKind::kTrackbar:
      connect(static_cast<QSlider*>(widget), &QSlider::valueChanged, this,
              [this, id](int value) { w::UserSetTrackbar(handle_, id, value); });
      break;
    default:
      break;
  }
}

void PageWidget::SyncChecked(int id) {
  const auto state = w::GetControlState(handle_, id);
  if (state) {
    ApplyControl(*state, w::ControlChange::kChecked);
  }
}

void PageWidget::ApplyWindow(const w::WindowState& state, unsigned changes) {
  namespace C = w::WindowChange;
  if ((changes & C::kCaption) != 0) {
    setWindowTitle(ToQt(state.caption));
  }
  if ((changes & C::kRect) != 0) {
    placing_ = true;
    move(state.rect.left, state.rect.top);
    placing_ = false;
  }
  if ((changes & C::kEnabled) != 0) {
    setEnabled(state.enabled);
  }
  if ((changes & C::kBeep) != 0) {
    QApplication::beep();
  }
  if ((changes & C::kWaitCursor) != 0) {
    if (state.waitCursor) {
      setCursor(Qt::WaitCursor);
    } else {
      unsetCursor();
    }
  }
  if ((changes & C::kVisible) != 0) {
    if (state.visible && !isVisible()) {
      placing_ = true;
      show();
      placing_ = false;
      raise();
      activateWindow();
    } else if (!state.visible && isVisible()) {
      hide();
    }
  }
  if ((changes & C::kFocus) != 0) {
    QWidget* target = Control(state.focusId);
    if (target == nullptr) {
      target = this;
    }
    if (!target->hasFocus()) {
      target->setFocus(Qt::OtherFocusReason);
    }
  }
  if ((changes & C::kRaise) != 0) {
    // Brought to the front from elsewhere (a second start of the program):
    // a minimised page comes back in its normal size first.
    if (isMinimized()) {
      showNormal();
    }
    raise();
    activateWindow();
  }
}

void PageWidget::ApplyControl(const w::ControlState& state, unsigned changes) {
  namespace C = w::ControlChange;
  const auto found = controls_.find(state.id);
  if (found == controls_.end()) {
    return;
  }
  Entry& entry = found->second;
  QWidget* widget = entry.widget;
  const QString text = ToQt(state.text);

  if ((changes & C::kFont) != 0) {
    if (state.font) {
      widget->setFont(MakeFont(*state.font, font()));
    } else if ((state.style & w::ControlStyle::kFixedFont) != 0) {
      widget->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    } else {
      widget->setFont(font());
    }
  }
  if ((changes & C::kPicture) != 0) {
    entry.picture = state.picture;
    entry.pressedPicture = state.pressedPicture;
    const auto draw = [this, widget](int id) {
      return id != 0 && pictures_ ? pictures_(id, widget->size()) : QImage();
    };
    if (auto* arrow = dynamic_cast<ArrowButton*>(widget)) {
      arrow->SetImages(draw(state.picture), draw(state.pressedPicture));
    } else if (auto* picture = dynamic_cast<PictureBox*>(widget)) {
      picture->SetImage(draw(state.picture));
    }
  }
  if ((changes & C::kText) != 0) {
    switch (state.kind) {
      case w::ControlKind::kStaticText:
        static_cast<TextLabel*>(widget)->SetText(text);
        break;
      case w::ControlKind::kGroupBox:
        static_cast<QGroupBox*>(widget)->setTitle(text);
        break;
      case w::ControlKind::kPushButton:
      case w::ControlKind::kArrowButton:
      case w::ControlKind::kBigButton:
      case w::ControlKind::kCheckBox:
      case w::ControlKind::kRadio:
        static_cast<QAbstractButton*>(widget)->setText(text);
        break;
      case w::ControlKind::kEdit: {
        auto* edit = static_cast<QLineEdit*>(widget);
        if (edit->text() != text) {
          const int cursor = edit->cursorPosition();
          edit->setText(text);
          edit->setCursorPosition(edit->hasFocus() ? std::min(cursor, static_cast<int>(text.size()))
                                                   : static_cast<int>(text.size()));
        }
        break;
      }
      default:
        break;
    }
  }
  if ((changes & C::kEditRules) != 0 && state.kind == w::ControlKind::kEdit) {
    // The model enforces the limit on what is typed; the widget's own limit
    // only has to let every text through that the program may set.
    static_cast<QLineEdit*>(widget)->setMaxLength(32767);
  }
  if ((changes & C::kChecked) != 0 &&
      (state.kind == w::ControlKind::kCheckBox || state.kind == w::ControlKind::kRadio)) {
    auto* button = static_cast<QAbstractButton*>(widget);
    const QSignalBlocker blocker(button);
    if (auto* box = dynamic_cast<QCheckBox*>(widget)) {
      box->setCheckState(state.checked == w::BST_CHECKED         ? Qt::Checked
                         : state.checked == w::BST_INDETERMINATE ? Qt::PartiallyChecked
                                                                 : Qt::Unchecked);
    } else {
      button->setChecked(state.checked == w::BST_CHECKED);
    }
  }
  if ((changes & (C::kItems | C::kSelection)) != 0) {
    if (auto* combo = dynamic_cast<QComboBox*>(widget)) {
      const QSignalBlocker blocker(combo);
      if ((changes & C::kItems) != 0) {
        combo->clear();
        for (const w::ListItem& item : state.items) {
          combo->addItem(ToQt(item.text));
        }
      }
      combo->setCurrentIndex(state.selection);
    } else if (auto* list = dynamic_cast<QListWidget*>(widget)) {
      const QSignalBlocker blocker(list);
      if ((changes & C::kItems) != 0) {
        list->clear();
        for (const w::ListItem& item : state.items) {
          list->addItem(ToQt(item.text));
        }
      }
      list->setCurrentRow(state.selection);
      if (state.selection < 0) {
        list->clearSelection();
      }
    }
  }
  if ((changes & (C::kRange | C::kPosition)) != 0) {
    if (auto* bar = dynamic_cast<QProgressBar*>(widget)) {
      bar->setRange(state.rangeMin, state.rangeMax);
      bar->setValue(state.position);
    } else if (auto* slider = dynamic_cast<QSlider*>(widget)) {
      const QSignalBlocker blocker(slider);
      slider->setRange(state.rangeMin, state.rangeMax);
      slider->setValue(state.position);
    }
  }
  if ((changes & C::kEnabled) != 0) {
    widget->setEnabled(state.enabled);
  }
  if ((changes & C::kVisible) != 0) {
    widget->setVisible(state.visible);
  }
  if ((changes & (C::kText | C::kPicture)) != 0) {
    UpdateAccessibleNames();
  }
}

void PageWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  if (background_.isNull()) {
    painter.fillRect(rect(), palette().window());
    return;
  }
  painter.drawImage(rect(), background_);
}

bool PageWidget::DialogKey(const QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      w::UserEnter(handle_);
      return true;
    case Qt::Key_Escape:
      w::UserEscape(handle_);
      return true;
    default:
      return false;
  }
}

void PageWidget::keyPressEvent(QKeyEvent* event) {
  if (!DialogKey(event)) {
    QWidget::keyPressEvent(event);
  }
}

bool PageWidget::eventFilter(QObject* watched, QEvent* event) {
  const int id = IdOf(watched);
  if (id == 0) {
    return QWidget::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Space) {
        const auto kind = controls_[id].kind;
        if (kind == w::ControlKind::kArrowButton || kind == w::ControlKind::kBigButton) {
          w::UserClick(handle_, id);
          return true;
        }
      }
      // An open drop-down handles its own Enter and Esc.
      if (auto* combo = dynamic_cast<QComboBox*>(watched);
          combo != nullptr && combo->view()->isVisible()) {
        return false;
      }
      return DialogKey(key);
    }
    case QEvent::FocusIn:
      w::UserFocus(handle_, id);
      return false;
    case QEvent::Enter:
      w::UserHover(handle_, id);
      return false;
    default:
      return false;
  }
}

void PageWidget::closeEvent(QCloseEvent* event) {
  // The dialog decides whether it closes; WindowDestroyed removes the widget.
  event->ignore();
  w::UserClose(handle_);
}

void PageWidget::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (!placing_ && isVisible()) {
    const QPoint at = frameGeometry().topLeft();
    w::UserMovedWindow(handle_, {at.x(), at.y()});
  }
}

}  // namespace norix::platform::qt
