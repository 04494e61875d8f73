#pragma once
// Passwords as they are kept: never as typed, but as a deliberately slow
// salted key derivation (PBKDF2 with HMAC-SHA-256), so that trying
// candidates against a stored form costs as much as checking one does.
//
// The stored form names everything a check needs, so the count can be
// raised later without touching the forms already stored:
//   "$pbkdf2-sha256$<iterations>$<salt>$<hash>"   (salt and hash in hex)
// Forms written by earlier versions still match: "$sha256$<salt>$<hash>"
// (one round of SHA-256 over salt and password) and, from before that, the
// password as typed.

#include <QString>

namespace platform::passwordhash {

// Rounds of a new stored form: one check takes about 0.2 s of a core.
inline constexpr int Iterations = 70000;

// A new stored form of `password`, with a new random salt. Only stored
// forms made for tests take fewer rounds; a check reads the count from
// the form, so it runs the same way for either.
QString stored(const QString& password, int iterations = Iterations);

// Whether `typed` is the password that `storedForm` keeps (any of the forms
// above); upper and lower case are distinct. A derived form whose count is
// beyond any this program writes or a salt longer than any it writes (a
// damaged record) matches nothing. The forms are compared in a time that
// doesn't depend on where they differ.
bool matches(const QString& storedForm, const QString& typed);

}  // namespace platform::passwordhash
