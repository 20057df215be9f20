#include "aboutsettings.h"
#include "hidpipixmap.h"

#include "cardpushbutton.h"
#include "emailaddressvalidator.h"
#include "productcard.h"
#include "settingslabel.h"
#include "settingslineedit.h"
#include "cardrules.h"
#include "statusreport.h"
#include "systeminfoquery.h"
#include "visiblezeltra.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include <utility>

AboutSettings::AboutSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    addSection(tr("Driver Information"));
    m_driver = addLabelRow(tr("Driver:"), QString());
    addLabelRow(tr("Last Update:"), lastUpdateText());
    m_reportButton = addPushButtonRow(tr("Status Report:"), tr("Create"));
    decorateRowWidgetWithRolloverIcon(m_reportButton, loadPicture(QStringLiteral(":/Info")),
                                      tr("This generates a detailed status report for later reference."));
    connect(m_reportButton, &QAbstractButton::clicked, this, &AboutSettings::createReport);

    m_notesSection = addSection(tr("Product Notes"));
    const QStringList labels = {tr("Label:"), tr("Serial Number:"), tr("Purchased From:"),
                                tr("Seller Phone Number:"), tr("Seller Email:"), tr("Purchase Date:")};
    for (const QString& label : labels) {
        SettingsLineEdit* edit = addLineEditRow(label);
        edit->setMaxLength(kMaxNoteLength);
        m_notes << edit;
    }
    m_notes[EMail]->setValidator(new EMailAddressValidator(m_notes[EMail]));
    // The notes live in the card under its persistent identity; a card
    // without one has nowhere to keep them.
    const bool notes = CardRules::offersProductNotes(device);
    showSection(m_notesSection, notes);
    if (notes) {
        const char* const names[] = { "label", "serial-number", "purchased-from", "seller-phone", "seller-email",
                                      "purchase-date" };
        for (int i = 0; i < m_notes.size(); ++i)
            nameSetting(m_notes.at(i), QString::fromLatin1(names[i]));
    }

    addSection(tr("Documentation"));
    m_documentation = addPlainImageButtonGroup(
        QVector<QPixmap>{loadPicture(QStringLiteral(":/PDF")), loadPicture(QStringLiteral(":/Readme"))}, {0, 1},
        {tr("User Manual"), tr("Readme")});
    // Opening a document is not a change of the card's settings, and the
    // buttons are pressed, not chosen: none stays checked.
    disconnect(m_documentation, nullptr, this, nullptr);
    m_documentation->setExclusive(false);
    for (QAbstractButton* button : m_documentation->buttons())
        button->setCheckable(false);
    connect(m_documentation, &QButtonGroup::idClicked, this, &AboutSettings::onDocumentationPressed);

    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

AboutSettings::~AboutSettings()
{
    // Commands still running are killed with the query, a child of this.
    endBusy();
}

QString AboutSettings::documentationPath(int id)
{
    return id == 0 ? QStringLiteral("/usr/share/doc/ondavia-gui/Ondavia Manual.pdf")
                   : QStringLiteral("/usr/share/doc/ondavia/ReadMe.txt");
}

QString AboutSettings::lastUpdateText()
{
    const QDateTime modified = QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
    return modified.isValid() ? modified.date().toString(QStringLiteral("d MMMM yyyy")) : QString();
}

QString AboutSettings::noteFromCard(int note) const
{
    switch (note) {
    case Label: return device().getInformationLabel();
    case SerialNumber: return device().getInformationSerialNumber();
    case Company: return device().getInformationCompany();
    case Phone: return device().getInformationPhone();
    case EMail: return device().getInformationEMail();
    case Date: return device().getInformationDate();
    default: return QString();
    }
}

void AboutSettings::writeNoteToCard(int note, const QString& text)
{
    switch (note) {
    case Label: device().setInformationLabel(text); break;
    case SerialNumber: device().setInformationSerialNumber(text); break;
    case Company: device().setInformationCompany(text); break;
    case Phone: device().setInformationPhone(text); break;
    case EMail: device().setInformationEMail(text); break;
    case Date: device().setInformationDate(text); break;
    default: break;
    }
}

void AboutSettings::onPropertyChanged()
{
    m_driver->setText(VisibleZeltra::getAPIVersion());
    for (int note = 0; note < NoteCount; ++note) {
        QLineEdit* edit = m_notes[note];
        // An address still being typed is not in the card yet; refilling
        // would throw it away. An unchanged text is left alone so that the
        // cursor stays where the user is typing.
        if (!edit->hasAcceptableInput())
            continue;
        const QString text = noteFromCard(note);
        if (edit->text() == text)
            continue;
        const bool blocked = edit->blockSignals(true);
        edit->setText(text);
        edit->blockSignals(blocked);
    }
}

void AboutSettings::onApplyChanges()
{
    for (int note = 0; note < NoteCount; ++note) {
        QLineEdit* edit = m_notes[note];
        if (hasChanged(*edit) && edit->hasAcceptableInput())
            writeNoteToCard(note, edit->text());
    }
}

void AboutSettings::onDocumentationPressed(int id)
{
    const QString path = documentationPath(id);
    if (!QFileInfo(path).isFile()) {
        ProductCard::warn(this, tr("Documentation"),
                          tr("The document \"%1\" is not installed on this computer.").arg(path));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        ProductCard::warn(this, tr("Documentation"), tr("No application could open \"%1\".").arg(path));
}

void AboutSettings::createReport()
{
    if (m_systemInfo)
        return; // one report at a time
    const QString proposed = QDir::toNativeSeparators(
        QDir::cleanPath(QDir::homePath() + QLatin1Char('/') + StatusReport::fileName(QDateTime::currentDateTime())));
    QFileDialog dialog(this, tr("Save Status Report"), QFileInfo(proposed).path(), tr("Status report files (*.html)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without the extension still makes a report file.
    dialog.setDefaultSuffix(QStringLiteral("html"));
    dialog.selectFile(proposed);
    // A card that leaves while the dialog is open rejects it: nothing is
    // written then.
    if (ProductCard::execDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    if (path.isEmpty())
        return;

    // The commands may take their time (30 s each at worst); the window
    // goes on drawing and answering meanwhile.
    m_reportPath = path;
    m_systemInfo = new SystemInfoQuery(this);
    connect(m_systemInfo, &SystemInfoQuery::finished, this, &AboutSettings::onSystemInfoReady);
    m_reportButton->setEnabled(false);
    m_busyWindow = window();
    m_busyWindow->setCursor(Qt::BusyCursor);
    m_systemInfo->start();
}

bool AboutSettings::isCreatingReport() const
{
    return m_systemInfo != nullptr;
}

void AboutSettings::endBusy()
{
    if (m_busyWindow)
        m_busyWindow->unsetCursor();
    m_busyWindow = nullptr;
}

void AboutSettings::onSystemInfoReady()
{
    SystemInfoQuery* query = std::exchange(m_systemInfo, nullptr);
    query->deleteLater();
    const SystemDetails system = query->details();
    endBusy();
    m_reportButton->setEnabled(true);
    // A card that closed while the commands ran may have lost its device:
    // the report is dropped, the device left alone.
    const ProductCard* card = ProductCard::owning(this);
    if (!card || !card->isClosing())
        writeReport(m_reportPath, system);
    emit reportFinished();
}

void AboutSettings::writeReport(const QString& path, const SystemDetails& system)
{
    // Written beside the target and renamed over it at the end, so a failed
    // write leaves neither a partial report nor a damaged older one.
    QSaveFile file(path);
    bool saved = file.open(QIODevice::WriteOnly | QIODevice::Text);
    if (saved) {
        const QByteArray report = StatusReport::build(device(), system).toUtf8();
        saved = file.write(report) == report.size() && file.commit();
    }
    if (!saved) {
        ProductCard::warn(this, tr("Save Status Report"),
                          tr("The status report could not be saved as \"%1\": %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
}
