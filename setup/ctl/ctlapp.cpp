#include "ctlapp.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTextStream>

#include "cardrules.h"
#include "ctlcards.h"
#include "displaymodestrings.h"
#include "staticdata.h"
#include "statusreport.h"
#include "systeminfoquery.h"
#include "zeltracard.h"

namespace {

const char* const kUsage = R"(Usage: ondavia-ctl [--json] COMMAND [ARGUMENTS]

Shows and changes the settings of the cards, with the rules of the
settings window of OndaviaSetup.

Commands:
  list                      the cards: index, label, model, persistent id,
                            what each can do
  show CARD                 every setting of the card's settings window, tab
                            by tab, with the values allowed, and its status
  get CARD NAME...          the value of each setting
  set CARD NAME=VALUE...    changes the settings in the order given and stores
                            them in the card as Save does
  watch CARD                prints each change of a setting or of the status
                            until interrupted
  report CARD FILE          writes the HTML status report of the About tab

CARD is an index of 'list', a persistent id (0x...) or a label.

Options:
  --json       machine-readable output (one object; 'watch': one a line)
  --no-store   'set': the changes last only while the command runs
  --hold       'set' with --no-store: keeps them until interrupted
  -h, --help   this text
  -v, --version

Exit status: 0 done; 1 the card refused a value (the rest applied as
reported); 2 bad usage, unknown setting or value (nothing applied);
3 no driver library or no such card.
)";

// SIGINT, SIGTERM and SIGHUP end a watch or a hold: the handler only writes
// to a pipe that the event loop reads.
int g_signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

QString settingLine(const CardSetting& setting, const QString& value)
{
    return QStringLiteral("%1 = %2").arg(setting.name, value);
}

const CardSetting* findSetting(const QVector<CardSetting>& settings, const QString& name)
{
    for (const CardSetting& setting : settings) {
        if (setting.name == name)
            return &setting;
    }
    return nullptr;
}

// The status lines of 'show' and 'watch': what the list view shows of the
// card, the reference lock and the input's pixel format.
QMap<QString, QString> statusValues(ZeltraCard& card)
{
    QMap<QString, QString> status;
    status.insert(QStringLiteral("video-in"), getVideoInSummary(&card));
    status.insert(QStringLiteral("output-format"), getOutputFormatSummary(&card));
    status.insert(QStringLiteral("genlock"), getGenlockSummary(&card));
    status.insert(QStringLiteral("reference-lock"),
                  card.supportsReferenceInput() ? getVideoReferenceInputLockStatus(&card) : displayModeNoValue());
    return status;
}

QStringList capabilities(ZeltraCard& card)
{
    QStringList what;
    if (card.supportsCapture())
        what << QStringLiteral("capture");
    if (card.supportsPlayback())
        what << QStringLiteral("playback");
    if (CardRules::offersAudioTab(card))
        what << QStringLiteral("audio");
    if (!CardRules::conversionGroups(card, false).isEmpty() || !CardRules::conversionGroups(card, true).isEmpty())
        what << QStringLiteral("conversions");
    if (card.supportsReferenceInput())
        what << QStringLiteral("reference");
    if (CardRules::offersConnectorsTab(card))
        what << QStringLiteral("connectors");
    if (CardRules::offersSerialPortTab(card))
        what << QStringLiteral("deck-control");
    return what;
}

QString hexId(ZeltraCard& card)
{
    if (!card.supportsPersistentID())
        return QStringLiteral("-");
    return QStringLiteral("0x%1").arg(quint64(card.getPersistentId()), 16, 16, QLatin1Char('0'));
}

QString pad(const QString& text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

} // namespace

int CtlApp::run(const QStringList& arguments)
{
    QStringList words;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--json")) {
            m_json = true;
        } else if (argument == QLatin1String("--no-store")) {
            m_noStore = true;
        } else if (argument == QLatin1String("--hold")) {
            m_hold = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            std::fputs(kUsage, stdout);
            return Done;
        } else if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            std::printf("ondavia-ctl %s\n", ONDAVIA_VERSION);
            return Done;
        } else if (argument == QLatin1String("--")) {
            words << arguments.mid(i + 1);
            break;
        } else if (argument.startsWith(QLatin1String("--"))) {
            return fail(Usage, QStringLiteral("unknown option '%1' (see --help)").arg(argument));
        } else {
            words << argument;
        }
    }
    if (words.isEmpty())
        return fail(Usage, QStringLiteral("no command given (see --help)"));
    const QString command = words.takeFirst();
    struct Arity {
        const char* name;
        int minimum;
        int maximum; // -1: any
    };
    static const Arity kCommands[] = { { "list", 0, 0 },  { "show", 1, 1 },  { "get", 2, -1 },
                                       { "set", 2, -1 },  { "watch", 1, 1 }, { "report", 2, 2 } };
    const Arity* arity = nullptr;
    for (const Arity& candidate : kCommands) {
        if (command == QLatin1String(candidate.name))
            arity = &candidate;
    }
    if (!arity)
        return fail(Usage, QStringLiteral("unknown command '%1' (see --help)").arg(command));
    if (words.size() < arity->minimum || (arity->maximum >= 0 && words.size() > arity->maximum))
        return fail(Usage, QStringLiteral("wrong arguments for '%1' (see --help)").arg(command));
    if (m_hold && !(command == QLatin1String("set") && m_noStore))
        return fail(Usage, QStringLiteral("--hold goes with 'set --no-store' only"));
    if (m_noStore && command != QLatin1String("set"))
        return fail(Usage, QStringLiteral("--no-store goes with 'set' only"));

    initialiseStaticData();
    CtlCards cards;
    if (!cards.load())
        return fail(NoCard, QStringLiteral("the driver library libZeltraAPI.so cannot be loaded"));
    if (command == QLatin1String("list"))
        return list(cards);

    QString error;
    ZeltraCard* card = cards.find(words.takeFirst(), error);
    if (!card)
        return fail(NoCard, error);
    m_prefix = cards.describe(card) + QStringLiteral(": ");
    if (command == QLatin1String("show"))
        return show(cards, *card);
    if (command == QLatin1String("get"))
        return get(cards, *card, words);
    if (command == QLatin1String("set"))
        return set(cards, *card, words);
    if (command == QLatin1String("watch"))
        return watch(cards, *card);
    return report(cards, *card, words.first());
}

// ---- Output ---------------------------------------------------------------------

int CtlApp::fail(int status, const QString& message) const
{
    std::fprintf(stderr, "ondavia-ctl: %s\n", qUtf8Printable(m_prefix + message));
    return status;
}

void CtlApp::print(const QString& text) const
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void CtlApp::printJson(const QJsonObject& object) const
{
    print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

QJsonObject CtlApp::cardJson(CtlCards& cards, ZeltraCard& card)
{
    return { { QStringLiteral("index"), cards.indexOf(&card) },
             { QStringLiteral("label"), card.deviceName() },
             { QStringLiteral("model"), card.modelName() },
             { QStringLiteral("persistentId"), hexId(card) },
             { QStringLiteral("capabilities"), QJsonArray::fromStringList(capabilities(card)) } };
}

QJsonValue CtlApp::valueJson(const CardSetting& setting, const QVariant& value)
{
    switch (setting.kind) {
    case CardSetting::Kind::Flag:
        return value.toLongLong() != 0;
    case CardSetting::Kind::Number:
        return setting.format(value).toDouble();
    case CardSetting::Kind::Set: {
        const QString text = setting.format(value);
        return QJsonArray::fromStringList(text == QLatin1String("none") ? QStringList() : text.split(QLatin1Char(',')));
    }
    default:
        return setting.format(value);
    }
}

QJsonObject CtlApp::statusJson(ZeltraCard& card)
{
    QJsonObject status;
    const QMap<QString, QString> values = statusValues(card);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        status.insert(it.key(), it.value());
    return status;
}

// ---- Commands -------------------------------------------------------------------

int CtlApp::list(CtlCards& cards)
{
    if (m_json) {
        QJsonArray array;
        for (ZeltraCard* card : cards.cards())
            array.append(cardJson(cards, *card));
        printJson({ { QStringLiteral("cards"), array } });
        return Done;
    }
    QVector<QStringList> rows;
    rows << QStringList{ QStringLiteral("INDEX"), QStringLiteral("LABEL"), QStringLiteral("MODEL"),
                         QStringLiteral("PERSISTENT ID"), QStringLiteral("CAN") };
    for (ZeltraCard* card : cards.cards())
        rows << QStringList{ QString::number(cards.indexOf(card)), card->deviceName(), card->modelName(), hexId(*card),
                             capabilities(*card).join(QLatin1Char(',')) };
    QVector<int> widths(5, 0);
    for (const QStringList& row : qAsConst(rows)) {
        for (int i = 0; i < row.size(); ++i)
            widths[i] = qMax(widths[i], row.at(i).size());
    }
    for (const QStringList& row : qAsConst(rows)) {
        QString line;
        for (int i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? pad(row.at(i), widths[i] + 2) : row.at(i);
        print(line);
    }
    return Done;
}

int CtlApp::show(CtlCards& cards, ZeltraCard& card)
{
    const QVector<CardSetting> settings = CardSettingsCatalogue::settings(card);
    if (m_json) {
        QJsonArray tabs;
        for (const QString& title : CardSettingsCatalogue::tabTitles()) {
            QJsonArray list;
            for (const CardSetting& setting : settings) {
                if (setting.tab != title)
                    continue;
                QJsonObject entry{ { QStringLiteral("name"), setting.name },
                                   { QStringLiteral("kind"), setting.kindName() },
                                   { QStringLiteral("value"), valueJson(setting, setting.read(card)) } };
                if (!setting.choices.isEmpty()) {
                    QJsonArray choices;
                    for (const CardSetting::Choice& choice : setting.choices)
                        choices.append(QJsonObject{ { QStringLiteral("name"), choice.name },
                                                    { QStringLiteral("label"), choice.label } });
                    entry.insert(QStringLiteral("choices"), choices);
                }
                if (setting.kind == CardSetting::Kind::Number) {
                    entry.insert(QStringLiteral("minimum"), setting.minimum);
                    entry.insert(QStringLiteral("maximum"), setting.maximum);
                    entry.insert(QStringLiteral("decimals"), setting.decimals);
                    entry.insert(QStringLiteral("unit"), setting.unit);
                }
                if (setting.kind == CardSetting::Kind::Text)
                    entry.insert(QStringLiteral("maxLength"), setting.maxLength);
                list.append(entry);
            }
            if (!list.isEmpty())
                tabs.append(QJsonObject{ { QStringLiteral("title"), title }, { QStringLiteral("settings"), list } });
        }
        printJson({ { QStringLiteral("card"), cardJson(cards, card) },
                    { QStringLiteral("tabs"), tabs },
                    { QStringLiteral("status"), statusJson(card) } });
        return Done;
    }
    print(QStringLiteral("%1: %2, %3").arg(cards.describe(&card), card.modelName(), hexId(card)));
    QString tab;
    for (const CardSetting& setting : settings) {
        if (setting.tab != tab) {
            tab = setting.tab;
            print(QStringLiteral("[%1]").arg(tab));
        }
        print(QStringLiteral("  %1    (%2)").arg(settingLine(setting, setting.format(setting.read(card))),
                                                setting.allowedText()));
    }
    print(QStringLiteral("[Status]"));
    const QMap<QString, QString> status = statusValues(card);
    for (auto it = status.cbegin(); it != status.cend(); ++it)
        print(QStringLiteral("  %1 = %2").arg(it.key(), it.value()));
    return Done;
}

int CtlApp::get(CtlCards& cards, ZeltraCard& card, const QStringList& names)
{
    const QVector<CardSetting> settings = CardSettingsCatalogue::settings(card);
    for (const QString& name : names) {
        if (!findSetting(settings, name))
            return fail(Usage, QStringLiteral("setting '%1': not a setting of this card (see 'show')").arg(name));
    }
    QJsonObject values;
    for (const QString& name : names) {
        const CardSetting& setting = *findSetting(settings, name);
        const QVariant value = setting.read(card);
        if (m_json)
            values.insert(name, valueJson(setting, value));
        else
            print(settingLine(setting, setting.format(value)));
    }
    if (m_json)
        printJson({ { QStringLiteral("card"), cards.indexOf(&card) }, { QStringLiteral("settings"), values } });
    return Done;
}

int CtlApp::set(CtlCards& cards, ZeltraCard& card, const QStringList& assignments)
{
    // Everything is checked before anything is written.
    struct Change {
        QString name;
        QString text;
        QVariant value;
    };
    QVector<Change> changes;
    const QVector<CardSetting> offered = CardSettingsCatalogue::settings(card);
    for (const QString& assignment : assignments) {
        const int equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return fail(Usage, QStringLiteral("'%1' is not NAME=VALUE").arg(assignment));
        Change change{ assignment.left(equals), assignment.mid(equals + 1), {} };
        const CardSetting* setting = findSetting(offered, change.name);
        if (!setting)
            return fail(Usage, QStringLiteral("setting '%1': not a setting of this card (see 'show')").arg(change.name));
        QString error;
        if (!setting->parse(change.text, change.value, error))
            return fail(Usage, QStringLiteral("setting '%1': %2").arg(change.name, error));
        changes << change;
    }

    int status = Done;
    QJsonArray applied;
    bool pairChanged = false;
    for (const Change& change : qAsConst(changes)) {
        // Read anew: an earlier change may have changed what is offered.
        const QVector<CardSetting> settings = CardSettingsCatalogue::settings(card);
        const CardSetting* setting = findSetting(settings, change.name);
        if (!setting) {
            status = fail(Refused, QStringLiteral("setting '%1': no longer offered after the changes before it")
                                       .arg(change.name));
            continue;
        }
        setting->write(card, change.value);
        pairChanged = pairChanged || change.name == QLatin1String("connector-mapping");
        const QVariant held = setting->read(card);
        const bool refused = !setting->holds(held, change.value);
        if (refused)
            status = fail(Refused, QStringLiteral("setting '%1': the card refused '%2' and holds '%3'")
                                       .arg(change.name, change.text, setting->format(held)));
        if (m_json)
            applied.append(QJsonObject{ { QStringLiteral("name"), change.name },
                                        { QStringLiteral("requested"), change.text },
                                        { QStringLiteral("value"), valueJson(*setting, held) },
                                        { QStringLiteral("refused"), refused } });
        else
            print(settingLine(*setting, setting->format(held)));
    }

    bool stored = false;
    if (!m_noStore) {
        // The library drops what a program has not stored when it lets go
        // of the card. The connector mapping may live in the paired device.
        stored = card.writeToPreferences();
        if (pairChanged) {
            ZeltraCard* mapping = CardRules::duplexMappingDevice(card);
            if (mapping && mapping != &card)
                stored = mapping->writeToPreferences() && stored;
        }
        if (!stored)
            status = fail(Refused, QStringLiteral("the card could not store its settings"));
    }
    if (m_json)
        printJson({ { QStringLiteral("card"), cards.indexOf(&card) },
                    { QStringLiteral("applied"), applied },
                    { QStringLiteral("stored"), stored } });
    if (m_noStore && m_hold) {
        bool lost = false;
        QObject::connect(&cards.discovery(), &ZeltraCardDiscovery::cardLost, &cards,
                         [&](ZeltraCard* gone) { lost = lost || gone == &card; });
        waitForInterrupt(&lost);
        if (lost)
            return fail(NoCard, QStringLiteral("the card was unplugged"));
    }
    return status;
}

int CtlApp::watch(CtlCards& cards, ZeltraCard& card)
{
    QMap<QString, QString> values;
    QMap<QString, QString> status = statusValues(card);
    for (const CardSetting& setting : CardSettingsCatalogue::settings(card))
        values.insert(setting.name, setting.format(setting.read(card)));

    auto report = [this](const char* event, const QString& name, const QJsonValue& json, const QString& text) {
        if (m_json)
            printJson({ { QStringLiteral("event"), QLatin1String(event) },
                        { QStringLiteral("name"), name },
                        { QStringLiteral("value"), json } });
        else
            print(QStringLiteral("%1 %2 = %3").arg(QLatin1String(event), name, text));
    };
    bool lost = false;
    QObject::connect(&card, &ZeltraCard::propertyChanged, &cards, [&] {
        QMap<QString, QString> now;
        for (const CardSetting& setting : CardSettingsCatalogue::settings(card)) {
            const QVariant value = setting.read(card);
            const QString text = setting.format(value);
            now.insert(setting.name, text);
            if (values.value(setting.name) != text || !values.contains(setting.name))
                report("pref", setting.name, valueJson(setting, value), text);
        }
        values = now;
    });
    QObject::connect(&card, &ZeltraCard::statusChanged, &cards, [&] {
        const QMap<QString, QString> now = statusValues(card);
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            if (status.value(it.key()) != it.value())
                report("stat", it.key(), it.value(), it.value());
        }
        status = now;
    });
    QObject::connect(&cards.discovery(), &ZeltraCardDiscovery::cardLost, &cards,
                     [&](ZeltraCard* gone) { lost = lost || gone == &card; });
    waitForInterrupt(&lost);
    if (lost)
        return fail(NoCard, QStringLiteral("the card was unplugged"));
    return Done;
}

int CtlApp::report(CtlCards& cards, ZeltraCard& card, const QString& path)
{
    SystemInfoQuery query;
    QEventLoop loop;
    QObject::connect(&query, &SystemInfoQuery::finished, &loop, &QEventLoop::quit);
    query.start();
    loop.exec();
    const QByteArray html = StatusReport::build(card, query.details()).toUtf8();
    // Written beside the target and renamed over it: a failed write leaves
    // no partial report.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || file.write(html) != html.size() || !file.commit())
        return fail(Usage, QStringLiteral("cannot write the report to '%1': %2").arg(path, file.errorString()));
    if (m_json)
        printJson({ { QStringLiteral("card"), cards.indexOf(&card) }, { QStringLiteral("file"), path } });
    return Done;
}

void CtlApp::waitForInterrupt(const bool* stop)
{
    if (g_signalPipe[0] < 0 && ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : { SIGINT, SIGTERM, SIGHUP })
        sigaction(signal, &action, nullptr);
    QSocketNotifier notifier(g_signalPipe[0], QSocketNotifier::Read);
    bool interrupted = false;
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] { interrupted = true; });
    while (!interrupted && !(stop && *stop))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
