// The windows in their user's language: the first language of the locale that
// pt4prog is translated into, with Qt's own texts (the buttons of its boxes,
// the file dialog) in the same language. No translation fits: the English
// source texts, exactly as written. pt4cli is not translated: scripts read it.
#pragma once

#include <QString>

namespace pt4 {

// Installs the translators once; returns the language chosen ("ru"), or empty
// for English. Call after the application object exists.
QString InstallTranslations();

}  // namespace pt4
