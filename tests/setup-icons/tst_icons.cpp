// The icons of the settings pages' image-button rows (video inputs, audio
// connections, format conversions and 3D packing): each resource must load
// at the size it was drawn for and show something that stands out on the
// white settings card. A contact sheet of the whole set is written to the
// build folder's tests/pictures for review.

#include <QtTest>

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace {

struct IconFamily
{
    const char* title;
    QSize size;
    QStringList names;
};

const QList<IconFamily>& families()
{
    static const QList<IconFamily> kFamilies{
        {"Video inputs", QSize(64, 64),
         {"InputSDI", "InputHDMI", "InputFibre", "InputComponent", "InputComposite", "InputSVideo"}},
        {"Audio connections", QSize(64, 64),
         {"AudioSDIORHDMI", "AudioAES", "AudioXLR", "AudioRCA", "AudioMic"}},
        {"Conversions", QSize(96, 64),
         {"HDToSDLetterBox", "HDToSDAnamorphic", "HDToSDCenterCut", "SDToHDPillarbox", "SDToHDAnamorphic",
          "SDToHD169", "SDToHD149"}},
        {"3D packing", QSize(64, 64),
         {"3DTopAndBottom", "3DFramePacking", "3DSideBySide", "3DLeft", "3DLineByLine", "3DRight"}},
    };
    return kFamilies;
}

} // namespace

class TestIcons : public QObject
{
    Q_OBJECT

private slots:
    void loadsAtItsSize_data();
    void loadsAtItsSize();
    void contactSheet();
};

void TestIcons::loadsAtItsSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const IconFamily& family : families()) {
        for (const QString& name : family.names)
            QTest::newRow(qPrintable(name)) << name << family.size;
    }
}

void TestIcons::loadsAtItsSize()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);

    const QPixmap pixmap(QStringLiteral(":/") + name);
    QVERIFY2(!pixmap.isNull(), qPrintable(name));
    QCOMPARE(pixmap.size(), size);

    // Drawn for a white card: a fair share of the canvas is painted, and some
    // of it is dark enough to read against white.
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int painted = 0;
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() < 128)
                continue;
            ++painted;
            if (colour.lightness() < 128)
                ++dark;
        }
    }
    const int area = image.width() * image.height();
    QVERIFY2(painted * 10 >= area, qPrintable(QStringLiteral("%1: only %2 of %3 pixels painted")
                                                  .arg(name).arg(painted).arg(area)));
    QVERIFY2(dark * 50 >= area, qPrintable(QStringLiteral("%1: too faint for a white card").arg(name)));
}

void TestIcons::contactSheet()
{
    constexpr int kScale = 2;
    constexpr int kColumns = 7;
    constexpr int kCellWidth = 120 * kScale;
    constexpr int kCaption = 22 * kScale;
    constexpr int kTitle = 30 * kScale;
    constexpr int kMargin = 16 * kScale;

    int height = kMargin;
    for (const IconFamily& family : families()) {
        const int rows = (family.names.size() + kColumns - 1) / kColumns;
        height += kTitle + rows * (family.size.height() * kScale + kCaption + 8 * kScale);
    }
    height += kMargin;

    QImage sheet(kMargin * 2 + kColumns * kCellWidth, height, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont captionFont = painter.font();
    captionFont.setPixelSize(11 * kScale);
    QFont titleFont = captionFont;
    titleFont.setPixelSize(14 * kScale);
    titleFont.setBold(true);

    int y = kMargin;
    for (const IconFamily& family : families()) {
        painter.setFont(titleFont);
        painter.setPen(QColor(58, 58, 58));
        painter.drawText(QRect(kMargin, y, sheet.width() - 2 * kMargin, kTitle), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1 (%2 × %3)").arg(QString::fromUtf8(family.title))
                             .arg(family.size.width()).arg(family.size.height()));
        y += kTitle;
        const QSize shown = family.size * kScale;
        for (int i = 0; i < family.names.size(); ++i) {
            const int column = i % kColumns;
            const int rowTop = y + (i / kColumns) * (shown.height() + kCaption + 8 * kScale);
            const int cellLeft = kMargin + column * kCellWidth;
            const QPixmap pixmap(QStringLiteral(":/") + family.names[i]);
            const QRect target(cellLeft + (kCellWidth - shown.width()) / 2, rowTop, shown.width(), shown.height());
            painter.setPen(QColor(241, 241, 241));
            painter.drawRect(target.adjusted(-1, -1, 0, 0));
            painter.drawPixmap(target, pixmap);
            painter.setFont(captionFont);
            painter.setPen(QColor(94, 94, 94));
            painter.drawText(QRect(cellLeft, rowTop + shown.height(), kCellWidth, kCaption), Qt::AlignCenter,
                             family.names[i]);
        }
        const int rows = (family.names.size() + kColumns - 1) / kColumns;
        y += rows * (shown.height() + kCaption + 8 * kScale);
    }
    painter.end();

    QVERIFY(QDir().mkpath(QStringLiteral(ONDAVIA_PICTURES_DIR)));
    const QString path = QStringLiteral(ONDAVIA_PICTURES_DIR "/setup-icons.png");
    QVERIFY2(sheet.save(path), qPrintable(path));
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
