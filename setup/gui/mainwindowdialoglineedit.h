#pragma once

#include <QColor>
#include <QLineEdit>

// The rounded line edit of the options pages.
class MainWindowDialogLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum StandardVerifier {
        kNonEmpty = 0,
        kIpAddress = 1,
    };

    explicit MainWindowDialogLineEdit(QWidget* parent = nullptr);

    // Styles the field with `accent` as its focus colour.
    void build(const QColor& accent);
    // 0 installs the shared non-empty validator, 1 the shared IP address
    // validator; any other value changes nothing.
    void setStandardVerifier(int verifier);

    static QString styleSheetText(const QColor& accent);

public slots:
    void onReturnPressed();
};
