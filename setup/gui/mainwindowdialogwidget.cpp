#include "mainwindowdialogwidget.h"

#include "cardpushbutton.h"
#include "tighthboxlayout.h"
#include "tightvboxlayout.h"

MainWindowDialogWidget::MainWindowDialogWidget(QWidget* parent)
    : QFrame(parent)
{
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("MainWindowDialogWidget { background: white; border: none; }"));
}

void MainWindowDialogWidget::buildMe(const QString& addText, const QString& closeText)
{
    if (layout())
        return; // built once; a second call would stack a second set of buttons

    auto* buttons = new QWidget(this);
    buttons->setFixedSize(278, 25);
    m_closeButton = new CardPushButton(closeText, buttons);
    m_closeButton->setFixedSize(114, 25);
    m_closeButton->move(0, 0);
    m_addButton = new CardPushButton(addText, buttons);
    m_addButton->setFixedSize(114, 25);
    m_addButton->move(134, 0);
    m_addButton->setDefault(true);
    connect(m_addButton, &QPushButton::clicked, this, &MainWindowDialogWidget::onAddPressed);
    connect(m_closeButton, &QPushButton::clicked, this, &MainWindowDialogWidget::onClosePressed);

    auto* column = new TightVBoxLayout(this);
    column->addSpacing(24);
    buildContents(column);
    column->addSpacing(30);
    column->addStretch();
    auto* row = new TightHBoxLayout;
    row->addStretch();
    row->addWidget(buttons);
    column->addLayout(row);
    column->addSpacing(12);
}

void MainWindowDialogWidget::setAddButtonEnabled(bool enabled)
{
    if (m_addButton)
        m_addButton->setEnabled(enabled);
}

void MainWindowDialogWidget::aboutToShow()
{
}

void MainWindowDialogWidget::onAddPressed()
{
    emit closePressed();
}

void MainWindowDialogWidget::onClosePressed()
{
    emit closePressed();
}

void MainWindowDialogWidget::buildContents(QVBoxLayout*)
{
}
