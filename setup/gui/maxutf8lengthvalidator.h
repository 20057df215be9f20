#pragma once

#include <QValidator>

// Text whose UTF-8 form fits a buffer of `size` bytes with its terminating
// zero; see TextValidatorFlags for what the flags allow.
class MaxUtf8LengthValidator : public QValidator
{
    Q_OBJECT
public:
    MaxUtf8LengthValidator(int size, int flags, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

    int maxLength() const { return m_size - 1; }

private:
    int m_size;
    int m_flags;
};
