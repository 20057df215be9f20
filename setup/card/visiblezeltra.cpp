#include "visiblezeltra.h"

#include <QWidget>

#include "hidpipixmap.h"
#include "modelpicturetable.h"
#include "visiblezeltrasummarywidget.h"

VisibleZeltra::VisibleZeltra(IZeltra* device, QObject* parent)
    : ZeltraCard(device, parent)
{
}

VisibleZeltra::~VisibleZeltra()
{
    delete m_summaryWidget.data();
}

QString VisibleZeltra::familyName() const
{
    return tr("Zeltra");
}

QPixmap VisibleZeltra::modelImage() const
{
    return modelPicture(m_modelImage, &ModelPicturePaths::image);
}

QPixmap VisibleZeltra::modelThumb() const
{
    return modelPicture(m_modelThumb, &ModelPicturePaths::thumb);
}

QPixmap VisibleZeltra::modelListThumb() const
{
    return modelPicture(m_modelListThumb, &ModelPicturePaths::listThumb);
}

DeviceFirmwareUpdater* VisibleZeltra::getFirmwareUpdater()
{
    // Card firmware is rewritten by the PCIe updater, not from here.
    return nullptr;
}

QWidget* VisibleZeltra::summaryWidget() const
{
    if (!m_summaryWidget && shouldShowSetup())
        m_summaryWidget = new VisibleZeltraSummaryWidget(const_cast<VisibleZeltra&>(*this));
    return m_summaryWidget;
}

QString VisibleZeltra::ipAddress() const
{
    return {};
}

QPixmap VisibleZeltra::launcherConnectionIcon() const
{
    return {};
}

QPixmap VisibleZeltra::cardConnectionIcon() const
{
    return {};
}

bool VisibleZeltra::firmwareUpdateOnly() const
{
    return false;
}

QString VisibleZeltra::currentFirmwareString() const
{
    return {};
}

bool VisibleZeltra::firmwareUpdateAvailable() const
{
    return false;
}

QString VisibleZeltra::availableFirmwareString() const
{
    return {};
}

void VisibleZeltra::onInitialised()
{
    // The model may differ from the last connection's.
    m_modelImage = m_modelThumb = m_modelListThumb = QPixmap();
}

// Pictures are decoded when a view first asks for one: the gallery shows one
// card at a time and the list only small thumbnails, so decoding all three
// pictures of every card as it arrived cost more than the rest of its
// arrival, and memory for pictures nobody looked at.
QPixmap VisibleZeltra::modelPicture(QPixmap& picture, const char* const ModelPicturePaths::*path) const
{
    if (picture.isNull()) {
        if (const ModelPicturePaths* paths = findModelPictures(modelId()))
            picture = loadPicture(QString::fromLatin1(paths->*path));
    }
    return picture;
}

void VisibleZeltra::onPreferencesStored()
{
    emit displayInfoChanged(this);
}

ZeltraCard* VisibleZeltra::createSibling(IZeltra* device)
{
    return new VisibleZeltra(device);
}

// Siblings are made by createSibling(), so each one is a VisibleZeltra.
QVector<VisibleZeltra*> VisibleZeltra::getSubDevices()
{
    QVector<VisibleZeltra*> devices;
    for (ZeltraCard* card : ZeltraCard::getSubDevices())
        devices << static_cast<VisibleZeltra*>(card);
    return devices;
}

VisibleZeltra* VisibleZeltra::getSubDeviceByIndex(int64_t index)
{
    return static_cast<VisibleZeltra*>(ZeltraCard::getSubDeviceByIndex(index));
}

VisibleZeltra* VisibleZeltra::getSubDeviceByPersistentId(int64_t id)
{
    return static_cast<VisibleZeltra*>(ZeltraCard::getSubDeviceByPersistentId(id));
}

VisibleZeltra* VisibleZeltra::getSubDeviceByConnectorId(int id)
{
    return static_cast<VisibleZeltra*>(ZeltraCard::getSubDeviceByConnectorId(id));
}
