#include "productcard.h"

#include "cardheader.h"
#include "settingspage.h"
#include "statuspage.h"
#include "tightvboxlayout.h"

#include <QMessageBox>
#include <QStackedWidget>

ProductCard::ProductCard(VisibleDevice* device, QWidget* window, const QColor& colour)
    : ProductCardBase(window)
    , m_device(device)
    , m_colour(colour)
{
    auto* column = new TightVBoxLayout(body());
    m_header = new CardHeader(colour, body());
    m_pages = new QStackedWidget(body());
    m_bottom = new QWidget(body());
    m_bottom->setObjectName(QStringLiteral("productCardBottom"));
    m_bottom->setFixedHeight(16);
    column->addWidget(m_header);
    column->addWidget(m_pages, 1);
    column->addWidget(m_bottom);
    m_header->display(device);
    connect(m_header, &CardHeader::showEasterEgg, this, &ProductCard::onShowProductEasterEgg);
}

void ProductCard::addPage(StatusPage* page)
{
    if (page && m_pages->indexOf(page) < 0)
        m_pages->addWidget(page);
}

void ProductCard::showPage(StatusPage* page)
{
    if (!page)
        return;
    addPage(page);
    m_pages->setCurrentWidget(page);
    // A settings page ends in its own footer band.
    m_bottom->setVisible(!qobject_cast<SettingsPage*>(page));
}

StatusPage* ProductCard::currentPage() const
{
    return qobject_cast<StatusPage*>(m_pages->currentWidget());
}

void ProductCard::refreshHeader(VisibleDevice* device)
{
    m_device = device;
    m_header->display(device);
}

void ProductCard::onShowProductEasterEgg()
{
    QMessageBox::information(this, QString(), tr("No device specific details"));
}
