// ondavia-mdnsdevice: runs the stand-in network device until interrupted:
//   ondavia-mdnsdevice --port 15353 [--config device.json] [--misbehave wrong-id]
#include "mdnsdevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(ONDAVIA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The stand-in network device: answers the direct mDNS query on 127.0.0.1."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("UDP port on 127.0.0.1 (0: any)."),
                                        QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption configOption(QStringLiteral("config"), QStringLiteral("JSON file of the device."),
                                          QStringLiteral("file"));
    const QCommandLineOption misbehaveOption(QStringLiteral("misbehave"),
                                             QStringLiteral("none, other-port, wrong-id, answer-twice, "
                                                            "hostile-counts, hostile-lengths, silent or late:MS."),
                                             QStringLiteral("kind"));
    parser.addOptions({ portOption, configOption, misbehaveOption });
    parser.process(app);

    QTextStream err(stderr);
    MdnsDevice device;
    if (parser.isSet(configOption)) {
        QFile file(parser.value(configOption));
        QString error;
        if (!file.open(QIODevice::ReadOnly) || !device.loadJson(file.readAll(), &error)) {
            err << "mdnsdevice: " << file.fileName() << ": " << (error.isEmpty() ? file.errorString() : error)
                << '\n';
            return 2;
        }
    }
    if (parser.isSet(misbehaveOption)
        && !device.setMisbehaviour(parser.value(misbehaveOption))) {
        err << "mdnsdevice: unknown misbehaviour " << parser.value(misbehaveOption) << '\n';
        return 2;
    }
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535 || !device.listen(static_cast<quint16>(port))) {
        err << "mdnsdevice: cannot listen on 127.0.0.1 port " << parser.value(portOption) << '\n';
        return 1;
    }
    QTextStream(stdout) << "mdnsdevice: listening on 127.0.0.1 port " << device.port() << Qt::endl;
    return app.exec();
}
