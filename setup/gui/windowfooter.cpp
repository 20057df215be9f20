#include "windowfooter.h"

#include "appdefaults.h"
#include "colourpalette.h"
#include "devicelist.h"
#include "dotswidget.h"
#include "flatimagebutton.h"
#include "footerleftregion.h"
#include "tighthboxlayout.h"
#include "viewselectionbar.h"
#include "visibledevice.h"

namespace {
// Dots (10 high) and the view switch (20 high) share one centre line.
constexpr int kViewBarTop = 22;
constexpr int kDotsTop = 27;
constexpr int kRightMargin = 30;
} // namespace

WindowFooter::WindowFooter(DeviceList& deviceList, QWidget* parent, bool hasListView)
    : QFrame(parent), m_deviceList(deviceList)
{
    setObjectName(QStringLiteral("windowFooter"));
    setFixedHeight(kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColourPalette::kHurricaneGray);
    setPalette(pal);

    m_leftRegion = new FooterLeftRegion(AppDefaults::allowsAddByIpAddress(), kHeight, this);
    m_dots = new DotsWidget(m_deviceList, this);
    m_dots->setContentsMargins(0, kDotsTop, 0, 0);

    auto* row = new TightHBoxLayout(this);
    row->setContentsMargins(0, 0, kRightMargin, 0);
    row->addWidget(m_leftRegion, 0, Qt::AlignTop);
    row->addStretch();
    row->addWidget(m_dots, 0, Qt::AlignTop);
    row->addStretch();
    if (hasListView) {
        m_viewBar = new ViewSelectionBar(this);
        m_viewBar->setContentsMargins(0, kViewBarTop, 0, 0);
        row->addWidget(m_viewBar, 0, Qt::AlignTop);
        connect(m_viewBar, &ViewSelectionBar::gallerySelected, this, &WindowFooter::galleryViewSelected);
        connect(m_viewBar, &ViewSelectionBar::listSelected, this, &WindowFooter::listViewSelected);
    } else {
        // Keeps the dots centred under the gallery.
        row->addSpacing(FooterLeftRegion::kWidth - kRightMargin);
    }

    connect(m_leftRegion, &FooterLeftRegion::menuButtonClicked, this, &WindowFooter::menuButtonClicked);
    connect(m_leftRegion, &FooterLeftRegion::secretClick, this, &WindowFooter::easterEggClicked);
    connect(&m_deviceList, &DeviceList::deviceListAdded, this, &WindowFooter::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListRemoved, this, &WindowFooter::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListSelected, this, &WindowFooter::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListChanged, this, &WindowFooter::onDeviceListChanged);
    updateDisplay();
}

QWidget* WindowFooter::menuButtonAnchor() const
{
    if (FlatImageButton* button = m_leftRegion->menuButton())
        return button;
    return m_leftRegion;
}

void WindowFooter::showDots()
{
    m_dotsWanted = true;
    if (m_viewBar)
        m_viewBar->setActiveView(ViewSelectionBar::GalleryView);
    updateDisplay();
}

void WindowFooter::hideDots()
{
    m_dotsWanted = false;
    if (m_viewBar)
        m_viewBar->setActiveView(ViewSelectionBar::ListView);
    updateDisplay();
}

bool WindowFooter::galleryActive() const
{
    return !m_viewBar || m_dotsWanted;
}

void WindowFooter::updateDisplay()
{
    const bool hasDevice = m_deviceList.getCurrentDevice() != nullptr;
    if (m_viewBar)
        m_viewBar->setVisible(hasDevice);
    m_dots->setVisible(hasDevice && galleryActive());
}

void WindowFooter::onDeviceListChanged(VisibleDevice*)
{
    updateDisplay();
}
