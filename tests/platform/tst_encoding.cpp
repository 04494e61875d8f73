#include "platform/encoding.h"

#include <QTest>

using namespace platform::encoding;

class TestEncoding : public QObject {
    Q_OBJECT

private slots:
    // Text to bytes and back. A character that shares its CP932 code with
    // another encodes as Windows does and decodes to Windows' choice.
    void cp932_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("decoded");
        // Without `decoded` the bytes decode to the text itself.
        const auto row = [](const char* name, const QString& text, const QByteArray& bytes,
                            const QString& decoded = {}) {
            QTest::newRow(name) << text << bytes << (decoded.isNull() ? text : decoded);
        };
        row("ascii", QStringLiteral("DB_Folda_Path=C:/x"), "DB_Folda_Path=C:/x");
        row("kanji", QStringLiteral("距離単位"), "\x8B\x97\x97\xA3\x92\x50\x88\xCA");
        row("halfwidth kana", QStringLiteral("ｴﾗｰ"), "\xB4\xD7\xB0");
        row("numero sign", QStringLiteral("№"), "\x87\x82");
        row("circled one", QStringLiteral("①"), "\x87\x40");
        row("fullwidth tilde", QStringLiteral("～"), "\x81\x60");
        row("roman two", QStringLiteral("Ⅱ"), "\x87\x55");
        row("so with backslash trail", QStringLiteral("ソ表"), "\x83\x5C\x95\x5C");
        row("yen is backslash", QStringLiteral("\\"), "\\");
        row("wave dash", QStringLiteral("\u301C"), "\x81\x60", QStringLiteral("\uFF5E"));
        row("minus sign", QStringLiteral("\u2212"), "\x81\x7C", QStringLiteral("\uFF0D"));
        row("double vertical", QStringLiteral("\u2016"), "\x81\x61", QStringLiteral("\u2225"));
        row("em dash", QStringLiteral("\u2014"), "\x81\x5C", QStringLiteral("\u2015"));
    }

    void cp932()
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
