#include "app/mdlFileAccess.h"

#include "app/globals.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/inifile.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <algorithm>

namespace mdlFileAccess {

namespace {

QString indexedKey(const char* stem, int i) { return QString::fromLatin1(stem) + QString::number(i) + u')'; }

// The platform hands a value out up to its first NUL.
QString cutAtNul(QString value)
{
    const qsizetype nul = value.indexOf(QChar(u'\0'));
    if (nul >= 0)
        value.truncate(nul);
    return value;
}

// A factor that is no number or too large for one reads as a missing one: 0.
double factor(const platform::ini::Snapshot& ini, const QString& section, const char* stem, int i)
{
    try {
        return vb::Val(cutAtNul(ini.value(section, indexedKey(stem, i))));
    } catch (const vb::Error&) {
        return 0;
    }
}

// With a factor of 0 a table turns every length or area into 0 or a
// division error, and without its names the unit buttons and the results'
// labels show no unit: the user is told once which sections to mend.
void subCheck_Factors(const QString& path)
{
    struct Table {
        const QString& section;
        std::initializer_list<const std::array<double, UnitCount>*> factors;
    };
    const Table tables[] = {
        {IniSecFactorMM, {&GE_dblChgMMToO}},
        {IniSecFactorDistance, {&GE_dblChgOToMD, &GE_dblChgMToOD}},
        {IniSecFactorArea, {&GE_dblChgOToMS, &GE_dblChgMToOS}},
    };
    QString damaged;
    for (const Table& table : tables) {
        bool zero = false;
        for (const auto* factors : table.factors)
            zero = zero || std::find(factors->begin(), factors->end(), 0.0) != factors->end();
        if (zero)
            damaged += u'[' + table.section + u']' + vb::vbCrLf;
    }
    QString unnamed;
    for (const auto& [section, names] : {std::pair{&IniSecUnitDistance, &GE_strUnitDistance},
                                         std::pair{&IniSecUnitArea, &GE_strUnitArea}}) {
        if (std::any_of(names->begin(), names->end(), [](const QString& name) { return name.trimmed().isEmpty(); }))
            unnamed += u'[' + *section + u']' + vb::vbCrLf;
    }
    if (damaged.isEmpty() && unnamed.isEmpty())
        return;
    QString text = QStringLiteral("初期設定ファイル") + vb::vbCrLf + path + vb::vbCrLf;
    if (!damaged.isEmpty())
        text += QStringLiteral("の次のセクションに、正しくない換算係数（数値でない、または 0）があります。") + vb::vbCrLf + damaged
            + QStringLiteral("その単位では長さや面積を正しく計算できません。") + vb::vbCrLf;
    if (!unnamed.isEmpty())
        text += QStringLiteral("の次のセクションに、単位名のない単位があります。") + vb::vbCrLf + unnamed
            + QStringLiteral("その単位のボタンと結果には、単位名が表示されません。") + vb::vbCrLf;
    vb::MsgBox(text + QStringLiteral("インストールをやり直してください。") + vb::vbCrLf,
               vb::vbExclamation + vb::vbOKOnly, QStringLiteral("初期設定ファイル異常"));
}

}  // namespace

QString fncInitIniPath() { return platform::files::join(platform::app::path(), IniFileName); }

QString fncSampleFolder() { return platform::files::join(platform::app::path(), QStringLiteral("MDB")); }

QString fncDbFolderSetting(const QString& folder)
{
    using platform::files::canonicalPath;
    return canonicalPath(folder) == canonicalPath(fncSampleFolder()) ? QString() : folder;
}

QString fncGetIni(const QString& section, const QString& key, const QString& iniPath)
{
    return cutAtNul(platform::ini::read(iniPath, section, key, QString()));
}

bool fncPutIni(const QString& section, const QString& key, const QString& value, const QString& iniPath)
{
    if (key.isEmpty() || value.isEmpty())
        return false;
    return platform::ini::write(iniPath, section, key, value);
}

void subTell_IniNotWritten(const QString& iniPath, const QString& setting, const QString& kept)
{
    vb::MsgBox(QStringLiteral("初期設定ファイル") + vb::vbCrLf + iniPath + vb::vbCrLf + QStringLiteral("に") + setting
                   + QStringLiteral("を書き込めませんでした。次回の起動では前回の") + kept + QStringLiteral("が使われます。"),
               vb::vbExclamation + vb::vbOKOnly, QStringLiteral("初期設定ファイル異常"));
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

    // One reading of the file answers every key.
    const platform::ini::Snapshot ini(path);
    auto text = [&ini](const QString& section, const QString& key) { return cutAtNul(ini.value(section, key)); };
    GE_strDB_Folda_Path = text(IniSecFolder, IniKeyDbFolder);
    GE_strPict_Drive = text(IniSecFolder, IniKeyPictDrive);
    GE_strPict_Folda = text(IniSecFolder, IniKeyPictFolder);
    GE_strFile_Name = text(IniSecMdb, IniKeyFileName);

    for (int i = 0; i < UnitCount; ++i) {
        GE_strUnitDistance[i] = text(IniSecUnitDistance, indexedKey("UnitDistance(", i)) + u' ';
        GE_strUnitArea[i] = text(IniSecUnitArea, indexedKey("UnitArea(", i)) + u' ';
    }
    for (int i = 0; i < UnitCount; ++i)
        GE_dblChgMMToO[i] = factor(ini, IniSecFactorMM, "GE_dblChgMMToO(", i);
    for (int i = 0; i < UnitCount; ++i) {
        GE_dblChgOToMD[i] = factor(ini, IniSecFactorDistance, "GE_dblChgOToMD(", i);
        GE_dblChgMToOD[i] = factor(ini, IniSecFactorDistance, "GE_dblChgMToOD(", i);
        GE_dblChgOToMS[i] = factor(ini, IniSecFactorArea, "GE_dblChgOToMS(", i);
        GE_dblChgMToOS[i] = factor(ini, IniSecFactorArea, "GE_dblChgMToOS(", i);
    }
    subCheck_Factors(path);
    return true;
}

}  // namespace mdlFileAccess
