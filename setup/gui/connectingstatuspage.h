#pragma once

#include "statuspage.h"

class BusyButton;
class CardPushButton;
class QLabel;

// The page a product card shows while it connects to its device.
class ConnectingStatusPage : public StatusPage
{
    Q_OBJECT
public:
    explicit ConnectingStatusPage(QWidget* parent = nullptr);

    // An empty text restores "Connecting...".
    void setMessage(const QString& text);
    QString message() const;
    CardPushButton* cancelButton() const { return m_cancel; }

signals:
    void connectionCancelled();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* m_message = nullptr;
    BusyButton* m_busy = nullptr;
    CardPushButton* m_cancel = nullptr;
};
