#pragma once
// The keys of new measurements and copies: the clock's "yymmddhhnnss",
// never one the drawing holds nor one handed out before.
//
// A press that starts a measurement asks for a key, so the drawing is not
// walked for each: the first request walks every element and hatching
// record once for the highest key held, and every key handed out after is
// above that and above the one handed out before it (a later second when
// the clock has not moved on). Every key the drawing gains after its load
// comes from here, so while the clock is past the highest key held no walk
// is needed. A drawing that holds a key at or after the clock's (made or
// imported while a clock stood later) is walked for the keys from the
// clock's on, and the clock's key is moved on by seconds past those.

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

struct ObjectArrays;
struct typHatching;

class GroupIds {
public:
    QString fncNext(const ObjectArrays& arrays, const QList<typHatching>& hatching, const QDateTime& now);

private:
    std::optional<QString> m_highest;  // the highest key held at the last walk; none before the first
    QDateTime m_issued;                // the moment of the last key handed out
};
