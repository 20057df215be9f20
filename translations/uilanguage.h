#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QCoreApplication;

// Picks the language of the user interface from the environment as the
// desktop sets it, and installs the program's catalogue and Qt's own for it.
// Shared by the three programs; each links its own copy.
namespace UiLanguage {

// Reads one environment variable; empty when unset.
using Environment = std::function<QString(const char* name)>;

// The languages asked for, best first, as catalogue suffixes: each entry of
// LANGUAGE (a colon-separated list), then the locale of LC_ALL, LC_MESSAGES
// or LANG (the first that is set). "de_AT.UTF-8@euro" gives "de_AT" then
// "de". English ("en", "C", "POSIX") ends the list: whatever follows it is
// never reached.
QStringList requested(const Environment& environment);

// Installs ":/translations/<program>_<language>.qm" for the first requested
// language that has one, with Qt's own "qtbase_<language>.qm" from Qt's
// translations folder for its standard buttons and dialogs. Returns the
// language installed, or an empty string for English. The translators are
// children of the application.
QString install(QCoreApplication* application, const QString& program);
QString install(QCoreApplication* application, const QString& program, const Environment& environment);

} // namespace UiLanguage
