#include <ostrel/com/runtime_error.h>

#include <string>

#include "runtime/unicode.h"

namespace ostrel::com {

std::u16string_view StandardDescription(int32_t number) {
  switch (number) {
    case 5: return u"プロシージャの呼び出し、または引数が不正です。";
    case 6: return u"オーバーフローしました。";
    case 7: return u"メモリが不足しています。";
    case 9: return u"インデックスが有効範囲にありません。";
    case 13: return u"型が一致しません。";
    case 51: return u"内部エラーです。";
    case 52: return u"ファイル名または番号が不正です。";
    case 53: return u"ファイルが見つかりません。";
    case 55: return u"ファイルは既に開かれています。";
    case 57: return u"デバイス I/O エラーです。";
    case 61: return u"ディスクの空き容量が不足しています。";
    case 70: return u"書き込みできません。";
    case 75: return u"パス名が無効です。";
    case 76: return u"パスが見つかりません。";
    case 91: return u"オブジェクト変数が設定されていません。";
    case 429: return u"コンポーネントはオブジェクトを作成できません。";
    case 430: return u"クラスは要求されたインターフェイスをサポートしていません。";
    case 438: return u"オブジェクトは、このプロパティまたはメソッドをサポートしていません。";
    case 450: return u"引数の数が一致していません。";
    case 457: return u"このキーは既にコレクションの要素に割り当てられています。";
    default: return u"アプリケーション定義またはオブジェクト定義のエラーです。";
  }
}

RuntimeError::RuntimeError(int32_t number) : RuntimeError(number, StandardDescription(number)) {}

RuntimeError::RuntimeError(int32_t number, std::u16string_view description)
    : number_(number),
      description_(description),
      what_(std::to_string(number) + ": " + ToUtf8(description_)) {}

void Raise(int32_t number) { throw RuntimeError(number); }

void Raise(int32_t number, std::u16string_view description) { throw RuntimeError(number, description); }

}  // namespace ostrel::com
