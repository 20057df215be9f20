#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include "cardsettingscatalogue.h"

class CtlCards;
class QTextStream;
class ZeltraCard;

// ondavia-ctl: lists the cards, shows, reads and changes their settings with
// the rules of the settings window, watches them and writes their report.
class CtlApp
{
public:
    // Exit statuses.
    enum Status { Done = 0, Refused = 1, Usage = 2, NoCard = 3 };

    // Arguments as QCoreApplication::arguments() gives them.
    int run(const QStringList& arguments);

private:
    int list(CtlCards& cards);
    int show(CtlCards& cards, ZeltraCard& card);
    int get(CtlCards& cards, ZeltraCard& card, const QStringList& names);
    int set(CtlCards& cards, ZeltraCard& card, const QStringList& assignments);
    int watch(CtlCards& cards, ZeltraCard& card);
    int report(CtlCards& cards, ZeltraCard& card, const QString& path);

    // Prints the error, naming the card (and the setting), on standard error.
    int fail(int status, const QString& message) const;
    void print(const QString& text) const;
    void printJson(const QJsonObject& object) const;
    static QJsonObject cardJson(CtlCards& cards, ZeltraCard& card);
    static QJsonValue valueJson(const CardSetting& setting, const QVariant& value);
    static QJsonObject statusJson(ZeltraCard& card);
    // Runs the event loop until SIGINT, SIGTERM or SIGHUP, or until `stop`
    // is set by an event handled in it.
    static void waitForInterrupt(const bool* stop = nullptr);

    bool m_json = false;
    bool m_noStore = false;
    bool m_hold = false;
    QString m_prefix; // "ondavia-ctl: card 1 (Studio A): "
};
