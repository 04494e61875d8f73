#include "app/mdlFileAccess.h"

#include "app/globals.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/inifile.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

namespace mdlFileAccess {

namespace {

QString indexedKey(const char* stem, int i) { return QString::fromLatin1(stem) + QString::number(i) + u')'; }

double factor(const QString& section, const char* stem, int i, const QString& iniPath)
{
    return vb::Val(fncGetIni(section, indexedKey(stem, i), iniPath));
}

}  // namespace

QString fncInitIniPath() { return platform::files::join(platform::app::path(), IniFileName); }

QString fncGetIni(const QString& section, const QString& key, const QString& iniPath)
{
    QString value = platform::ini::read(iniPath, section, key, QString());
    const qsizetype nul = value.indexOf(QChar(u'\0'));
    if (nul >= 0)
        value.truncate(nul);
    return value;
}

bool fncPutIni(const QString& section, const QString& key, const QString& value, const QString& iniPath)
{
    if (key.isEmpty() || value.isEmpty())
        return false;
    return platform::ini::write(iniPath, section, key, value);
}

bool fncReadInitIni()
{
    const QString path = fncInitIniPath();
    if (!platform::files::fileExists(path)) {
        vb::MsgBox(QStringLiteral("初期設定ファイル") + vb::vbCrLf + path + vb::vbCrLf +
                       QStringLiteral("が見つかりませんでした。") + vb::vbCrLf +
                       QStringLiteral("インストールをやり直してください。") + vb::vbCrLf,
                   vb::vbCritical + vb::vbOKOnly, QStringLiteral("初期設定ファイル異常"));
        return false;
    }

    GE_strDB_Folda_Path = fncGetIni(IniSecFolder, IniKeyDbFolder, path);
    GE_strPict_Drive = fncGetIni(IniSecFolder, IniKeyPictDrive, path);
    GE_strPict_Folda = fncGetIni(IniSecFolder, IniKeyPictFolder, path);
    GE_strFile_Name = fncGetIni(IniSecMdb, IniKeyFileName, path);

    for (int i = 0; i < UnitCount; ++i) {
        GE_strUnitDistance[i] = fncGetIni(IniSecUnitDistance, indexedKey("UnitDistance(", i), path) + u' ';
        GE_strUnitArea[i] = fncGetIni(IniSecUnitArea, indexedKey("UnitArea(", i), path) + u' ';
    }
    for (int i = 0; i < UnitCount; ++i)
        GE_dblChgMMToO[i] = factor(IniSecFactorMM, "GE_dblChgMMToO(", i, path);
    for (int i = 0; i < UnitCount; ++i) {
        GE_dblChgOToMD[i] = factor(IniSecFactorDistance, "GE_dblChgOToMD(", i, path);
        GE_dblChgMToOD[i] = factor(IniSecFactorDistance, "GE_dblChgMToOD(", i, path);
        GE_dblChgOToMS[i] = factor(IniSecFactorArea, "GE_dblChgOToMS(", i, path);
        GE_dblChgMToOS[i] = factor(IniSecFactorArea, "GE_dblChgMToOS(", i, path);
    }
    return true;
}

}  // namespace mdlFileAccess
