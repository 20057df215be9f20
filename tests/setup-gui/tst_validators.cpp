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

#include <memory>

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
    void validate_data();
    void validate();
    void sharedInstances();
    void standardVerifiers();
};

void TestValidators::validate_data()
{
    using namespace TextValidatorFlags;
    // "utf8-N" is the UTF-8 length validator for N bytes.
    QTest::addColumn<QString>("validator");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");
    auto row = [](const char* validator, const char* name) -> QTestData& {
        return QTest::addRow("%s: %s", validator, name) << QString(validator);
    };
    row("ip", "empty") << 0 << "" << Intermediate;
    row("ip", "one octet") << 0 << "192" << Intermediate;
    row("ip", "three octets and a dot") << 0 << "192.168.1." << Intermediate;
    row("ip", "lone dots") << 0 << "..." << Intermediate;
    row("ip", "full") << 0 << "192.168.1.20" << Acceptable;
    row("ip", "zeros") << 0 << "0.0.0.0" << Acceptable;
    row("ip", "top") << 0 << "255.255.255.255" << Acceptable;
    row("ip", "octet above 255") << 0 << "192.168.1.256" << Invalid;
    row("ip", "first above 255") << 0 << "300.1.1.1" << Invalid;
    row("ip", "five octets") << 0 << "1.2.3.4.5" << Invalid;
    row("ip", "letters") << 0 << "10.0.a.1" << Invalid;
    row("ip", "trailing blank") << 0 << "10.0.0.1 " << Invalid;
    row("ip", "four digits") << 0 << "1000" << Invalid;
    row("email", "empty") << 0 << "" << Acceptable;
    row("email", "full") << 0 << "sales@example.org" << Acceptable;
    row("email", "dots and plus") << 0 << "a.b+c_d%e-f@mail.example.co" << Acceptable;
    row("email", "local part only") << 0 << "sales" << Intermediate;
    row("email", "no top-level part") << 0 << "sales@example" << Intermediate;
    row("email", "dangling dot") << 0 << "sales@example." << Intermediate;
    row("email", "one-letter top level") << 0 << "sales@example.o" << Intermediate;
    row("email", "upper case local") << 0 << "Sales@example.org" << Invalid;
    row("email", "upper case domain") << 0 << "sales@Example.org" << Invalid;
    row("email", "two at signs") << 0 << "a@b@example.org" << Invalid;
    row("email", "blank") << 0 << "sa les@example.org" << Invalid;
    row("port", "empty") << 0 << "" << Intermediate;
    row("port", "zero") << 0 << "0" << Invalid;
    row("port", "leading zero") << 0 << "01024" << Invalid;
    row("port", "sign") << 0 << "+2000" << Invalid;
    row("port", "minus") << 0 << "-2000" << Invalid;
    row("port", "low bound") << 0 << "1024" << Acceptable;
    row("port", "high bound") << 0 << "49151" << Acceptable;
    row("port", "below, still growing") << 0 << "80" << Intermediate;
    // The range check is the integer validator's: too large but as short as
    // the top may still be edited down, one more digit may not.
    row("port", "above, as long as the top") << 0 << "49152" << Intermediate;
    row("port", "above, longer than the top") << 0 << "491510" << Invalid;
    row("port", "letters") << 0 << "12a" << Invalid;
    const QString e = QString::fromUtf8("\xc3\xa9"); // two bytes in UTF-8
    row("utf8-5", "four one-byte") << 0 << "abcd" << Acceptable;
    row("utf8-5", "five one-byte") << 0 << "abcde" << Invalid;
    row("utf8-5", "two two-byte") << 0 << e + e << Acceptable;
    row("utf8-5", "two two-byte and one") << 0 << e + e + "a" << Invalid;
    row("utf8-5", "empty refused") << 0 << "" << Intermediate;
    row("utf8-5", "empty allowed") << int(kAllowEmpty) << "" << Acceptable;
    row("utf8-9", "leading blank") << 0 << " ab" << Invalid;
    row("utf8-9", "leading tab") << 0 << "\tab" << Invalid;
    row("utf8-9", "leading no-break space") << 0 << QString(QChar(160)) + "ab" << Invalid;
    row("utf8-9", "leading allowed") << int(kAllowLeadingSpace) << " ab" << Acceptable;
    row("utf8-9", "trailing blank") << 0 << "ab " << Intermediate;
    row("utf8-9", "trailing ideographic space") << 0 << "ab" + QString(QChar(0x3000)) << Intermediate;
    row("utf8-9", "trailing allowed") << int(kAllowTrailingSpace) << "ab " << Acceptable;
    row("utf8-3", "too long beats blank") << 0 << " abc" << Invalid;
    row("exfat", "plain") << 0 << "Clip 001.mov" << Acceptable;
    row("exfat", "empty") << 0 << "" << Intermediate;
    row("exfat", "empty allowed") << int(kAllowEmpty) << "" << Acceptable;
    row("exfat", "leading blank") << 0 << " clip" << Invalid;
    row("exfat", "leading allowed") << int(kAllowLeadingSpace) << " clip" << Acceptable;
    row("exfat", "trailing blank") << 0 << "clip " << Intermediate;
    row("exfat", "trailing allowed") << int(kAllowTrailingSpace) << "clip " << Acceptable;
    row("exfat", "question mark") << 0 << "clip?" << Invalid;
    row("exfat", "slash") << 0 << "a/b" << Invalid;
    row("exfat", "backslash") << 0 << "a\\b" << Invalid;
    row("exfat", "colon") << 0 << "a:b" << Invalid;
    row("exfat", "quote") << 0 << "a\"b" << Invalid;
    row("exfat", "pipe") << 0 << "a|b" << Invalid;
    row("exfat", "reserved allowed") << int(kAllowReservedCharacters) << "a?b*c" << Acceptable;
    row("exfat", "accented") << 0 << QString::fromUtf8("caf\xc3\xa9") << Invalid;
    row("exfat", "control") << 0 << "a\x01" "b" << Invalid;
    row("exfat", "too long") << 0 << QString(16, 'a') << Invalid;
    row("exfat", "longest") << 0 << QString(15, 'a') << Acceptable;
}

void TestValidators::validate()
{
    QFETCH(QString, validator);
    QFETCH(int, flags);
    QFETCH(QString, text);
    QFETCH(QValidator::State, state);
    std::unique_ptr<QValidator> v;
    if (validator == "ip")
        v.reset(new IpAddressValidator);
    else if (validator == "email")
        v.reset(new EMailAddressValidator);
    else if (validator.startsWith("utf8-"))
        v.reset(new MaxUtf8LengthValidator(validator.mid(5).toInt(), flags));
    else if (validator == "exfat")
        v.reset(new ExFatFileNameValidator(16, flags));
    QCOMPARE(check(v ? *v : *UnsignedIntValidator::sharedPort(), text), state);
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
