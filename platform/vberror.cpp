#include "platform/vberror.h"

namespace vb {

Error::Error(long number, QString description)
    : m_number(number),
      m_description(description.isEmpty() ? errorDescription(number) : std::move(description)),
      m_what(QStringLiteral("%1: %2").arg(number).arg(m_description).toStdString())
{
}

Error::Error(long number) : Error(number, QString()) {}

QString errorDescription(long number)
{
    // Worded as the runtime words them on a Japanese system.
    switch (number) {
    case errInvalidCall: return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
    case errOverflow: return QStringLiteral("オーバーフローしました。");
    case errOutOfMemory: return QStringLiteral("メモリが不足しています。");
    case errSubscript: return QStringLiteral("インデックスが有効範囲にありません。");
    case errDivisionByZero: return QStringLiteral("0 で除算しました。");
    case errTypeMismatch: return QStringLiteral("型が一致しません。");
    case errFileNotFound: return QStringLiteral("ファイルが見つかりません。");
    case errFileAlreadyOpen: return QStringLiteral("ファイルは既に開かれています。");
    case errFileExists: return QStringLiteral("既に同名のファイルが存在しています。");
    case errDiskFull: return QStringLiteral("ディスクの空き容量が不足しています。");
    case errInputPastEnd: return QStringLiteral("ファイルにこれ以上データがありません。");
    case errBadFileName: return QStringLiteral("ファイル名が不正です。");
    case errDeviceUnavailable: return QStringLiteral("デバイスが準備されていません。");
    case errPermission: return QStringLiteral("書き込みできません。");
    case errPathFileAccess: return QStringLiteral("パス名が無効です。");
    case errPathNotFound: return QStringLiteral("パスが見つかりません。");
    case errInvalidUseOfNull: return QStringLiteral("Null の使い方が不正です。");
    case errAlreadyLoaded: return QStringLiteral("オブジェクトは既に読み込まれています。");
    case errDesignTimeUnload: return QStringLiteral("デザイン時に作成したコントロールはアンロードできません。");
    case errBadPropertyValue: return QStringLiteral("プロパティの値が不正です。");
    case errBadPropertyIndex: return QStringLiteral("プロパティ配列のインデックスが不正です。");
    case errPrinterError: return QStringLiteral("プリンタ エラーです。");
    case errIndexOutOfBounds: return QStringLiteral("インデックスが範囲を超えています。");
    case errElementNotFound: return QStringLiteral("要素が見つかりません。");
    case errKeyNotUnique: return QStringLiteral("キーがコレクション内で一意ではありません。");
    case errCancel: return QStringLiteral("[キャンセル] が選択されました。");
    default: return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
    }
}

QString noElementDescription(long index)
{
    return QStringLiteral("コントロール配列の要素 '%1' は存在しません。").arg(index);
}

void raise(long number, const QString& description)
{
    throw Error(number, description);
}

}  // namespace vb
