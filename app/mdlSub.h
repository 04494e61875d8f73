#pragma once
// The program's entry procedure and its start-up checks.

#include <QString>
#include <QtGlobal>

class QApplication;

namespace mdlSub {

// The start-up: refuses a second instance, reads Init.ini, makes sure the
// template, the database folder and file and the work folder exist, and
// shows the start window. Returns with no window open when the start ends.
void Main();

// Hands out the platform identifier; 0 on success, -1 on failure.
qint16 fncGetWindowsVersion(qint32& platformId);

// SIGTERM, SIGHUP, SIGINT and the desktop session's end close the start window as
// its 終了 does, with the editor's and the save questions; when the display
// has gone and nothing can be asked, the saves of the run are committed and
// unsaved objects are left. Called once the start window is up.
void subWatch_OutsideEnds();

// Installs the Qt dialogs, runs Main and then the event loop while the
// start window lives.
int run(QApplication& application);

}  // namespace mdlSub
