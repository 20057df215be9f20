#pragma once

#include "mainwindowdialogwidget.h"

class QLabel;
class QLineEdit;
class QStackedWidget;

// The options-menu page that takes the IPv4 address of a network device.
// This product never offers it (AppDefaults::allowsAddByIpAddress()).
class AddByIpAddressWidget : public MainWindowDialogWidget
{
    Q_OBJECT

public:
    enum State
    {
        Input = 0,
        Searching = 1,
        Failed = 2,
        Found = 3
    };

    explicit AddByIpAddressWidget(QWidget* parent = nullptr);

    void setState(State state);
    State state() const { return m_state; }
    QString address() const;
    void aboutToShow() override;

signals:
    void addDevice();

public slots:
    void onAddPressed() override;
    void busyWaitCancelled();
    void checkAddressValid();

protected:
    void buildContents(QVBoxLayout* layout) override;

private:
    QLineEdit* m_address = nullptr;
    QLabel* m_searchLabel = nullptr;
    QLabel* m_failedLabel = nullptr;
    QStackedWidget* m_pages = nullptr;
    State m_state = Input;
};
