#include "adminutilitywindow.h"

#include "aboutbox.h"
#include "addbyipaddresscontroller.h"
#include "addbyipaddresswidget.h"
#include "adminutilityplugin.h"
#include "appdefaults.h"
#include "buildinfo.h"
#include "commongui.h"
#include "mainwindowdialog.h"
#include "mainwindowmenu.h"
#include "mainwindowmenucontroller.h"
#include "productfamily.h"
#include "productfamilybase.h"
#include "tightvboxlayout.h"
#include "visibledevice.h"
#include "visibledeviceswidget.h"
#include "windowfooter.h"
#include "windowheader.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QJsonObject>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QPluginLoader>
#include <QScrollArea>
#include <QSettings>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>

Q_LOGGING_CATEGORY(lcShell, "ondavia.shell")

namespace {
QLabel* buildDetailsLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(QFont(QStringLiteral("Menlo")));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}
} // namespace

AdminUtilityWindow::AdminUtilityWindow(QWidget* parent)
    : QMainWindow(parent), m_deviceList(this), m_networkBrowser(this)
{
    CommonGui::registerFonts();

    setWindowTitle(AppDefaults::windowTitle());
    setMinimumSize(kMinimumWidth, menuBar()->height() + kMinimumContentHeight);

    QSettings settings(settingsOrganisation(), AppDefaults::settingsProductKey());
    const QByteArray geometry = settings.value(QStringLiteral("geometry")).toByteArray();
    if (geometry.isEmpty())
        resize(minimumSize());
    else
        restoreGeometry(geometry);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* about = help->addAction(AppDefaults::aboutMenuText());
    about->setShortcut(QKeySequence::HelpContents);
    // Quitting goes through close(), so a family can still refuse.
    auto* quit = new QAction(tr("Quit"), this);
    // Spelled out: some platform themes bind no key to the standard Quit.
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::WindowShortcut);
    addAction(quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    auto* central = new QFrame(this);
    m_centralLayout = new TightVBoxLayout(central);
    m_centralLayout->addWidget(new WindowHeader(central));
    auto* rule = new QWidget(central);
    rule->setFixedHeight(1);
    rule->setStyleSheet(QStringLiteral("QWidget { background: black; }"));
    m_centralLayout->addWidget(rule);
    m_viewStack = new QStackedWidget(central);
    m_galleryView = new VisibleDevicesWidget(m_deviceList, this);
    m_viewStack->addWidget(m_galleryView);
    m_centralLayout->addWidget(m_viewStack, 1);
    setCentralWidget(central);

    connect(&m_networkBrowser, &BonjourDiscovery::deviceArrived, this,
            &AdminUtilityWindow::onBonjourDeviceAdded);
    connect(&m_networkBrowser, &BonjourDiscovery::deviceRemoved, this,
            &AdminUtilityWindow::onBonjourDeviceRemoved);
    connect(&m_networkBrowser, &BonjourDiscovery::deviceUpdated, this,
            &AdminUtilityWindow::onBonjourDeviceUpdated);
    connect(m_galleryView, &VisibleDevicesWidget::addByIpClicked, this,
            &AdminUtilityWindow::onAddByIpClicked);
    connect(m_galleryView, &VisibleDevicesWidget::requestFirmwareUpdate, this,
            &AdminUtilityWindow::updateFirmware);
    connect(m_galleryView, &VisibleDevicesWidget::requestShowDevice, this, &AdminUtilityWindow::showDevice);
    connect(m_galleryView, &VisibleDevicesWidget::requestShowControlApp, this,
            &AdminUtilityWindow::showControlApp);
    connect(about, &QAction::triggered, this, &AdminUtilityWindow::showAboutBox);
    for (auto signal : { &DeviceList::deviceListAdded, &DeviceList::deviceListRemoved,
                         &DeviceList::deviceListSelected })
        connect(&m_deviceList, signal, this, &AdminUtilityWindow::showChosenView);

    // Families are added after construction; they are connected and started
    // once the event loop runs.
    QTimer::singleShot(0, this, &AdminUtilityWindow::postShowStartup);
}

AdminUtilityWindow::~AdminUtilityWindow()
{
    delete m_addByIpWidget;
    for (ProductFamily* family : qAsConst(m_families))
        family->destroy();
    // The views hold the device list by reference; they go before it does.
    delete takeCentralWidget();
    m_galleryView = nullptr;
    m_listView = nullptr;
    m_footer = nullptr;
}

void AdminUtilityWindow::addFamily(ProductFamily* family)
{
    m_families.append(family);
}

void AdminUtilityWindow::postShowStartup()
{
    if (m_started)
        return;
    m_started = true;

    if (QWidget* listView = getListViewWidget()) {
        m_listView = listView;
        m_viewStack->addWidget(listView);
        connect(listView, SIGNAL(requestShowDevice(VisibleDevice*)), this, SLOT(showDevice(VisibleDevice*)));
    }

    m_footer = new WindowFooter(m_deviceList, this, m_listView != nullptr);
    m_centralLayout->addWidget(m_footer);
    connect(m_footer, &WindowFooter::menuButtonClicked, this, &AdminUtilityWindow::onMenuButtonClicked);
    connect(m_footer, &WindowFooter::easterEggClicked, this, &AdminUtilityWindow::showBuildDetails);
    connect(m_footer, &WindowFooter::galleryViewSelected, this, &AdminUtilityWindow::onGalleryViewSelected);
    connect(m_footer, &WindowFooter::listViewSelected, this, &AdminUtilityWindow::onListViewSelected);

    for (ProductFamily* family : qAsConst(m_families)) {
        // Families are QObjects so that their signals can be connected; one
        // that is not could never deliver a device, so it is not started.
        auto* object = dynamic_cast<QObject*>(family);
        if (!object)
            continue;
        connect(object, SIGNAL(deviceArrived(VisibleDevice*)), &m_deviceList,
                SLOT(onDeviceAdded(VisibleDevice*)));
        connect(object, SIGNAL(deviceRemoved(VisibleDevice*)), &m_deviceList,
                SLOT(onDeviceRemoved(VisibleDevice*)));
        connect(object, SIGNAL(deviceInfoChanged(VisibleDevice*)), &m_deviceList,
                SLOT(onDeviceInfoChanged(VisibleDevice*)));
        family->init();
    }

    m_networkBrowser.start();
}

void AdminUtilityWindow::closeEvent(QCloseEvent* event)
{
    for (ProductFamily* family : qAsConst(m_families)) {
        if (!family->okToClose()) {
            event->ignore();
            return;
        }
    }
    QSettings settings(settingsOrganisation(), AppDefaults::settingsProductKey());
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    event->accept();
}

QWidget* AdminUtilityWindow::getListViewWidget()
{
    return nullptr;
}

void AdminUtilityWindow::showAboutBox()
{
    AboutBox box(this);
    box.exec();
}

QString AdminUtilityWindow::buildInformationText()
{
    return QStringLiteral("** Build information\n"
                          "\tTime:     \t" ONDAVIA_BUILD_TIME "\n"
                          "\tRC Tag:   \t" ONDAVIA_RC_TAG "\n"
                          "\tRevision: \t" ONDAVIA_REVISION "\n");
}

void AdminUtilityWindow::showBuildDetails()
{
    QDialog dialog(this);
    dialog.setWindowFlags(dialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);
    dialog.setWindowTitle(tr("Build Details"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(buildDetailsLabel(buildInformationText(), &dialog));

    auto* tabs = new QTabWidget(&dialog);
    for (ProductFamily* family : qAsConst(m_families)) {
        auto* scroll = new QScrollArea(tabs);
        scroll->setWidgetResizable(true);
        scroll->setWidget(buildDetailsLabel(family->getBuildInfo(), scroll));
        tabs->addTab(scroll, family->getName());
    }
    layout->addWidget(tabs);
    dialog.setSizeGripEnabled(true);
    dialog.exec();
}

void AdminUtilityWindow::onBonjourDeviceAdded(const BonjourInfo& info)
{
    for (ProductFamily* family : qAsConst(m_families)) {
        if (family->handlesBonjourArrival(info))
            return;
    }
}

void AdminUtilityWindow::onBonjourDeviceRemoved(const BonjourInfo& info)
{
    for (ProductFamily* family : qAsConst(m_families)) {
        if (family->handlesBonjourRemoval(info))
            return;
    }
}

void AdminUtilityWindow::onBonjourDeviceUpdated(const BonjourInfo& info)
{
    for (ProductFamily* family : qAsConst(m_families)) {
        if (family->handlesBonjourUpdate(info))
            return;
    }
}

void AdminUtilityWindow::newDeviceAddedByIP(const BonjourInfo& info)
{
    onBonjourDeviceAdded(info);
}

void AdminUtilityWindow::showDevice(VisibleDevice* device)
{
    if (!device)
        return;
    if (ProductFamily* family = m_deviceList.getFamilyOfDevice(device))
        family->showDevice(device, this);
}

void AdminUtilityWindow::showControlApp(VisibleDevice* device)
{
    if (!device)
        return;
    if (ProductFamily* family = m_deviceList.getFamilyOfDevice(device))
        family->showControlApp(device, this);
}

void AdminUtilityWindow::updateFirmware(VisibleDevice* device)
{
    if (!device)
        return;
    if (ProductFamily* family = m_deviceList.getFamilyOfDevice(device))
        family->updateDevice(device, this);
}

void AdminUtilityWindow::updateDeviceInfo(VisibleDevice* device)
{
    m_deviceList.updateDeviceInfo(device);
}

void AdminUtilityWindow::onMenuButtonClicked()
{
    showMenuOptions(false);
}

void AdminUtilityWindow::onAddByIpClicked()
{
    showMenuOptions(true);
}

void AdminUtilityWindow::onGalleryViewSelected()
{
    m_listChosen = false;
    showChosenView();
    if (m_footer)
        m_footer->showDots();
}

void AdminUtilityWindow::onListViewSelected()
{
    if (!m_listView)
        return;
    m_listChosen = true;
    showChosenView();
    if (m_footer)
        m_footer->hideDots();
}

void AdminUtilityWindow::bringToFront()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void AdminUtilityWindow::showChosenView()
{
    // An empty list is a dead end (its view switch is hidden): the gallery's
    // empty state stands in until a device arrives.
    const bool list = m_listChosen && m_listView && m_deviceList.getCurrentDevice();
    m_viewStack->setCurrentWidget(list ? m_listView : static_cast<QWidget*>(m_galleryView));
}

void AdminUtilityWindow::showMenuOptions(bool addByIpOnly)
{
    if (!m_menuController)
        m_menuController = new MainWindowMenuController(this);
    m_menuController->clear();

    if (AppDefaults::allowsAddByIpAddress()) {
        if (!m_addByIpWidget) {
            m_addByIpWidget = new AddByIpAddressWidget(nullptr);
            m_addByIpController = new AddByIpAddressController(this);
            m_addByIpController->setWidget(m_addByIpWidget);
            connect(m_addByIpController, &AddByIpAddressController::deviceAddedByIP, this,
                    &AdminUtilityWindow::newDeviceAddedByIP);
        }
        m_menuController->addOption(AppDefaults::addByIpAddressMessage(), m_addByIpWidget);
    }

    if (!addByIpOnly) {
        for (ProductFamily* family : qAsConst(m_families)) {
            if (auto* base = dynamic_cast<ProductFamilyBase*>(family))
                base->addMainWindowMenuOptions(m_menuController);
        }
    }

    // Before start-up there is no footer; the menu then hangs off the window.
    m_menuController->build(m_footer ? m_footer->menuButtonAnchor() : static_cast<QWidget*>(this));
}

int AdminUtilityWindow::loadPlugins(QStringList directories)
{
    qCDebug(lcShell) << "Plugin directories:" << directories;
    int added = 0;
    for (const QString& directory : qAsConst(directories)) {
        const QDir dir(directory);
        const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& file : files) {
            QPluginLoader loader(file.absoluteFilePath());
            QObject* instance = loader.instance();
            auto* plugin =
                instance ? static_cast<AdminUtilityPlugin*>(instance->qt_metacast(AdminUtilityPlugin_iid))
                         : nullptr;
            if (!plugin || !plugin->initialisePlugin(dir, this)) {
                loader.unload();
                continue;
            }
            const QString version = loader.metaData()
                                        .value(QStringLiteral("MetaData"))
                                        .toObject()
                                        .value(QStringLiteral("version"))
                                        .toString(QStringLiteral("release version"));
            qCDebug(lcShell).noquote()
                << "Plugin (version: " + version + ") loaded from : " + file.absoluteFilePath();
            const QVector<ProductFamily*> offered = plugin->productFamilies();
            for (ProductFamily* family : offered) {
                addFamily(family);
                ++added;
            }
        }
    }
    return added;
}

QStringList AdminUtilityWindow::standalonePluginDir()
{
    return {QDir(QCoreApplication::applicationDirPath()).absolutePath()};
}

QStringList AdminUtilityWindow::installedPluginDir(std::string base)
{
    QStringList directories;
    const QDir dir(QString::fromStdString(base));
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries)
        directories.append(entry.absoluteFilePath());
    return directories;
}
