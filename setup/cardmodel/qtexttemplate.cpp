#include "qtexttemplate.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

QTextTemplate::QTextTemplate(bool clearAfterRender)
    : m_clearAfterRender(clearAfterRender)
{
}

bool QTextTemplate::load(const QString& path)
{
    m_text.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    m_text = QString::fromUtf8(file.readAll());
    return true;
}

void QTextTemplate::setValue(const QString& name, const QString& value, bool escape)
{
    m_values.insert(name, escape ? value.toHtmlEscaped() : value);
}

QString QTextTemplate::render()
{
    static const QRegularExpression placeholder(QStringLiteral("\\$\\{(.*?)\\}"));
    QString result;
    result.reserve(m_text.size());
    int last = 0;
    // Built piece by piece from the template rather than replaced in place,
    // so text coming from a value is never searched for placeholders.
    auto it = placeholder.globalMatch(m_text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += m_text.midRef(last, match.capturedStart() - last);
        result += m_values.value(match.captured(1));
        last = match.capturedEnd();
    }
    result += m_text.midRef(last);
    if (m_clearAfterRender)
        m_values.clear();
    return result;
}
