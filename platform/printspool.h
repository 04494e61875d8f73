#pragma once
// The document of a print to a queue, from its first sheet until the
// scheduler has it (or didn't take it).
//
// It is made in the program's work folder (TEMP beside the program, which
// the start-up hands in; the system's temporary folder until then) as a new
// file: created exclusively, never through a link nor over a file that was
// there, readable and writable by this user alone, and under a name of its
// own that is removed the moment the file is made. From then on nobody can
// open it by a name, every use goes through its handle, and the file is gone
// with the handle, however the print ends (the job taken, refused, a
// silence, an error) or the program (killed too). A run killed in the
// instant between the making and the removal of the name leaves the file
// under its name, which the next start removes.

#include <QFileDevice>
#include <QString>

namespace platform::printspool {

// Makes `folder` the one the documents are made in from now on, and removes
// the documents of this user that a killed run left there (only files named
// as the program names them, not a link, not another user's).
void useFolder(const QString& folder);

class File {
public:
    File() = default;
    ~File() { close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // A new, empty, nameless document, open for reading and writing; NoError
    // or why none could be made.
    QFileDevice::FileError create();
    // The document by its handle (replacement.h's handlePath); "" before create.
    QString path() const;
    // The name it was made under, or would have been: what a failure names.
    const QString& name() const { return m_name; }
    // The document is gone once closed.
    void close();

private:
    int m_fd = -1;
    QString m_name;
};

}  // namespace platform::printspool
