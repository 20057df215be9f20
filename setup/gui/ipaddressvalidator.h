#pragma once

#include <QRegExp>
#include <QRegExpValidator>

// A dotted IPv4 address. A text that could still grow into an address
// (such as "10.0.") is intermediate.
class IpAddressValidator : public QRegExpValidator
{
    Q_OBJECT
public:
    explicit IpAddressValidator(QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

    // The instance that the standard line-edit verifier 1 installs.
    static IpAddressValidator* shared();
    // The instance of the network address entry's address field.
    static IpAddressValidator* sharedForAddressEntry();

private:
    QRegExp m_partial;
};
