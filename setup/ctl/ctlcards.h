#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "zeltracarddiscovery.h"

class ZeltraCard;

// The cards as the setup utility finds them (same exclusions, same order,
// channels of a card grouped), ready once load() returns.
class CtlCards : public QObject
{
    Q_OBJECT

public:
    explicit CtlCards(QObject* parent = nullptr);
    ~CtlCards() override;

    // False when the driver library cannot be loaded. Waits until every card
    // the library lists has arrived, at most `timeoutMs`.
    bool load(int timeoutMs = 5000);
    const QList<ZeltraCard*>& cards() const { return m_discovery.devices(); }
    // By index of the list, persistent id ("0x..."), or label; null with the
    // reason when no card or more than one matches.
    ZeltraCard* find(const QString& which, QString& error) const;
    int indexOf(const ZeltraCard* card) const { return cards().indexOf(const_cast<ZeltraCard*>(card)); }
    // "card 2 (Studio A)" for messages.
    QString describe(const ZeltraCard* card) const;

    ZeltraCardDiscovery& discovery() { return m_discovery; }

private:
    ZeltraCardDiscovery m_discovery;
    QList<ZeltraCard*> m_lost; // unplugged while we ran; deleted at the end
};
