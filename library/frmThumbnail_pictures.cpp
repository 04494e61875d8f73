// Filling the thumbnail browser's cells: each picture decoded at the cell's
// size, JPEG files from their EXIF thumbnail cached in TEMP.

#include "library/frmThumbnail.h"

#include "app/globals.h"
#include "library/exif.h"
#include "platform/cachefiles.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/vberror.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <QScopeGuard>

#include <unistd.h>

using namespace platform;
namespace files = platform::files;

namespace {
constexpr long kInvalidPicture = 481;
}  // namespace

void frmThumbnail::subDisp(const QString& folder)
{
    if (fileList->ListCount() == 0)
        return;
    {
        // The pointer and the progress bar come back on every path.
        Hourglass wait(this);
        pgsBar->setMin(0);
        pgsBar->setMax(fileList->ListCount());
        pgsBar->show();
        static_cast<QWidget*>(pgsBar)->raise();  // above the buttons
        const auto hideBar = qScopeGuard([this] { pgsBar->hide(); });
        subLoad_Cells(folder);
    }
    fileList->setListIndex(0);
}

// Creates a cell per file and fills them in list order. A file that can't
// be read as a picture (damaged, cut short, not a picture at all) keeps an
// empty framed cell and the loading goes on: one bad file in a folder must
// not hide the pictures after it.
void frmThumbnail::subLoad_Cells(const QString& folder)
{
    const int n = fileList->ListCount();
    for (int i = int(imgPictureS.size()); i < n; ++i)
        newCell(i);
    for (int i = 0; i < n; ++i) {
        fileList->setListIndex(i);
        const QString name = fileList->FileName();
        stsBar->Panels(2).setText(name);
        PictureBox* cell = imgPictureS[i];
        cell->setToolTip(name);
        try {
            cell->setPicture(subLoad_Cell(files::join(folder, name)));
            cell->setBorderStyle(0);
            m_undecodable.remove(name);
        } catch (const vb::Error& error) {
            cell->setPicture(SharedImage());
            cell->setBorderStyle(1);
            m_undecodable.insert(name, error.description());
        }
        pgsBar->setValue(i);
        pgsBar->repaint();
    }
}

// The cached EXIF thumbnail, else one taken now, else the picture itself.
SharedImage frmThumbnail::subLoad_Cell(const QString& picturePath) const
{
    const QSize size = imgPictureS[0]->size();
    const QString thumb = thumbnailCacheName(picturePath);
    const auto keep = [&thumb](const QByteArray& bytes) { return cache::write(GE_strTempPath, thumb, bytes); };
    const bool cached = cache::exists(GE_strTempPath, thumb)
        || mdlFileAccess::fncReadExifThumbnail(picturePath, keep) == mdlFileAccess::ExifWritten;
    const int fd = cached && !size.isEmpty() ? cache::openToRead(GE_strTempPath, thumb) : -1;
    QFile file;
    if (fd >= 0 && !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        ::close(fd);
    if (file.isOpen()) {
        try {
            QImageReader reader(&file);
            return LoadPicture(reader, thumb, size);
        } catch (const vb::Error&) {
            // a thumbnail that doesn't decode: the picture itself serves
        }
    }
    return loadPictureAt(picturePath, size);
}

QString frmThumbnail::thumbnailCacheName(const QString& picturePath)
{
    const QFileInfo info(picturePath);
    const QString key = info.absoluteFilePath() + QLatin1Char('\n') + QString::number(info.size()) + QLatin1Char('\n')
        + QString::number(info.lastModified().toMSecsSinceEpoch());
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex();
    // The ".jpg" ending puts it among the files TEMP is emptied of at the end.
    return QStringLiteral("thumb_") + QString::fromLatin1(hash) + QStringLiteral(".jpg");
}

QString frmThumbnail::thumbnailCachePath(const QString& picturePath)
{
    return files::join(GE_strTempPath, thumbnailCacheName(picturePath));
}

SharedImage frmThumbnail::loadPictureAt(const QString& path, const QSize& size)
{
    if (size.isEmpty() && QFileInfo(path).isFile())
        vb::raise(kInvalidPicture, QStringLiteral("%1: nothing to show it in").arg(QFileInfo(path).fileName()));
    return LoadPicture(path, size);
}
