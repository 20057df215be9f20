#pragma once

#include <QIntValidator>

// A positive decimal number without sign or leading zero, within a range.
class UnsignedIntValidator : public QIntValidator
{
    Q_OBJECT
public:
    UnsignedIntValidator(int minimum, int maximum, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

    // The instance of the network address entry's port field (1024 to 49151).
    static UnsignedIntValidator* sharedPort();
};
