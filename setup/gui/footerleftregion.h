#pragma once

#include <QWidget>

class FlatImageButton;
class SecretButton;

// The left end of the footer: the options button, where the product offers
// options, and the secret patch in the bottom-left corner.
class FooterLeftRegion : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 120;
    static constexpr int kMenuButtonX = 40;
    static constexpr int kSecretSize = 20;
    static constexpr int kSecretY = 44;

    FooterLeftRegion(bool withMenuButton, int height, QWidget* parent = nullptr);

    // Null when the product has no options button.
    FlatImageButton* menuButton() const { return m_menuButton; }
    SecretButton* secretButton() const { return m_secret; }

signals:
    void menuButtonClicked();
    void secretClick();

private:
    FlatImageButton* m_menuButton = nullptr;
    SecretButton* m_secret = nullptr;
};
