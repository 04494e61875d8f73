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
#include "measure/frmOption.h"
#include "objects/dlgInput.h"
#include "output/dlgPrinter.h"
#include "properties/frmPropaty.h"
#include "tests/editor/editorfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QXmlStreamReader>
#include <QtTest>

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
            QVERIFY2(xml.name() != QLatin1String("script") && !attributes.hasAttribute(QStringLiteral("src")),
                     "the page loads nothing");
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
    // longitude/latitude calibration and the folder change's first question.
    void statedLimitsHold()
    {
        GE_tpPrint = typPrint{};
        frmEdit& e = Fixture::open();
        const QString text = QString::fromUtf8(page());
        const auto states = [&text](const QString& sentence) {
            if (!text.contains(sentence))
                qWarning("not on the page: %s", qPrintable(sentence));
            return text.contains(sentence);
        };
        QVERIFY(states(QStringLiteral("『%1』の後には何も表示されません").arg(e.stsBar->Panels(4).Text())));

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
        for (int i = 0; i <= options.lblPara.UBound(); ++i)
            QVERIFY(states(QStringLiteral("『%1』").arg(options.lblPara(i).ToolTipText())));
        QVERIFY(states(QStringLiteral("<code>%1</code>").arg(e.fncPix_KeiIdoText(0, 0).simplified())));

        (*m_session.quiet)->answerMsgBox(vb::vbNo);
        std::make_unique<frmMDB>()->cmdSelect_Click();
        QVERIFY(states(QStringLiteral("『%1』に答えて").arg((*m_session.quiet)->last().prompt)));
    }
};

QTEST_MAIN(TestHelpPage)
#include "tst_helppage.moc"
