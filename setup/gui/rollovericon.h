#pragma once

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include "rollovericoncallout.h"

// A small icon beside a settings row that explains the row in a callout
// while the pointer rests on it.
class RolloverIcon : public QLabel
{
    Q_OBJECT
public:
    // `calloutParent` owns the callout window; it should live at least as
    // long as the icon (the icon deletes the callout when it goes first).
    RolloverIcon(const QPixmap& icon, const QString& text, QWidget* parent = nullptr,
                 QWidget* calloutParent = nullptr);
    ~RolloverIcon() override;

    QString text() const { return m_text; }
    RolloverIconCallout* callout() const { return m_callout; }
    // Where the callout goes, relative to the icon's top-left corner.
    QPoint calloutOffset() const;

public slots:
    void showPopup();
    void hidePopup();

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPixmap m_resting;
    QPixmap m_hover;
    QString m_text;
    QPointer<RolloverIconCallout> m_callout;
};
