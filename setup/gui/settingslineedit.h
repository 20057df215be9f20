#pragma once

#include <QLineEdit>

class QAction;

// A line edit of a settings row. It may carry one of the shared standard
// validators and shows a status icon at its right end.
class SettingsLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum LineEditKind {
        kNonEmpty = 0,
        kIpAddress = 1,
        kUnverified = 2,
    };
    using StandardVerifier = LineEditKind;

    explicit SettingsLineEdit(QWidget* parent = nullptr);

    // 0 non-empty text, 1 an IP address, 2 no validator.
    void setStandardVerifier(int kind);
    void setStatusIconEnabled(bool enabled);
    bool isStatusIconEnabled() const { return m_statusIconEnabled; }

    enum StatusIcon { kNoIcon, kOkIcon, kAlertIcon };
    StatusIcon statusIcon() const { return m_icon; }
    // Whether the text is acceptable to the validator (always, without one).
    bool isAcceptable() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateStatusIcon();

    QAction* m_statusAction = nullptr;
    bool m_statusIconEnabled = true;
    StatusIcon m_icon = kNoIcon;
};
