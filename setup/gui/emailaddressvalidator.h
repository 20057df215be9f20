#pragma once

#include <QRegExp>
#include <QRegExpValidator>

// An e-mail address in lower case; the empty text is acceptable.
class EMailAddressValidator : public QRegExpValidator
{
    Q_OBJECT
public:
    explicit EMailAddressValidator(QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;
};
