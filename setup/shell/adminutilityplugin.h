#pragma once

#include <QDir>
#include <QVector>
#include <QtPlugin>

class AdminUtilityWindow;
class ProductFamily;

#define AdminUtilityPlugin_iid "com.morvane.AdminUtility.AdminUtilityPlugin/1.0"

// What the root object of a product-family plug-in library offers.
class AdminUtilityPlugin
{
public:
    // pluginDirectory is the plug-in's own folder; false rejects the plug-in
    // and its library is unloaded again.
    virtual bool initialisePlugin(QDir pluginDirectory, AdminUtilityWindow* window) = 0;
    // The families stay owned by the plug-in and live as long as the process.
    virtual const QVector<ProductFamily*>& productFamilies() = 0;

protected:
    ~AdminUtilityPlugin() = default;
};

Q_DECLARE_INTERFACE(AdminUtilityPlugin, AdminUtilityPlugin_iid)
