#include "uilanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>

#include <cstdlib>

namespace UiLanguage {

namespace {

// "de_AT.UTF-8@euro" -> "de_AT"; "de" stays.
QString stripCodeset(const QString& entry)
{
    QString name = entry.trimmed();
    const int end = name.indexOf(QRegularExpression(QStringLiteral("[.@]")));
    if (end >= 0)
        name.truncate(end);
    return name;
}

bool isEnglish(const QString& name)
{
    return name == QLatin1String("C") || name == QLatin1String("POSIX") || name == QLatin1String("en") ||
           name.startsWith(QLatin1String("en_"));
}

QString readEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? QString::fromLocal8Bit(value) : QString();
}

} // namespace

QStringList requested(const Environment& environment)
{
    QStringList entries = environment("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const QString locale = environment(name);
        if (!locale.isEmpty()) {
            entries << locale;
            break;
        }
    }
    QStringList languages;
    for (const QString& entry : qAsConst(entries)) {
        const QString name = stripCodeset(entry);
        if (name.isEmpty())
            continue;
        if (isEnglish(name))
            break;
        if (!languages.contains(name))
            languages << name;
        const int territory = name.indexOf(QLatin1Char('_'));
        if (territory > 0 && !languages.contains(name.left(territory)))
            languages << name.left(territory);
    }
    return languages;
}

QString install(QCoreApplication* application, const QString& program)
{
    return install(application, program, readEnvironment);
}

QString install(QCoreApplication* application, const QString& program, const Environment& environment)
{
    for (const QString& language : requested(environment)) {
        // One file looked up by name: no folder is listed.
        const QString catalogue = QStringLiteral(":/translations/%1_%2.qm").arg(program, language);
        if (!QFile::exists(catalogue))
            continue;
        auto* own = new QTranslator(application);
        if (!own->load(catalogue)) {
            delete own;
            continue;
        }
        // Qt's own texts (standard buttons, file dialogs) where Qt has them;
        // without them those few texts stay English.
        auto* qt = new QTranslator(application);
        if (qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
            application->installTranslator(qt);
        else
            delete qt;
        application->installTranslator(own);
        return language;
    }
    return QString();
}

} // namespace UiLanguage
