#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

// The widgets of the update message dialog: the icon on the left, title,
// message and the two buttons on the right.
class Ui_FirmwareUpdateDialog
{
public:
    QHBoxLayout* mainLayout = nullptr;
    QGraphicsView* iconView = nullptr;
    QVBoxLayout* textLayout = nullptr;
    QLabel* titleLabel = nullptr;
    QLabel* messageLabel = nullptr;
    QHBoxLayout* buttonLayout = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* okButton = nullptr;

    void setupUi(QDialog* dialog)
    {
        dialog->setObjectName("FirmwareUpdateDialog");
        // The dialog follows its contents (adjustSize after each message)
        // within these bounds.
        dialog->setMinimumSize(455, 120);
        dialog->setMaximumSize(455, 180);

        QFont base(QStringLiteral("Open Sans"));
        base.setPixelSize(12);
        dialog->setFont(base);

        mainLayout = new QHBoxLayout(dialog);
        mainLayout->setContentsMargins(20, 16, 20, 12);
        mainLayout->setSpacing(20);

        iconView = new QGraphicsView(dialog);
        iconView->setObjectName("iconView");
        iconView->setFixedSize(80, 80);
        iconView->setFrameShape(QFrame::NoFrame);
        iconView->setStyleSheet("background: transparent");
        iconView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        iconView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        iconView->setInteractive(false);
        mainLayout->addWidget(iconView, 0, Qt::AlignTop);

        textLayout = new QVBoxLayout();
        textLayout->setSpacing(6);

        titleLabel = new QLabel(dialog);
        titleLabel->setObjectName("titleLabel");
        QFont titleFont = titleLabel->font();
        titleFont.setPixelSize(11); // a line of it fits the 15 pixels
        titleFont.setWeight(75);
        titleLabel->setFont(titleFont);
        titleLabel->setFixedWidth(315);
        titleLabel->setMinimumHeight(11);
        titleLabel->setMaximumHeight(15);
        titleLabel->setText("Update Required");
        textLayout->addWidget(titleLabel);

        messageLabel = new QLabel(dialog);
        messageLabel->setObjectName("messageLabel");
        QFont messageFont = messageLabel->font();
        messageFont.setPixelSize(11);
        messageFont.setWeight(50);
        messageLabel->setFont(messageFont);
        messageLabel->setFixedWidth(315);
        messageLabel->setMinimumHeight(20);
        messageLabel->setMaximumHeight(100);
        messageLabel->setWordWrap(true);
        messageLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        textLayout->addWidget(messageLabel);
        textLayout->addStretch(1);

        buttonLayout = new QHBoxLayout();
        buttonLayout->addStretch(1);
        cancelButton = new QPushButton(dialog);
        cancelButton->setObjectName("cancelButton");
        cancelButton->setAutoDefault(false);
        buttonLayout->addWidget(cancelButton);
        okButton = new QPushButton(dialog);
        okButton->setObjectName("okButton");
        okButton->setDefault(true);
        buttonLayout->addWidget(okButton);
        textLayout->addLayout(buttonLayout);

        mainLayout->addLayout(textLayout);

        QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
        QObject::connect(okButton, &QPushButton::clicked, dialog, &QDialog::accept);
        retranslateUi(dialog);
    }

    void retranslateUi(QDialog* dialog)
    {
        dialog->setWindowTitle(QCoreApplication::translate("FirmwareUpdateDialog", "Morvane Software Update"));
        cancelButton->setText(QCoreApplication::translate("FirmwareUpdateDialog", "Cancel"));
        okButton->setText(QCoreApplication::translate("FirmwareUpdateDialog", "OK"));
    }
};

namespace Ui {
class FirmwareUpdateDialog : public Ui_FirmwareUpdateDialog
{
};
} // namespace Ui
