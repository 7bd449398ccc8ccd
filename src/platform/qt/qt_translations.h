// Qt's own texts (the standard buttons of the message boxes, the file
// dialog) in the language of the program's texts, from the Qt translations
// installed on the system.
#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

namespace norix::platform::qt {

// The names of Qt's translations ("da", "nb", ...) for the language of the
// program's catalogue of a country code, best first; empty for the
// program's own English texts and for a country without a catalogue.
[[nodiscard]] QStringList QtLanguageNames(int countryCode);

// Qt's translations for one language, installed on the application while
// the object lives. Call on the GUI thread, after the application is made.
class QtTranslations {
 public:
  // Loads the first of QtLanguageNames(countryCode) that `folder` holds
  // (Qt's own translations folder when empty) and installs it. Without a
  // translation Qt's texts stay in English.
  explicit QtTranslations(int countryCode, const QString& folder = {});
  ~QtTranslations();
  QtTranslations(const QtTranslations&) = delete;
  QtTranslations& operator=(const QtTranslations&) = delete;
  QtTranslations(QtTranslations&&) = delete;
  QtTranslations& operator=(QtTranslations&&) = delete;

  // The name of the translation in use; empty when there is none.
  [[nodiscard]] const QString& Loaded() const { return loaded_; }

 private:
  // Some of Qt's catalogues still hold the standard button texts under the
  // context the buttons had before Qt 5 ("QDialogButtonBox"); this one
  // answers the current context ("QPlatformTheme") from the older one when
  // the catalogue lacks the current one.
  class ButtonContextBridge final : public QTranslator {
   public:
    explicit ButtonContextBridge(const QTranslator& catalogue) : catalogue_(catalogue) {}
    [[nodiscard]] QString translate(const char* context, const char* sourceText,
                                    const char* disambiguation, int n) const override;
    [[nodiscard]] bool isEmpty() const override { return false; }

   private:
    const QTranslator& catalogue_;
  };

  QTranslator catalogue_;
  ButtonContextBridge bridge_{catalogue_};
  QString loaded_;
};

}  // namespace norix::platform::qt
