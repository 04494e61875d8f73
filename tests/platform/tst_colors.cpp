#include "platform/colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

class TestColors : public QObject {
    Q_OBJECT

private slots:
    void plainColors_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QColor>("color");
        QTest::newRow("red") << vb::vbRed << QColor(255, 0, 0);
        QTest::newRow("yellow 65535") << qint32(65535) << QColor(255, 255, 0);
        QTest::newRow("blue") << qint32(0xFF0000) << QColor(0, 0, 255);
        QTest::newRow("black") << vb::vbBlack << QColor(0, 0, 0);
        QTest::newRow("RGB order") << vb::RGB(1, 2, 3) << QColor(1, 2, 3);
    }

    void plainColors()
    {
        QFETCH(qint32, number);
        QFETCH(QColor, color);
        QCOMPARE(platform::toQColor(number), color);
        QCOMPARE(platform::fromQColor(color), number);
        QVERIFY(!platform::isSystemColor(number));
    }

    void roundTrip()
    {
        QCOMPARE(vb::RGB(0x12, 0x34, 0x56), qint32(0x563412));
        QCOMPARE(platform::fromQColor(QColor(10, 20, 30, 40)), vb::RGB(10, 20, 30));  // alpha dropped
        QCOMPARE(platform::fromQColor(QColor::fromHsv(0, 255, 255)), vb::vbRed);
    }

    void systemColorsFollowPalette_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QPalette::ColorGroup>("group");
        QTest::addColumn<QPalette::ColorRole>("role");
        QTest::newRow("button face") << qint32(0x8000000F) << QPalette::Active << QPalette::Button;
        QTest::newRow("window background") << vb::vbWindowBackground << QPalette::Active << QPalette::Base;
        QTest::newRow("window text") << vb::vbWindowText << QPalette::Active << QPalette::Text;
        QTest::newRow("button text") << vb::vbButtonText << QPalette::Active << QPalette::ButtonText;
        QTest::newRow("highlight") << vb::vbHighlight << QPalette::Active << QPalette::Highlight;
        QTest::newRow("highlight text") << vb::vbHighlightText << QPalette::Active << QPalette::HighlightedText;
        QTest::newRow("button shadow") << vb::vbButtonShadow << QPalette::Active << QPalette::Dark;
        QTest::newRow("gray text") << vb::vbGrayText << QPalette::Disabled << QPalette::Text;
    }

    // System colours are looked up when drawn, so a changed palette shows at once.
    void systemColorsFollowPalette()
    {
        QFETCH(qint32, number);
        QFETCH(QPalette::ColorGroup, group);
        QFETCH(QPalette::ColorRole, role);
        QVERIFY(platform::isSystemColor(number));

        const QPalette previous = QGuiApplication::palette();
        QPalette palette = previous;
        const QColor marker(12, 34, 56);
        palette.setColor(group, role, marker);
        QGuiApplication::setPalette(palette);
        QCOMPARE(platform::toQColor(number), marker);
        QGuiApplication::setPalette(previous);
        QCOMPARE(platform::toQColor(number), previous.color(group, role));
    }

    void unknownSystemIndex()
    {
        QCOMPARE(platform::toQColor(qint32(0x80000063)), QColor(Qt::black));
    }
};

QTEST_MAIN(TestColors)
#include "tst_colors.moc"
