#pragma once
// Reading and writing ini files, and loading the settings file Init.ini that
// lies beside the program into the program-wide settings.

#include <QString>

namespace mdlFileAccess {

// Init.ini: its name and the sections and keys the program writes back.
inline const QString IniFileName = QStringLiteral("Init.ini");
inline const QString IniSecFolder = QStringLiteral("フォルダPath");
inline const QString IniKeyDbFolder = QStringLiteral("DB_Folda_Path");
inline const QString IniKeyPictDrive = QStringLiteral("Pict_Drive");
inline const QString IniKeyPictFolder = QStringLiteral("Pict_Folda");
inline const QString IniSecMdb = QStringLiteral("MDB");
inline const QString IniKeyFileName = QStringLiteral("File_Name");
inline const QString IniSecUnitDistance = QStringLiteral("距離単位");
inline const QString IniSecUnitArea = QStringLiteral("面積単位");
inline const QString IniSecFactorMM = QStringLiteral("距離換算係数mm");
inline const QString IniSecFactorDistance = QStringLiteral("距離換算係数");
inline const QString IniSecFactorArea = QStringLiteral("面積換算係数");

// The full path of Init.ini in the program folder.
QString fncInitIniPath();

// The sample database folder, "MDB" in the program folder: what an empty
// DB_Folda_Path names, so that a copy of the program folder uses its own.
QString fncSampleFolder();

// The DB_Folda_Path that keeps `folder`: "" for the program's own sample
// folder, the folder itself for any other.
QString fncDbFolderSetting(const QString& folder);

// The value of `key` in `section`, up to its first NUL; "" when the key or
// the section is missing.
QString fncGetIni(const QString& section, const QString& key, const QString& iniPath);

// Writes the entry when both `key` and `value` are non-empty; true when the
// file was written. An empty key or value writes nothing and gives false, so
// an entry is never emptied this way.
bool fncPutIni(const QString& section, const QString& key, const QString& value, const QString& iniPath);

// Tells the user that `setting` could not be written to the Init.ini at
// `iniPath`, so the next start takes `kept` as it was before.
void subTell_IniNotWritten(const QString& iniPath, const QString& setting, const QString& kept);

// Loads every setting of Init.ini into the GE_ settings, reading the file
// once. A factor that is no number (or too large for one) reads as 0; a
// factor section holding a 0 is named to the user in one warning, and the
// start goes on. False, after telling the user, when Init.ini is missing.
bool fncReadInitIni();

}  // namespace mdlFileAccess
