#pragma once

#include <QCoreApplication>
#include <QPixmap>
#include <QString>

// The product's fixed texts and switches, gathered in one place so that the
// shell and the views never spell them out themselves.
class AppDefaults
{
    Q_DECLARE_TR_FUNCTIONS(AppDefaults)

public:
    // Application name of the settings store; never translated.
    static QString settingsProductKey();
    static QString windowTitle();
    static QString headerTitle();
    static QString aboutMenuText();
    static QPixmap aboutIcon();
    static QString aboutTitle();
    static QString aboutYear();
    static QString aboutRelease();
    static QString noDeviceHeader();
    static QString noDeviceMessage();
    static QString addByIpAddressMessage();
    static QString addByIpAddressFailedMessage();
    static QString addByIpAddressSearchMessage();
    static bool allowsAddByIpAddress();
    // Tests only: lets a test show the add-by-address page, which this
    // product does not offer. Never called by the program.
    static void overrideAllowsAddByIpAddressForTesting(bool allowed);
    static QString easterEggBuildInfo();
};
