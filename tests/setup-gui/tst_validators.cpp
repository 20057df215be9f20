// Validators of the setup utility's line edits, driven through tables.

#include "emailaddressvalidator.h"
#include "exfatfilenamevalidator.h"
#include "ipaddressvalidator.h"
#include "mainwindowdialoglineedit.h"
#include "maxutf8lengthvalidator.h"
#include "nonemptyvalidator.h"
#include "settingslineedit.h"
#include "textvalidatorflags.h"
#include "unsignedintvalidator.h"

#include <QtTest>

Q_DECLARE_METATYPE(QValidator::State)

namespace {
QValidator::State check(const QValidator& v, QString text)
{
    int pos = text.size();
    return v.validate(text, pos);
}
constexpr auto Invalid = QValidator::Invalid;
constexpr auto Intermediate = QValidator::Intermediate;
constexpr auto Acceptable = QValidator::Acceptable;
} // namespace

class TestValidators : public QObject
{
    Q_OBJECT
private slots:
    void ipAddress_data();
    void ipAddress();
    void email_data();
    void email();
    void unsignedInt_data();
    void unsignedInt();
    void utf8Length_data();
    void utf8Length();
    void exFatName_data();
    void exFatName();
    void sharedInstances();
    void standardVerifiers();
};

void TestValidators::ipAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");
    QTest::newRow("empty") << "" << Intermediate;
    QTest::newRow("one octet") << "192" << Intermediate;
    QTest::newRow("three octets and a dot") << "192.168.1." << Intermediate;
    QTest::newRow("lone dots") << "..." << Intermediate;
    QTest::newRow("full") << "192.168.1.20" << Acceptable;
    QTest::newRow("zeros") << "0.0.0.0" << Acceptable;
    QTest::newRow("top") << "255.255.255.255" << Acceptable;
    QTest::newRow("octet above 255") << "192.168.1.256" << Invalid;
    QTest::newRow("first above 255") << "300.1.1.1" << Invalid;
    QTest::newRow("five octets") << "1.2.3.4.5" << Invalid;
    QTest::newRow("letters") << "10.0.a.1" << Invalid;
    QTest::newRow("trailing blank") << "10.0.0.1 " << Invalid;
    QTest::newRow("four digits") << "1000" << Invalid;
}

void TestValidators::ipAddress()
{
    QFETCH(QString, text);
    QFETCH(QValidator::State, state);
    IpAddressValidator v;
    QCOMPARE(check(v, text), state);
}

void TestValidators::email_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");
    QTest::newRow("empty") << "" << Acceptable;
    QTest::newRow("full") << "sales@example.org" << Acceptable;
    QTest::newRow("dots and plus") << "a.b+c_d%e-f@mail.example.co" << Acceptable;
    QTest::newRow("local part only") << "sales" << Intermediate;
    QTest::newRow("no top-level part") << "sales@example" << Intermediate;
    QTest::newRow("dangling dot") << "sales@example." << Intermediate;
    QTest::newRow("one-letter top level") << "sales@example.o" << Intermediate;
    QTest::newRow("upper case local") << "Sales@example.org" << Invalid;
    QTest::newRow("upper case domain") << "sales@Example.org" << Invalid;
    QTest::newRow("two at signs") << "a@b@example.org" << Invalid;
    QTest::newRow("blank") << "sa les@example.org" << Invalid;
}

void TestValidators::email()
{
    QFETCH(QString, text);
    QFETCH(QValidator::State, state);
    EMailAddressValidator v;
    QCOMPARE(check(v, text), state);
}

void TestValidators::unsignedInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");
    QTest::newRow("empty") << "" << Intermediate;
    QTest::newRow("zero") << "0" << Invalid;
    QTest::newRow("leading zero") << "01024" << Invalid;
    QTest::newRow("sign") << "+2000" << Invalid;
    QTest::newRow("minus") << "-2000" << Invalid;
    QTest::newRow("low bound") << "1024" << Acceptable;
    QTest::newRow("high bound") << "49151" << Acceptable;
    QTest::newRow("below, still growing") << "80" << Intermediate;
    // The range check is the integer validator's: too large but as short as
    // the top may still be edited down, one more digit may not.
    QTest::newRow("above, as long as the top") << "49152" << Intermediate;
    QTest::newRow("above, longer than the top") << "491510" << Invalid;
    QTest::newRow("letters") << "12a" << Invalid;
}

void TestValidators::unsignedInt()
{
    QFETCH(QString, text);
    QFETCH(QValidator::State, state);
    QCOMPARE(check(*UnsignedIntValidator::sharedPort(), text), state);
}

void TestValidators::utf8Length_data()
{
    using namespace TextValidatorFlags;
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");
    const QString e = QString::fromUtf8("\xc3\xa9"); // two bytes in UTF-8
    QTest::newRow("four one-byte") << 5 << 0 << "abcd" << Acceptable;
    QTest::newRow("five one-byte") << 5 << 0 << "abcde" << Invalid;
    QTest::newRow("two two-byte") << 5 << 0 << e + e << Acceptable;
    QTest::newRow("two two-byte and one") << 5 << 0 << e + e + "a" << Invalid;
    QTest::newRow("empty refused") << 5 << 0 << "" << Intermediate;
    QTest::newRow("empty allowed") << 5 << int(kAllowEmpty) << "" << Acceptable;
    QTest::newRow("leading blank") << 9 << 0 << " ab" << Invalid;
    QTest::newRow("leading tab") << 9 << 0 << "\tab" << Invalid;
    QTest::newRow("leading no-break space") << 9 << 0 << QString(QChar(160)) + "ab" << Invalid;
    QTest::newRow("leading allowed") << 9 << int(kAllowLeadingSpace) << " ab" << Acceptable;
    QTest::newRow("trailing blank") << 9 << 0 << "ab " << Intermediate;
    QTest::newRow("trailing ideographic space") << 9 << 0 << "ab" + QString(QChar(0x3000)) << Intermediate;
    QTest::newRow("trailing allowed") << 9 << int(kAllowTrailingSpace) << "ab " << Acceptable;
    QTest::newRow("too long beats blank") << 3 << 0 << " abc" << Invalid;
}

void TestValidators::utf8Length()
{
    QFETCH(int, size);
    QFETCH(int, flags);
    QFETCH(QString, text);
    QFETCH(QValidator::State, state);
    MaxUtf8LengthValidator v(size, flags);
    QCOMPARE(check(v, text), state);
}

void TestValidators::exFatName_data()
{
    using namespace TextValidatorFlags;
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");
    QTest::newRow("plain") << 0 << "Clip 001.mov" << Acceptable;
    QTest::newRow("empty") << 0 << "" << Intermediate;
    QTest::newRow("empty allowed") << int(kAllowEmpty) << "" << Acceptable;
    QTest::newRow("leading blank") << 0 << " clip" << Invalid;
    QTest::newRow("leading allowed") << int(kAllowLeadingSpace) << " clip" << Acceptable;
    QTest::newRow("trailing blank") << 0 << "clip " << Intermediate;
    QTest::newRow("trailing allowed") << int(kAllowTrailingSpace) << "clip " << Acceptable;
    QTest::newRow("question mark") << 0 << "clip?" << Invalid;
    QTest::newRow("slash") << 0 << "a/b" << Invalid;
    QTest::newRow("backslash") << 0 << "a\\b" << Invalid;
    QTest::newRow("colon") << 0 << "a:b" << Invalid;
    QTest::newRow("quote") << 0 << "a\"b" << Invalid;
    QTest::newRow("pipe") << 0 << "a|b" << Invalid;
    QTest::newRow("reserved allowed") << int(kAllowReservedCharacters) << "a?b*c" << Acceptable;
    QTest::newRow("accented") << 0 << QString::fromUtf8("caf\xc3\xa9") << Invalid;
    QTest::newRow("control") << 0 << "a\x01" "b" << Invalid;
    QTest::newRow("too long") << 0 << QString(16, 'a') << Invalid;
    QTest::newRow("longest") << 0 << QString(15, 'a') << Acceptable;
}

void TestValidators::exFatName()
{
    QFETCH(int, flags);
    QFETCH(QString, text);
    QFETCH(QValidator::State, state);
    ExFatFileNameValidator v(16, flags);
    QCOMPARE(check(v, text), state);
}

void TestValidators::sharedInstances()
{
    // Shared validators are made once and live with the application.
    QVERIFY(NonEmptyValidator::shared());
    QCOMPARE(NonEmptyValidator::shared(), NonEmptyValidator::shared());
    QCOMPARE(IpAddressValidator::shared(), IpAddressValidator::shared());
    QVERIFY(IpAddressValidator::shared() != IpAddressValidator::sharedForAddressEntry());
    QCOMPARE(NonEmptyValidator::shared()->parent(), QCoreApplication::instance());
    QCOMPARE(UnsignedIntValidator::sharedPort()->bottom(), 1024);
    QCOMPARE(UnsignedIntValidator::sharedPort()->top(), 49151);
    QCOMPARE(check(*NonEmptyValidator::shared(), ""), Intermediate);
    QCOMPARE(check(*NonEmptyValidator::shared(), " "), Acceptable);
}

void TestValidators::standardVerifiers()
{
    MainWindowDialogLineEdit dialogEdit;
    QVERIFY(!dialogEdit.validator());
    dialogEdit.setStandardVerifier(2);
    QVERIFY(!dialogEdit.validator());
    dialogEdit.setStandardVerifier(1);
    QCOMPARE(dialogEdit.validator(), IpAddressValidator::shared());
    dialogEdit.setStandardVerifier(7); // unknown: keeps what it has
    QCOMPARE(dialogEdit.validator(), IpAddressValidator::shared());
    dialogEdit.setStandardVerifier(0);
    QCOMPARE(dialogEdit.validator(), NonEmptyValidator::shared());

    SettingsLineEdit edit;
    edit.setStandardVerifier(SettingsLineEdit::kIpAddress);
    edit.setText("10.1.");
    QCOMPARE(edit.statusIcon(), SettingsLineEdit::kAlertIcon);
    edit.setText("10.1.2.3");
    QCOMPARE(edit.statusIcon(), SettingsLineEdit::kNoIcon); // acceptable without focus
    edit.setStandardVerifier(SettingsLineEdit::kUnverified);
    QVERIFY(!edit.validator());
    edit.setText("");
    QVERIFY(edit.isAcceptable());
}

QTEST_MAIN(TestValidators)
#include "tst_validators.moc"
