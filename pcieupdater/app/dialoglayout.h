#pragma once

class QDialog;
class QHBoxLayout;
class QLabel;
class QString;

// The shared frame of the front end's dialogs: the chip icon beside a
// word-wrapped rich-text message, a stretch, 6 pixels and a button row whose
// layout is returned for the caller's buttons (it starts with a stretch).
namespace DialogLayout {
constexpr unsigned kWindowFlags = 0x08004003; // dialog with minimise and close buttons
QHBoxLayout* build(QDialog* dialog, const QString& text, QLabel** textLabel = nullptr);
// The dialogs have fixed sizes; with a large desktop font their text would be
// cut off, so it steps the label's font down (to 7 points at the least) until
// the text fits the width, and the height when one is given.
void fitText(QLabel* label, int width, int height = -1);
} // namespace DialogLayout
