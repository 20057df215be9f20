#pragma once

#include "mainwindowdialogwidget.h"

class BusyButton;
class MainWindowDialogLineEdit;
class QLabel;
class QStackedWidget;

// The options-menu page that takes the IPv4 address of a network device and
// shows the search and its failure. Offered only where
// AppDefaults::allowsAddByIpAddress() says so.
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

    MainWindowDialogLineEdit* addressEdit() const { return m_address; }
    BusyButton* busyButton() const { return m_busyButton; }
    QLabel* searchLabel() const { return m_searchLabel; }
    QLabel* failedLabel() const { return m_failedLabel; }
    QStackedWidget* pages() const { return m_pages; }

signals:
    void addDevice();

public slots:
    void onAddPressed() override;
    void onClosePressed() override;
    void busyWaitCancelled();
    void checkAddressValid();

protected:
    void buildContents(QVBoxLayout* layout) override;

private:
    QLabel* m_addressLabel = nullptr;
    MainWindowDialogLineEdit* m_address = nullptr;
    QLabel* m_searchLabel = nullptr;
    QLabel* m_failedLabel = nullptr;
    BusyButton* m_busyButton = nullptr;
    QStackedWidget* m_pages = nullptr;
    State m_state = Input;
};
