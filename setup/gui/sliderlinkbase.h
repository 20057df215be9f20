#pragma once

#include <QFrame>

class FlatImageButton;
class LinkBar;

// The link control drawn between two sliders: a checkable chain button with
// a bar above and below it. Clicking toggles the linked state.
class SliderLinkBase : public QFrame
{
    Q_OBJECT
public:
    explicit SliderLinkBase(QWidget* parent = nullptr);

    bool isLinked() const { return m_linked; }
    // Sets the state as a click would, and emits onSliderLinkClicked.
    void setLinked(bool linked);
    FlatImageButton* linkButton() const { return m_button; }
    // Gives the control the height that spans `distance` pixels between
    // the centres of the two value fields.
    void setSpan(int distance);
    int buttonHeight() const;

    static constexpr int kWidth = 26;

signals:
    void onSliderLinkClicked(bool linked);

protected:
    void changeEvent(QEvent* event) override;

private:
    void onButtonClicked();
    void updateLook();

    FlatImageButton* m_button = nullptr;
    LinkBar* m_top = nullptr;
    LinkBar* m_bottom = nullptr;
    bool m_linked = false;
};
