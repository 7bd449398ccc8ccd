#include "platform/qt/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <array>
#include <cstring>

namespace norix::platform::qt {

namespace {

struct CatalogueLanguage {
  int countryCode;
  std::array<const char*, 3> qtNames;  // best first; unused entries null
};

// The languages of the program's catalogues. Qt has no Norwegian Bokmål
// translation on many systems; Nynorsk is closer to the user than English.
constexpr std::array<CatalogueLanguage, 5> kCatalogueLanguages{{
    {45, {"da", nullptr, nullptr}},
    {46, {"sv", nullptr, nullptr}},
    {47, {"nb", "no", "nn"}},
    {49, {"de", nullptr, nullptr}},
    {33, {"fr", nullptr, nullptr}},
}};

constexpr const char* kButtonContext = "QPlatformTheme";
constexpr const char* kOldButtonContext = "QDialogButtonBox";

}  // namespace

QStringList QtLanguageNames(int countryCode) {
  QStringList names;
  for (const CatalogueLanguage& language : kCatalogueLanguages) {
    if (language.countryCode != countryCode) {
      continue;
    }
    for (const char* name : language.qtNames) {
      if (name != nullptr) {
        names << QString::fromLatin1(name);
      }
    }
  }
  return names;
}

QString QtTranslations::ButtonContextBridge::translate(const char* context, const char* sourceText,
                                                       const char* disambiguation, int n) const {
  if (context == nullptr || std::strcmp(context, kButtonContext) != 0 ||
      !catalogue_.translate(context, sourceText, disambiguation, n).isEmpty()) {
    return {};
  }
  return catalogue_.translate(kOldButtonContext, sourceText, disambiguation, n);
}

QtTranslations::QtTranslations(int countryCode, const QString& folder) {
  const QString from =
      folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  for (const QString& name : QtLanguageNames(countryCode)) {
    // "qt_<name>" loads the catalogues of every Qt module the system has.
    // Only that exact file: a load by name alone would fall back to
    // shorter names ("qt") on its own.
    const QString file = QDir(from).filePath(QStringLiteral("qt_%1.qm").arg(name));
    if (QFileInfo::exists(file) && catalogue_.load(file)) {
      loaded_ = name;
      break;
    }
  }
  if (loaded_.isEmpty()) {
    return;
  }
  QCoreApplication::installTranslator(&catalogue_);
  // Installed last, so asked first.
  QCoreApplication::installTranslator(&bridge_);
}

QtTranslations::~QtTranslations() {
  if (!loaded_.isEmpty()) {
    QCoreApplication::removeTranslator(&bridge_);
    QCoreApplication::removeTranslator(&catalogue_);
  }
}

}  // namespace norix::platform::qt
