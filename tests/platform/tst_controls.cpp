// Buttons, text boxes, lists and keys: the order and number of their
// events, as the program's handlers rely on them.

#include "platform/controls.h"
#include "platform/ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {

// A shown, active window: focus changes and shortcuts need one.
struct Window {
    QWidget widget;
    Window()
    {
        widget.resize(400, 300);
        widget.show();
        widget.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&widget));
    }
};

}  // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { clearForcedKeys(); }

    void lostFocusRunsBeforeTheClickOfTheButtonClicked()
    {
        Window window;
        TextBox txtScale(QStringLiteral("txtScale"), &window.widget);
        CommandButton cmdOK(QStringLiteral("cmdOK"), &window.widget);
        txtScale.Move(0, 0, 1500, 300);
        cmdOK.Move(0, 600, 1500, 375);
        QStringList order;
        txtScale.LostFocus = [&] { order << QStringLiteral("LostFocus"); };
        txtScale.GotFocus = [&] { order << QStringLiteral("GotFocus"); };
        cmdOK.Click = [&] { order << QStringLiteral("Click"); };
        txtScale.SetFocus();
        QTest::mouseClick(cmdOK.button(), Qt::LeftButton);
        QCOMPARE(order, (QStringList{"GotFocus", "LostFocus", "Click"}));
    }

    void keyPressCanSwallowOrChangeTheKey()
    {
        Window window;
        TextBox txt(QStringLiteral("txtNo"), &window.widget);
        txt.SetFocus();
        QList<int> codes;
        txt.KeyDown = [&](int& keyCode, int) { codes << keyCode; };
        txt.KeyPress = [](int& keyAscii) {
            if (keyAscii == 'x')
                keyAscii = 0;  // swallowed
            else if (keyAscii >= 'a' && keyAscii <= 'z')
                keyAscii -= 32;  // typed in capitals
        };
        QTest::keyClicks(txt.lineEdit(), QStringLiteral("axb"));
        QCOMPARE(txt.Text(), QStringLiteral("AB"));
        QCOMPARE(codes, (QList<int>{'A', 'X', 'B'}));
    }

    void enterSwallowedInKeyPressMovesNowhere()
    {
        // The number boxes take Enter themselves and pass the focus on.
        Window window;
        TextBox txtHojoLen(QStringLiteral("txtHojoLen"), &window.widget);
        CheckBox chkSnap(QStringLiteral("chkSnap"), &window.widget);
        chkSnap.Move(0, 600, 1500, 300);
        int enters = 0;
        txtHojoLen.KeyPress = [&](int& keyAscii) {
            if (keyAscii == 13) {
                keyAscii = 0;
                ++enters;
                chkSnap.SetFocus();
            }
        };
        txtHojoLen.SetFocus();
        QTest::keyClick(txtHojoLen.lineEdit(), Qt::Key_Return);
        QCOMPARE(enters, 1);
        QCOMPARE(QApplication::focusWidget(), chkSnap.checkBox());
        // Tab and Shift+Tab move the focus on and back, past the key handlers.
        int keys = 0;
        txtHojoLen.KeyDown = [&](int&, int) { ++keys; };
        QTest::keyClick(chkSnap.checkBox(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), txtHojoLen.lineEdit());
        QTest::keyClick(txtHojoLen.lineEdit(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), chkSnap.checkBox());
        QTest::keyClick(chkSnap.checkBox(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), txtHojoLen.lineEdit());
        QCOMPARE(enters + keys, 1);
    }

    void keyPreviewSeesKeysBeforeTheControl()
    {
        Window window;
        TextBox txt(QStringLiteral("txt"), &window.widget);
        KeyPreview preview(&window.widget);
        QStringList order;
        preview.KeyDown = [&](int& keyCode, int shift) {
            order << QStringLiteral("form %1/%2").arg(keyCode).arg(shift);
            if (keyCode == vb::vbKeyLeft)
                keyCode = 0;  // the form's nudge takes the arrow keys
        };
        preview.KeyUp = [&](int& keyCode, int) { order << QStringLiteral("form up %1").arg(keyCode); };
        txt.KeyDown = [&](int& keyCode, int) { order << QStringLiteral("txt %1").arg(keyCode); };
        txt.SetFocus();
        QTest::keyClick(txt.lineEdit(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(txt.lineEdit(), Qt::Key_Right);
        // The Shift key itself comes first, to both.
        QCOMPARE(order, (QStringList{"form 16/1", "txt 16", "form 37/1", "form up 37", "form up 16", "form 39/0",
                                     "txt 39", "form up 39"}));
        // A held key's repeated releases and the release of a key with no
        // code raise no KeyUp: a held arrow's nudge is committed once.
        order.clear();
        QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(txt.lineEdit(), &repeated);
        QTest::keyRelease(txt.lineEdit(), Qt::Key_Plus);
        QCOMPARE(order, QStringList());
    }

    void focusLeavingTheWindowIsNoLostFocus()
    {
        // Switching to another window and back keeps the focus in the box.
        Window window;
        TextBox txt(QStringLiteral("txtScale"), &window.widget);
        int lost = 0, got = 0;
        txt.LostFocus = [&] { ++lost; };
        txt.GotFocus = [&] { ++got; };
        txt.SetFocus();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window.widget.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window.widget));
        QCOMPARE(got, 1);
        QCOMPARE(lost, 0);
    }

    void previewCanSwallowOrChangeTypedCharacters()
    {
        Window window;
        TextBox txt(QStringLiteral("txt"), &window.widget);
        KeyPreview preview(&window.widget);
        QList<int> seenByBox;
        preview.KeyPress = [](int& keyAscii) {
            if (keyAscii == '-')
                keyAscii = 0;
            else if (keyAscii == ',')
                keyAscii = '.';
        };
        txt.KeyPress = [&](int& keyAscii) { seenByBox << keyAscii; };
        txt.SetFocus();
        QTest::keyClicks(txt.lineEdit(), QStringLiteral("1-2,5"));
        QCOMPARE(txt.Text(), QStringLiteral("12.5"));
        QCOMPARE(seenByBox, (QList<int>{'1', '2', '.', '5'}));
        preview.enabled = false;
        QTest::keyClicks(txt.lineEdit(), QStringLiteral("-"));
        QCOMPARE(txt.Text(), QStringLiteral("12.5-"));
    }

    void failingKeyHandlerIsReportedAndTheKeyGoesOn()
    {
        ScopedScriptedUi ui;
        Window window;
        TextBox txt(QStringLiteral("txtHojoLen"), &window.widget);
        txt.KeyPress = [](int&) { vb::raise(vb::errTypeMismatch); };
        txt.SetFocus();
        QTest::keyClicks(txt.lineEdit(), QStringLiteral("7"));
        QCOMPARE(txt.Text(), QStringLiteral("7"));
        QCOMPARE(ui->count(), 1);
        QVERIFY(ui->last().prompt.startsWith(QStringLiteral("txtHojoLen_KeyPress():ｴﾗｰ番号 13 ")));
    }

    void disabledDefaultButtonIgnoresEnter()
    {
        Window window;
        TextBox txt(QStringLiteral("txtNo"), &window.widget);
        CommandButton ok(QStringLiteral("cmdOK"), &window.widget);
        CommandButton other(QStringLiteral("cmdOther"), &window.widget);
        other.setDefault(true);
        ok.setDefault(true);  // one default per window
        QVERIFY(!other.Default());
        int clicks = 0;
        ok.Click = [&] { ++clicks; };
        other.Click = [&] { clicks += 100; };
        ok.setEnabled(false);
        txt.SetFocus();
        QTest::keyClick(txt.lineEdit(), Qt::Key_Return);
        ok.setEnabled(true);
        QTest::keyClick(txt.lineEdit(), Qt::Key_Return);
        QCOMPARE(clicks, 1);
        QVERIFY_THROWS_EXCEPTION(vb::Error, [&] {
            ok.setVisible(false);
            ok.SetFocus();
        }());
    }

    void keyStateFollowsPressesAndCanBeForced()
    {
        Window window;
        TextBox txt(QStringLiteral("txt"), &window.widget);
        txt.SetFocus();
        QTest::keyPress(txt.lineEdit(), Qt::Key_Escape);
        QVERIFY(keyIsDown(vb::vbKeyEscape));
        QTest::keyRelease(txt.lineEdit(), Qt::Key_Escape);
        QVERIFY(!keyIsDown(vb::vbKeyEscape));
        setKeyDown(vb::vbKeyShift, true);
        QVERIFY(keyIsDown(vb::vbKeyShift));
        clearForcedKeys();
        QVERIFY(!keyIsDown(vb::vbKeyShift));
    }

    void defaultAndCancelButtonsTakeEnterAndEsc()
    {
        Window window;
        TextBox txt(QStringLiteral("txtName"), &window.widget);
        CommandButton ok(QStringLiteral("cmdOK"), &window.widget);
        CommandButton cancel(QStringLiteral("cmdCancel"), &window.widget);
        ok.setDefault(true);
        cancel.setCancel(true);
        QStringList clicks;
        ok.Click = [&] { clicks << QStringLiteral("ok"); };
        cancel.Click = [&] { clicks << QStringLiteral("cancel"); };
        txt.SetFocus();
        QTest::keyClick(txt.lineEdit(), Qt::Key_Return);
        QTest::keyClick(txt.lineEdit(), Qt::Key_Enter, Qt::KeypadModifier);  // the keypad's Enter
        QTest::keyClick(txt.lineEdit(), Qt::Key_Escape);
        cancel.SetFocus();
        QTest::keyClick(cancel.button(), Qt::Key_Return);  // Enter on a button clicks that button
        QCOMPARE(clicks, (QStringList{"ok", "ok", "cancel", "cancel"}));
    }

    void textBoxKeepsProgramTextBeyondMaxLength()
    {
        Window window;
        TextBox txtScale(QStringLiteral("txtScale"), &window.widget);
        txtScale.setMaxLength(6);
        int changes = 0;
        txtScale.Change = [&] { ++changes; };
        txtScale.setText(QStringLiteral("12345.67"));
        txtScale.setText(QStringLiteral("12345.67"));
        QCOMPARE(txtScale.Text(), QStringLiteral("12345.67"));
        QCOMPARE(changes, 1);
        txtScale.SetFocus();
        txtScale.setSelStart(8);
        QTest::keyClicks(txtScale.lineEdit(), QStringLiteral("9"));
        QCOMPARE(txtScale.Text(), QStringLiteral("12345.67"));
        QTest::keyClick(txtScale.lineEdit(), Qt::Key_Backspace);
        QTest::keyClick(txtScale.lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(txtScale.lineEdit(), QStringLiteral("89"));
        QCOMPARE(txtScale.Text(), QStringLiteral("12345."));
        txtScale.setSelStart(0);
        txtScale.setSelLength(99);
        QCOMPARE(txtScale.SelLength(), 6);
        txtScale.setSelText(QStringLiteral("7"));
        QCOMPARE(txtScale.Text(), QStringLiteral("7"));
    }

    void valueSetInCodeClicksOnlyOnAChange_data()
    {
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<int>("clicks");
        QTest::newRow("same value") << QList<int>{0, 0} << 0;
        QTest::newRow("on, on, off") << QList<int>{1, 1, 0} << 2;
        QTest::newRow("grayed") << QList<int>{2, 1} << 2;
    }

    void valueSetInCodeClicksOnlyOnAChange()
    {
        QFETCH(QList<int>, values);
        QFETCH(int, clicks);
        QWidget parent;
        CheckBox chk(QStringLiteral("chkSnap"), &parent);
        int clicked = 0;
        chk.Click = [&] { ++clicked; };
        for (int value : values)
            chk.setValue(value);
        QCOMPARE(clicked, clicks);
        QCOMPARE(chk.Value(), values.last());
    }

    void optionButtonsOfOneContainerAreExclusive()
    {
        QWidget parent;
        Frame frame(QStringLiteral("Frame1"), &parent);
        ControlArray<OptionButton> optUnitD(QStringLiteral("optUnitD"));
        for (int i = 0; i < 3; ++i)
            optUnitD.add(i, new OptionButton(QStringLiteral("optUnitD"), &frame));
        OptionButton elsewhere(QStringLiteral("optMOde"), &parent);
        elsewhere.setValue(true);
        QList<int> clicked;
        optUnitD(0).Click = [&](int index) { clicked << index; };
        optUnitD(2).Click = [&](int index) { clicked << index; };
        optUnitD(0).setValue(true);
        optUnitD(2).setValue(true);
        optUnitD(2).setValue(true);
        QCOMPARE(clicked, (QList<int>{0, 2}));
        QVERIFY(!optUnitD(0).Value());
        QVERIFY(elsewhere.Value());
        // The user's click on the selected option changes nothing.
        QTest::mouseClick(optUnitD(2).radioButton(), Qt::LeftButton);
        QCOMPARE(clicked.size(), 2);
        QVERIFY(optUnitD(2).Value());
    }

    void listIndexSetInCodeClicksEveryTime()
    {
        // The property sheet's mark protocol: every selection by the program
        // raises one Click, which consumes the mark.
        QWidget parent;
        ComboBox cmbTilt(QStringLiteral("cmbTilt"), &parent);
        ListBox lst(QStringLiteral("listPath"), &parent);
        for (const char* tilt : {"15", "30", "45"}) {
            cmbTilt.AddItem(QString::fromLatin1(tilt));
            lst.AddItem(QString::fromLatin1(tilt));
        }
        int applied = 0;
        cmbTilt.Click = [&] {
            if (cmbTilt.Tag == QStringLiteral("Change")) {
                cmbTilt.Tag.clear();
                return;
            }
            ++applied;
        };
        int listClicks = 0;
        lst.Click = [&] { ++listClicks; };
        for (int round = 0; round < 2; ++round) {
            cmbTilt.Tag = QStringLiteral("Change");
            cmbTilt.setListIndex(2);
            QCOMPARE(cmbTilt.Tag, QString());
            lst.setListIndex(1);
        }
        QCOMPARE(applied, 0);
        QCOMPARE(listClicks, 2);
        QCOMPARE(cmbTilt.Text(), QStringLiteral("45"));
        QCOMPARE(lst.Text(), QStringLiteral("30"));
        QVERIFY_THROWS_EXCEPTION(vb::Error, cmbTilt.setListIndex(3));
    }

    void listBoxClicksOnTheUsersChoiceAndForgetsRemovedRows()
    {
        Window window;
        ListBox lst(QStringLiteral("listPath"), &window.widget);
        lst.Move(0, 0, 3000, 3000);
        for (const char* entry : {"デスクトップ", "マイコンピュータ", "マイドキュメント"})
            lst.AddItem(QString::fromUtf8(entry));
        lst.AddItem(QStringLiteral("先頭"), 0);
        QStringList events;
        lst.Click = [&] { events << QStringLiteral("Click %1").arg(lst.ListIndex()); };
        lst.DblClick = [&] { events << QStringLiteral("DblClick %1").arg(lst.ListIndex()); };
        QListWidget* widget = lst.listWidget();
        const QPoint row2 = widget->visualItemRect(widget->item(2)).center();
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, row2);
        QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, row2);
        QCOMPARE(events, (QStringList{"Click 2", "DblClick 2"}));
        QCOMPARE(lst.List(0), QStringLiteral("先頭"));
        lst.setItemData(3, 39);
        lst.RemoveItem(2);
        QCOMPARE(lst.ListIndex(), -1);
        QCOMPARE(lst.ItemData(2), 39);
        QCOMPARE(events.size(), 2);  // removing rows is no click
        QVERIFY_THROWS_EXCEPTION(vb::Error, lst.RemoveItem(3));
        lst.Clear();
        QCOMPARE(lst.ListCount(), 0);
        QCOMPARE(lst.Text(), QString());
    }

    void comboBoxEditFieldTakesKeyHandlers()
    {
        // A box that refuses typing swallows every key in KeyPress.
        Window window;
        ComboBox cmbDrawMode(QStringLiteral("cmbDrawMode"), &window.widget);
        ComboBox cmbTilt(QStringLiteral("cmbTilt"), &window.widget);
        cmbTilt.Move(0, 600, 1575, 300);
        cmbDrawMode.KeyPress = [](int& keyAscii) { keyAscii = 0; };
        QList<int> tiltKeys;
        cmbTilt.KeyPress = [&](int& keyAscii) { tiltKeys << keyAscii; };
        int changes = 0;
        cmbTilt.Change = [&] { ++changes; };
        // Qt gives the keys to the box, the edit field's focus proxy.
        cmbDrawMode.SetFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
        QCOMPARE(cmbDrawMode.Text(), QString());
        cmbTilt.SetFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("20"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(cmbTilt.Text(), QStringLiteral("20"));
        QCOMPARE(tiltKeys, (QList<int>{'2', '0', 13}));
        QCOMPARE(changes, 2);
        QCOMPARE(cmbTilt.ListCount(), 0);  // typed text is not added to the list
    }

    void labelClicksOnTheLeftButton()
    {
        Window window;
        Label lbl(QStringLiteral("lblCaption"), &window.widget);
        lbl.Move(0, 0, 1500, 300);
        QStringList events;
        lbl.Click = [&] { events << QStringLiteral("Click"); };
        lbl.DblClick = [&] { events << QStringLiteral("DblClick"); };
        QTest::mouseClick(lbl.label(), Qt::RightButton);
        QTest::mouseClick(lbl.label(), Qt::LeftButton);
        QTest::mouseDClick(lbl.label(), Qt::LeftButton);
        QTest::mouseRelease(lbl.label(), Qt::LeftButton);
        QCOMPARE(events, (QStringList{"Click", "DblClick"}));
    }

    void comboBoxRemovingTheShownRowKeepsItsText()
    {
        QWidget parent;
        ComboBox cmbPitch(QStringLiteral("cmbPitch"), &parent);
        for (int pitch = 1; pitch <= 3; ++pitch)
            cmbPitch.AddItem(QString::number(pitch));
        cmbPitch.setListIndex(1);
        cmbPitch.RemoveItem(1);
        QCOMPARE(cmbPitch.ListIndex(), -1);
        QCOMPARE(cmbPitch.Text(), QStringLiteral("2"));
        cmbPitch.setText(QStringLiteral("3"));
        QCOMPARE(cmbPitch.ListIndex(), 1);  // the text names a row
        cmbPitch.Clear();
        QCOMPARE(cmbPitch.Text(), QString());
        QCOMPARE(cmbPitch.ListCount(), 0);
    }

    void comboBoxKeepsItsTextWhileItsListIsFilled()
    {
        QWidget parent;
        ComboBox cmbDrawMode(QStringLiteral("cmbDrawMode"), &parent);
        int changes = 0, clicks = 0;
        cmbDrawMode.Change = [&] { ++changes; };
        cmbDrawMode.Click = [&] { ++clicks; };
        cmbDrawMode.setText(QStringLiteral("ドローモード"));
        cmbDrawMode.AddItem(QStringLiteral("1 Blackness"));
        cmbDrawMode.AddItem(QStringLiteral("2 Not Merge Pen"));
        QCOMPARE(cmbDrawMode.Text(), QStringLiteral("ドローモード"));
        QCOMPARE(cmbDrawMode.ListIndex(), -1);
        QCOMPARE(changes, 1);
        QCOMPARE(clicks, 0);
        cmbDrawMode.setItemData(1, 2);
        cmbDrawMode.RemoveItem(0);
        QCOMPARE(cmbDrawMode.ItemData(0), 2);
        QCOMPARE(cmbDrawMode.List(5), QString());

        ComboBox fixed(QStringLiteral("cmbList"), &parent, vbComboDropdownList);
        fixed.AddItem(QStringLiteral("a"));
        QCOMPARE(fixed.Text(), QString());
        fixed.setText(QStringLiteral("A"));
        QCOMPARE(fixed.ListIndex(), 0);
        QVERIFY_THROWS_EXCEPTION(vb::Error, fixed.setText(QStringLiteral("b")));
    }

    void userChoiceInAComboBoxClicksWithoutChange()
    {
        QWidget parent;
        ComboBox cmb(QStringLiteral("cmbAlign"), &parent);
        cmb.AddItem(QStringLiteral("0 - 左揃え"));
        cmb.AddItem(QStringLiteral("1 - 右揃え"));
        int changes = 0, clicks = 0;
        cmb.Change = [&] { ++changes; };
        cmb.Click = [&] { ++clicks; };
        cmb.comboBox()->setCurrentIndex(1);
        emit cmb.comboBox()->activated(1);
        QTest::keyClicks(cmb.comboBox()->lineEdit(), QStringLiteral("x"));
        QCOMPARE(clicks, 1);
        QCOMPARE(changes, 1);
        QCOMPARE(cmb.ListIndex(), -1);  // the text no longer is the row's
    }

    void fileListMatchesItsPatternListIgnoringCase()
    {
        QTemporaryDir dir;
        for (const char* name : {"b.JPG", "a.bmp", "c.gif", "d.txt", "e.jpeg"})
            QVERIFY(QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
        QDir(dir.path()).mkdir(QStringLiteral("sub.jpg"));
        QWidget parent;
        FileListBox fileList(QStringLiteral("fileList"), &parent);
        fileList.setPattern(QStringLiteral("*.bmp;*.jpg;*.gif"));
        fileList.setPath(dir.path());
        QCOMPARE(fileList.ListCount(), 3);
        QCOMPARE(fileList.List(0), QStringLiteral("a.bmp"));
        QCOMPARE(fileList.List(1), QStringLiteral("b.JPG"));
        QCOMPARE(fileList.ListIndex(), -1);
        int clicks = 0;
        fileList.Click = [&] { ++clicks; };
        fileList.setListIndex(2);
        QCOMPARE(clicks, 1);
        QCOMPARE(fileList.FileName(), QStringLiteral("c.gif"));
        QVERIFY_THROWS_EXCEPTION(vb::Error, fileList.setPath(dir.filePath(QStringLiteral("missing"))));
    }

    void directoryListOpensFoldersWithChange()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("b/inner"));
        QDir(dir.path()).mkdir(QStringLiteral("A"));
        QWidget parent;
        DirListBox dirBox(QStringLiteral("dirBox"), &parent);
        int changes = 0;
        dirBox.Change = [&] { ++changes; };
        dirBox.setPath(dir.path());
        dirBox.setPath(dir.path() + QStringLiteral("/"));
        QCOMPARE(changes, 1);
        QCOMPARE(dirBox.ListCount(), 2);
        QCOMPARE(dirBox.List(0), QDir(dir.path()).filePath(QStringLiteral("A")));
        QCOMPARE(dirBox.List(-1), QDir::cleanPath(dir.path()));
        QCOMPARE(dirBox.List(-2), QFileInfo(dir.path()).dir().absolutePath());
        QVERIFY_THROWS_EXCEPTION(vb::Error, dirBox.setPath(dir.filePath(QStringLiteral("none"))));
    }

    void driveListKnowsTheMountedVolumes()
    {
        QWidget parent;
        DriveListBox drvBox(QStringLiteral("drvBox"), &parent);
        DirListBox dirBox(QStringLiteral("dirBox"), &parent);
        QVERIFY(drvBox.ListCount() > 0);
        QVERIFY(!drvBox.Drive().isEmpty());
        QCOMPARE(DriveListBox::rootOf(QStringLiteral("/media/usb [PHOTOS]")), QStringLiteral("/media/usb"));
        QVERIFY_THROWS_EXCEPTION(vb::Error, drvBox.setDrive(QStringLiteral("/no/such/volume")));
        // A drive's text opens its root in the directory list.
        drvBox.setDrive(drvBox.List(0));
        dirBox.setPath(drvBox.Drive());
        QCOMPARE(dirBox.Path(), QDir::cleanPath(DriveListBox::rootOf(drvBox.List(0))));
    }

    void loadedOptionJoinsItsSiblings()
    {
        QWidget parent;
        ControlArray<OptionButton> optMOde(QStringLiteral("optMOde"));
        optMOde.add(0, new OptionButton(QStringLiteral("optMOde"), &parent));
        optMOde(0).setCaption(QStringLiteral("既知の距離を基に計測する"));
        QList<int> clicked;
        optMOde(0).Click = [&](int index) { clicked << index; };
        optMOde.Load(1);
        optMOde(0).setValue(true);
        optMOde(1).setValue(true);
        QCOMPARE(optMOde(1).Caption(), QStringLiteral("既知の距離を基に計測する"));
        QCOMPARE(clicked, (QList<int>{0, 1}));
        QVERIFY(!optMOde(0).Value());
    }

    void failingHandlerShowsTheStandardBoxWithItsName()
    {
        ScopedScriptedUi ui;
        QWidget parent;
        CommandButton cmdPrint(QStringLiteral("cmdPrint"), &parent);
        cmdPrint.Click = [] { vb::raise(vb::errDivisionByZero); };
        QTest::mouseClick(cmdPrint.button(), Qt::LeftButton);
        QCOMPARE(ui->count(), 1);
        QVERIFY(ui->last().prompt.startsWith(QStringLiteral("cmdPrint_Click():ｴﾗｰ番号 11 ")));
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
