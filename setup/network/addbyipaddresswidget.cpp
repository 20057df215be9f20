#include "addbyipaddresswidget.h"

#include "appdefaults.h"

#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QVBoxLayout>

AddByIpAddressWidget::AddByIpAddressWidget(QWidget* parent) : MainWindowDialogWidget(parent)
{
    buildMe(tr("Add"), tr("Cancel"));
    setState(Input);
}

void AddByIpAddressWidget::buildContents(QVBoxLayout* layout)
{
    m_pages = new QStackedWidget(this);
    m_pages->setMinimumSize(390, 33);

    auto* input = new QWidget(m_pages);
    auto* row = new QHBoxLayout(input);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(tr("IP address:"), input);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFixedSize(126, 33);
    m_address = new QLineEdit(tr("127.0.0.1"), input);
    row->addWidget(label);
    row->addWidget(m_address);
    connect(m_address, &QLineEdit::textChanged, this, &AddByIpAddressWidget::checkAddressValid);
    connect(m_address, &QLineEdit::returnPressed, this, &AddByIpAddressWidget::addDevice);

    m_searchLabel = new QLabel(m_pages);
    m_searchLabel->setAlignment(Qt::AlignCenter);
    m_failedLabel = new QLabel(m_pages);
    m_failedLabel->setAlignment(Qt::AlignCenter);
    m_pages->addWidget(input);
    m_pages->addWidget(m_searchLabel);
    m_pages->addWidget(m_failedLabel);
    layout->addWidget(m_pages);
}

void AddByIpAddressWidget::setState(State state)
{
    m_state = state;
    switch (state) {
    case Input:
        m_pages->setCurrentIndex(0);
        checkAddressValid();
        break;
    case Searching:
        m_searchLabel->setText(AppDefaults::addByIpAddressSearchMessage().arg(address()));
        m_pages->setCurrentIndex(1);
        setAddButtonEnabled(false);
        break;
    case Failed:
        m_failedLabel->setText(AppDefaults::addByIpAddressFailedMessage().arg(address()));
        m_pages->setCurrentIndex(2);
        setAddButtonEnabled(false);
        break;
    case Found:
        emit closePressed();
        break;
    }
}

QString AddByIpAddressWidget::address() const
{
    return m_address ? m_address->text() : QString();
}

void AddByIpAddressWidget::aboutToShow()
{
    setState(Input);
}

void AddByIpAddressWidget::onAddPressed()
{
    emit addDevice();
}

void AddByIpAddressWidget::busyWaitCancelled()
{
    setState(Input);
}

void AddByIpAddressWidget::checkAddressValid()
{
    const QHostAddress host(address());
    setAddButtonEnabled(!host.isNull() && host.protocol() == QAbstractSocket::IPv4Protocol);
}
