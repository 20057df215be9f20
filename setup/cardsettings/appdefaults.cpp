#include "appdefaults.h"
#include "hidpipixmap.h"

QString AppDefaults::settingsProductKey()
{
    return QStringLiteral("Morvane Ondavia Administration");
}

QString AppDefaults::windowTitle()
{
    return tr("Morvane Ondavia Setup");
}

QString AppDefaults::headerTitle()
{
    return tr("Ondavia Setup");
}

QString AppDefaults::aboutMenuText()
{
    return tr("About Morvane Ondavia Setup");
}

QPixmap AppDefaults::aboutIcon()
{
    return loadPicture(QStringLiteral(":/AboutIcon"));
}

QString AppDefaults::aboutTitle()
{
    return tr("Ondavia Setup");
}

QString AppDefaults::aboutYear()
{
    return QStringLiteral("2026");
}

QString AppDefaults::aboutRelease()
{
    return QStringLiteral("1.0.0");
}

QString AppDefaults::noDeviceHeader()
{
    return tr("No Ondavia Device Detected.");
}

QString AppDefaults::noDeviceMessage()
{
    return tr(
        "Please check that your product is connected via Thunderbolt, USB3, or PCIe and is powered on.");
}

QString AppDefaults::addByIpAddressMessage()
{
    return tr("Add a Ondavia");
}

QString AppDefaults::addByIpAddressFailedMessage()
{
    return tr("No Ondavia found");
}

QString AppDefaults::addByIpAddressSearchMessage()
{
    // Deliberately null: this product shows no search text.
    return QString();
}

namespace {
bool s_addByIpAddressOverride = false;
}

bool AppDefaults::allowsAddByIpAddress()
{
    return s_addByIpAddressOverride;
}

void AppDefaults::overrideAllowsAddByIpAddressForTesting(bool allowed)
{
    s_addByIpAddressOverride = allowed;
}

QString AppDefaults::easterEggBuildInfo()
{
    return QString();
}
