// SHA-256 against the published test vectors, through both engines, and the
// streaming interface against Qt's independent implementation.

#include "sha2.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtTest>

Q_DECLARE_METATYPE(Sha2::Engine)

namespace {

QByteArray digestOf(Sha2::Engine engine, const QByteArray& message)
{
    Sha2 sha(engine);
    uint8_t out[Sha2::kDigestSize];
    sha.getSha2(reinterpret_cast<const uint8_t*>(message.constData()), size_t(message.size()), out);
    return QByteArray(reinterpret_cast<const char*>(out), sizeof out).toHex();
}

void engineColumns()
{
    QTest::addColumn<Sha2::Engine>("engine");
}

void skipUnlessAvailable(Sha2::Engine engine)
{
    if (engine == Sha2::Engine::ShaExtensions && !Sha2::shaExtensionsAvailable())
        QSKIP("this processor has no SHA extensions");
}

} // namespace

class TestSha2 : public QObject
{
    Q_OBJECT

private slots:
    void vectors_data();
    void vectors();
    void streaming_data();
    void streaming();
    void enginesAgree();
    void engineChoice();
};

void TestSha2::vectors_data()
{
    QTest::addColumn<Sha2::Engine>("engine");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("digest");
    const struct
    {
        const char* name;
        QByteArray message;
        const char* digest;
    } vectors[] = {
        {"empty", QByteArray(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"896 bits",
         "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {"million a", QByteArray(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& v : vectors) {
        QTest::addRow("portable/%s", v.name) << Sha2::Engine::Portable << v.message << QByteArray(v.digest);
        QTest::addRow("accelerated/%s", v.name) << Sha2::Engine::ShaExtensions << v.message << QByteArray(v.digest);
    }
}

void TestSha2::vectors()
{
    QFETCH(Sha2::Engine, engine);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, digest);
    skipUnlessAvailable(engine);
    QCOMPARE(digestOf(engine, message), digest);

    // The keyed two-buffer form is the same as hashing the concatenation.
    Sha2 sha(engine);
    uint8_t out[Sha2::kDigestSize];
    const int cut = message.size() / 3;
    sha.getSha2(reinterpret_cast<const uint8_t*>(message.constData()), size_t(cut),
                reinterpret_cast<const uint8_t*>(message.constData()) + cut, size_t(message.size() - cut), out);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(out), sizeof out).toHex(), digest);
}

void TestSha2::streaming_data()
{
    engineColumns();
    QTest::newRow("portable") << Sha2::Engine::Portable;
    QTest::newRow("accelerated") << Sha2::Engine::ShaExtensions;
}

// Every split point of messages around the padding boundaries (55/56 and
// 63/64 bytes) must give the same digest as Qt computes for the whole.
void TestSha2::streaming()
{
    QFETCH(Sha2::Engine, engine);
    skipUnlessAvailable(engine);
    QByteArray message(200, Qt::Uninitialized);
    for (int i = 0; i < message.size(); ++i)
        message[i] = char(i * 31 + 7);
    for (int length : {0, 1, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 129, 200}) {
        const QByteArray m = message.left(length);
        const QByteArray expected = QCryptographicHash::hash(m, QCryptographicHash::Sha256).toHex();
        for (int cut = 0; cut <= length; ++cut) {
            Sha2 sha(engine);
            sha.init();
            sha.update(reinterpret_cast<const uint8_t*>(m.constData()), size_t(cut));
            for (int i = cut; i < length; ++i) // the rest byte by byte
                sha.update(reinterpret_cast<const uint8_t*>(m.constData()) + i, 1);
            uint8_t out[Sha2::kDigestSize];
            sha.finish(out);
            QVERIFY2(QByteArray(reinterpret_cast<const char*>(out), sizeof out).toHex() == expected,
                     qPrintable(QString("length %1 cut %2").arg(length).arg(cut)));
        }
    }
}

// Long random messages through the multi-block path of both engines.
void TestSha2::enginesAgree()
{
    QRandomGenerator rng(20261208);
    for (int round = 0; round < 20; ++round) {
        QByteArray m(int(rng.bounded(300000)), Qt::Uninitialized);
        for (char& c : m)
            c = char(rng.generate());
        const QByteArray expected = QCryptographicHash::hash(m, QCryptographicHash::Sha256).toHex();
        QCOMPARE(digestOf(Sha2::Engine::Portable, m), expected);
        QCOMPARE(digestOf(Sha2::Engine::Auto, m), expected);
    }
}

void TestSha2::engineChoice()
{
    QVERIFY(Sha2::selfTest());
    const Sha2::Engine expected = Sha2::shaExtensionsAvailable() ? Sha2::Engine::ShaExtensions
                                                                 : Sha2::Engine::Portable;
    QCOMPARE(Sha2().engine(), expected);
    QCOMPARE(Sha2(Sha2::Engine::Portable).engine(), Sha2::Engine::Portable);
}

QTEST_APPLESS_MAIN(TestSha2)
#include "tst_sha2.moc"
