#pragma once

#include <cstdint>
#include <functional>

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class ZeltraCard;

// One setting of a card's settings window, by its stable name: what it
// allows, how it is read and how a change is written (through CardRules,
// as the tab writes it). Values travel as int64 codes (choices, sets, flags),
// doubles (numbers) or strings (texts).
struct CardSetting {
    enum class Kind { Choice, Set, Flag, Number, Text };
    struct Choice {
        QString name;  // stable, lower-case, hyphenated
        int64_t value; // the card's code
        QString label; // as the window shows it
    };

    QString name;
    QString tab;
    Kind kind = Kind::Flag;
    QVector<Choice> choices; // Choice and Set
    double minimum = 0.0;    // Number
    double maximum = 0.0;
    int decimals = 0;
    QString unit;
    int maxLength = 0; // Text
    std::function<QVariant(ZeltraCard&)> read;
    std::function<void(ZeltraCard&, const QVariant&)> write;

    // The value as text: a choice's name, names of a set joined by ",",
    // "on"/"off", a number with the setting's decimals, the text itself.
    QString format(const QVariant& value) const;
    // Text to value; false with the reason when the text is not one of the
    // allowed values (out of range, unknown name, too long, not an address).
    bool parse(const QString& text, QVariant& value, QString& error) const;
    // Whether the card holds what was asked for (numbers to the decimals shown).
    bool holds(const QVariant& held, const QVariant& wanted) const;
    // "a|b|c", "on|off", "-12.00..12.00 dB", "text (at most 4096 characters)".
    QString allowedText() const;
    QString kindName() const;
};

namespace CardSettingsCatalogue {

// Every setting the card's settings window offers now, tab by tab in the
// window's order; built from the same rules the tabs are built from.
QVector<CardSetting> settings(ZeltraCard& card);
// The tab titles in window order.
QStringList tabTitles();
// Lower case, every run of other characters a single "-".
QString slug(const QString& text);

} // namespace CardSettingsCatalogue
