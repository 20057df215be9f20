#include "mainwindowdialog.h"

#include "cardseparatordark.h"
#include "colourpalette.h"
#include "commongui.h"
#include "mainwindowdialogwidget.h"
#include "tightvboxlayout.h"

#include <QLabel>

MainWindowDialog::MainWindowDialog(const QString& title, MainWindowDialogWidget* widget, QWidget* window)
    : AdminUtilityDialog(window)
    , m_page(widget)
{
    QFrame* body = frame();
    body->setMinimumSize(390, 120);
    auto* column = new TightVBoxLayout(body);

    m_title = CommonGui::label(CommonGui::kRegularLarge, ColourPalette::kWinterSkyGray, body);
    m_title->setText(title);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFixedHeight(40);
    m_title->setStyleSheet(
        QStringLiteral("QFrame { background: %1; border: none; border-top-right-radius: %2;"
                       " border-top-left-radius: %2; }")
            .arg(ColourPalette::toHtmlQString(ColourPalette::kMilkGray), QStringLiteral("10")));
    column->addWidget(m_title);
    column->addWidget(new CardSeparatorDark(body));
    if (widget) {
        column->addWidget(widget);
        widget->show();
    }
    column->addStretch();
    column->addSpacing(10);

    showOverWindow();
}

MainWindowDialog::~MainWindowDialog()
{
    // The page belongs to the family that offered it, so it must outlive
    // the dialog even when the window goes down with the dialog open.
    if (m_page && frame()->isAncestorOf(m_page)) {
        m_page->hide();
        m_page->setParent(nullptr);
    }
}
