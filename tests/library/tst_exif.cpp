// The EXIF thumbnail reader and the byte helpers it reads with: the
// hand-made corpus, every truncation and single-byte corruption of it, and
// the output file's contents.

#include "library/exif.h"
#include "library/mdlKyotu.h"
#include "platform/vberror.h"
#include "tests/library/exif_corpus/exif_samples.h"
#include "tests/support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace mdlFileAccess;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

using testsupport::fileBytes;

QByteArray encodedJpeg(const QSize& size, Qt::GlobalColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

}  // namespace

class TestExif : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString picture() const { return m_dir.filePath(QStringLiteral("picture.jpg")); }
    QString output() const { return m_dir.filePath(QStringLiteral("out/thumb.jpg")); }

    // Reads `bytes` as a picture file; the result, and what was written.
    int read(const QByteArray& bytes, QByteArray* written = nullptr)
    {
        writeFile(picture(), bytes);
        QFile::remove(output());
        const int result = fncReadExifThumbnail(picture(), output());
        if (written)
            *written = QFile::exists(output()) ? fileBytes(output()) : QByteArray();
        return result;
    }

    // Whatever the input, the reader gives one of its results and writes
    // only a piece of the input that is a JPEG stream.
    void checkSound(const QByteArray& input, const QString& what)
    {
        QByteArray written;
        const int result = read(input, &written);
        QVERIFY2(result == 1 || result == 0 || result == -2 || result == -3, qPrintable(what));
        if (result == 1) {
            QVERIFY2(written.startsWith("\xFF\xD8") && input.contains(written), qPrintable(what));
        } else {
            QVERIFY2(!QFile::exists(output()), qPrintable(what));
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("out")));
        // Seeds for the fuzzer: the same samples as files.
        const QString corpus = qEnvironmentVariable("NEMU_EXIF_CORPUS");
        if (!corpus.isEmpty()) {
            QVERIFY(QDir().mkpath(corpus));
            for (const exifsamples::Sample& sample : exifsamples::samples())
                writeFile(QDir(corpus).filePath(QLatin1String(sample.name) + QStringLiteral(".jpg")), sample.bytes);
        }
    }

    void bytesToNumbers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("inOrder");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<double>("dbl");
        QTest::addColumn<int>("intValue");
        QTest::addColumn<int>("lngValue");
        auto row = [](const char* name, const char* hexBytes, bool inOrder, const char* hex, double dbl, int i, int l) {
            QTest::newRow(name) << QByteArray::fromHex(hexBytes) << inOrder << QString::fromLatin1(hex) << dbl << i << l;
        };
        row("34 12 little-endian", "3412", false, "1234", 4660, 4660, 4660);
        row("34 12 big-endian", "3412", true, "3412", 13330, 13330, 13330);
        row("one byte below 0x10", "0A", true, "0A", 10, 10, 10);
        row("FF FF: signed and unsigned", "FFFF", true, "FFFF", 65535, -1, 65535);
        row("80 00: lowest Integer", "8000", true, "8000", 32768, -32768, 32768);
        row("four bytes all set", "FFFFFFFF", false, "FFFFFFFF", 4294967295.0, -1, 65535);
        row("65536 overflows Integer", "00010000", true, "00010000", 65536, 0, 65536);
        row("five bytes are no number", "0102030405", true, "0102030405", 0, 0, 0);
        row("no bytes", "", true, "", 0, 0, 0);
    }
    void bytesToNumbers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, inOrder);
        QFETCH(QString, hex);
        QFETCH(double, dbl);
        QFETCH(int, intValue);
        QFETCH(int, lngValue);
        QCOMPARE(mdlKyotu::fncBytesToHex(bytes, inOrder), hex);
        QCOMPARE(mdlKyotu::fncBytesToDbl(bytes, inOrder), dbl);
        QCOMPARE(int(mdlKyotu::fncBytesToInt(bytes, inOrder)), intValue);
        QCOMPARE(int(mdlKyotu::fncBytesToLng(bytes, inOrder)), lngValue);
    }

    void nullToZero()
    {
        QCOMPARE(mdlKyotu::fncNullToZero(QVariant()), qint16(0));
        QCOMPARE(mdlKyotu::fncNullToZero(QVariant(QStringLiteral("abc"))), qint16(0));
        QCOMPARE(mdlKyotu::fncNullToZero(QVariant(QStringLiteral("0"))), qint16(0));
        QCOMPARE(mdlKyotu::fncNullToZero(QVariant(QStringLiteral("&h10"))), qint16(16));
        QCOMPARE(mdlKyotu::fncNullToZero(QVariant(QStringLiteral("&hFFFF"))), qint16(-1));
        QCOMPARE(mdlKyotu::fncNullToZero(QVariant(-7)), qint16(-7));
        QVERIFY_THROWS_EXCEPTION(vb::Error, mdlKyotu::fncNullToZero(QVariant(70000)));
    }

    void ifdEntries()
    {
        // Compression 6 as a SHORT, tag stored in each byte order.
        QCOMPARE(subRead_IfdEntry(QByteArray::fromHex("030103000100000006000000"), false), std::optional<qint32>(6));
        QCOMPARE(subRead_IfdEntry(QByteArray::fromHex("010300030000000100060000"), true), std::optional<qint32>(6));
        QCOMPARE(subRead_IfdEntry(QByteArray::fromHex("0201000400000001000004D2"), true), std::optional<qint32>(1234));
        QCOMPARE(subRead_IfdEntry(QByteArray::fromHex("0202000400000001FFFFFFFF"), true), std::nullopt);
        QCOMPARE(subRead_IfdEntry(QByteArray::fromHex("011200030000000100010000"), true), std::nullopt);
        QCOMPARE(subRead_IfdEntry(QByteArray::fromHex("0201"), true), std::nullopt);
        QVERIFY(fncIsMotorola(0x4D, 0x4D));
        QVERIFY(!fncIsMotorola(0x49, 0x49));
        QVERIFY(!fncIsMotorola(0x4D, 0x49));
    }

    void corpus_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("thumbnail");
        for (const exifsamples::Sample& sample : exifsamples::samples())
            QTest::newRow(sample.name) << sample.bytes << sample.result << sample.thumbnail;
    }
    void corpus()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, result);
        QFETCH(QByteArray, thumbnail);
        QByteArray written;
        QCOMPARE(read(bytes, &written), result);
        QCOMPARE(written, thumbnail);  // exactly the thumbnail, or no file at all
        QCOMPARE(fncGet_ExifThumbnail(picture(), output()), result == 1);
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden).size(), result == 1 ? 1 : 0);
    }

    // Every truncation of every sample, and every byte of the positive
    // samples' headers overwritten, still gives one of the results.
    void damagedCorpus()
    {
        for (const exifsamples::Sample& sample : exifsamples::samples()) {
            for (qsizetype n = 0; n < sample.bytes.size(); ++n)
                checkSound(sample.bytes.left(n), QStringLiteral("%1 cut at %2").arg(QLatin1String(sample.name)).arg(n));
            if (QTest::currentTestFailed())
                return;
            if (sample.result != 1)
                continue;
            for (qsizetype i = 2; i < sample.bytes.size() - 16; ++i) {
                for (const char value : {char(0x00), char(0xFF), char(0x80)}) {
                    QByteArray bytes = sample.bytes;
                    bytes[i] = value;
                    checkSound(bytes, QStringLiteral("%1 byte %2").arg(QLatin1String(sample.name)).arg(i));
                    if (QTest::currentTestFailed())
                        return;
                }
            }
        }
    }

    void realPhotographs_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("little-endian") << false;
        QTest::newRow("big-endian") << true;
    }
    void realPhotographs()
    {
        QFETCH(bool, bigEndian);
        const QByteArray thumbnail = encodedJpeg(QSize(40, 30), Qt::red);
        const QByteArray photo = exifsamples::withExif(encodedJpeg(QSize(400, 300), Qt::blue), thumbnail, bigEndian);
        QByteArray written;
        QCOMPARE(read(photo, &written), 1);
        QCOMPARE(written, thumbnail);
        QCOMPARE(QImage::fromData(written).size(), QSize(40, 30));
        QVERIFY(!QImage::fromData(photo).isNull());  // the photograph itself still decodes
    }

    void outputReplacedWhole()
    {
        const exifsamples::Sample sample = exifsamples::samples().first();
        writeFile(picture(), sample.bytes);
        writeFile(output(), QByteArray(5000, 'x'));  // a longer file from before
        QCOMPARE(fncReadExifThumbnail(picture(), output()), 1);
        const QByteArray first = fileBytes(output());
        QCOMPARE(first, sample.thumbnail);
        QCOMPARE(fncReadExifThumbnail(picture(), output()), 1);
        QCOMPARE(fileBytes(output()), first);
    }

    void unwritableOutput()
    {
        writeFile(picture(), exifsamples::samples().first().bytes);
        QCOMPARE(fncReadExifThumbnail(picture(), m_dir.filePath(QStringLiteral("missing/thumb.jpg"))), -4);
        QCOMPARE(fncReadExifThumbnail(picture(), m_dir.filePath(QStringLiteral("out"))), -4);
        QVERIFY(!fncGet_ExifThumbnail(picture(), m_dir.filePath(QStringLiteral("missing/thumb.jpg"))));
        QCOMPARE(fncReadExifThumbnail(m_dir.filePath(QStringLiteral("no such picture.jpg")), output()), -2);
        // A disk that takes only part of the thumbnail (larger than Qt's
        // buffer, or held in it until the final flush): the old one stays.
        QImage noise(160, 160, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, qRgb(x * 37 ^ y * 11, x * y, x + y * 91));
        QBuffer large;
        large.open(QIODevice::WriteOnly);
        noise.save(&large, "JPG", 100);
        QVERIFY(large.size() > 2 * testsupport::QtBufferSize);
        const QByteArray small = exifsamples::samples().first().thumbnail;
        for (const QByteArray& thumbnail : {large.data(), small}) {
            writeFile(picture(), exifsamples::withExif(encodedJpeg(QSize(40, 30), Qt::blue), thumbnail));
            writeFile(output(), "an older thumbnail");
            QCOMPARE(testsupport::withFileSizeLimit(thumbnail.size() / 2, [&] {
                         return -fncReadExifThumbnail(picture(), output());
                     }), 4);
            QCOMPARE(fileBytes(output()), QByteArray("an older thumbnail"));
            QCOMPARE(QDir(m_dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
                     QStringList{QStringLiteral("thumb.jpg")});
        }
    }
};

QTEST_GUILESS_MAIN(TestExif)
#include "tst_exif.moc"
