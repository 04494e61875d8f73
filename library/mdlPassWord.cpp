#include "library/mdlPassWord.h"

#include "platform/database.h"

#include <QRegularExpression>

namespace mdlPassWord {

namespace {

// "$sha256$<salt>$<hash>": a typed password (at most 8 characters) never
// has this form, so an older record's text is never taken for a hash.
const QRegularExpression& hashedForm()
{
    static const QRegularExpression form(QStringLiteral("^\\$sha256\\$([0-9a-f]+)\\$([0-9a-f]{64})$"));
    return form;
}

}  // namespace

QString fncPassWord_Stored(const QString& typed)
{
    if (typed.isEmpty())
        return QString();
    const QString salt = platform::db::newPasswordSalt();
    return QStringLiteral("$sha256$") + salt + QLatin1Char('$') + platform::db::passwordHash(salt, typed);
}

bool fncPassWord_Matches(const QString& stored, const QString& typed)
{
    const QRegularExpressionMatch hashed = hashedForm().match(stored);
    if (!hashed.hasMatch())
        return stored == typed;
    return platform::db::passwordHash(hashed.captured(1), typed) == hashed.captured(2);
}

}  // namespace mdlPassWord
