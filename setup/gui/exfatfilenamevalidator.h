#pragma once

#include <QValidator>

// A file name for an exFAT volume whose Latin-1 form fits `size` bytes with
// its terminating zero; see TextValidatorFlags for what the flags allow.
class ExFatFileNameValidator : public QValidator
{
    Q_OBJECT
public:
    ExFatFileNameValidator(int size, int flags, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

    int maxLength() const { return m_size - 1; }

private:
    int m_size;
    int m_flags;
};
