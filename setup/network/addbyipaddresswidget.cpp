#include "addbyipaddresswidget.h"

#include "appdefaults.h"
#include "busybutton.h"
#include "colourpalette.h"
#include "commongui.h"
#include "mainwindowdialoglineedit.h"
#include "tighthboxlayout.h"

#include <QLabel>
#include <QStackedWidget>

namespace {

// The product's texts may or may not hold a place for the address; one
// without leaves the text as it is (and Qt quiet).
QString withAddress(const QString& text, const QString& address)
{
    return text.contains(QLatin1String("%1")) ? text.arg(address, 0, QLatin1Char(' ')) : text;
}

} // namespace

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
    auto* inputRow = new TightHBoxLayout(input);
    m_addressLabel = CommonGui::label(CommonGui::kSemibold, ColourPalette::kRaincloudGray, input);
    m_addressLabel->setText(tr("IP address:"));
    m_addressLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_addressLabel->setFixedSize(126, 33);
    m_address = new MainWindowDialogLineEdit(input);
    m_address->setStandardVerifier(MainWindowDialogLineEdit::kIpAddress);
    m_address->setText(tr("127.0.0.1"));
    inputRow->addWidget(m_addressLabel);
    inputRow->addSpacing(12);
    inputRow->addWidget(m_address, 1);
    inputRow->addSpacing(24);
    connect(m_address, &QLineEdit::textChanged, this, &AddByIpAddressWidget::checkAddressValid);
    connect(m_address, &QLineEdit::returnPressed, this, &AddByIpAddressWidget::addDevice);

    auto* searching = new QWidget(m_pages);
    auto* searchRow = new TightHBoxLayout(searching);
    m_busyButton = new BusyButton(searching);
    m_searchLabel = CommonGui::label(CommonGui::kRegular, ColourPalette::kRaincloudGray, searching);
    m_searchLabel->setAlignment(Qt::AlignCenter);
    searchRow->addStretch();
    searchRow->addWidget(m_busyButton, 0, Qt::AlignVCenter);
    searchRow->addSpacing(10);
    searchRow->addWidget(m_searchLabel, 0, Qt::AlignVCenter);
    searchRow->addStretch();
    connect(m_busyButton, &QAbstractButton::clicked, this, &AddByIpAddressWidget::busyWaitCancelled);

    m_failedLabel = CommonGui::label(CommonGui::kSemibold, ColourPalette::kRaincloudGray, m_pages);
    m_failedLabel->setAlignment(Qt::AlignCenter);

    m_pages->addWidget(input);
    m_pages->addWidget(searching);
    m_pages->addWidget(m_failedLabel);
    layout->addWidget(m_pages);
}

void AddByIpAddressWidget::setState(State state)
{
    m_state = state;
    if (state != Searching)
        m_busyButton->setBusy(false);
    switch (state) {
    case Input:
        m_pages->setCurrentIndex(0);
        checkAddressValid();
        break;
    case Searching:
        m_searchLabel->setText(withAddress(AppDefaults::addByIpAddressSearchMessage(), address()));
        m_searchLabel->setVisible(!m_searchLabel->text().isEmpty());
        m_busyButton->setBusy(true);
        m_pages->setCurrentIndex(1);
        setAddButtonEnabled(false);
        break;
    case Failed:
        m_failedLabel->setText(withAddress(AppDefaults::addByIpAddressFailedMessage(), address()));
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
    return m_address->text();
}

void AddByIpAddressWidget::aboutToShow()
{
    setState(Input);
}

void AddByIpAddressWidget::onAddPressed()
{
    emit addDevice();
}

void AddByIpAddressWidget::onClosePressed()
{
    // The page leaves: its busy animation must not tick on, hidden, until
    // it is shown again.
    setState(Input);
    MainWindowDialogWidget::onClosePressed();
}

void AddByIpAddressWidget::busyWaitCancelled()
{
    setState(Input);
}

void AddByIpAddressWidget::checkAddressValid()
{
    setAddButtonEnabled(m_state == Input && m_address->hasAcceptableInput());
}
