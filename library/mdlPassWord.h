#pragma once
// A drawing's password as it is kept in its record: a slow salted hash
// (platform/passwordhash.h), so that no tool reading the file shows it and
// guessing it costs time. Records written before hold one round of SHA-256
// or the password as typed; those still match, and take the present form
// when the drawing's protection is next set.

#include <QString>

namespace mdlPassWord {

// What the record keeps for a password typed: the empty text for none.
QString fncPassWord_Stored(const QString& typed);

// Whether `typed` is the password that `stored` keeps (in any form it has
// been kept in); upper and lower case are distinct. An empty `stored` (no
// password) matches only the empty text.
bool fncPassWord_Matches(const QString& stored, const QString& typed);

}  // namespace mdlPassWord
