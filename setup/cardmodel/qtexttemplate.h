#pragma once

#include <QMap>
#include <QString>

// A text with ${name} placeholders, filled from a map of values. Values are
// substituted in one pass over the template, so a value that itself holds
// "${...}" is never expanded again.
class QTextTemplate
{
public:
    explicit QTextTemplate(bool clearAfterRender = false);

    // Reads the whole file (or resource) as UTF-8 text; false if it cannot be
    // opened, leaving the text empty.
    bool load(const QString& path);
    void setText(const QString& text) { m_text = text; }

    // With escape the value is HTML-escaped first.
    void setValue(const QString& name, const QString& value, bool escape = true);

    // Every placeholder replaced by its value (empty when it has none). With
    // clear-after-render the values are dropped afterwards.
    QString render();

private:
    QString m_text;
    QMap<QString, QString> m_values;
    bool m_clearAfterRender;
};
