#include "visibledeviceswidget.h"
#include "hidpipixmap.h"

#include "appdefaults.h"
#include "cardpushbutton.h"
#include "colourpalette.h"
#include "commongui.h"
#include "devicelist.h"
#include "flatimagebutton.h"
#include "testmodepixmap.h"
#include "tighthboxlayout.h"
#include "tightvboxlayout.h"
#include "visibledevice.h"

#include <QKeyEvent>
#include <QLabel>
#include <QStackedWidget>

namespace {
constexpr int kTopMargin = 18;
constexpr int kArrowMargin = 36;
constexpr int kNameHeight = 34;
constexpr int kPageHeight = 40;
constexpr int kIconGap = 10;
// Room the model name leaves for the buttons beside it.
constexpr int kButtonGap = 8;
// Where "TEST MODE" sits on a gallery picture.
constexpr int kTestModeTextX = 8;
constexpr int kTestModeTextY = 150;

QLabel* centredLabel(int style, const QColor& colour, QWidget* parent)
{
    QLabel* label = CommonGui::label(style, colour, parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return label;
}

FlatImageButton* hoverButton(const QString& image, QWidget* parent)
{
    auto* button = new FlatImageButton(image, parent);
    button->setHoverImage(image + QStringLiteral("_Hover"));
    return button;
}
} // namespace

VisibleDevicesWidget::VisibleDevicesWidget(DeviceList& deviceList, QWidget* parent)
    : QWidget(parent), m_deviceList(deviceList)
{
    setObjectName(QStringLiteral("VisibleDevicesWidget"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColourPalette::kThunderstormGray);
    setPalette(pal);

    buildDeviceBox();

    m_left = hoverButton(QStringLiteral(":/LeftArrow"), this);
    m_right = hoverButton(QStringLiteral(":/RightArrow"), this);
    // Their hover look is a dimmer one: focus takes the accent colour.
    m_left->setFocusImage(QStringLiteral(":/LeftArrow_Focus"));
    m_right->setFocusImage(QStringLiteral(":/RightArrow_Focus"));
    m_left->setToolTip(tr("Previous device"));
    m_right->setToolTip(tr("Next device"));
    m_left->setAccessibleName(m_left->toolTip());
    m_right->setAccessibleName(m_right->toolTip());
    // Tab reaches the setup button and the arrows; the gallery itself takes
    // a click so that the step keys work at once.
    setFocusPolicy(Qt::ClickFocus);
    for (FlatImageButton* button : { m_setup, m_left, m_right, m_controlApp })
        button->setFocusPolicy(Qt::TabFocus);
    m_controlApp->setAccessibleName(tr("Control application"));
    setTabOrder(m_setup, m_controlApp);
    setTabOrder(m_controlApp, m_left);
    setTabOrder(m_left, m_right);

    // The arrows sit level with the middle of the picture.
    const int arrowTop = (kPictureHeight - m_left->height()) / 2;
    auto* leftColumn = new TightVBoxLayout;
    leftColumn->addSpacing(arrowTop);
    leftColumn->addWidget(m_left);
    leftColumn->addStretch();
    auto* rightColumn = new TightVBoxLayout;
    rightColumn->addSpacing(arrowTop);
    rightColumn->addWidget(m_right);
    rightColumn->addStretch();
    // Hidden arrows keep their room, so the picture does not jump sideways.
    for (FlatImageButton* arrow : { m_left, m_right }) {
        QSizePolicy policy = arrow->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        arrow->setSizePolicy(policy);
    }

    auto* scroller = new TightHBoxLayout;
    scroller->setContentsMargins(kArrowMargin, 0, kArrowMargin, 0);
    scroller->addLayout(leftColumn);
    scroller->addStretch();
    scroller->addWidget(m_deviceBox, 0, Qt::AlignTop);
    scroller->addStretch();
    scroller->addLayout(rightColumn);

    m_summaryArea = new QWidget(this);
    auto* summaryLayout = new TightVBoxLayout(m_summaryArea);
    summaryLayout->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // In a window taller than the device box and its summary, the spare
    // room is shared above and below them rather than left at the bottom.
    auto* column = new TightVBoxLayout(this);
    column->addSpacing(kTopMargin);
    column->addStretch(1);
    column->addLayout(scroller);
    column->addWidget(m_summaryArea);
    column->addStretch(1);

    connect(m_picture, &FlatImageButton::clicked, this, &VisibleDevicesWidget::onDeviceClicked);
    connect(m_setup, &FlatImageButton::clicked, this, &VisibleDevicesWidget::onDeviceClicked);
    connect(m_controlApp, &FlatImageButton::clicked, this, &VisibleDevicesWidget::onControlAppClicked);
    connect(m_updateNow, &CardPushButton::clicked, this, &VisibleDevicesWidget::onUpdateButtonClicked);
    connect(m_left, &FlatImageButton::clicked, this, &VisibleDevicesWidget::onLeftClicked);
    connect(m_right, &FlatImageButton::clicked, this, &VisibleDevicesWidget::onRightClicked);
    connect(m_message, &QLabel::linkActivated, this, &VisibleDevicesWidget::addByIpClicked);
    connect(&m_deviceList, &DeviceList::deviceListAdded, this, &VisibleDevicesWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListRemoved, this, &VisibleDevicesWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListSelected, this, &VisibleDevicesWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListChanged, this, &VisibleDevicesWidget::onDeviceListChanged);

    updateDeviceDisplay();
}

VisibleDevicesWidget::~VisibleDevicesWidget()
{
    // The summary belongs to its device: never delete it with the gallery.
    releaseSummary();
}

void VisibleDevicesWidget::buildDeviceBox()
{
    m_deviceBox = new QWidget(this);
    m_picture = new FlatImageButton(m_deviceBox);
    m_picture->setFixedHeight(kPictureHeight);
    m_name = centredLabel(CommonGui::kLightLarge, ColourPalette::kMilkGray, m_deviceBox);
    m_name->setFixedHeight(kNameHeight);
    // Names come from the card, a file or the network: never read as markup.
    m_name->setTextFormat(Qt::PlainText);

    m_pages = new QStackedWidget(m_deviceBox);
    m_pages->setFixedHeight(kPageHeight);

    // The device page: connection icon, model name, setup and control buttons.
    auto* devicePage = new QWidget(m_pages);
    auto* deviceRow = new TightHBoxLayout(devicePage);
    m_connectionIcon = new QLabel(devicePage);
    m_connectionIcon->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_model = CommonGui::label(CommonGui::kRegular, ColourPalette::kSmokeGray, devicePage);
    m_model->setAlignment(Qt::AlignCenter);
    m_model->setTextFormat(Qt::PlainText);
    m_setup = hoverButton(QStringLiteral(":/Setup"), devicePage);
    m_setup->setToolTip(tr("Settings"));
    m_setup->setAccessibleName(m_setup->toolTip());
    m_controlApp = new FlatImageButton(devicePage);
    deviceRow->addStretch();
    deviceRow->addWidget(m_connectionIcon);
    deviceRow->addWidget(m_model);
    deviceRow->addSpacing(kButtonGap);
    deviceRow->addWidget(m_setup);
    deviceRow->addWidget(m_controlApp);
    deviceRow->addStretch();

    // The firmware page of a device that can only be updated from here.
    auto* firmwarePage = new QWidget(m_pages);
    auto* firmwareColumn = new TightVBoxLayout(firmwarePage);
    auto* statusRow = new TightHBoxLayout;
    m_firmwareCurrent = CommonGui::label(CommonGui::kRegular, ColourPalette::kSmokeGray, firmwarePage);
    m_firmwareStatus = CommonGui::label(CommonGui::kRegular, ColourPalette::kBonesGray, firmwarePage);
    m_availableFirmware = CommonGui::label(CommonGui::kSemibold, ColourPalette::kAccentColour, firmwarePage);
    m_firmwareCurrent->setTextFormat(Qt::PlainText);
    m_availableFirmware->setTextFormat(Qt::PlainText);
    m_updateNow = new CardPushButton(tr("Update Now"), firmwarePage);
    m_updateNow->setFixedSize(114, 25);
    statusRow->addStretch();
    statusRow->addWidget(m_firmwareStatus);
    statusRow->addSpacing(6);
    statusRow->addWidget(m_availableFirmware);
    statusRow->addSpacing(12);
    statusRow->addWidget(m_updateNow);
    statusRow->addStretch();
    firmwareColumn->addWidget(m_firmwareCurrent, 0, Qt::AlignHCenter);
    firmwareColumn->addLayout(statusRow);

    // The empty state's message; a link in it offers adding a device.
    m_message = centredLabel(CommonGui::kRegular, ColourPalette::kSmokeGray, m_pages);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    m_pages->insertWidget(DevicePage, devicePage);
    m_pages->insertWidget(FirmwarePage, firmwarePage);
    m_pages->insertWidget(EmptyPage, m_message);

    auto* box = new TightVBoxLayout(m_deviceBox);
    box->addWidget(m_picture);
    box->addWidget(m_name);
    box->addWidget(m_pages);
}

void VisibleDevicesWidget::showPage(Page page)
{
    m_pages->setCurrentIndex(page);
}

void VisibleDevicesWidget::setBoxWidth(int width)
{
    m_deviceBox->setFixedWidth(width);
    m_picture->setFixedWidth(width);
    m_name->setFixedWidth(width);
    m_pages->setFixedWidth(width);
    m_message->setFixedWidth(width);
}

void VisibleDevicesWidget::setPicture(const QPixmap& picture)
{
    m_picture->setImage(picture);
    // The picture keeps its look while the button is disabled.
    m_picture->setDisabledImage(picture);
}

void VisibleDevicesWidget::releaseSummary()
{
    if (!m_summary)
        return;
    m_summaryArea->layout()->removeWidget(m_summary);
    m_summary->hide();
    m_summary->setParent(nullptr);
    m_summary = nullptr;
}

void VisibleDevicesWidget::updateDeviceDisplay()
{
    releaseSummary();

    VisibleDevice* device = m_deviceList.getCurrentDevice();
    if (!device) {
        showEmptyState();
        return;
    }
    const int position = m_deviceList.indexOfDevice(device);
    if (position < 0)
        return;

    setBoxWidth(kDeviceWidth);
    const QPixmap picture = device->modelImage();
    setPicture(device->isTestMode() ? TestModePixmap(picture, kDeviceWidth, kPictureHeight, kTestModeTextX,
                                                     kTestModeTextY)
                                    : picture);
    m_name->setText(CommonGui::elide(device->deviceName(), m_name));
    m_name->setToolTip(CommonGui::plainToolTip(device->deviceName()));

    if (device->hasControlApp()) {
        m_controlApp->setImage(device->controlAppIcon());
        m_controlApp->setHoverImage(device->controlAppIconHover());
        m_controlApp->resizeToFit();
        m_controlApp->show();
    } else {
        m_controlApp->hide();
    }

    if (device->firmwareUpdateOnly())
        showFirmwarePage(device);
    else
        showDevicePage(device);

    if (QWidget* summary = device->summaryWidget()) {
        m_summary = summary;
        summary->setParent(m_summaryArea);
        m_summaryArea->layout()->addWidget(summary);
        m_summaryArea->layout()->setAlignment(summary, Qt::AlignHCenter | Qt::AlignTop);
        summary->show();
    }

    m_left->setVisible(position > 0);
    m_right->setVisible(position < m_deviceList.numberOfDevice() - 1);
}

void VisibleDevicesWidget::showEmptyState()
{
    setBoxWidth(kEmptyWidth);
    setPicture(loadPicture(QStringLiteral(":/NoDevice")));
    m_picture->setEnabled(false);
    m_name->setText(AppDefaults::noDeviceHeader());
    m_name->setToolTip(QString());
    m_message->setText(AppDefaults::noDeviceMessage());
    showPage(EmptyPage);
    m_left->hide();
    m_right->hide();
}

void VisibleDevicesWidget::showFirmwarePage(VisibleDevice* device)
{
    m_picture->setEnabled(false);
    m_firmwareCurrent->setText(device->currentFirmwareString());
    const bool available = device->firmwareUpdateAvailable();
    m_firmwareStatus->setText(available ? tr("Software update available.") : tr("Software is up to date."));
    m_availableFirmware->setText(available ? device->availableFirmwareString() : QString());
    m_availableFirmware->setVisible(available);
    m_updateNow->setVisible(available);
    showPage(FirmwarePage);
}

void VisibleDevicesWidget::showDevicePage(VisibleDevice* device)
{
    m_picture->setEnabled(true);
    const QPixmap icon = device->launcherConnectionIcon();
    int modelWidth = kDeviceWidth;
    if (icon.isNull()) {
        m_connectionIcon->hide();
    } else {
        const int iconWidth = icon.width() / icon.devicePixelRatio();
        m_connectionIcon->setPixmap(icon);
        m_connectionIcon->setFixedWidth(iconWidth + kIconGap);
        m_connectionIcon->show();
        modelWidth = kDeviceWidth - kIconGap - iconWidth;
    }
    const bool showSetup = device->shouldShowSetup();
    m_setup->setVisible(showSetup);
    if (showSetup)
        modelWidth -= m_setup->width() + kButtonGap;
    if (device->hasControlApp())
        modelWidth -= m_controlApp->width();
    const QString model = device->modelName();
    modelWidth = qMax(0, modelWidth);
    m_model->setText(CommonGui::elide(model, m_model->font(), modelWidth));
    // The label asks for the text's ink, which can overhang its advance by a
    // pixel or two; a row that cannot give that much would cut the centred
    // text on both sides, so elide again until the label's own measure fits.
    for (int room = modelWidth; room > 0 && m_model->sizeHint().width() > modelWidth;) {
        room -= m_model->sizeHint().width() - modelWidth;
        m_model->setText(CommonGui::elide(model, m_model->font(), qMax(0, room)));
    }
    m_model->setMaximumWidth(modelWidth);
    m_model->setToolTip(CommonGui::plainToolTip(model));
    showPage(DevicePage);
}

void VisibleDevicesWidget::keyPressEvent(QKeyEvent* event)
{
    const int count = m_deviceList.numberOfDevice();
    if (count == 0 || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        m_deviceList.selectPreviousDevice();
        break;
    case Qt::Key_Right:
        m_deviceList.selectNextDevice();
        break;
    case Qt::Key_Home:
        m_deviceList.setCurrentDevice(0);
        break;
    case Qt::Key_End:
        m_deviceList.setCurrentDevice(count - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
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
