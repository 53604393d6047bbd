#include "gui/desktop/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace pt4 {

QString InstallTranslations() {
  static QString chosen = [] {
    static QTranslator ours, qts;
    // uiLanguages lists "ru-RU" before "ru"; a translation is named by language.
    for (QString language : QLocale::system().uiLanguages()) {
      language.replace('-', '_');
      for (const QString& name : {language, language.section('_', 0, 0)}) {
        if (name.isEmpty() || !ours.load("pt4prog_" + name, ":/i18n")) continue;
        QCoreApplication::installTranslator(&ours);
        // Qt's own texts: carried inside the program on Windows, else Qt's folder.
        if (qts.load("qtbase_" + name, ":/i18n") ||
            qts.load("qtbase_" + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
          QCoreApplication::installTranslator(&qts);
        return name;
      }
    }
    return QString();
  }();
  return chosen;
}

}  // namespace pt4
