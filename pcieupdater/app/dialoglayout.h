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
} // namespace DialogLayout
