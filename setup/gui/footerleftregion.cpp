#include "footerleftregion.h"

#include "flatimagebutton.h"
#include "secretbutton.h"

FooterLeftRegion::FooterLeftRegion(bool withMenuButton, int height, QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, height);
    if (withMenuButton) {
        m_menuButton = new FlatImageButton(QStringLiteral(":/Cross"), this);
        m_menuButton->setHoverImage(QStringLiteral(":/Cross_Hover"));
        m_menuButton->move(kMenuButtonX, (height - m_menuButton->height()) / 2);
        connect(m_menuButton, &FlatImageButton::clicked, this, &FooterLeftRegion::menuButtonClicked);
    }
    m_secret = new SecretButton(this);
    m_secret->setGeometry(0, kSecretY, kSecretSize, kSecretSize);
    connect(m_secret, &SecretButton::secretClick, this, &FooterLeftRegion::secretClick);
}
