#include "objects/importclear.h"

namespace mdlObjects {

namespace {

template <class T>
int shownCount(const platform::ElementArray<T>& elements)
{
    int n = 0;
    for (int k = 0; k <= elements.UBound(); ++k)
        n += fncShown(elements, k) ? 1 : 0;
    return n;
}

}  // namespace

QStringList fncCleared_Kinds(const ObjectArrays& a)
{
    QStringList kinds;
    const auto add = [&kinds](const char16_t* name, int count) {
        if (count > 0)
            kinds << QString::fromUtf16(name) + QStringLiteral("：") + QString::number(count);
    };
    const int results = shownCount(a.lblKyori) + shownCount(a.lblMensekiS) + shownCount(a.lblKeiroS);
    add(u"距離・寸法", shownCount(a.lblKyori));
    add(u"面積", shownCount(a.lblMensekiS));
    add(u"経路", shownCount(a.lblKeiroS));
    if (results == 0)
        add(u"計測線", shownCount(a.lineDsSave) + shownCount(a.linePS) + shownCount(a.lineHojoSave));
    add(u"引き出し線", shownCount(a.lineHikidashi));
    add(u"文字", shownCount(a.lblMoji));
    add(u"位置情報", shownCount(a.lblKeiIdoS));
    return kinds;
}

}  // namespace mdlObjects
