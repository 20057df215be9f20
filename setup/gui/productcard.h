#pragma once

#include "productcardbase.h"

#include <QColor>

class CardHeader;
class QDialog;
class QStackedWidget;
class StatusPage;
class VisibleDevice;

// A device's card: header, a stack of pages (status pages and the settings
// page) and a bottom band, in the device family's colour.
class ProductCard : public ProductCardBase
{
    Q_OBJECT
public:
    ProductCard(VisibleDevice* device, QWidget* window, const QColor& colour);

    void addPage(StatusPage* page);
    void showPage(StatusPage* page);
    StatusPage* currentPage() const;
    void refreshHeader(VisibleDevice* device);

    VisibleDevice* device() const { return m_device; }
    QColor colour() const { return m_colour; }
    CardHeader* header() const { return m_header; }
    QStackedWidget* pages() const { return m_pages; }
    QWidget* bottom() const { return m_bottom; }

    // The card `widget` is part of, or null.
    static ProductCard* owning(const QWidget* widget);
    // Runs a modal dialog of a widget inside a card. While it runs the card
    // is only hidden, never deleted: closing the card rejects the dialog,
    // and the card goes once the dialog's loop has returned. The result is
    // QDialog::Rejected whenever the card closed meanwhile, so the caller
    // leaves at once, without touching its device or writing anything.
    static int execDialog(QDialog& dialog);
    // A warning message box of `from`, run as execDialog() does.
    static void warn(QWidget* from, const QString& title, const QString& text);
    // True once the card is closing (hidden, about to be deleted).
    bool isClosing() const { return m_closing; }
    bool hasRunningDialog() const { return m_runningDialogs > 0; }

public slots:
    void onShowProductEasterEgg();
    // Hides the card, closes its open dialogs and deletes it once control
    // is back in the event loop and no dialog of it still runs.
    virtual void closeCard();

private:
    int m_runningDialogs = 0;
    bool m_closing = false;
    VisibleDevice* m_device = nullptr;
    QColor m_colour;
    CardHeader* m_header = nullptr;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_bottom = nullptr;
};
