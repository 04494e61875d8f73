// The exports against their floors: the map's save-picture (strips from
// the bottom up) against Qt's BMP writer given the decoded picture whole and
// its file then forced to the disk, as the save-picture forces its own,
// and CSV rows through the list's field and number forms against the C
// library's formatting. Peak memory is the process's high-water mark.
// Offscreen unless QT_QPA_PLATFORM says otherwise.
//   bench_export [side=10000] [rows=10000]
#include "bench/benchsupport.h"
#include "output/csvtext.h"
#include "platform/bmpfile.h"
#include "platform/encoding.h"
#include "platform/picturebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

long peakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(bench::offscreen(argc), argv);
    const int side = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int rows = argc > 2 ? std::atoi(argv[2]) : 10000;
    QTemporaryDir dir;

    // --- bitmap ---
    {
        auto picture = QSharedPointer<QImage>::create(side, side, QImage::Format_RGB32);
        picture->fill(Qt::darkGreen);
        const long decodedKb = long(picture->sizeInBytes() / 1024);
        platform::PictureBox box(QStringLiteral("pictMap"));
        box.setBorderStyle(0);
        box.resize(side, side);
        box.setPicture(picture);
        for (int k = 0; k < 6000; ++k)
            box.Line(k % side, (k * 7) % side, (k * 13) % side, (k * 3) % side, 0x0000FF);
        // The save-picture forces its file to the disk before it takes the
        // target's place, so the floor waits for the disk too. The disk's own
        // write-back swings from one write to the next, so each is timed from
        // a quiet disk, three rounds in alternating order, and the medians
        // compared.
        const auto timed = [](const auto& write) {
            ::sync();
            QElapsedTimer t;
            t.start();
            write();
            return t.elapsed();
        };
        std::vector<qint64> floors, saves;
        for (int round = 0; round < 3; ++round) {
            const QString n = QString::number(round);
            const auto floorWrite = [&] {
                QFile floor(dir.filePath(QStringLiteral("floor%1.bmp").arg(n)));
                floor.open(QIODevice::WriteOnly);
                QImageWriter writer(&floor, "bmp");
                writer.write(*picture);
                floor.flush();
                ::fsync(floor.handle());
            };
            const auto save = [&] { platform::SavePicture(box, dir.filePath(QStringLiteral("map%1.bmp").arg(n))); };
            if (round % 2 == 0) {
                floors.push_back(timed(floorWrite));
                saves.push_back(timed(save));
            } else {
                saves.push_back(timed(save));
                floors.push_back(timed(floorWrite));
            }
        }
        const auto median = [](std::vector<qint64> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        const qint64 floorMs = median(floors), ms = median(saves);
        std::printf("bitmap %dx%d: save-picture %lld ms, Qt writer and sync %lld ms (%.2f x, goal 1.5 x; medians of 3); "
                    "peak %ld MB, picture %ld MB\n",
                    side, side, ms, floorMs, double(ms) / qMax<qint64>(1, floorMs), peakKb() / 1024,
                    decodedKb / 1024);
    }

    // --- CSV rows of the distance list ---
    {
        QElapsedTimer t;
        t.start();
        QStringList lines;
        for (int i = 0; i < rows; ++i) {
            const double v = i * 0.123456789;
            const float f = float(i) * 1.5f;
            lines << mdlCsv::row({mdlCsv::num(qint32(i + 1)), mdlCsv::field(QStringLiteral("北側,旧道")),
                                  mdlCsv::num(v), mdlCsv::num(v + 1), mdlCsv::num(v + 2), mdlCsv::num(v + 3),
                                  mdlCsv::num(v * 2), mdlCsv::num(f), mdlCsv::num(f + 1), mdlCsv::num(f + 2),
                                  mdlCsv::num(f + 3), mdlCsv::num(f * 2)});
        }
        mdlCsv::writeFile(dir.filePath(QStringLiteral("list.csv")), lines);
        const qint64 ms = t.restart();
        QByteArray bytes;
        char buffer[512];
        for (int i = 0; i < rows; ++i) {
            const double v = i * 0.123456789;
            const float f = float(i) * 1.5f;
            std::snprintf(buffer, sizeof buffer, "%d,\"北側,旧道\",%.15g,%.15g,%.15g,%.15g,%.15g,%.7g,%.7g,%.7g,%.7g,%.7g\r\n",
                          i + 1, v, v + 1, v + 2, v + 3, v * 2, double(f), double(f + 1), double(f + 2),
                          double(f + 3), double(f * 2));
            bytes += platform::encoding::encodeCp932(QString::fromUtf8(buffer));
        }
        QFile file(dir.filePath(QStringLiteral("floor.csv")));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();
        const qint64 floorMs = t.restart();
        QFile again(dir.filePath(QStringLiteral("bytes.csv")));
        again.open(QIODevice::WriteOnly);
        again.write(bytes);
        again.close();
        const qint64 bytesMs = t.elapsed();
        std::printf("csv %d rows: %lld ms, C formatting %lld ms (%.2f x), bytes alone %lld ms\n", rows, ms, floorMs,
                    double(ms) / qMax<qint64>(1, floorMs), bytesMs);
    }
    return 0;
}
