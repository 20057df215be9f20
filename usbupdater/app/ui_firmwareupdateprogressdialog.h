#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

// The widgets of the progress window: a line of text over the bar.
class Ui_FirmwareUpdateProgressDialog
{
public:
    QVBoxLayout* layout = nullptr;
    QLabel* label = nullptr;
    QProgressBar* progressBar = nullptr;

    void setupUi(QDialog* dialog)
    {
        dialog->setObjectName("FirmwareUpdateProgressDialog");
        dialog->setFixedSize(510, 70);
        QFont base(QStringLiteral("Open Sans"));
        base.setPixelSize(12);
        dialog->setFont(base);
        layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(20, 10, 20, 12);
        layout->setSpacing(6);
        label = new QLabel(dialog);
        label->setObjectName("label");
        QFont font = label->font();
        font.setPixelSize(12);
        label->setFont(font);
        layout->addWidget(label);
        progressBar = new QProgressBar(dialog);
        progressBar->setObjectName("progressBar");
        progressBar->setRange(0, 100);
        progressBar->setValue(0);
        layout->addWidget(progressBar);
        retranslateUi(dialog);
    }

    void retranslateUi(QDialog* dialog)
    {
        dialog->setWindowTitle(QCoreApplication::translate("FirmwareUpdateProgressDialog", "Morvane Software Update"));
        label->setText(QCoreApplication::translate("FirmwareUpdateProgressDialog", "Update in progress"));
    }
};

namespace Ui {
class FirmwareUpdateProgressDialog : public Ui_FirmwareUpdateProgressDialog
{
};
} // namespace Ui
