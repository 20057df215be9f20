#pragma once

#include <QValidator>

// Any non-empty text is acceptable; the empty text is intermediate.
class NonEmptyValidator : public QValidator
{
    Q_OBJECT
public:
    explicit NonEmptyValidator(QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

    // The instance that the standard line-edit verifier 0 installs.
    static NonEmptyValidator* shared();
};
