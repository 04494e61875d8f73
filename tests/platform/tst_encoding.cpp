#include "platform/encoding.h"

#include <QTest>

using namespace platform::encoding;

class TestEncoding : public QObject {
    Q_OBJECT

private slots:
    void cp932RoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("DB_Folda_Path=C:/x") << QByteArray("DB_Folda_Path=C:/x");
        QTest::newRow("kanji") << QStringLiteral("距離単位") << QByteArray("\x8B\x97\x97\xA3\x92\x50\x88\xCA");
        QTest::newRow("halfwidth kana") << QStringLiteral("ｴﾗｰ") << QByteArray("\xB4\xD7\xB0");
        QTest::newRow("numero sign") << QStringLiteral("№") << QByteArray("\x87\x82");
        QTest::newRow("circled one") << QStringLiteral("①") << QByteArray("\x87\x40");
        QTest::newRow("fullwidth tilde") << QStringLiteral("～") << QByteArray("\x81\x60");
        QTest::newRow("roman two") << QStringLiteral("Ⅱ") << QByteArray("\x87\x55");
        QTest::newRow("so with backslash trail") << QStringLiteral("ソ表") << QByteArray("\x83\x5C\x95\x5C");
        QTest::newRow("yen is backslash") << QStringLiteral("\\") << QByteArray("\\");
    }

    void cp932RoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeCp932(text), bytes);
        QCOMPARE(decodeCp932(bytes), text);
    }

    // Characters that share a CP932 code with another: they encode as Windows
    // does and decode to Windows' choice.
    void windowsMappings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("wave dash") << QStringLiteral("\u301C") << QByteArray("\x81\x60") << QStringLiteral("\uFF5E");
        QTest::newRow("minus sign") << QStringLiteral("\u2212") << QByteArray("\x81\x7C") << QStringLiteral("\uFF0D");
        QTest::newRow("double vertical") << QStringLiteral("\u2016") << QByteArray("\x81\x61") << QStringLiteral("\u2225");
        QTest::newRow("em dash") << QStringLiteral("\u2014") << QByteArray("\x81\x5C") << QStringLiteral("\u2015");
    }

    void windowsMappings()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, decoded);
        QCOMPARE(encodeCp932(text), bytes);
        QCOMPARE(decodeCp932(bytes), decoded);
    }

    void unmappableBecomesQuestionMark()
    {
        QCOMPARE(encodeCp932(QStringLiteral("a\u00E9b")), QByteArray("a?b"));
        QCOMPARE(encodeCp932(QStringLiteral("x\U0001F600y")), QByteArray("x?y"));  // one "?" per character
        QCOMPARE(encodeCp932(QStringLiteral("한국")), QByteArray("??"));
    }

    void invalidBytesDecode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("lone lead at end") << QByteArray("ab\x82") << QStringLiteral("ab\u30FB");
        QTest::newRow("lead before newline") << QByteArray("\x82\n") << QStringLiteral("\u30FB\n");
        QTest::newRow("undefined pair") << QByteArray("\x85\x40z") << QStringLiteral("\u30FBz");
        QTest::newRow("0x80") << QByteArray("\x80") << QStringLiteral("\u0080");
        QTest::newRow("0xA0") << QByteArray("\xA0") << QStringLiteral("\uF8F0");
        QTest::newRow("0xFF") << QByteArray("\xFF") << QStringLiteral("\uF8F3");
    }

    void invalidBytesDecode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeCp932(bytes), text);
    }

    void utf8Validity_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("ascii") << QByteArray("[MDB]\r\nFile_Name=master.mdb") << true;
        QTest::newRow("japanese") << QStringLiteral("[距離単位]").toUtf8() << true;
        QTest::newRow("four bytes") << QStringLiteral("\U0001F600").toUtf8() << true;
        QTest::newRow("cp932 text") << encodeCp932(QStringLiteral("[距離単位]")) << false;
        QTest::newRow("truncated") << QByteArray("\xE8\xB7") << false;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
        QTest::newRow("overlong three") << QByteArray("\xE0\x80\xAF") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("above max") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("stray continuation") << QByteArray("a\x80") << false;
    }

    void utf8Validity()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(isValidUtf8(bytes), valid);
    }
};

QTEST_GUILESS_MAIN(TestEncoding)
#include "tst_encoding.moc"
