#include "platform/passwordhash.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace platform::passwordhash {

namespace {

constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;
// A check of a form with more rounds would hold the program for minutes.
constexpr qint64 MostIterations = 100 * qint64(Iterations);

const QString DerivedTag = QStringLiteral("$pbkdf2-sha256$");

// A typed password (at most 8 characters) never has either form, so an
// older record's text is never taken for a hash. A salt is at most 64 hex
// digits (this program writes 32, earlier ones 16 at most): a damaged
// record's long run of digits is no salt to hash.
const QRegularExpression& derivedForm()
{
    static const QRegularExpression form(
        QStringLiteral("^\\$pbkdf2-sha256\\$([1-9][0-9]{0,9})\\$([0-9a-f]{1,64})\\$([0-9a-f]{64})$"));
    return form;
}

const QRegularExpression& sha256Form()
{
    static const QRegularExpression form(QStringLiteral("^\\$sha256\\$([0-9a-f]{1,64})\\$([0-9a-f]{64})$"));
    return form;
}

// Whether two hashes are equal, in a time that doesn't depend on where
// they first differ: how long a refusal takes tells nothing of the hash.
bool sameHash(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char differ = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        differ |= static_cast<unsigned char>(a[i] ^ b[i]);
    return differ == 0;
}

QByteArray derive(const QString& password, const QByteArray& salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              HashBytes);
}

}  // namespace

QString stored(const QString& password, int iterations)
{
    QByteArray salt(SaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    return DerivedTag + QString::number(iterations) + QLatin1Char('$') + QString::fromLatin1(salt.toHex())
        + QLatin1Char('$') + QString::fromLatin1(derive(password, salt, iterations).toHex());
}

bool matches(const QString& storedForm, const QString& typed)
{
    if (const QRegularExpressionMatch derived = derivedForm().match(storedForm); derived.hasMatch()) {
        const qint64 iterations = derived.captured(1).toLongLong();
        if (iterations > MostIterations)
            return false;
        const QByteArray salt = QByteArray::fromHex(derived.captured(2).toLatin1());
        return sameHash(derive(typed, salt, int(iterations)).toHex(), derived.captured(3).toLatin1());
    }
    if (const QRegularExpressionMatch old = sha256Form().match(storedForm); old.hasMatch()) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(old.captured(1).toUtf8());
        hash.addData(typed.toUtf8());
        return sameHash(hash.result().toHex(), old.captured(2).toLatin1());
    }
    return sameHash(storedForm.toUtf8(), typed.toUtf8());
}

}  // namespace platform::passwordhash
