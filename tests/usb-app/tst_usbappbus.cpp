#include <QtTest>
class TestUsbAppBus : public QObject { Q_OBJECT };
QTEST_MAIN(TestUsbAppBus)
#include "tst_usbappbus.moc"
