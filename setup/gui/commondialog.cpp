#include "commondialog.h"

#include "busybutton.h"
#include "cardpushbutton.h"
#include "cardseparatordark.h"
#include "colourpalette.h"
#include "commongui.h"
#include "tighthboxlayout.h"
#include "tightvboxlayout.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>

namespace {
constexpr int kWidth = 440;
constexpr int kTextWidth = kWidth - 60;

QString titleStyle(const QColor& background, const QColor& text)
{
    return QStringLiteral("QLabel#dialogTitle { background: %1; color: %2; border: none;"
                          " border-top-left-radius: 10px; border-top-right-radius: 10px; }")
        .arg(ColourPalette::toHtmlQString(background), ColourPalette::toHtmlQString(text));
}
} // namespace

CommonDialog::CommonDialog(QWidget* window)
    : AdminUtilityDialog(window)
{
    QFrame* body = frame();
    body->setFixedWidth(kWidth);
    auto* column = new TightVBoxLayout(body);

    m_title = CommonGui::label(CommonGui::kRegularLarge, ColourPalette::kWinterSkyGray, body);
    m_title->setObjectName(QStringLiteral("dialogTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFixedHeight(40);
    setTitleColours(ColourPalette::kMilkGray, ColourPalette::kWinterSkyGray);
    m_title->hide();
    m_rule = new CardSeparatorDark(body);
    m_rule->hide();

    m_text1 = CommonGui::label(CommonGui::kSemiboldLarge, ColourPalette::kWinterSkyGray, body);
    m_text2 = CommonGui::label(CommonGui::kRegular, ColourPalette::kRaincloudGray, body);
    for (QLabel* text : {m_text1, m_text2}) {
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        text->setFixedWidth(kTextWidth);
    }

    m_progress = new QProgressBar(body);
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->setFixedSize(kTextWidth, 8);
    m_progress->setStyleSheet(
        QStringLiteral("QProgressBar { border: none; border-radius: 4px; background: %1; }"
                       "QProgressBar::chunk { border-radius: 4px; background: %2; }")
            .arg(ColourPalette::toHtmlQString(ColourPalette::kBonesGray),
                 ColourPalette::toHtmlQString(ColourPalette::kAccentColour)));

    m_busy = new BusyButton(body);

    m_buttons = new QWidget(body);
    auto* row = new TightHBoxLayout(m_buttons);
    m_first = new CardPushButton(tr("Cancel"), m_buttons);
    m_second = new CardPushButton(tr("Accept"), m_buttons);
    m_single = new CardPushButton(tr("Close"), m_buttons);
    for (CardPushButton* b : {m_first, m_second, m_single})
        b->setFixedSize(114, 25);
    m_second->setDefault(true);
    m_single->setDefault(true);
    row->addStretch();
    row->addWidget(m_first);
    row->addSpacing(20);
    row->addWidget(m_second);
    row->addWidget(m_single);
    row->addStretch();

    // Return presses the focused button, else the default one; Escape is
    // the first button (Cancel), or Close where it stands alone.
    auto press = [](std::initializer_list<QPushButton*> buttons) {
        for (QPushButton* b : buttons) {
            if (b->isVisible() && b->isEnabled()) {
                b->click();
                return;
            }
        }
    };
    for (const int key : { Qt::Key_Return, Qt::Key_Enter }) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        enter->setContext(Qt::WidgetWithChildrenShortcut);
        connect(enter, &QShortcut::activated, this, [this, press] {
            auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            if (focused && m_buttons->isAncestorOf(focused))
                press({ focused });
            else
                press({ m_second, m_single });
        });
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this, press] { press({ m_first, m_single }); });

    column->addWidget(m_title);
    column->addWidget(m_rule);
    column->addSpacing(26);
    column->addWidget(m_text1, 0, Qt::AlignHCenter);
    column->addSpacing(8);
    column->addWidget(m_text2, 0, Qt::AlignHCenter);
    column->addSpacing(22);
    column->addWidget(m_progress, 0, Qt::AlignHCenter);
    column->addWidget(m_busy, 0, Qt::AlignHCenter);
    column->addWidget(m_buttons);
    column->addSpacing(24);

    connect(m_first, &QPushButton::clicked, this, &CommonDialog::noClicked);
    connect(m_second, &QPushButton::clicked, this, &CommonDialog::yesClicked);
    connect(m_single, &QPushButton::clicked, this, &CommonDialog::closeClicked);
    connect(m_busy, &QAbstractButton::clicked, this, &CommonDialog::closeClicked);

    m_text1->hide();
    m_text2->hide();
    hideControls();
    m_single->show();
    m_first->hide();
    m_second->hide();
    m_buttons->show();
}

void CommonDialog::setTitleColours(const QColor& background, const QColor& text)
{
    m_title->setStyleSheet(titleStyle(background, text));
}

void CommonDialog::hideControls()
{
    m_progress->hide();
    m_busy->setBusy(false);
    m_busy->hide();
    m_buttons->hide();
}

void CommonDialog::refit()
{
    // A wrapped label's size hint may assume fewer lines than it needs at
    // its fixed width; its height comes from that width instead.
    for (QLabel* text : {m_text1, m_text2})
        text->setFixedHeight(qMax(0, text->heightForWidth(kTextWidth)));
    frame()->adjustSize();
    placeOverWindow();
}

void CommonDialog::showTitleText(const QString& text)
{
    m_title->setText(text);
    m_title->setVisible(!text.isEmpty());
    m_rule->setVisible(!text.isEmpty());
    refit();
}

void CommonDialog::showOneText(const QString& text)
{
    m_text1->setText(text);
    m_text1->show();
    m_text2->clear();
    m_text2->hide();
    refit();
}

void CommonDialog::showTwoTexts(const QString& first, const QString& second)
{
    m_text1->setText(first);
    m_text2->setText(second);
    m_text1->show();
    m_text2->show();
    refit();
}

void CommonDialog::showProgressBar()
{
    hideControls();
    m_progress->show();
    refit();
}

void CommonDialog::showBusyButton()
{
    hideControls();
    m_busy->show();
    m_busy->setBusy(true);
    refit();
}

void CommonDialog::showOneButton(const QString& text)
{
    hideControls();
    m_single->setText(text);
    m_single->show();
    m_first->hide();
    m_second->hide();
    m_buttons->show();
    refit();
}

void CommonDialog::showTwoButtons(const QString& first, const QString& second)
{
    hideControls();
    m_first->setText(first);
    m_second->setText(second);
    m_first->show();
    m_second->show();
    m_single->hide();
    m_buttons->show();
    refit();
}

void CommonDialog::setProgress(int percent)
{
    m_progress->setValue(qBound(0, percent, 100));
}
