#pragma once
// A drawing's password as it is kept in its record: salted and hashed as
// the database password is, so that no tool reading the file shows it.
// Records written before hold the password as typed; those still match.

#include <QString>

namespace mdlPassWord {

// What the record keeps for a password typed: the empty text for none.
QString fncPassWord_Stored(const QString& typed);

// Whether `typed` is the password that `stored` keeps (hashed or, from an
// older record, as typed); upper and lower case are distinct. An empty
// `stored` (no password) matches only the empty text.
bool fncPassWord_Matches(const QString& stored, const QString& typed);

}  // namespace mdlPassWord
