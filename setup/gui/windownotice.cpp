#include "windownotice.h"

#include "colourpalette.h"
#include "commongui.h"

#include <QEvent>
#include <QTimer>

WindowNotice::WindowNotice(QWidget* window, const QString& text)
    : QLabel(text, window)
{
    setObjectName(QStringLiteral("windowNotice"));
    setFont(CommonGui::font(CommonGui::kSemibold));
    setAlignment(Qt::AlignCenter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("QLabel#windowNotice { color: white; background: %1; border-radius: 6px;"
                                 " padding: 8px 18px; }")
                      .arg(ColourPalette::toHtmlQString(ColourPalette::kNightskyGray, 230)));
    window->installEventFilter(this);
}

WindowNotice* WindowNotice::post(QWidget* window, const QString& text, int shownMs)
{
    if (!window)
        return nullptr;
    for (WindowNotice* old : window->findChildren<WindowNotice*>(QString(), Qt::FindDirectChildrenOnly))
        delete old;
    auto* notice = new WindowNotice(window, text);
    notice->place();
    notice->show();
    notice->raise();
    QTimer::singleShot(shownMs, notice, &QObject::deleteLater);
    return notice;
}

void WindowNotice::place()
{
    auto* window = parentWidget();
    adjustSize();
    const int w = qMin(width(), window->width() - 40);
    resize(w, height());
    move((window->width() - w) / 2, window->height() - height() - 90);
}

bool WindowNotice::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}
