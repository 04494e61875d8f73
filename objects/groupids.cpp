#include "objects/groupids.h"

#include "app/types.h"
#include "measure/resulttag.h"
#include "objects/objectarrays.h"

#include <QSet>

using platform::ElementArray;

namespace {

constexpr qsizetype KeyLength = 12;

// Whether the tag ends with a key the clock could give (12 digits); any
// other ending never equals a new key.
bool endsWithClockKey(const QString& tag)
{
    if (tag.size() < KeyLength)
        return false;
    for (QChar c : QStringView(tag).right(KeyLength)) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// One pass over the tags: the highest key held, and in `held` those from
// `from` on.
class Walk {
public:
    Walk(const QString& from, QSet<QString>* held) : m_from(from), m_held(held) {}

    void tag(const QString& tag)
    {
        if (!endsWithClockKey(tag))
            return;
        const QStringView key = QStringView(tag).right(KeyLength);
        if (key > QStringView(highest))
            highest = key.toString();
        if (m_held && key >= QStringView(m_from))
            m_held->insert(key.toString());
    }

    template <class T>
    void array(const ElementArray<T>& elements)
    {
        for (int k = 0; k <= elements.UBound(); ++k) {
            if (elements.exists(k))
                tag(elements(k).Tag);
        }
    }

    QString highest;

private:
    const QString& m_from;
    QSet<QString>* m_held;
};

QString walk(const ObjectArrays& a, const QList<typHatching>& hatching, const QString& from, QSet<QString>* held)
{
    Walk w(from, held);
    w.array(a.lblKyori), w.array(a.lblKeiroS), w.array(a.lblMensekiS), w.array(a.lblMoji), w.array(a.lblKeiIdoS);
    w.array(a.lineDsSave), w.array(a.lineHojoSave), w.array(a.linePS), w.array(a.lineHikidashi);
    w.array(a.shpShape), w.array(a.shpSnpo);
    for (const typHatching& record : hatching)
        w.tag(record.Tag);
    return w.highest;
}

}  // namespace

QString GroupIds::fncNext(const ObjectArrays& arrays, const QList<typHatching>& hatching, const QDateTime& now)
{
    using ResultTag::fncGroupId;
    // Past every key handed out before, even when the clock stands still or goes back.
    QDateTime moment = now;
    if (m_issued.isValid() && fncGroupId(m_issued) >= fncGroupId(now))
        moment = m_issued.addSecs(1);
    if (!m_highest)
        m_highest = walk(arrays, hatching, QString(), nullptr);
    if (fncGroupId(moment) <= *m_highest) {
        // The drawing holds keys from this one on: the walk sees any that came since the last.
        QSet<QString> held;
        m_highest = walk(arrays, hatching, fncGroupId(moment), &held);
        while (held.contains(fncGroupId(moment)))
            moment = moment.addSecs(1);
    }
    m_issued = moment;
    return fncGroupId(moment);
}
