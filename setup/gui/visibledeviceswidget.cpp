#include "visibledeviceswidget.h"

#include "appdefaults.h"
#include "colourpalette.h"
#include "commongui.h"
#include "devicelist.h"
#include "visibledevice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr int kEmptyWidth = 470;
constexpr int kDeviceWidth = 400;

QPushButton* imageButton(const QString& image, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    const QPixmap pixmap(image);
    button->setIcon(pixmap);
    button->setIconSize(pixmap.size());
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    return button;
}

QLabel* centredLabel(int style, const QColor& colour, QWidget* parent)
{
    QLabel* label = CommonGui::label(style, colour, parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}
} // namespace

VisibleDevicesWidget::VisibleDevicesWidget(DeviceList& deviceList, QWidget* parent)
    : QWidget(parent), m_deviceList(deviceList)
{
    setObjectName(QStringLiteral("VisibleDevicesWidget"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColourPalette::kMilkGray);
    setPalette(pal);

    m_left = imageButton(QStringLiteral(":/LeftArrow"), this);
    m_right = imageButton(QStringLiteral(":/RightArrow"), this);
    m_picture = imageButton(QStringLiteral(":/NoDevice"), this);
    m_name = centredLabel(1, ColourPalette::kWinterSkyGray, this);
    m_name->setFont(CommonGui::font(11));

    // Page 0: a normal device; page 1: firmware only; page 2: empty state.
    m_pages = new QStackedWidget(this);
    auto* normal = new QWidget(m_pages);
    auto* normalRow = new QHBoxLayout(normal);
    normalRow->setContentsMargins(0, 0, 0, 0);
    m_model = CommonGui::label(3, ColourPalette::kRaincloudGray, normal);
    m_model->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_setup = imageButton(QStringLiteral(":/Setup"), normal);
    m_controlApp = imageButton(QString(), normal);
    normalRow->addStretch();
    normalRow->addWidget(m_model);
    normalRow->addWidget(m_setup);
    normalRow->addWidget(m_controlApp);
    normalRow->addStretch();

    auto* firmware = new QWidget(m_pages);
    auto* firmwareColumn = new QVBoxLayout(firmware);
    firmwareColumn->setContentsMargins(0, 0, 0, 0);
    m_firmwareStatus = centredLabel(3, ColourPalette::kRaincloudGray, firmware);
    m_updateNow = new QPushButton(tr("Update Now"), firmware);
    firmwareColumn->addWidget(m_firmwareStatus);
    firmwareColumn->addWidget(m_updateNow, 0, Qt::AlignHCenter);

    m_message = centredLabel(3, ColourPalette::kFoggyGray, m_pages);
    m_message->setWordWrap(true);
    m_pages->addWidget(normal);
    m_pages->addWidget(firmware);
    m_pages->addWidget(m_message);
    m_pages->setFixedHeight(70);

    auto* box = new QVBoxLayout;
    box->setSpacing(8);
    box->addStretch();
    box->addWidget(m_picture, 0, Qt::AlignHCenter);
    box->addWidget(m_name, 0, Qt::AlignHCenter);
    box->addWidget(m_pages, 0, Qt::AlignHCenter);
    box->addStretch();

    auto* scroller = new QHBoxLayout;
    scroller->addSpacing(20);
    scroller->addWidget(m_left);
    scroller->addStretch();
    scroller->addLayout(box);
    scroller->addStretch();
    scroller->addWidget(m_right);
    scroller->addSpacing(20);

    m_summarySlot = new QWidget(this);
    auto* summaryLayout = new QVBoxLayout(m_summarySlot);
    summaryLayout->setContentsMargins(0, 0, 0, 0);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 20, 0, 20);
    column->addLayout(scroller, 1);
    column->addWidget(m_summarySlot, 0, Qt::AlignHCenter | Qt::AlignTop);

    connect(m_picture, &QPushButton::clicked, this, &VisibleDevicesWidget::onDeviceClicked);
    connect(m_setup, &QPushButton::clicked, this, &VisibleDevicesWidget::onDeviceClicked);
    connect(m_controlApp, &QPushButton::clicked, this, &VisibleDevicesWidget::onControlAppClicked);
    connect(m_updateNow, &QPushButton::clicked, this, &VisibleDevicesWidget::onUpdateButtonClicked);
    connect(m_left, &QPushButton::clicked, this, &VisibleDevicesWidget::onLeftClicked);
    connect(m_right, &QPushButton::clicked, this, &VisibleDevicesWidget::onRightClicked);
    connect(m_message, &QLabel::linkActivated, this, &VisibleDevicesWidget::addByIpClicked);
    connect(&m_deviceList, &DeviceList::deviceListAdded, this, &VisibleDevicesWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListRemoved, this, &VisibleDevicesWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListSelected, this, &VisibleDevicesWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListChanged, this, &VisibleDevicesWidget::onDeviceListChanged);

    updateDeviceDisplay();
}

void VisibleDevicesWidget::updateDeviceDisplay()
{
    if (m_summary) {
        m_summarySlot->layout()->removeWidget(m_summary);
        m_summary->hide();
        m_summary->setParent(nullptr);
        m_summary = nullptr;
    }

    VisibleDevice* device = m_deviceList.getCurrentDevice();
    if (!device) {
        const QPixmap empty(QStringLiteral(":/NoDevice"));
        m_picture->setIcon(empty);
        m_picture->setIconSize(empty.size());
        m_picture->setFixedWidth(kEmptyWidth);
        m_picture->setEnabled(false);
        m_name->setFixedWidth(kEmptyWidth);
        m_name->setText(AppDefaults::noDeviceHeader());
        m_message->setFixedWidth(kEmptyWidth);
        m_pages->setFixedWidth(kEmptyWidth);
        m_message->setText(AppDefaults::noDeviceMessage());
        m_pages->setCurrentIndex(2);
        m_left->hide();
        m_right->hide();
        return;
    }

    const int position = m_deviceList.indexOfDevice(device);
    if (position < 0)
        return;

    const QPixmap picture = device->modelImage();
    m_picture->setIcon(picture);
    m_picture->setIconSize(picture.size().boundedTo(QSize(kDeviceWidth, 360)));
    m_picture->setFixedWidth(kDeviceWidth);
    m_name->setFixedWidth(kDeviceWidth);
    m_pages->setFixedWidth(kDeviceWidth);
    m_name->setText(CommonGui::elide(device->deviceName(), m_name));

    m_controlApp->setVisible(device->hasControlApp());
    if (device->hasControlApp()) {
        m_controlApp->setIcon(device->controlAppIcon());
        m_controlApp->setIconSize(device->controlAppIcon().size());
    }

    if (device->firmwareUpdateOnly()) {
        m_picture->setEnabled(false);
        const bool available = device->firmwareUpdateAvailable();
        m_firmwareStatus->setText(available ? tr("Software update available.")
                                            : tr("Software is up to date."));
        m_updateNow->setVisible(available);
        m_pages->setCurrentIndex(1);
    } else {
        m_picture->setEnabled(true);
        m_model->setText(CommonGui::elide(device->modelName(), m_model->font(), kDeviceWidth - 10));
        m_setup->setVisible(device->shouldShowSetup());
        m_pages->setCurrentIndex(0);
    }

    m_left->setVisible(position > 0);
    m_right->setVisible(position + 1 < m_deviceList.numberOfDevice());

    if (QWidget* summary = device->summaryWidget()) {
        m_summary = summary;
        m_summarySlot->layout()->addWidget(summary);
        summary->show();
    }
}

void VisibleDevicesWidget::onDeviceListChanged()
{
    updateDeviceDisplay();
}

void VisibleDevicesWidget::onDeviceClicked()
{
    VisibleDevice* device = m_deviceList.getCurrentDevice();
    if (device && device->shouldShowSetup())
        emit requestShowDevice(device);
}

void VisibleDevicesWidget::onControlAppClicked()
{
    if (VisibleDevice* device = m_deviceList.getCurrentDevice())
        emit requestShowControlApp(device);
}

void VisibleDevicesWidget::onUpdateButtonClicked()
{
    if (VisibleDevice* device = m_deviceList.getCurrentDevice())
        emit requestFirmwareUpdate(device);
}

void VisibleDevicesWidget::onLeftClicked()
{
    m_deviceList.selectPreviousDevice();
}

void VisibleDevicesWidget::onRightClicked()
{
    m_deviceList.selectNextDevice();
}
