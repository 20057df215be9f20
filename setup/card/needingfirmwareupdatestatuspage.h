#pragma once

#include "statuspage.h"

class QLabel;

// The page a card shows instead of its settings while its firmware must be
// updated first.
class NeedingFirmwareUpdateStatusPage : public StatusPage
{
    Q_OBJECT
public:
    explicit NeedingFirmwareUpdateStatusPage(QWidget* parent = nullptr);

    QLabel* messageLabel() const { return m_message; }

signals:
    void updateRequested();
    void updateDeclined();

private:
    QLabel* m_message = nullptr;
};
