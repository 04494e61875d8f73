#include "properties/sheetrules.h"

#include "platform/vbruntime.h"

#include <cmath>

namespace sheetrules {

namespace {

QStringList split(const char* entries)
{
    return QString::fromUtf8(entries).split(QLatin1Char('|'));
}

}  // namespace

QStringList drawModes()
{
    return split("1 Blackness|2 Not Merge Pen|3 Mask Not Pen|4 Not Copy Pen|5 Mask Pen Not|6 Invert|7 Xor Pen|"
                 "8 Not Mask Pen|9 Mask Pen|10 Not Xor Pen|11 Nop|12 Merge Not Pen|13 Copy Pen|"
                 "14 Merge Pen Not|15 Merge Pen|16 Whiteness");
}

QStringList lineStyles()
{
    return split("0 - 透明|1 - 実線|2 - 鎖線|3 - 点線|4 - 一点鎖線|5 - 二点鎖線|6 - 塗りつぶし");
}

QStringList hatchLineStyles()
{
    return split("0 - 実線|1 - 鎖線|2 - 点線|3 - 一点鎖線|4 - 二点鎖線|5 - 透明|6 - 塗りつぶし");
}

QStringList labelBorderStyles() { return split("0 - なし|1 - 実線"); }
QStringList backStyles() { return split("0 - 透明|1 - 不透明"); }

QStringList fillStyles()
{
    return split("0 - 塗りつぶし|1 - 透明|2 - 横線|3 - 縦線|4 - 斜線右下り|5 - 斜線右上り|6 - クロス|7 - 網かけ");
}

QStringList shapes() { return split("0 - 長方形|1 - 正方形|2 - 楕円|3 - 円|4 - 丸み長方形|5 - 丸み正方形"); }

QStringList hatchStyles()
{
    return split("0 - 無し|1 - 横線－|2 - 縦線｜|3 - 斜線＼|4 - 斜線／|5 - クロス＋|6 - 網かけ×");
}

QStringList alignments() { return split("0 - 左揃え|1 - 右揃え|2 - 中央揃え"); }
QStringList appearances() { return split("0 - ﾌﾗｯﾄ|1 - 3-D "); }

QStringList numbers(int first, int last, int step)
{
    QStringList entries;
    for (int n = first; n <= last; n += step)
        entries << QString::number(n);
    return entries;
}

std::optional<QString> tip(Tips box, int position)
{
    QStringList tips;
    switch (box) {
    case Tips::DrawMode:
        tips = split("ドローモード : 黒いペンで出力|ドローモード : 15 (Merge Pen) を反転した設定|"
                     "ドローモード : ペンの反転色と背景色に共通する色を組み合わせて出力|"
                     "ドローモード : 13 (Copy Pen) を反転した設定|"
                     "ドローモード : ペンと表示色の反転色に共通する色を組み合わせて出力|"
                     "ドローモード : 表示色を反転して出力|"
                     "ドローモード : ペンと表示色に使われている色で、どちらか一方に含まれている色を組み合せて出力|"
                     "ドローモード : 9 (Mask Pen) を反転した設定|"
                     "ドローモード : ペンと表示色に共通する色を組み合わせて出力|"
                     "ドローモード : 7 (Xor Pen) を反転した設定|"
                     "ドローモード : 色を加工せずにそのまま出力します。この設定にすると画面に描画されません|"
                     "ドローモード : 表示色とペンの反転色を組み合わせて出力|"
                     "ドローモード : (既定値) ForeColor プロパティで指定した色で出力|"
                     "ドローモード : ペンの色と表示色を組み合わせて出力します|"
                     "ドローモード : ペンの色と表示色を組み合わせて出力します|ドローモード : 白");
        break;
    case Tips::LineStyle:
        tips = split("境界のスタイル : 0 - 透明|"
                     "境界のスタイル : 1 - (既定値) 実線 (中心線)。境界の中心線がオブジェクトの外形線と一致するように描かれます|"
                     "境界のスタイル : 2 - 鎖線|境界のスタイル : 3 - 点線|境界のスタイル : 4 - 一点鎖線|"
                     "境界のスタイル : 5 - 二点鎖線|"
                     "境界のスタイル : 6 - 塗りつぶし。境界の外側の線がオブジェクトの外形線と一致するように描かれます");
        break;
    case Tips::HatchLineStyle:
        tips = split("線のスタイル : 0 - (既定値) 実線 (中心線)。境界の中心線がオブジェクトの外形線と一致するように描かれます|"
                     "線のスタイル : 1 - 鎖線|線のスタイル : 2 - 点線|線のスタイル : 3 - 一点鎖線|"
                     "線のスタイル : 4 - 二点鎖線|線のスタイル : 5 - 透明|"
                     "線のスタイル : 6 - 塗りつぶし。境界の外側の線がオブジェクトの外形線と一致するように描かれます");
        break;
    case Tips::LabelBorderStyle:
        tips = split("境界のスタイル : 0 - なし|境界のスタイル : 1 - 実線");
        break;
    case Tips::BackStyle:
        tips = split("背景スタイル : 0 - 透明。背景の色やグラフィックスがコントロールによって隠されずに表示されます|"
                     "背景スタイル : 1 - (既定値) 不透明。このコントロールの BackColor プロパティで指定されている色で表示され、"
                     "背景の色やグラフィックスは隠されます");
        break;
    case Tips::FillStyle:
        tips = split("塗りつぶしスタイル : 0 - 塗りつぶし|塗りつぶしスタイル : 1 - (既定値) 透明|"
                     "塗りつぶしスタイル : 2 - 横線|塗りつぶしスタイル : 3 - 縦線|"
                     "塗りつぶしスタイル : 4 - 斜線 (左上 - 右下)|塗りつぶしスタイル : 5 - 斜線 (左下 - 右上)|"
                     "塗りつぶしスタイル : 6 - クロス|塗りつぶしスタイル : 7 - 網かけ");
        break;
    case Tips::Shape:
        tips = split("シェイプ : 0 - 長方形|シェイプ : 1 - 正方形|シェイプ : 2 - 楕円|シェイプ : 3 - 円|"
                     "シェイプ : 4 - 丸みのある長方形|シェイプ : 5 - 丸みのある正方形");
        break;
    case Tips::HatchStyle:
        tips = split("ハッチングスタイル : 0 - 無し|ハッチングスタイル : 1 - 横線－|ハッチングスタイル : 2 - 縦線｜|"
                     "ハッチングスタイル : 3 - 斜線＼|ハッチングスタイル : 4 - 斜線／|"
                     "ハッチングスタイル : 5 - クロス＋|ハッチングスタイル : 6 - 網かけ×");
        break;
    case Tips::Align:
        tips = split("配置 : (既定値) 左揃え|配置 : 右揃え|配置 : 中央揃え");
        break;
    case Tips::Apper:
        tips = split("描画スタイル : 3-D 効果なしでコントロールおよびフォームを描画します|"
                     "描画スタイル : コントロールを描画するときに、3-D 効果を持たせます。");
        break;
    }
    if (position < 0 || position >= tips.size())
        return std::nullopt;
    return tips[position];
}

std::optional<Layout> layoutOf(const QString& kind)
{
    auto caption = [](const char* name) { return QStringLiteral("プロパティ［") + QString::fromUtf8(name) + QStringLiteral("］"); };
    if (kind == QLatin1String("lineHikidashi"))
        return Layout{caption("引き出し線"), false, true, false, false};
    if (kind == QLatin1String("lineDsSave"))
        return Layout{caption("距離・寸法線"), false, true, false, false};
    if (kind == QLatin1String("linePS"))
        return Layout{caption("連続・境界線"), false, true, false, false};
    if (kind == QLatin1String("lblKyori"))
        return Layout{caption("距離・寸法"), true, true, false, false};
    if (kind == QLatin1String("lblMensekiS"))
        return Layout{caption("面積"), true, true, false, true};
    if (kind == QLatin1String("lblKeiroS"))
        return Layout{caption("経路"), true, true, false, false};
    if (kind == QLatin1String("lblMoji"))
        return Layout{caption("文字"), true, false, false, false};
    if (kind == QLatin1String("lblKeiIdoS"))
        return Layout{caption("経緯度"), true, false, false, false};
    if (kind == QLatin1String("shpShape"))
        return Layout{caption("図形"), false, true, true, false};
    return std::nullopt;
}

Typed typedNumber(const QString& text, int chars, int low, int high, double lowFrom)
{
    if (!vb::IsNumeric(text))
        return {QStringLiteral("1"), std::nullopt};
    // Rounded and limited as a double, so an exponent form never overflows.
    double n = std::nearbyint(vb::Val(text.left(chars)));
    if (std::isnan(n) || n < lowFrom)
        n = low;
    else if (n > high)
        n = high;
    const int value = int(n);
    return {QString::number(value), value};
}

Typed typedWidth(const QString& text)
{
    if (!vb::IsNumeric(text))
        return {};
    const double n = std::nearbyint(vb::Val(text));
    const int width = std::isnan(n) || n < WidthLow ? WidthLow : n > WidthHigh ? WidthHigh : int(n);
    return {QString::number(width), width};
}

}  // namespace sheetrules
