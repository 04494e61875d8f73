#pragma once
// What the program knows of itself and of the machine: its folder, title,
// version, whether another instance runs, and the screen's work area.

#include <QRect>
#include <QString>

namespace platform::app {

// The program folder: the executable's, unless a test set another.
QString path();
void setPath(const QString& folder);  // tests

QString title();  // "ねむのきⅡ"
int major();
int minor();
int revision();

// The help file the help commands open.
QString helpFile();
void setHelpFile(const QString& file);

// Opens the help file in the desktop's viewer. Where the desktop cannot
// show it (no browser, no file), a box names the file instead.
void showHelp();

// True when another instance holds the program folder's lock: a file of the
// program folder, shared by every user who starts the program from there;
// when the program folder allows no new file, a file of the user's runtime
// folder or of the system's temporary folder, this user's alone (the user's
// id is in its name). The first call takes the lock for this process; the
// operating system releases it when the process ends, however it ends.
// Another user's link at the lock's name is never followed, nor is the
// lock then taken elsewhere (two runs from one folder would follow): true
// too, with the link's path in `foreignLink`. Where the run that holds the
// lock is another user's, `otherUser` gets that user's name (as the system
// lists the lock's holder; "" where it can't tell, and for the user's own).
bool prevInstance(QString* foreignLink = nullptr, QString* otherUser = nullptr);
void releaseInstanceLock();  // tests

// Loads Qt's own Japanese texts, so that its standard dialogs and buttons
// speak the program's language; false when they are not installed (they
// then stay English). Needs the application object.
bool loadQtTranslations();

// True when an installed font covers Japanese (the program's captions and
// messages); true as well without a GUI application, which shows nothing.
bool japaneseFontInstalled();

// Makes a write past the process's file-size limit an ordinary write error
// (EFBIG) instead of the signal that would end the program: the program's
// first act, before anything is written.
void takeSizeLimitAsWriteError();

// The platform identifier the program records: 2, as the NT family reports.
long platformId();

// The screen's work area (the screen less panels) in twips, 15 twips a pixel.
QRect workAreaTwips();

}  // namespace platform::app

namespace platform {
// The fixed logical screen: 96 dots per inch, 15 twips per pixel.
constexpr int TwipsPerPixel = 15;
constexpr int twipsToPixels(double twips) { return int(twips / TwipsPerPixel + (twips >= 0 ? 0.5 : -0.5)); }
constexpr int pixelsToTwips(int pixels) { return pixels * TwipsPerPixel; }
}  // namespace platform
