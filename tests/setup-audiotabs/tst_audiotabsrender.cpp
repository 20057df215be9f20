// Renders the Audio, Conversions, Connectors and Serial Port tabs of every
// built-in simulated card that has them to PNG files (ONDAVIA_RENDER_DIR,
// else the working folder), checking on the way that no caption is clipped.

#include "simcards.h"

#include "audiosettings.h"
#include "connectorssettings.h"
#include "conversionssettings.h"
#include "deckcontrolconnectionssettings.h"

#include <QDir>
#include <QLabel>

#include <functional>
#include <iterator>
#include <memory>

class TestAudioTabsRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_cards.start()); }
    void cleanupTestCase() { m_cards.stop(); }
    void renderTabs();

private:
    SimCards m_cards;
};

void TestAudioTabsRender::renderTabs()
{
    using Factory = std::function<ZeltraSettingsTab*(VisibleZeltra&)>;
    const struct {
        const char* name;
        std::function<bool(VisibleZeltra&)> has;
        Factory make;
    } kinds[] = {
        { "audio", [](VisibleZeltra& d) { return d.supportsAudioLevelAdjustment(); },
          [](VisibleZeltra& d) { return new AudioSettings(d); } },
        { "conversions", [](VisibleZeltra&) { return true; },
          [](VisibleZeltra& d) { return new ConversionsSettings(d); } },
        { "connectors", [](VisibleZeltra& d) { return d.getPairedDevicePersistentId() != 0; },
          [](VisibleZeltra& d) { return new ConnectorsSettings(d); } },
        { "serialport", [](VisibleZeltra& d) { return (d.getDeckControlConnections() & 3) == 3; },
          [](VisibleZeltra& d) { return new DeckControlConnectionsSettings(d); } },
    };
    const QString dir = qEnvironmentVariable("ONDAVIA_RENDER_DIR", QDir::currentPath());
    QDir().mkpath(dir);
    // One card with mode buttons under both menus.
    VisibleZeltra* meridian = m_cards.device(kMeridian);
    meridian->setInputConversionMode(zeltraCode("lbup"));
    meridian->setOutputConversionMode(zeltraCode("ua7p"));
    // Every tab of every card as it starts, then Audio tabs in states the
    // cards do not start in: the microphone's section, a one-channel input.
    struct Shot {
        VisibleZeltra* device;
        int kind;
        uint32_t audioInput; // 0 keeps the card's
        QString suffix;
    };
    QVector<Shot> shots;
    for (VisibleZeltra* device : m_cards.devices())
        for (int k = 0; k < int(std::size(kinds)); ++k)
            shots.append({ device, k, 0, QString() });
    shots.append({ m_cards.device(kPrism), 0, 32, QStringLiteral("-microphone") });
    shots.append({ m_cards.device(kDeckhand), 0, 4, QStringLiteral("-analog") });
    int written = 0;
    for (const Shot& shot : shots) {
        VisibleZeltra* device = shot.device;
        const auto& kind = kinds[shot.kind];
        if (shot.audioInput)
            device->setAudioInputConnection(shot.audioInput);
        if (!kind.has(*device))
            continue;
        std::unique_ptr<ZeltraSettingsTab> tab(kind.make(*device));
        auto* audio = qobject_cast<AudioSettings*>(tab.get());
        if (tab->isEmpty() || (audio && audio->shouldHide()))
            continue;
        tab->resize(640, 400);
        tab->show();
        QVERIFY(QTest::qWaitForWindowExposed(tab.get()));
        tab->resize(640, std::max(200, tab->contentWidget()->sizeHint().height() + 4));
        QCoreApplication::processEvents();
        const QString name = QStringLiteral("%1-%2-%3%4")
                                 .arg(QLatin1String(kind.name),
                                      device->deviceName().remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]"))))
                                 .arg(quint64(device->getPersistentId()) & 0xffff, 4, 16, QLatin1Char('0'))
                                 .arg(shot.suffix);
        for (QLabel* label : tab->findChildren<QLabel*>()) {
            if (label->isVisibleTo(tab.get()) && !label->text().isEmpty() && label->wordWrap() == false)
                QVERIFY2(label->sizeHint().width() <= label->width() + 1,
                         qPrintable(name + QStringLiteral(": ") + label->text()));
        }
        const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        QVERIFY2(tab->grab().save(path), qPrintable(path));
        qInfo("wrote %s", qPrintable(path));
        ++written;
    }
    QVERIFY(written >= 12);
}

QTEST_MAIN(TestAudioTabsRender)
#include "tst_audiotabsrender.moc"
