#include "library/mdlPassWord.h"

#include "platform/passwordhash.h"

namespace mdlPassWord {

QString fncPassWord_Stored(const QString& typed)
{
    return typed.isEmpty() ? QString() : platform::passwordhash::stored(typed);
}

bool fncPassWord_Matches(const QString& stored, const QString& typed)
{
    if (stored.isEmpty())
        return typed.isEmpty();
    return platform::passwordhash::matches(stored, typed);
}

}  // namespace mdlPassWord
