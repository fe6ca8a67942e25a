#include "complete/CompleteOptions.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool takesValue(const QString &name)
{
    return name == u"-o"_s || name == u"--output"_s || name == u"--code-column"_s ||
           name == u"--address-column"_s || name == u"--encoding"_s;
}

// One option's value into the request; false, with error set, for a value it cannot take.
bool setValue(ListCompletion::Request &request, const QString &name, const QString &value, QString *error)
{
    if (value.trimmed().isEmpty()) {
        *error = u"%1 の値が空です"_s.arg(name);
        return false;
    }
    if (name == u"-o"_s || name == u"--output"_s) {
        request.output = value;
    } else if (name == u"--code-column"_s) {
        request.codeColumn = value;
    } else if (name == u"--address-column"_s) {
        request.addressColumns = value.split(u',', Qt::SkipEmptyParts);
    } else {
        const QString encoding = value.toLower().remove(u'-').remove(u'_');
        if (encoding == u"cp932"_s || encoding == u"shiftjis"_s || encoding == u"sjis"_s) {
            request.encoding = ListCompletion::Encoding::Cp932;
        } else if (encoding == u"utf8"_s) {
            request.encoding = ListCompletion::Encoding::Utf8;
        } else {
            *error = u"--encoding は cp932 か utf-8 です: %1"_s.arg(value);
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<CompleteOptions> CompleteOptions::parse(const QStringList &arguments, QString *error)
{
    CompleteOptions options;
    QStringList inputs;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        // After "--" everything is a file name, as for every command-line tool: "-x.csv" too.
        if (arguments[i] == u"--"_s) {
            inputs.append(arguments.mid(i + 1));
            break;
        }
        // "--name=value" or "--name value"; "-o value".
        QString name = arguments[i];
        std::optional<QString> value;
        if (const qsizetype equals = name.indexOf(u'='); name.startsWith(u"--"_s) && equals > 0)
            value = name.mid(equals + 1), name.truncate(equals);
        if (takesValue(name)) {
            if (!value && i + 1 == arguments.size()) {
                *error = u"%1 には値が要ります"_s.arg(name);
                return std::nullopt;
            }
            if (!setValue(options.request, name, value ? *value : arguments[++i], error))
                return std::nullopt;
        } else if ((name == u"-h"_s || name == u"--help"_s) && !value) {
            options.help = true;
        } else if (name == u"--update-data"_s && !value) {
            options.updateData = true;
        } else if (name == u"--force"_s && !value) {
            options.request.overwrite = true;
        } else if ((name == u"--header"_s || name == u"--no-header"_s) && !value) {
            options.request.header = name == u"--header"_s;
        } else if (name.startsWith(u'-') && name.size() > 1) {
            *error = u"知らないオプションです: %1"_s.arg(arguments[i]);
            return std::nullopt;
        } else {
            inputs.append(arguments[i]);
        }
    }
    if (options.help)
        return options;
    if (options.updateData) {
        if (inputs.isEmpty())
            return options;
        *error = u"--update-data には入力ファイルを指定しません"_s;
        return std::nullopt;
    }
    if (inputs.size() != 1) {
        *error = inputs.isEmpty() ? u"入力ファイルを指定してください"_s : u"入力ファイルは 1 つだけです"_s;
        return std::nullopt;
    }
    options.request.input = inputs.front();
    return options;
}

QString CompleteOptions::usage()
{
    return u"使い方: velmora-complete [オプション] [--] 入力ファイル\n"
           u"        velmora-complete --update-data\n"
           u"\n"
           u"CSV またはタブ区切りの一覧の郵便番号と住所を、Velmora の郵便番号データで補完・照合します。\n"
           u"空の郵便番号は住所から、空の住所は郵便番号から埋め、両方あれば照合して、行の最後に\n"
           u"「照合結果」（補完 / 一致 / 不一致 / 候補複数 / 見つかりません / "
           u"市区町村のみ）と「候補」の列を加えます。\n"
           u"\n"
           u"  -o, --output ファイル     出力先（既定: 入力と同じフォルダの <名前>_velmora.<拡張子>）\n"
           u"  --code-column 列          郵便番号の列: 1 から数えた番号か見出しの名前\n"
           u"  --address-column 列,...   住所の列: 番号か見出しの名前（いくつもあれば順につなぎます）\n"
           u"  --header, --no-header     1 行目が見出しである / ない（既定: 1 行目の内容で判断）\n"
           u"  --encoding cp932|utf-8    入力の文字コード（既定: 自動判定。指定は BOM より優先）\n"
           u"  --force                   出力ファイルが既にあれば置き換えます\n"
           u"  --update-data             日本郵便の最新の郵便番号データをダウンロードして更新します\n"
           u"  -h, --help                この説明\n"
           u"  --                        これより後はすべてファイル名です（- で始まる名前にも）\n"
           u"\n"
           u"見出し（郵便番号、〒、住所、所在地、都道府県、市区町村、町域、番地、建物名など）があれば列は自動"
           u"で\n"
           u"見つけます。見出しのない一覧には --code-column と --address-column が要ります。列を番号で\n"
           u"指定したときは、1 "
           u"行目のセルが見出しの名前そのもの（「住所」など）のときだけ見出しとみなします。\n"
           u"\n"
           u"出力は一時ファイルに書いてから置き換えるので、失敗（ディスクの空き不足など）や中断（Ctrl+C）\n"
           u"では何も残らず、前からある出力ファイルもそのままです。リンクやフォルダーには書き込みません。\n"
           u"\n"
           u"終了コード: 0 完了（行の照合結果によらず） / 1 一覧かデータを使えない、書き込めない /\n"
           u"            2 コマンドラインの誤り（存在しない列など） / 130 Ctrl+C で中断 / 143 SIGTERM "
           u"で中断\n"
           u"--update-data の終了コード: 0 更新した / 1 更新しなかった（理由を表示します）\n"_s;
}
