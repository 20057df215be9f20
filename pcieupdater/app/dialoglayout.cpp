#include "dialoglayout.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

QPixmap DialogLayout::picture(const QString& path)
{
    // ":/chip80.png" has ":/chip80@2x.png" beside it; the reader gives that
    // one a device pixel ratio of 2.
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0 && path.endsWith(QLatin1String(".png"))) {
        const QPixmap sharp(path.chopped(4) + QStringLiteral("@2x.png"));
        if (!sharp.isNull())
            return sharp;
    }
    return QPixmap(path);
}

void DialogLayout::fitText(QLabel* label, int width, int height)
{
    QFont font = label->font();
    for (qreal size = font.pointSizeF(); size > 7; size -= 0.5) {
        font.setPointSizeF(size);
        label->setFont(font);
        const bool fits = height < 0 ? label->sizeHint().width() <= width : label->heightForWidth(width) <= height;
        if (fits)
            return;
    }
}

QHBoxLayout* DialogLayout::build(QDialog* dialog, const QString& text, QLabel** textLabel, const char* iconPath)
{
    auto* column = new QVBoxLayout(dialog);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(dialog);
    icon->setPixmap(picture(QString::fromLatin1(iconPath)));
    icon->setAlignment(Qt::AlignTop);
    auto* label = new QLabel(text, dialog);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    top->addWidget(icon);
    top->addWidget(label, 1);
    column->addLayout(top);
    column->addStretch();
    column->addSpacing(6);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch();
    column->addLayout(buttons);
    if (textLabel)
        *textLabel = label;
    return buttons;
}

QPushButton* DialogLayout::addButton(QHBoxLayout* row, const QString& text)
{
    auto* button = new QPushButton(text, row->parentWidget());
    // Wide enough that a short label ("OK") and a long one line up alike.
    button->setMinimumWidth(qMax(96, button->sizeHint().width() + 16));
    row->addWidget(button);
    return button;
}
