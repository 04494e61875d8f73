// The property sheet's rules without its window: typed numbers, the layout
// of each kind, and which elements share a measurement's key.

#include "properties/samekey.h"
#include "properties/sheetrules.h"
#include "tests/objects/objectsfixture.h"

#include <QtTest>

using namespace objectstest;

class TestSheetRules : public QObject {
    Q_OBJECT

private slots:
    void typedNumbers_data()
    {
        QTest::addColumn<char>("box");  // w width, p pitch, t tilt
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("applied");  // -1 nothing
        const auto row = [](char box, const char* text, const char* shown, int applied) {
            QTest::addRow("%c %s", box, text) << box << QString::fromUtf8(text) << QString::fromUtf8(shown) << applied;
        };
        // A width is held to 1..128; a text that is no number is refused.
        row('w', "64", "64", 64), row('w', "200", "128", 128), row('w', "0.5", "1", 1), row('w', "-3", "1", 1);
        row('w', "1e9", "128", 128), row('w', "x1", "", -1), row('w', "7.5", "8", 8), row('w', "2.5", "2", 2);
        row('w', "12345", "128", 128), row('w', "0", "1", 1), row('w', "-1e9", "1", 1), row('w', "128.4", "128", 128);
        row('w', "６", "6", 6), row('w', "１２８", "128", 128), row('w', "－３", "1", 1), row('w', "", "", -1);
        row('p', "250", "100", 100), row('p', "99.5", "99", 99), row('p', "abc", "1", -1), row('p', "2.5", "2", 2);
        row('p', "1000", "100", 100), row('p', "1e9", "100", 100), row('p', "0", "1", 1), row('p', "3.5", "4", 4);
        row('t', "95", "89", 89), row('t', "0", "1", 1), row('t', "1.5", "2", 2), row('t', "1e9", "89", 89);
        row('t', "-1e9", "1", 1), row('t', "30", "30", 30), row('t', "", "1", -1);
    }
    void typedNumbers()
    {
        QFETCH(char, box);
        QFETCH(QString, text);
        const sheetrules::Typed t = box == 'w'   ? sheetrules::typedWidth(text)
                                    : box == 'p' ? sheetrules::typedPitch(text)
                                                 : sheetrules::typedTilt(text);
        QTEST(t.box, "shown");
        QTEST(t.value.value_or(-1), "applied");
    }

    void listsAndLayouts()
    {
        QCOMPARE(sheetrules::lineStyles().at(5), QStringLiteral("5 - 二点鎖線"));
        QCOMPARE(sheetrules::hatchLineStyles().at(5), QStringLiteral("5 - 透明"));
        QCOMPARE(sheetrules::appearances().at(1), QStringLiteral("1 - 3-D "));
        QCOMPARE(sheetrules::numbers(15, 80, 15), (QStringList{"15", "30", "45", "60", "75"}));
        QCOMPARE(sheetrules::tip(sheetrules::Tips::DrawMode, 14), sheetrules::tip(sheetrules::Tips::DrawMode, 13));
        QVERIFY(!sheetrules::tip(sheetrules::Tips::Shape, 6));
        QVERIFY(!sheetrules::layoutOf(QStringLiteral("lineHojoSave")));
        QVERIFY(!sheetrules::layoutOf(QStringLiteral("lblkyori")));  // exact, case-sensitive
    }

    // Area key K and another key, with look-alike tags around them.
    void sameKey()
    {
        const QString k = QStringLiteral("240101090000"), other = QStringLiteral("240101090001");
        Drawing d;
        put(d.linePS, 0, QStringLiteral("_") + k), put(d.linePS, 1, QStringLiteral("_") + other);
        put(d.lineDsSave, 0, k), put(d.lineDsSave, 1, QStringLiteral("x") + k);
        put(d.lineHojoSave, 0, k), put(d.lineHojoSave, 1, k + QStringLiteral("x"));
        put(d.shpSnpo, 0, k), put(d.shpSnpo, 1, QStringLiteral("_") + k);
        put(d.lblKyori, 0, QStringLiteral("001:10_") + k), put(d.lblKyori, 1, QStringLiteral("001:10_") + other);
        const ObjectArrays a = d.arrays();
        const QString tag = QStringLiteral("202:600_") + k;

        QVERIFY(samekey::subSetKey_LineShape(a, QStringLiteral("DrawMode"), tag, 9));
        QCOMPARE(d.linePS(0).DrawMode.get(), 9);
        QCOMPARE(d.lineDsSave(0).DrawMode.get(), 9);
        QCOMPARE(d.lineHojoSave(0).DrawMode.get(), 9);
        QCOMPARE(d.shpSnpo(0).DrawMode.get(), 9);
        for (const platform::Element* untouched : std::initializer_list<const platform::Element*>{
                 &d.linePS(1), &d.lineDsSave(1), &d.lineHojoSave(1)})
            QCOMPARE(static_cast<const LineElement*>(untouched)->DrawMode.get(), 13);
        QCOMPARE(d.shpSnpo(1).DrawMode.get(), 13);

        QVERIFY(samekey::subSetKey_LineShape(a, QStringLiteral("FillStyle"), tag, 4));
        QCOMPARE(d.shpSnpo(0).FillStyle.get(), 4);
        QCOMPARE(d.shpSnpo(1).FillStyle.get(), 1);
        QVERIFY(!samekey::subSetKey_LineShape(a, QStringLiteral("BackStyle"), tag, 1));
        QCOMPARE(d.shpSnpo(0).BackStyle.get(), 0);

        QVERIFY(samekey::subSetKey_Color(a, QStringLiteral("BorderColor"), tag, 255));
        QCOMPARE(d.linePS(0).BorderColor.get(), 255);
        QCOMPARE(d.lineDsSave(1).BorderColor.get(), 0);
        QCOMPARE(d.shpSnpo(0).BackColor.get(), 255);
        QCOMPARE(d.shpSnpo(0).FillColor.get(), 255);
        QCOMPARE(d.lblKyori(0).ForeColor.get(), 0);
        QVERIFY(samekey::subSetKey_Color(a, QStringLiteral("ForeColor"), tag, 77));
        QCOMPARE(d.lblKyori(0).ForeColor.get(), 77);
        QCOMPARE(d.lblKyori(1).ForeColor.get(), 0);
        QCOMPARE(d.linePS(0).BorderColor.get(), 255);

        QVERIFY(samekey::subSetKey_Label(a, QStringLiteral("Alignment"), tag, 2));
        QCOMPARE(d.lblKyori(0).Alignment.get(), 2);
        QCOMPARE(d.lblKyori(1).Alignment.get(), 0);
        QVERIFY(!samekey::subSetKey_Label(a, QStringLiteral("DrawMode"), tag, 2));

        LabelElement& font = put(d.lblMoji, 0, QString());
        font.FontName = QStringLiteral("Serif"), font.FontSize = 14.0, font.FontBold = true;
        samekey::subSetKey_Font(a, tag, font);
        QCOMPARE(d.lblKyori(0).FontName.get(), QStringLiteral("Serif"));
        QVERIFY(d.lblKyori(0).FontBold);
        QCOMPARE(d.lblKyori(1).FontSize.get(), 9.0);
    }
};

QTEST_MAIN(TestSheetRules)
#include "tst_sheetrules.moc"
