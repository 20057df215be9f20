// What a window shows in another language, read off its widgets: texts cut
// off by their widget, texts lying over one another, and English texts that
// the catalogue translates but the window shows untranslated.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>
#include <QXmlStreamReader>

namespace TextCheck {

// One message of a catalogue.
struct Message
{
    QString context;
    QString source;
    QString translation;
    bool unfinished = false;
};

inline QList<Message> readCatalogue(const QString& path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            message = Message{ context, {}, {}, false };
        else if (xml.name() == QLatin1String("source"))
            message.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            message.unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            message.translation = xml.readElementText();
            messages << message;
        }
    }
    return messages;
}

// The English texts the catalogue changes, as they appear on screen (the
// mnemonic marks gone).
inline QSet<QString> translatedSources(const QString& path)
{
    QSet<QString> sources;
    for (const Message& m : readCatalogue(path)) {
        if (m.translation != m.source && !m.source.contains(QLatin1Char('%')))
            sources << QString(m.source).remove(QLatin1Char('&'));
    }
    return sources;
}

inline QString shownText(const QWidget* w)
{
    QString text;
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        text = label->text();
        if (label->textFormat() == Qt::RichText || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
            QTextDocument document;
            document.setHtml(text);
            text = document.toPlainText();
        }
    } else if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        text = button->text();
    }
    return text.remove(QLatin1Char('&')).trimmed();
}

inline QString describe(const QWidget* w, const QString& text)
{
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), text);
}

// Where the text of a widget is drawn and how wide it needs to be; an empty
// rectangle for a widget whose text is not checked here.
inline QRect textRoom(const QWidget* w, int* needed)
{
    const QString text = shownText(w);
    *needed = 0;
    if (text.isEmpty())
        return {};
    const QFontMetrics metrics = w->fontMetrics();
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->wordWrap()) {
            // Wrapped: the lines must fit the height.
            *needed = -label->heightForWidth(label->width());
            return label->contentsRect();
        }
        int widest = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            widest = qMax(widest, metrics.horizontalAdvance(line));
        *needed = widest;
        return label->contentsRect().adjusted(label->indent() > 0 ? label->indent() : 0, 0, 0, 0);
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(w))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<const QRadioButton*>(w))
            element = QStyle::SE_RadioButtonContents;
        else if (!qobject_cast<const QPushButton*>(w))
            return {};
        QRect room = button->style()->subElementRect(element, &option, button);
        if (!button->icon().isNull())
            room.setLeft(room.left() + button->iconSize().width() + 4);
        *needed = metrics.horizontalAdvance(text);
        return room;
    }
    return {};
}

// "<widget> "<text>" needs N px, has M" for every visible text under `root`
// that its widget cuts off, and every visible tab title that its tab cuts
// off; "<a> overlaps <b>" for two texts of one parent that lie over one
// another.
inline QStringList problems(QWidget* root)
{
    QStringList found;
    QHash<QWidget*, QList<QPair<QWidget*, QRect>>> byParent;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : qAsConst(widgets)) {
        if (!w->isVisibleTo(root) || !w->isVisible() || w->width() <= 0)
            continue;
        if (auto* bar = qobject_cast<QTabBar*>(w)) {
            // Every title in full, with no scrolling needed to reach it.
            QRect shown = bar->visibleRegion().boundingRect();
            for (QToolButton* scroll : bar->findChildren<QToolButton*>()) {
                if (scroll->isVisible())
                    shown.setRight(qMin(shown.right(), scroll->x() - 1));
            }
            for (int i = 0; i < bar->count(); ++i) {
                if (bar->isTabVisible(i) && (bar->fontMetrics().horizontalAdvance(bar->tabText(i)) > bar->tabRect(i).width()
                                             || !shown.contains(bar->tabRect(i))))
                    found << QStringLiteral("tab \"%1\" is cut off").arg(bar->tabText(i));
            }
            continue;
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = combo->isEditable();
            const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
            const int iconWidth = combo->itemIcon(combo->currentIndex()).isNull() ? 0 : combo->iconSize().width() + 4;
            const int needed = combo->fontMetrics().horizontalAdvance(combo->currentText()) + iconWidth;
            if (needed > field.width())
                found << QStringLiteral("%1 needs %2 px, has %3").arg(describe(w, combo->currentText())).arg(needed).arg(field.width());
            continue;
        }
        int needed = 0;
        const QRect room = textRoom(w, &needed);
        if (room.isEmpty())
            continue;
        const QString text = shownText(w);
        if (needed < 0 && -needed > room.height() + 1)
            found << QStringLiteral("%1 needs %2 px of height, has %3").arg(describe(w, text)).arg(-needed).arg(room.height());
        else if (needed > room.width())
            found << QStringLiteral("%1 needs %2 px, has %3").arg(describe(w, text)).arg(needed).arg(room.width());
        // Where the text itself lies, for the overlap check.
        QRect drawn = room;
        if (needed > 0 && needed < room.width()) {
            const Qt::Alignment align = qobject_cast<QLabel*>(w) ? static_cast<QLabel*>(w)->alignment() : Qt::AlignLeft;
            if (align & Qt::AlignRight)
                drawn.setLeft(room.right() - needed);
            else if (align & Qt::AlignHCenter)
                drawn = QRect(room.center().x() - needed / 2, room.top(), needed, room.height());
            else
                drawn.setWidth(needed);
        }
        byParent[w->parentWidget()] << qMakePair(w, drawn.translated(w->pos()));
    }
    for (auto it = byParent.cbegin(); it != byParent.cend(); ++it) {
        const auto& texts = it.value();
        for (int i = 0; i < texts.size(); ++i) {
            for (int j = i + 1; j < texts.size(); ++j) {
                if (texts[i].second.intersects(texts[j].second))
                    found << QStringLiteral("%1 overlaps %2").arg(describe(texts[i].first, shownText(texts[i].first)),
                                                                  describe(texts[j].first, shownText(texts[j].first)));
            }
        }
    }
    return found;
}

// Visible texts under `root` (shown, rollover and screen-reader texts)
// that are English sources the catalogue translates: a text the window
// forgot to translate.
inline QStringList english(QWidget* root, const QSet<QString>& sources)
{
    QStringList found;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : qAsConst(widgets)) {
        if (!w->isVisible())
            continue;
        QStringList texts{ shownText(w), w->toolTip(), w->windowTitle(), w->accessibleName(),
                           w->accessibleDescription() };
        if (auto* bar = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < bar->count(); ++i)
                texts << bar->tabText(i);
        }
        for (const QString& text : qAsConst(texts)) {
            if (!text.isEmpty() && sources.contains(text))
                found << describe(w, text);
        }
    }
    return found;
}

} // namespace TextCheck
