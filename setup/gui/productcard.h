#pragma once

#include "productcardbase.h"

#include <QColor>

class CardHeader;
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

public slots:
    void onShowProductEasterEgg();

private:
    VisibleDevice* m_device = nullptr;
    QColor m_colour;
    CardHeader* m_header = nullptr;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_bottom = nullptr;
};
