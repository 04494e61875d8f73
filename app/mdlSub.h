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

// Installs the Qt dialogs, runs Main and then the event loop while the
// start window lives.
int run(QApplication& application);

}  // namespace mdlSub
