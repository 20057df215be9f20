#pragma once

#include <QFrame>
#include <QString>

class CardPushButton;
class QVBoxLayout;

// Base of the pages offered by the footer's options menu. A page is owned
// by whoever added it to the menu and is only lent to a dialog while shown.
// Subclasses fill buildContents() and may override onAddPressed().
class MainWindowDialogWidget : public QFrame
{
    Q_OBJECT
public:
    explicit MainWindowDialogWidget(QWidget* parent = nullptr);

    // Lays out the page: space, contents, then Close and Add at the right.
    void buildMe(const QString& addText, const QString& closeText);
    void setAddButtonEnabled(bool enabled);

    CardPushButton* addButton() const { return m_addButton; }
    CardPushButton* closeButton() const { return m_closeButton; }

    // Called just before the page is shown in a dialog.
    virtual void aboutToShow();

signals:
    void closePressed();

public slots:
    // A page that has nothing to add closes on Add as on Close.
    virtual void onAddPressed();
    virtual void onClosePressed();

protected:
    // Adds the page's own widgets to its column.
    virtual void buildContents(QVBoxLayout* layout);

private:
    CardPushButton* m_addButton = nullptr;
    CardPushButton* m_closeButton = nullptr;
};
