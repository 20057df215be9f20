#include "needingfirmwareupdatestatuspage.h"

#include "colourpalette.h"
#include "commongui.h"

#include <QLabel>
#include <QVBoxLayout>

NeedingFirmwareUpdateStatusPage::NeedingFirmwareUpdateStatusPage(QWidget* parent)
    : StatusPage(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    m_message = CommonGui::label(3, ColourPalette::kWinterSkyGray, this);
    m_message->setText(tr("This device needs updating"));
    m_message->setAlignment(Qt::AlignCenter);
    column->addWidget(m_message);
}
