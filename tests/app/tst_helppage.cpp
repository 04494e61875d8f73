// The help page: it parses, its links land, and every caption it quotes in
// 「」 is one the program shows in a menu, on a button or on a tab, so the
// guide cannot drift from the windows it describes.

#include "app/frmMain.h"
#include "app/frmVerInfo.h"
#include "library/dlgBrowesForFolder.h"
#include "library/dlgDB.h"
#include "library/dlgFolder.h"
#include "library/dlgPassInput.h"
#include "library/dlgPassWord.h"
#include "library/frmMDB.h"
#include "library/frmNew.h"
#include "library/frmThumbnail.h"
#include "measure/calibration.h"
#include "measure/frmOption.h"
#include "objects/dlgInput.h"
#include "output/dlgPrinter.h"
#include "properties/frmPropaty.h"
#include "tests/editor/editorfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QToolBar>
#include <QXmlStreamReader>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace editortest;

namespace {

// A caption as the user reads it: without its access key "(&F)" or "&".
QString readable(QString text)
{
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)"));
    text.remove(accessKey);
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

void collect(QObject* window, QSet<QString>& captions)
{
    // "画像の取込(&N)..." is quoted as 「画像の取込」 as well.
    const auto add = [&captions](const QString& text) {
        QString caption = readable(text);
        captions.insert(caption);
        while (caption.endsWith(QLatin1Char('.')))
            caption.chop(1);
        captions.insert(caption);
    };
    for (QAction* action : window->findChildren<QAction*>()) {
        add(action->text());
        add(action->toolTip());
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        add(button->text());
    for (QGroupBox* box : window->findChildren<QGroupBox*>())
        add(box->title());
    for (QTabBar* tabs : window->findChildren<QTabBar*>()) {
        for (int k = 0; k < tabs->count(); ++k)
            add(tabs->tabText(k));
    }
    for (QComboBox* list : window->findChildren<QComboBox*>()) {
        for (int k = 0; k < list->count(); ++k)
            add(list->itemText(k));
    }
}

// The captions of a new window of each kind, each made and dropped in turn.
template <class... Windows>
void collectNew(QSet<QString>& captions)
{
    ([&captions] { collect(std::make_unique<Windows>().get(), captions); }(), ...);
}

QByteArray page()
{
    QFile file(testsupport::sourceDir() + QStringLiteral("/resources/help.html"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("help.html not readable");
    return file.readAll();
}

// Whether the page says `sentence` word for word; one it doesn't is named.
bool states(const QString& sentence)
{
    const bool said = QString::fromUtf8(page()).contains(sentence);
    if (!said)
        qWarning("not on the page: %s", qPrintable(sentence));
    return said;
}

// The pictures the page shows, as its <img src> names them.
QStringList pictures()
{
    QStringList names;
    QXmlStreamReader xml(page());
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("img"))
            names << xml.attributes().value(QStringLiteral("src")).toString();
    }
    return names;
}

// The program folder of this build, where the page and its pictures lie.
QDir programFolder()
{
    return QDir(testsupport::programDir());
}

}  // namespace

class TestHelpPage : public QObject {
    Q_OBJECT
    Session m_session;

private slots:
    void init() { QVERIFY(m_session.begin()); }
    void cleanup() { m_session.end(); }

    // Well-formed, self-contained, and each "#x" names an id on the page;
    // the start window's two links need theirs.
    void parsesAndLinksLand()
    {
        QXmlStreamReader xml(page());
        QSet<QString> ids;
        QStringList targets;
        int sections = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attributes = xml.attributes();
            // Nothing but the pictures beside it, each with a text for the picture.
            QVERIFY2(xml.name() != QLatin1String("script")
                         && (!attributes.hasAttribute(QStringLiteral("src"))
                             || (xml.name() == QLatin1String("img")
                                 && QFileInfo(attributes.value(QStringLiteral("src")).toString()).fileName()
                                     == attributes.value(QStringLiteral("src"))
                                 && !attributes.value(QStringLiteral("alt")).isEmpty())),
                     "the page loads nothing but its pictures");
            if (attributes.hasAttribute(QStringLiteral("id")))
                QVERIFY2(!ids.contains(attributes.value(QStringLiteral("id")).toString()), "an id twice");
            ids.insert(attributes.value(QStringLiteral("id")).toString());
            if (xml.name() == QLatin1String("h2"))
                ++sections;
            const QString href = attributes.value(QStringLiteral("href")).toString();
            if (attributes.hasAttribute(QStringLiteral("href"))) {
                QVERIFY2(href.startsWith(QLatin1Char('#')), qPrintable(href));
                targets << href.mid(1);
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString() + QStringLiteral(" at line %1").arg(xml.lineNumber())));
        QVERIFY(sections >= 11);
        QVERIFY(targets.size() >= sections);
        for (const QString& target : targets)
            QVERIFY2(ids.contains(target), qPrintable(target));
        QVERIFY(ids.contains(QStringLiteral("works")) && ids.contains(QStringLiteral("home")));
    }

    // Every picture the page names lies beside it in the program folder, and
    // every picture drawn there for it is named; each window's picture is
    // that window as it is shown, at its size.
    void picturesAreTheWindows()
    {
        const QDir folder = programFolder();
        const QStringList named = pictures();
        QVERIFY(!named.isEmpty());
        for (const QString& name : named)
            QVERIFY2(folder.exists(name), qPrintable(name));
        const QStringList drawn = folder.entryList({QStringLiteral("help-*.png")}, QDir::Files);
        for (const QString& name : drawn)
            QVERIFY2(named.contains(name), qPrintable(name));
        const auto sizeOf = [&folder](const QString& name) { return QImage(folder.filePath(name)).size(); };

        GE_tpPrint = typPrint{};
        frmEdit& e = Fixture::open();
        e.show();
        QCOMPARE(sizeOf(QStringLiteral("help-editor-area.png")), e.size());
        int buttons = 0;
        for (int i = 1; i <= e.Toolbar1->ButtonCount(); ++i) {
            platform::ToolbarButton& button = e.Toolbar1->Buttons(i);
            if (button.Key().isEmpty())
                continue;
            const QString name = QStringLiteral("help-tool-%1.png").arg(button.Key());
            QVERIFY2(named.contains(name), qPrintable(name));
            QCOMPARE(sizeOf(name), e.Toolbar1->toolBar()->widgetForAction(button.action())->size());
            ++buttons;
        }
        QCOMPARE(buttons, 14);
        frmOption& options = platform::Instance<frmOption>::get();
        options.show();
        for (const char* tab : {"general", "tilt", "distance", "lonlat"})
            QCOMPARE(sizeOf(QStringLiteral("help-option-%1.png").arg(QLatin1String(tab))), options.size());
        options.hide();
        dlgPrinter print;
        print.load();
        print.show();
        QCOMPARE(sizeOf(QStringLiteral("help-print.png")), print.size());
        print.unload();
    }

    void quotedCaptionsExist()
    {
        GE_tpPrint = typPrint{};
        QSet<QString> captions;
        collect(&Fixture::open(), captions);
        frmMain start;
        collect(&start, captions);
        collectNew<frmOption>(captions);
        // The sheet's lists are filled by its load.
        auto sheet = std::make_unique<frmPropaty>();
        sheet->load();
        collect(sheet.get(), captions);
        sheet->unload();
        collectNew<frmMDB, frmNew, dlgDB, frmThumbnail, frmVerInfo, dlgInput, dlgPassWord, dlgPassInput, dlgFolder,
                   dlgBrowesForFolder, dlgPrinter>(captions);

        static const QRegularExpression quoted(QStringLiteral("「([^」]*)」"));
        const QString text = QString::fromUtf8(page());
        QStringList missing;
        for (auto match = quoted.globalMatch(text); match.hasNext();) {
            const QString caption = match.next().captured(1);
            if (!captions.contains(caption) && !missing.contains(caption))
                missing << caption;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }

    // What the page says of the program's states and limits is what it does:
    // a fresh drawing's paper panel, the one tool that leaves the options
    // command on, the toolbar's smallest zoom, the tilt boxes' length, the
    // names of the conversion values, the position readout without a
    // longitude/latitude calibration and beyond any angle, a pair of points
    // that puts the picture beyond the earth and the folder change's first
    // question.
    void statedLimitsHold()
    {
        GE_tpPrint = typPrint{};
        frmEdit& e = Fixture::open();
        QCOMPARE(e.stsBar->Panels(4).Text(), QStringLiteral("用紙 : A4"));
        QVERIFY(states(QStringLiteral("『用紙 : 』の後には、上書き保存した図面でも、その用紙の名前が表示されます")));

        const auto press = [&e](const char* key) { e.Toolbar1->Buttons(QString::fromLatin1(key)).action()->trigger(); };
        QStringList enabling;
        for (const char* key : {"select", "scale", "Line", "shape", "InputMoji", "PlaceInfo"}) {
            press(key);
            if (e.mnuToolOpt->Enabled())
                enabling << QString::fromLatin1(key);
        }
        QCOMPARE(enabling, QStringList{QStringLiteral("select")});
        QVERIFY(states(QStringLiteral("「%1」は、ツールバーの「選択モード」のときだけ使えます")
                           .arg(readable(e.mnuToolOpt->Caption()).remove(QLatin1Char('.')))));

        for (int k = 0; k < 30; ++k)
            press("reduce");
        QVERIFY(states(QStringLiteral("%1 % まで縮小できます").arg(qRound(GE_sngZoom * 100))));

        frmOption& options = platform::Instance<frmOption>::get();
        QVERIFY(states(QStringLiteral("%1 文字までしか入力できない").arg(options.txtHosei(0).MaxLength())));
        QVERIFY(options.txtIdo1(0).MaxLength() == options.txtIdo1(1).MaxLength());
        QVERIFY(states(QStringLiteral("経度の度は %1 桁、緯度の度と分は %2 桁、秒は %3 桁")
                           .arg(options.txtKeido1(0).MaxLength())
                           .arg(options.txtIdo1(0).MaxLength())
                           .arg(options.txtIdo1(2).MaxLength())));
        for (int i = 0; i <= options.lblPara.UBound(); ++i)
            QVERIFY(states(QStringLiteral("『%1』").arg(options.lblPara(i).ToolTipText())));
        QVERIFY(states(QStringLiteral("<code>%1</code>").arg(e.fncPix_KeiIdoText(0, 0).simplified())));
        // Two points 1 mm apart with 40 degrees of longitude between them.
        const char* points[] = {"168.6211", "667.6453", "169.4211", "667.0453"};
        for (int i = 0; i < 4; ++i)
            (i < 2 ? options.txtPict_mm1 : options.txtPict_mm2)(i % 2).setText(QString::fromLatin1(points[i]));
        const char* angles[4][3] = {{"139", "45", "30"}, {"35", "40", "30"}, {"179", "45", "30"}, {"35", "40", "50"}};
        for (int row = 0; row < 4; ++row) {
            for (int k = 0; k < 3; ++k)
                options.angleBox(row, k).setText(QString::fromLatin1(angles[row][k]));
        }
        // Refused with the box the page quotes.
        const int shown = (*m_session.quiet)->boxes.size();
        options.cmdCnv_Click();
        QCOMPARE((*m_session.quiet)->boxes.size(), shown + 1);
        QVERIFY(states(QStringLiteral("『%1』").arg((*m_session.quiet)->last().prompt.section(vb::vbCrLf, 0, 0))));
        typDMS dms;
        QVERIFY(states(QStringLiteral("<code>%1</code>").arg(mdlSub::fncSec_ToDMS(1e12, dms))));

        (*m_session.quiet)->answerMsgBox(vb::vbNo);
        std::make_unique<frmMDB>()->cmdSelect_Click();
        QVERIFY(states(QStringLiteral("『%1』に答えて").arg((*m_session.quiet)->last().prompt)));
    }

    // What the page says a refused write shows: the manager's refusals of a
    // name whose journal is left and of a file another program holds, and,
    // under a file-size limit below the database file's size, a change with
    // no room for its journal (the one box a refused save shows) and a
    // commit the file can't grow for.
    void statedRefusalsHold()
    {
        frmEdit& e = Fixture::open();
        // The manager on the folder of the file in use, which it closes and opens again.
        const QString folder = QFileInfo(GE_objConnection->path()).path();
        GE_strDB_Folda_Path = folder;
        GE_strFile_Name = QFileInfo(GE_objConnection->path()).fileName();
        const QString other = testsupport::copyTemplate(folder + QStringLiteral("/a.mdb"));
        QFile(folder + QStringLiteral("/b.mdb-journal")).open(QIODevice::WriteOnly);
        auto manager = std::make_unique<frmMDB>();
        manager->load();
        for (int i = 0; i < manager->fileList->ListCount(); ++i) {
            if (manager->fileList->List(i) == QLatin1String("a.mdb"))
                manager->fileList->setListIndex(i);
        }
        manager->fileList_MouseDown(1, 0, 0, 0);
        const auto lastLine = [this] { return (*m_session.quiet)->last().prompt.section(vb::vbCrLf, 1); };
        (*m_session.quiet)->answerMsgBox(vb::vbYes);
        (*m_session.quiet)->answerInput(QStringLiteral("b"));
        manager->popReNmae_Click();
        QVERIFY(states(QStringLiteral("『%1』と表示されて").arg(lastLine())));
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t holder = ::fork();
        if (holder == 0) {  // another program reading the file in its transaction
            platform::db::Connection reader;
            reader.open(mdlDB::fncConnectionString(other));
            reader.beginTrans();
            reader.openRecordset(QStringLiteral("SELECT * FROM tSystem")).close();
            const char word = 1;
            if (::write(ready[1], &word, 1) == 1)
                ::pause();
            ::_exit(0);
        }
        char word = 0;
        const bool holding = ::read(ready[0], &word, 1) == 1;
        manager->mnuCompact_Click();
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        ::close(ready[0]), ::close(ready[1]);
        QVERIFY(holding);
        QVERIFY(states(QStringLiteral("ファイルの場所と『%1』が表示され").arg(lastLine())));
        manager->unload();

        const qint64 size = QFileInfo(GE_objConnection->path()).size();
        QCOMPARE(testsupport::withFileSizeLimit(size / 2, [&] {
            platform::ScopedScriptedUi ui;
            ui->answerMsgBox(vb::vbYes);
            ui->answerMsgBox(vb::vbCancel);
            e.mnuFileSavePrj_Click();
            const auto room = ui->boxes.value(1);
            // The box that says what to do is the last: the statement's
            // failure and the save's own box would only repeat it.
            const bool told = states(QStringLiteral("『%1』（見出し『%2』）").arg(room.prompt.section(vb::vbCrLf, 0, 0), room.title))
                && ui->boxes.size() == 2 && states(QStringLiteral("ほかのメッセージは続きません"));
            // With the journal's room the change goes in, but the file can't grow at the commit.
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = rlim_t(size * 2);
            ::setrlimit(RLIMIT_FSIZE, &limit);
            GE_objConnection->execute(QStringLiteral("INSERT INTO tPrint (strNo, strName) VALUES ('big', ?)"),
                                      {QString(int(size), QLatin1Char('x'))});
            GE_booDbUpdate = true;
            ui->answerMsgBox(vb::vbYes);
            ui->answerMsgBox(vb::vbCancel);
            return told && mdlDB::fncDbClose() == -1
                    && states(QStringLiteral("『%1』と表示されます").arg(ui->last().prompt.section(vb::vbCrLf, 0, 0)))
                ? 0
                : 1;
        }), 0);
    }
};

QTEST_MAIN(TestHelpPage)
#include "tst_helppage.moc"
