#include "platform/controls_files.h"

#include "platform/programfolder.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <algorithm>

namespace platform {

namespace {

[[noreturn]] void pathNotFound()
{
    vb::raise(vb::errPathNotFound);
}

QString cleanFolder(const QString& path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

}  // namespace

// --- DriveListBox ----------------------------------------------------------

DriveListBox::DriveListBox(const QString& name, QWidget* parent) : Control(name, parent), m_combo(new QComboBox(this))
{
    setInner(m_combo);
    Refresh();
    connect(m_combo, &QComboBox::currentIndexChanged, this, [this] { raise(Change, "Change"); });
}

QString DriveListBox::rootOf(const QString& drive)
{
    const int bracket = drive.indexOf(QStringLiteral(" ["));
    return bracket < 0 ? drive : drive.left(bracket);
}

void DriveListBox::Refresh()
{
    const QString current = m_combo->currentText();
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(),
              [](const QStorageInfo& a, const QStorageInfo& b) { return a.rootPath() < b.rootPath(); });
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    for (const QStorageInfo& volume : volumes) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString label = volume.name();
        m_combo->addItem(label.isEmpty() || label == volume.rootPath()
                             ? volume.rootPath()
                             : volume.rootPath() + QStringLiteral(" [") + label + QLatin1Char(']'));
    }
    // Start on the volume of the working folder, as the runtime does.
    const QString wanted = current.isEmpty() ? QStorageInfo(QDir::currentPath()).rootPath() : rootOf(current);
    for (int i = 0; i < m_combo->count(); ++i) {
        if (rootOf(m_combo->itemText(i)) == wanted)
            m_combo->setCurrentIndex(i);
    }
}

QString DriveListBox::Drive() const
{
    return m_combo->currentText();
}

void DriveListBox::setDrive(const QString& drive)
{
    const QString root = rootOf(drive.trimmed());
    for (int i = 0; i < m_combo->count(); ++i) {
        if (rootOf(m_combo->itemText(i)) == root) {
            m_combo->setCurrentIndex(i);
            return;
        }
    }
    vb::raise(vb::errDeviceUnavailable);
}

int DriveListBox::ListCount() const
{
    return m_combo->count();
}

QString DriveListBox::List(int index) const
{
    return index >= 0 && index < m_combo->count() ? m_combo->itemText(index) : QString();
}

// --- DirListBox ------------------------------------------------------------

DirListBox::DirListBox(const QString& name, QWidget* parent) : ListControl(name, parent)
{
    m_path = cleanFolder(QDir::currentPath());
    Refresh();
}

void DirListBox::setPath(const QString& path)
{
    const QString folder = DriveListBox::rootOf(path.trimmed());
    if (folder.isEmpty() || !QFileInfo(programfolder::reach(folder)).isDir())
        pathNotFound();
    const QString clean = cleanFolder(folder);
    if (clean == m_path)
        return;
    m_path = clean;
    Refresh();
    raise(Change, "Change");
}

void DirListBox::Refresh()
{
    QStringList chain;  // root first
    for (QDir dir(m_path);; ) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    const QStringList subfolders = QDir(programfolder::reach(m_path)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    m_quiet = true;
    m_list->clear();
    m_paths.clear();
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString name = depth == 0 ? chain[depth] : QFileInfo(chain[depth]).fileName();
        m_list->addItem(QString(depth * 2, QLatin1Char(' ')) + name);
        m_paths << chain[depth];
    }
    m_openRow = int(chain.size()) - 1;
    for (const QString& sub : subfolders) {
        m_list->addItem(QString(chain.size() * 2, QLatin1Char(' ')) + sub);
        m_paths << QDir(m_path).filePath(sub);
    }
    m_quiet = false;
}

int DirListBox::ListCount() const
{
    return int(m_paths.size()) - m_openRow - 1;
}

QString DirListBox::List(int index) const
{
    const int row = rowOf(index);
    return row >= 0 && row < m_paths.size() ? m_paths[row] : QString();
}

void DirListBox::doubleClicked(int index)
{
    const QString folder = List(index);
    if (!folder.isEmpty())
        dispatch(procedure("DblClick"), [&] { setPath(folder); });
}

// --- FileListBox -----------------------------------------------------------

FileListBox::FileListBox(const QString& name, QWidget* parent) : ListControl(name, parent)
{
    m_path = cleanFolder(QDir::currentPath());
    Refresh();
}

void FileListBox::setPath(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(programfolder::reach(path)).isDir())
        pathNotFound();
    m_path = cleanFolder(path);
    Refresh();
}

void FileListBox::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    Refresh();
}

bool FileListBox::matches(const QString& fileName, const QString& pattern)
{
    for (QString part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        part = part.trimmed();
        if (part == QStringLiteral("*.*"))
            part = QStringLiteral("*");  // every file, with or without an extension
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(part),
                                    QRegularExpression::CaseInsensitiveOption);
        if (re.match(fileName).hasMatch())
            return true;
    }
    return false;
}

void FileListBox::Refresh()
{
    const QStringList files = QDir(programfolder::reach(m_path)).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    m_quiet = true;
    m_list->clear();
    for (const QString& file : files) {
        if (matches(file, m_pattern))
            m_list->addItem(file);
    }
    m_quiet = false;
}

QString FileListBox::FileName() const
{
    return Text();
}

}  // namespace platform
