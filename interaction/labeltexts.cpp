// A double click on a label edits its texts in the input box: the comment
// of a result label, the text and then the comment of a text label, the
// shown text of a position label. An empty answer is a cancel.

#include "editor/frmEdit.h"

#include "platform/ui.h"

using platform::ElementArray;
using platform::LabelElement;

namespace {

// Adds `handler` as the double click of every element of the array, after
// whatever an element is already given when it is made.
void onDoubleClick(ElementArray<LabelElement>& labels, std::function<void(int)> handler)
{
    auto previous = labels.onCreate;
    labels.setOnCreate([previous, handler](LabelElement& label) {
        if (previous)
            previous(label);
        label.DblClick = handler;
    });
}

}  // namespace

void frmEdit::connectLabelTexts()
{
    onDoubleClick(lblKyori, [this](int index) { lblKyori_DblClick(index); });
    onDoubleClick(lblMensekiS, [this](int index) { lblMensekiS_DblClick(index); });
    onDoubleClick(lblKeiroS, [this](int index) { lblKeiroS_DblClick(index); });
    onDoubleClick(lblMoji, [this](int index) { lblMoji_DblClick(index); });
    onDoubleClick(lblKeiIdoS, [this](int index) { lblKeiIdoS_DblClick(index); });
}

namespace {

void askComment(LabelElement& label, bool& changed)
{
    const QString answer = vb::InputBox(QStringLiteral("コメントを入力してください"), label.Caption, label.ToolTipText);
    if (answer.isEmpty())
        return;
    label.ToolTipText = answer;
    changed = true;
}

}  // namespace

void frmEdit::lblKyori_DblClick(int index) { askComment(lblKyori(index), booDrawChange); }
void frmEdit::lblMensekiS_DblClick(int index) { askComment(lblMensekiS(index), booDrawChange); }
void frmEdit::lblKeiroS_DblClick(int index) { askComment(lblKeiroS(index), booDrawChange); }

void frmEdit::lblMoji_DblClick(int index)
{
    LabelElement& label = lblMoji(index);
    const QString text = vb::InputBox(QStringLiteral("表示文字列を入力してください"), QStringLiteral("文字列入力"),
                                      label.Caption);
    if (text.isEmpty())
        return;
    label.Caption = text;
    booDrawChange = true;
    // A new text gives the label a new size: its grips follow.
    if (strSelObjName == QLatin1String("lblMoji") && intSelIndex == index)
        subGrip_Label(label, shpPointer);
    const QString comment =
        vb::InputBox(QStringLiteral("コメントを入力してください"), QStringLiteral("コメント入力"), label.ToolTipText);
    if (comment.isEmpty())
        return;
    label.ToolTipText = comment;
}

void frmEdit::lblKeiIdoS_DblClick(int index)
{
    LabelElement& label = lblKeiIdoS(index);
    const QString prompt = QStringLiteral("経緯度（秒）:") + label.Tag + QStringLiteral("\r\n")
        + QStringLiteral("表示文字列を入力してください");
    const QString answer =
        vb::InputBox(prompt, label.ToolTipText.get() + QStringLiteral(" 位置情報入力"), label.Caption);
    if (answer.isEmpty())
        return;
    label.Caption = answer + QLatin1Char(' ');
    booDrawChange = true;
    if (strSelObjName == QLatin1String("lblKeiIdoS") && intSelIndex == index)
        subGrip_Label(label, shpPointer);
}
