#pragma once

#include "cardrules.h"
#include "zeltrasettingstab.h"

#include <QPointer>
#include <QVector>

class CardPushButton;
class CardSection;
class QButtonGroup;
class QLineEdit;
class SettingsLabel;
class SystemInfoQuery;
struct SystemDetails;

// The card's "About" tab: driver version and date of the last update, the
// HTML status report, the owner's product notes kept in the card, and the
// suite's documentation.
class AboutSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    static constexpr int kMaxNoteLength = CardRules::kMaxNoteLength;

    explicit AboutSettings(VisibleZeltra& device, QWidget* parent = nullptr);
    ~AboutSettings() override;

    // The documentation files, by button id.
    static QString documentationPath(int id);
    // The running program file's date as "d MMMM yyyy"; empty when unknown.
    static QString lastUpdateText();

    // Asks where to save, gathers the computer's details without blocking
    // the window and then writes the report there. While the details are
    // gathered the window shows it is busy and Create is disabled; if the
    // card closes or the tab goes meanwhile, nothing is written.
    void createReport();
    bool isCreatingReport() const;

    SettingsLabel* driverLabel() const { return m_driver; }
    CardPushButton* reportButton() const { return m_reportButton; }
    CardSection* notesSection() const { return m_notesSection; }
    // Label, serial number, seller, phone, e-mail, purchase date.
    const QVector<QLineEdit*>& noteEdits() const { return m_notes; }
    QButtonGroup* documentationGroup() const { return m_documentation; }

public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;
    void onDocumentationPressed(int id);

signals:
    // A report run has ended: written, failed (with its message shown) or
    // dropped because the card closed.
    void reportFinished();

private:
    void onSystemInfoReady();
    void writeReport(const QString& path, const SystemDetails& system);
    void endBusy();

    enum Note { Label, SerialNumber, Company, Phone, EMail, Date, NoteCount };

    QString noteFromCard(int note) const;
    void writeNoteToCard(int note, const QString& text);

    SettingsLabel* m_driver = nullptr;
    CardPushButton* m_reportButton = nullptr;
    CardSection* m_notesSection = nullptr;
    QVector<QLineEdit*> m_notes;
    QButtonGroup* m_documentation = nullptr;
    SystemInfoQuery* m_systemInfo = nullptr; // while a report waits for it
    QString m_reportPath;
    QPointer<QWidget> m_busyWindow;
};
