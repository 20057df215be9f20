#include "productcard.h"

#include "cardheader.h"
#include "focustrap.h"
#include "settingspage.h"
#include "settingstab.h"
#include "statuspage.h"
#include "tightvboxlayout.h"

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
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
    // A settings page takes the keys on its shown tab; Tab goes on to its
    // first control.
    focusTrap()->setHome([this]() -> QWidget* {
        auto* page = qobject_cast<SettingsPage*>(currentPage());
        return page ? page->currentTab() : nullptr;
    });
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
    QMessageBox box(QMessageBox::Information, QString(), tr("No device specific details"), QMessageBox::Ok, this);
    execDialog(box);
}

ProductCard* ProductCard::owning(const QWidget* widget)
{
    for (QWidget* w = const_cast<QWidget*>(widget); w; w = w->parentWidget()) {
        if (auto* card = qobject_cast<ProductCard*>(w))
            return card;
    }
    return nullptr;
}

int ProductCard::execDialog(QDialog& dialog)
{
    QPointer<ProductCard> card = owning(&dialog);
    const bool inCard = card;
    if (card && card->m_closing)
        return QDialog::Rejected;
    if (card)
        ++card->m_runningDialogs;
    const int result = dialog.exec();
    if (!card)
        return inCard ? int(QDialog::Rejected) : result;
    const bool closed = card->m_closing;
    // Only the outermost dialog, back at the loop that opened it, may let
    // the card go: deleting it from inside a dialog's loop would pull the
    // widgets out from under the code that waits for that dialog.
    if (--card->m_runningDialogs == 0 && closed)
        card->deleteLater();
    return closed ? int(QDialog::Rejected) : result;
}

void ProductCard::warn(QWidget* from, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, from);
    execDialog(box);
}

void ProductCard::closeCard()
{
    hide();
    if (m_closing)
        return;
    m_closing = true;
    if (m_runningDialogs == 0) {
        deleteLater();
        return;
    }
    // Each open dialog ends its loop; the last to return deletes the card.
    for (QDialog* dialog : findChildren<QDialog*>()) {
        if (dialog->isVisible())
            dialog->reject();
    }
}
