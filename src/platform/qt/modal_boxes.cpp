#include "platform/qt/modal_boxes.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace norix::platform::qt {

namespace w = window;

namespace {

QMessageBox::Icon IconOf(w::UINT style) {
  switch (style & w::MB_ICONMASK) {
    case w::MB_ICONHAND:
      return QMessageBox::Critical;
    case w::MB_ICONQUESTION:
      return QMessageBox::Question;
    case w::MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case w::MB_ICONASTERISK:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButton ButtonOf(int id) {
  switch (id) {
    case w::IDOK:
      return QMessageBox::Ok;
    case w::IDCANCEL:
      return QMessageBox::Cancel;
    case w::IDABORT:
      return QMessageBox::Abort;
    case w::IDRETRY:
      return QMessageBox::Retry;
    case w::IDIGNORE:
      return QMessageBox::Ignore;
    case w::IDYES:
      return QMessageBox::Yes;
    case w::IDNO:
      return QMessageBox::No;
    default:
      return QMessageBox::NoButton;
  }
}

// "Upgrade files (*.lfu)" with patterns "*.lfu;*.LFU" as Qt writes a filter.
QString FilterText(const w::FileFilter& filter) {
  QString patterns = QString::fromStdString(filter.patterns);
  patterns.replace(';', ' ');
  QString description = QString::fromStdString(filter.description);
  if (description.contains('(')) {
    // A description that already names its patterns would show them twice.
    description = description.left(description.indexOf('(')).trimmed();
  }
  if (description.isEmpty()) {
    return patterns;
  }
  return description + " (" + patterns + ")";
}

}  // namespace

QWidget* OpenMessageBox(const w::MessageBoxRequest& request, w::MessageBoxAnswer answer,
                        QWidget* owner) {
  auto* box = new QMessageBox(request.taskModal ? nullptr : owner);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle(QString::fromStdString(request.caption));
  box->setText(QString::fromStdString(request.text));
  box->setIcon(IconOf(request.style));
  for (const int id : request.buttons) {
    QPushButton* button = box->addButton(ButtonOf(id));
    QObject::connect(button, &QAbstractButton::clicked, box, [answer, id] { answer(id); });
    if (id == request.defaultButton) {
      box->setDefaultButton(button);
    }
    if (id == w::IDCANCEL || (request.buttons.size() == 1)) {
      box->setEscapeButton(button);
    }
  }
  box->setWindowModality(request.taskModal || owner == nullptr ? Qt::ApplicationModal
                                                               : Qt::WindowModal);
  box->show();  // open() would make every box window-modal
  return box;
}

QWidget* OpenFileDialog(const w::OpenFileName& request, w::FileDialogAnswer answer,
                        QWidget* owner) {
  auto* dialog = new QFileDialog(owner, QString::fromStdString(request.title),
                                 QString::fromStdString(request.initialDir));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QStringList filters;
  for (const w::FileFilter& filter : request.filters) {
    filters << FilterText(filter);
  }
  if (!filters.isEmpty()) {
    dialog->setNameFilters(filters);
  }
  if (!request.defaultExtension.empty()) {
    dialog->setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  }
  if (!request.fileName.empty()) {
    dialog->selectFile(QString::fromStdString(request.fileName));
  }
  dialog->setWindowModality(Qt::ApplicationModal);
  QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                   [answer](const QString& path) { answer(path.toStdString()); });
  QObject::connect(dialog, &QFileDialog::rejected, dialog, [answer] { answer(std::nullopt); });
  dialog->open();
  return dialog;
}

}  // namespace norix::platform::qt
