#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include "tests/support/testsupport.h"

#include <QtTest>

#include <clocale>
#include <functional>

namespace {

using testsupport::errorOf;

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

}  // namespace

class TestVbRuntime : public QObject {
    Q_OBJECT

private slots:
    void val_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("comma stops") << "1,5" << 1.0;
        QTest::newRow("period") << "1.5" << 1.5;
        QTest::newRow("blanks inside") << " 1 2\t3\n.5" << 123.5;
        QTest::newRow("sign and blank") << "- 4.25" << -4.25;
        QTest::newRow("exponent E") << "1.5E-07" << 1.5e-7;
        QTest::newRow("exponent D") << "1.5D-07" << 1.5e-7;
        QTest::newRow("bare exponent") << "2E" << 2.0;
        QTest::newRow("unit after") << "12.5mm" << 12.5;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("hex 16-bit") << "&HFFFF" << -1.0;
        QTest::newRow("hex long suffix") << "&HFFFF&" << 65535.0;
        QTest::newRow("hex needs 32 bits") << "&H10000" << 65536.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("hex without digits") << "&H" << 0.0;
    }

    void val()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(vb::Val(text), expected);
    }

    void valOverflow()
    {
        QCOMPARE(errorOf([] { vb::Val("1E400"); }), long(vb::errOverflow));
        QCOMPARE(vb::Val("1E-400"), 0.0);
    }

    void isNumeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("blanks around") << " 12 " << true;
        QTest::newRow("sign exponent") << "-1.5e3" << true;
        QTest::newRow("plus point") << "+.5" << true;
        QTest::newRow("D exponent") << "1.5D-07" << true;
        QTest::newRow("hex") << "&H1F" << true;
        QTest::newRow("hex long") << "&HFF&" << true;
        QTest::newRow("unit") << "12.5mm" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("comma") << "1,5" << false;
        QTest::newRow("blank inside") << "1 2" << false;
        QTest::newRow("sign alone") << "-" << false;
        QTest::newRow("open exponent") << "1E" << false;
        QTest::newRow("out of range") << "1E400" << false;
        QTest::newRow("hex too long") << "&H123456789" << false;
    }

    void isNumeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(vb::IsNumeric(text), expected);
    }

    // CInt of a number or a text, CLng of a text: the result, or the error raised.
    void integerConversion_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("toLong");
        QTest::addColumn<qint64>("expected");
        QTest::addColumn<int>("error");
        const auto cint = [](const char* name, const QVariant& value, qint64 expected, int error = 0) {
            QTest::newRow(name) << value << false << expected << error;
        };
        const auto clng = [](const char* name, const char* text, qint64 expected, int error = 0) {
            QTest::addRow("CLng %s", name) << QVariant(text) << true << expected << error;
        };
        cint("0.5 to even", 0.5, 0);
        cint("1.5 to even", 1.5, 2);
        cint("2.5 to even", 2.5, 2);
        cint("-2.5 to even", -2.5, -2);
        cint("top", 32767.49, 32767);
        cint("rounds past top", 32767.5, 0, vb::errOverflow);
        cint("bottom half", -32768.5, -32768);
        cint("below bottom", -32768.51, 0, vb::errOverflow);
        cint("far out, no wrap", 70000.0, 0, vb::errOverflow);
        cint("half to even", "2.5", 2);
        cint("blanks", " 3 ", 3);
        cint("hex 16-bit", "&HFFFF", -1);
        cint("hex top", "&H7FFF", 32767);
        cint("hex long suffix", "&HFFFF&", 0, vb::errOverflow);
        cint("letters", "abc", 0, vb::errTypeMismatch);
        cint("empty", "", 0, vb::errTypeMismatch);
        cint("too large", "1E10", 0, vb::errOverflow);
        clng("3.5 to even", "3.5", 4);
        clng("-3.5 to even", "-3.5", -4);
        clng("hex 16-bit", "&HFFFF", -1);
        clng("hex long suffix", "&HFFFF&", 65535);
        clng("hex 32-bit", "&H10000", 65536);
        clng("hex sign bit", "&H80000000", -2147483648LL);
        clng("top", "2147483647", 2147483647);
        clng("past top", "2147483647.5", 0, vb::errOverflow);
        clng("letters", "x1", 0, vb::errTypeMismatch);
    }

    void integerConversion()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, toLong);
        QFETCH(qint64, expected);
        QFETCH(int, error);
        qint64 result = 0;
        const auto convert = [&] {
            if (toLong)
                result = vb::CLng(value.toString());
            else if (value.typeId() == QMetaType::QString)
                result = vb::CInt(value.toString());
            else
                result = vb::CInt(value.toDouble());
        };
        QCOMPARE(errorOf(convert), long(error));
        if (!error)
            QCOMPARE(result, expected);
    }

    void csngOverflow()
    {
        QCOMPARE(vb::CSng(0.1), 0.1f);
        QCOMPARE(errorOf([] { vb::CSng(1e39); }), long(vb::errOverflow));
        QCOMPARE(errorOf([] { vb::CSng(-1e39); }), long(vb::errOverflow));
    }

    void divide_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("quotient");
        QTest::addColumn<int>("error");
        QTest::newRow("plain") << 7.0 << -2.0 << -3.5 << 0;
        QTest::newRow("by zero") << 1.0 << 0.0 << 0.0 << int(vb::errDivisionByZero);
        QTest::newRow("negative by zero") << -1.0 << 0.0 << 0.0 << int(vb::errDivisionByZero);
        QTest::newRow("zero by zero") << 0.0 << 0.0 << 0.0 << int(vb::errOverflow);
        QTest::newRow("beyond the range") << 1e300 << 1e-10 << 0.0 << int(vb::errOverflow);
        QTest::newRow("underflow is zero") << 1e-300 << 1e300 << 0.0 << 0;
    }

    void divide()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, quotient);
        QFETCH(int, error);
        double result = 0;
        QCOMPARE(errorOf([&] { result = vb::Divide(a, b); }), long(error));
        QCOMPARE(result, quotient);
    }

    // Doubles show 15 significant digits, singles (float rows) 7.
    void cstr_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QVariant& value, const char* expected) {
            QTest::newRow(name) << value << QString(expected);
        };
        row("15 digits", 0.1234567890123456, "0.123456789012346");
        row("binary noise hidden", 0.1 + 0.2, "0.3");
        row("third", 1.0 / 3, "0.333333333333333");
        row("negative zero", -0.0, "0");
        row("15 integer digits", 123456789012345.0, "123456789012345");
        row("rounds to 1E+15", 999999999999999.9, "1E+15");
        row("1E+15", 1e15, "1E+15");
        row("large mantissa", 1.5e300, "1.5E+300");
        row("0.0001", 0.0001, "0.0001");
        row("0.00001", 0.00001, "0.00001");
        row("fits 15 places", 1.5e-7, "0.00000015");
        row("smallest fixed", 1e-15, "0.000000000000001");
        row("too small", 1e-16, "1E-16");
        row("small with many digits", 1.0 / 7000, "1.42857142857143E-04");
        row("0.1", 0.1f, "0.1");
        row("7 digits", 3.14159265f, "3.141593");
        row("7 integer digits", 1234567.0f, "1234567");
        row("8 integer digits", 12345678.0f, "1.234568E+07");
        row("123456789", vb::CSng(123456789), "1.234568E+08");
        row("1.5E-07", 1.5e-7f, "1.5E-07");
    }

    void cstr()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        QCOMPARE(value.typeId() == QMetaType::Float ? vb::CStr(value.toFloat()) : vb::CStr(value.toDouble()), expected);
    }

    void str()
    {
        QCOMPARE(vb::Str(5.0), QString(" 5"));
        QCOMPARE(vb::Str(-5.0), QString("-5"));
        QCOMPARE(vb::Str(0.5f), QString(" 0.5"));
        QCOMPARE(vb::Str(qint32(-7)), QString("-7"));
        QCOMPARE(vb::Str(qint32(0)), QString(" 0"));
    }

    // A German process locale must not change a single character.
    void localeIndependent()
    {
        const QLocale previous;
        const std::string previousC = std::setlocale(LC_ALL, nullptr);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const char* german = nullptr;
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
            if ((german = std::setlocale(LC_ALL, name)))
                break;
        if (!german)
            qInfo("no German C locale installed; only the Qt default locale is German");

        QCOMPARE(vb::CStr(1234.5), QString("1234.5"));
        QCOMPARE(vb::CStr(1.5e-7f), QString("1.5E-07"));
        QCOMPARE(vb::Format(1234567.5, " #,###,##0.0 "), QString(" 1,234,567.5 "));
        QCOMPARE(vb::Val("1.5"), 1.5);
        QCOMPARE(vb::Val("1,5"), 1.0);
        QCOMPARE(vb::CInt(QString("2.5")), qint16(2));
        QVERIFY(!vb::IsNumeric("1,5"));

        std::setlocale(LC_ALL, previousC.c_str());
        QLocale::setDefault(previous);
    }

    void format_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QVariant& value, const char* pattern, const char* expected) {
            QTest::newRow(name) << value << QString(pattern) << QString(expected);
        };
        // Length and area formats keep their blanks on both sides.
        row("grouped", 1234567.4, " #,###,##0 ", " 1,234,567 ");
        row("grouped small", 5.0, " #,###,##0 ", " 5 ");
        row("one decimal", 1234.56, " ###,##0.0 ", " 1,234.6 ");
        row("two decimals", 0.5, " ##,##0.00 ", " 0.50 ");
        row("six decimals", 1.0 / 3, " 0.000000 ", " 0.333333 ");
        row("unit literal", 1.234, "0.00 mm", "1.23 mm");
        // Halves away from zero, read from the decimal text.
        row("2.5", 2.5, "0", "3");
        row("-2.5", -2.5, "0", "-3");
        row("0.125", 0.125, "0.00", "0.13");
        row("1.005", 1.005, "0.00", "1.01");
        row("carry", 9.9999999, "#0.000000", "10.000000");
        row("#0 page count", 2.0 + 0.5, "#0", "3");
        row("negative to zero", -0.001, "0.00", "0.00");
        // Leading "0" forces every digit place to its right.
        row("0## degree", 35.0, "0##", "035");
        row("0## zero", 0.0, "0##", "000");
        row("0# minute", 5.0, "0#", "05");
        row("seconds", 15.25, "0#.###0", "15.2500");
        row("seconds rounded", 1.234567, "0#.###0", "01.2346");
        row("00 unit index", 3.0, "00", "03");
        // Optional decimals: between the last "0" and the last "#".
        row("angle", 12.5, "##0.0####", "12.5");
        row("angle five places", 1.23456789, "##0.0####", "1.23457");
        row("angle degree sign", -45.125, "##0.0###゜", "-45.125゜");
        row("readout", 1.5, "#####0.###0", "1.5000");
        row("ratio no leading zero", 0.5, "#######.0#", ".5");
        row("ratio", 12.345, "#######.0#", "12.35");
        row("aspect", 1.0, "#.0##", "1.0");
        row("aspect below one", 0.25, "#.0##", ".25");
        row("zoom", 1.0, "##0%", "100%");
        row("zoom decimal exact", 0.0125, "0.0%", "1.3%");
        row("# of zero", 0.0, "#", "");
        row("point stays", 0.0, "#.#", ".");
        row("sections negative", -5.0, "0;(0)", "(5)");
        row("sections zero", 0.0, "0;(0);\"zero\"", "zero");
        row("quoted and escaped", 7.0, "\"n=\"0\\#", "n=7#");
        row("empty pattern", 0.5, "", "0.5");
        const QDateTime t = at(2009, 3, 7, 8, 5, 9);
        row("group id", t, "yymmddhhnnss", "090307080509");
        row("file stamp", t, "mmdd-hhnn", "0307-0805");
        row("separators", t, "yy/mm/dd hh:nn:ss", "09/03/07 08:05:09");
        row("four-digit year", t, "yyyy", "2009");
        row("single letters", t, "m/d h:n:s", "3/7 8:5:9");
        row("mm after hh is minutes", t, "hh:mm", "08:05");
        row("mm elsewhere is month", at(2009, 11, 7, 8, 5, 9), "mm", "11");
    }

    void format()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        if (value.typeId() == QMetaType::QDateTime)
            QCOMPARE(vb::Format(value.toDateTime(), pattern), expected);
        else
            QCOMPARE(vb::Format(value.toDouble(), pattern), expected);
    }

    void dateTextSortsAsText()
    {
        QCOMPARE(vb::DateText(at(2009, 3, 7, 8, 5, 9)), QString("2009/03/07 08:05:09"));
        QCOMPARE(vb::DateText(at(2009, 3, 7)), QString("2009/03/07"));
        QCOMPARE(vb::DateText(QDateTime()), QString());

        const QList<QDateTime> ordered = {at(2009, 3, 7, 9, 0, 1), at(2009, 10, 1), at(2009, 10, 1, 0, 0, 1),
                                          at(2009, 10, 12, 23, 59, 59), at(2010, 1, 2, 3, 4, 5)};
        for (qsizetype i = 1; i < ordered.size(); ++i)
            QVERIFY2(vb::DateText(ordered[i - 1]) < vb::DateText(ordered[i]),
                     qPrintable(vb::DateText(ordered[i - 1]) + " < " + vb::DateText(ordered[i])));
    }

    void cdate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");  // invalid: not a date
        QTest::newRow("full") << "2009/03/07 08:05:09" << at(2009, 3, 7, 8, 5, 9);
        QTest::newRow("dashes, no seconds") << "2009-3-7 8:05" << at(2009, 3, 7, 8, 5);
        QTest::newRow("date alone") << " 2009/03/07 " << at(2009, 3, 7);
        QTest::newRow("year 29") << "29/01/02" << at(2029, 1, 2);
        QTest::newRow("year 30") << "30/01/02" << at(1930, 1, 2);
        QTest::newRow("year 00") << "00/12/31" << at(2000, 12, 31);
        QTest::newRow("year 99") << "99/12/31" << at(1999, 12, 31);
        QTest::newRow("time alone") << "13:45:10" << at(1899, 12, 30, 13, 45, 10);
        QTest::newRow("no such day") << "2009/02/30" << QDateTime();
        QTest::newRow("no such hour") << "2009/02/03 24:00" << QDateTime();
        QTest::newRow("words") << "yesterday" << QDateTime();
        QTest::newRow("empty") << "" << QDateTime();
        QTest::newRow("number") << "4" << QDateTime();
    }

    void cdate()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        QCOMPARE(vb::IsDate(text), expected.isValid());
        QDateTime result;
        const long error = errorOf([&] { result = vb::CDate(text); });
        if (expected.isValid()) {
            QCOMPARE(error, 0L);
            QCOMPARE(result, expected);
        } else {
            QCOMPARE(error, long(vb::errTypeMismatch));
        }
    }

    void nowAndFileDateTime()
    {
        const QDateTime now = vb::Now();
        QCOMPARE(now.time().msec(), 0);
        QVERIFY(qAbs(now.secsTo(QDateTime::currentDateTime())) <= 1);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("a.txt");
        QCOMPARE(errorOf([&] { vb::FileDateTime(path); }), long(vb::errFileNotFound));
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        const QDateTime stamp = vb::FileDateTime(path);
        QCOMPARE(stamp.time().msec(), 0);
        QVERIFY(qAbs(stamp.secsTo(QDateTime::currentDateTime())) <= 5);
    }

    void trim()
    {
        QCOMPARE(vb::Trim("  a b  "), QString("a b"));
        QCOMPARE(vb::Trim("\ta\t"), QString("\ta\t"));  // blanks only
        QCOMPARE(vb::Trim("   "), QString());
    }
};

QTEST_GUILESS_MAIN(TestVbRuntime)
#include "tst_vbruntime.moc"
