#include "windowfooter.h"

#include "appdefaults.h"
#include "colourpalette.h"
#include "devicelist.h"
#include "visibledevice.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>

namespace {
constexpr int kHeight = 64;

QPushButton* imageButton(const QString& image, const QString& hover, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    const QPixmap pixmap(image);
    button->setFixedSize(pixmap.size());
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; image: url(%1); }"
                                         "QPushButton:hover { image: url(%2); }")
                              .arg(image, hover));
    return button;
}
} // namespace

WindowFooter::WindowFooter(DeviceList& deviceList, QWidget* parent, bool hasListView)
    : QFrame(parent), m_deviceList(deviceList)
{
    setFixedHeight(kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColourPalette::kAsphaltGray);
    setPalette(pal);

    m_leftRegion = new QWidget(this);
    m_leftRegion->setFixedSize(120, kHeight);
    if (AppDefaults::allowsAddByIpAddress()) {
        m_menuButton = imageButton(QStringLiteral(":/Cross"), QStringLiteral(":/Cross_Hover"), m_leftRegion);
        m_menuButton->move(40, (kHeight - m_menuButton->height()) / 2);
        connect(m_menuButton, &QPushButton::clicked, this, &WindowFooter::menuButtonClicked);
    }
    // The build details open on a Shift double click in the bottom-left corner.
    m_secret = new QWidget(m_leftRegion);
    m_secret->setGeometry(0, 44, 20, 20);
    m_secret->installEventFilter(this);

    m_dots = new QWidget(this);
    auto* dotsRow = new QHBoxLayout(m_dots);
    dotsRow->setContentsMargins(0, 16, 0, 0);
    dotsRow->setSpacing(8);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 20, 0);
    row->setSpacing(0);
    row->addWidget(m_leftRegion);
    row->addStretch();
    row->addWidget(m_dots, 0, Qt::AlignTop);
    row->addStretch();

    if (hasListView) {
        m_viewBar = new QWidget(this);
        auto* bar = new QHBoxLayout(m_viewBar);
        bar->setContentsMargins(0, 16, 0, 0);
        bar->setSpacing(20);
        m_galleryButton =
            imageButton(QStringLiteral(":/Gallery"), QStringLiteral(":/GalleryHover"), m_viewBar);
        m_listButton = imageButton(QStringLiteral(":/List"), QStringLiteral(":/ListHover"), m_viewBar);
        bar->addWidget(m_galleryButton);
        bar->addWidget(m_listButton);
        row->addWidget(m_viewBar, 0, Qt::AlignTop);
        connect(m_galleryButton, &QPushButton::clicked, this, [this] {
            m_galleryActive = true;
            emit galleryViewSelected();
        });
        connect(m_listButton, &QPushButton::clicked, this, [this] {
            m_galleryActive = false;
            emit listViewSelected();
        });
    } else {
        row->addSpacing(120 - 20);
    }

    connect(&m_deviceList, &DeviceList::deviceListAdded, this, &WindowFooter::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListRemoved, this, &WindowFooter::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListSelected, this, &WindowFooter::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListChanged, this, &WindowFooter::onDeviceListChanged);
    updateDisplay();
}

QWidget* WindowFooter::menuButtonAnchor() const
{
    return m_menuButton ? static_cast<QWidget*>(m_menuButton) : m_leftRegion;
}

void WindowFooter::showDots()
{
    m_galleryActive = true;
    updateDisplay();
}

void WindowFooter::hideDots()
{
    m_galleryActive = false;
    updateDisplay();
}

void WindowFooter::updateDisplay()
{
    rebuildDots();
    const bool hasDevice = m_deviceList.getCurrentDevice() != nullptr;
    if (m_viewBar)
        m_viewBar->setVisible(hasDevice);
    m_dots->setVisible(hasDevice && (m_galleryActive || !m_viewBar));
}

void WindowFooter::onDeviceListChanged(VisibleDevice*)
{
    updateDisplay();
}

bool WindowFooter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_secret && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->modifiers() & Qt::ShiftModifier)
            emit easterEggClicked();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void WindowFooter::rebuildDots()
{
    const int count = m_deviceList.numberOfDevice();
    while (m_dotButtons.size() < count) {
        auto* dot = new QPushButton(m_dots);
        dot->setFixedSize(10, 10);
        dot->setFlat(true);
        dot->setStyleSheet(QStringLiteral("QPushButton { border: none; }"));
        const int index = m_dotButtons.size();
        connect(dot, &QPushButton::clicked, this, [this, index] {
            if (index < m_deviceList.numberOfDevice())
                m_deviceList.setCurrentDevice(index);
        });
        m_dots->layout()->addWidget(dot);
        m_dotButtons.append(dot);
    }
    while (m_dotButtons.size() > count)
        delete m_dotButtons.takeLast();

    const int current = m_deviceList.getCurrentDeviceIndex();
    const QPixmap on(QStringLiteral(":/Dot_On"));
    const QPixmap off(QStringLiteral(":/Dot_Off"));
    for (int i = 0; i < m_dotButtons.size(); ++i) {
        m_dotButtons[i]->setIcon(i == current ? on : off);
        m_dotButtons[i]->setIconSize(QSize(10, 10));
        m_dotButtons[i]->setVisible(count > 1);
    }
}
