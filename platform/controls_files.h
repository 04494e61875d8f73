#pragma once
// The drive list, the directory list and the file list.

#include "platform/controls_lists.h"

namespace platform {

// The mounted volumes. A drive's text is its root path, followed by its
// name in brackets when it has one ("/media/usb [PHOTOS]").
class DriveListBox : public Control {
    Q_OBJECT
public:
    DriveListBox(const QString& name, QWidget* parent);

    QString Drive() const;
    // Accepts a drive's text or its root path; an unknown drive raises 68.
    void setDrive(const QString& drive);
    int ListCount() const;
    QString List(int index) const;
    void Refresh();  // reads the volumes again

    // The root path of a drive's text.
    static QString rootOf(const QString& drive);

    Event<> Change;

    QComboBox* comboBox() const { return m_combo; }

private:
    QComboBox* m_combo;
};

// The open folder, its parents above it and its subfolders below. The
// subfolders are rows 0 to ListCount - 1; the open folder is index -1, its
// parent -2 and so on up to the root. A double-click opens a row's folder.
class DirListBox : public ListControl {
    Q_OBJECT
public:
    DirListBox(const QString& name, QWidget* parent);

    QString Path() const { return m_path; }
    // A folder that does not exist raises 76; a drive's text opens its root.
    void setPath(const QString& path);
    void Refresh();

    int ListCount() const override;
    QString List(int index) const override;  // the folder's full path

    Event<> Change;  // another folder was opened

protected:
    int rowOf(int index) const override { return index + m_openRow + 1; }
    int indexOf(int row) const override { return row - m_openRow - 1; }
    void doubleClicked(int index) override;

private:
    QString m_path;
    QStringList m_paths;  // full path of each row
    int m_openRow = -1;
};

// The files of one folder that match a pattern list such as
// "*.bmp;*.jpg;*.gif" (letter case ignored), by name.
class FileListBox : public ListControl {
    Q_OBJECT
public:
    FileListBox(const QString& name, QWidget* parent);

    QString Path() const { return m_path; }
    void setPath(const QString& path);  // a missing folder raises 76
    QString Pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    QString FileName() const;  // the selected file's name, or ""
    void Refresh();

    static bool matches(const QString& fileName, const QString& pattern);

private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};

}  // namespace platform
