#pragma once

#include "zeltrasettingstab.h"

#include <QVector>

class CardPushButton;
class CardSection;
class QButtonGroup;
class QLineEdit;
class SettingsLabel;

// The card's "About" tab: driver version and date of the last update, the
// HTML status report, the owner's product notes kept in the card, and the
// suite's documentation.
class AboutSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    static constexpr int kMaxNoteLength = 4096;

    explicit AboutSettings(VisibleZeltra& device, QWidget* parent = nullptr);

    // The documentation files, by button id.
    static QString documentationPath(int id);
    // The running program file's date as "d MMMM yyyy"; empty when unknown.
    static QString lastUpdateText();

    // Asks where to save and writes the report there.
    void createReport();

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

private:
    enum Note { Label, SerialNumber, Company, Phone, EMail, Date, NoteCount };

    QString noteFromCard(int note) const;
    void writeNoteToCard(int note, const QString& text);

    SettingsLabel* m_driver = nullptr;
    CardPushButton* m_reportButton = nullptr;
    CardSection* m_notesSection = nullptr;
    QVector<QLineEdit*> m_notes;
    QButtonGroup* m_documentation = nullptr;
};
