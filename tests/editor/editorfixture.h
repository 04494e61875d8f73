#pragma once
// A drawing database with one stored drawing, its picture on disk, and the
// editor opened on it, for the editor's tests.

#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "editor/frmEdit.h"
#include "platform/application.h"
#include "platform/colors.h"
#include "platform/ui.h"
#include "tests/support/testsupport.h"

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <memory>

namespace editortest {

// The test picture: left half red, right half green, the lowest fifth blue.
inline QColor expectedColor(int x, int y, QSize size)
{
    if (y >= size.height() * 4 / 5)
        return Qt::blue;
    return x < size.width() / 2 ? Qt::red : Qt::green;
}

inline QString writePicture(const QString& folder, const QString& name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = expectedColor(x, y, size).rgb();
    }
    const QString path = folder + QLatin1Char('/') + name;
    image.save(path, "BMP");
    return path;
}

// The map's pixel at an inner device point.
inline QColor mapPixel(const frmEdit& editor, int x, int y)
{
    return editor.pictMap->renderArea(QRect(x, y, 1, 1)).pixelColor(0, 0);
}

class Fixture {
public:
    QTemporaryDir dir;

    bool openDatabase()
    {
        const QString path = testsupport::copyTemplate(dir.filePath(QStringLiteral("test.mdb")));
        GE_booDbUpdate = false;
        return mdlDB::fncDbOpen(path) == 0;
    }

    // Stores a drawing naming that picture and makes it the one to open.
    qint32 storeDrawing(const QString& number, const QString& folder, const QString& file)
    {
        typPrint print;
        print.strNo = number;
        print.strName = QStringLiteral("試験図面");
        print.strPath = folder;
        print.strFileName = file;
        print.datHizuke = QDateTime(QDate(2020, 4, 1), QTime(9, 0, 0));
        // The row's settings as an editor saves them: no aspect adjustment.
        GE_sngPictAdj = 1.0f;
        GE_booPictAdj = false;
        if (mdlSQL::fncSQL_InsertPrint(print) != 0)
            return -1;
        // The drawing list hands over the row's key fields.
        GE_tpPrint = typPrint{};
        GE_tpPrint.strNo = number;
        GE_tpPrint.strName = print.strName;
        GE_tpPrint.Print_Id = mdlSQL::fncSQL_GetPrintID(number);
        return GE_tpPrint.Print_Id;
    }

    static frmEdit& open()
    {
        const QRect area = platform::app::workAreaTwips();
        GE_lngWorkArea = {area.left(), area.top(), area.height(), area.width()};
        return platform::Instance<frmEdit>::get();
    }

    static void closeEditor()
    {
        if (frmEdit* editor = platform::Instance<frmEdit>::pointer())
            editor->unload();
        platform::Instance<frmEdit>::release();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void closeDatabase()
    {
        if (!GE_booDbOpen)
            return;
        platform::ScopedScriptedUi quiet;
        quiet->answerMsgBox(vb::vbNo);
        mdlDB::fncDbClose();
    }
};

// One test function's scripted boxes and database, begun in init() and
// ended in cleanup(): the editor and the database close in that order.
struct Session {
    std::unique_ptr<platform::ScopedScriptedUi> quiet;
    std::unique_ptr<Fixture> fx;

    bool begin()
    {
        quiet = std::make_unique<platform::ScopedScriptedUi>();
        fx = std::make_unique<Fixture>();
        return fx->openDatabase();
    }
    void end()
    {
        Fixture::closeEditor();
        Fixture::closeDatabase();
        fx.reset();
        quiet.reset();
    }
};

}  // namespace editortest
