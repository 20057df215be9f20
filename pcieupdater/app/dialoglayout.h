#pragma once

class QDialog;
class QHBoxLayout;
class QLabel;
class QPixmap;
class QPushButton;
class QString;

// The shared frame of the front end's dialogs: the chip icon beside a
// word-wrapped rich-text message, a stretch, 6 pixels and a button row whose
// layout is returned for the caller's buttons (it starts with a stretch).
namespace DialogLayout {
constexpr unsigned kWindowFlags = 0x08004003; // dialog with minimise and close buttons
// The chip with a warning mark (questions, outcomes that ask for something)
// and with a check mark (nothing to do).
constexpr const char* kWarningIcon = ":/chip80.png";
constexpr const char* kDoneIcon = ":/chip80-ok.png";
QHBoxLayout* build(QDialog* dialog, const QString& text, QLabel** textLabel = nullptr,
                   const char* icon = kWarningIcon);
// A button of the row, with the width and spacing every dialog's buttons share.
QPushButton* addButton(QHBoxLayout* row, const QString& text);
// The dialogs have fixed sizes; with a large desktop font their text would be
// cut off, so it steps the label's font down (to 7 points at the least) until
// the text fits the width, and the height when one is given.
void fitText(QLabel* label, int width, int height = -1);
// One of the icons, at double resolution on a high-density screen.
QPixmap picture(const QString& path);
} // namespace DialogLayout
