#include "settings/yIni.h"

#include "app/FileSystem.h"
#include "app/MsgBox.h"
#include "app/ProgramValues.h"
#include "lookup/LeadingNumber.h"
#include "settings/SpecialFolders.h"
#include "shell/yIniShell.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <charconv>
#include <memory>

namespace {

using namespace Qt::Literals::StringLiterals;

// Paths are compared the way the file system compares them: a folder renamed only in letter case
// is another folder on Linux.
// The program's path is recorded per user under NorvaneTools / Path. On Windows that is the registry
// key where earlier versions of the tool kept it, so that the maker's other tools still find it there.
#if defined(Q_OS_WIN)
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
std::unique_ptr<QSettings> pathRecord()
{
    return std::make_unique<QSettings>(
        u"HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\NorvaneTools\\Path"_s,
        QSettings::NativeFormat);
}
#else
#if defined(Q_OS_MACOS)
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif
std::unique_ptr<QSettings> pathRecord()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, u"NorvaneTools"_s,
                                       u"Path"_s);
}
#endif

const QString kCrLf = u"\r\n"_s;
// The writer marks line breaks with U+2021 and turns every one into CR LF at the end.
constexpr QChar kLineMark = QChar(0x2021);
const QString kIndentGroup = u"   "_s;
const QString kIndentKey = u"      "_s;

yIniServices &installed()
{
    static yIniServices services;
    return services;
}

std::unique_ptr<yIni> &sharedSlot()
{
    static std::unique_ptr<yIni> instance;
    return instance;
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Group and root tags stand alone on their lines in the writer's layout. Looking only at such tags
// keeps a key that happens to share a later group's name from being taken for that group, which
// would read the wrong values and, on writing, cut the group's text into the middle of that key.
qsizetype findLineTag(const QString &text, const QString &tag, qsizetype from = 0)
{
    for (qsizetype at = text.indexOf(tag, from); at >= 0; at = text.indexOf(tag, at + 1)) {
        qsizetype before = at;
        while (before > 0 && (text[before - 1] == u' ' || text[before - 1] == u'\t'))
            --before;
        const qsizetype after = at + tag.size();
        if ((before == 0 || isLineBreak(text[before - 1])) &&
            (after == text.size() || isLineBreak(text[after])))
            return at;
    }
    return -1;
}

// Shortest text that reads back as the same number, always in plain decimal form: the numeric
// read accepts an exponent, but files are also read by people and by earlier Windows versions.
template <typename T> QString plainDecimal(T value)
{
    if (value == 0)
        value = 0; // no "-0"
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QString::number(double(value), 'g', 17);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString textOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Float:
        return plainDecimal(value.toFloat());
    case QMetaType::Double:
        return plainDecimal(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODate);
    default:
        return value.toString();
    }
}

// Numbers: not zero is true. The words true and false in any letter case. Anything else keeps the
// caller's default, since a guess would be worse than the value the caller chose.
QVariant toBool(const QString &text, const QVariant &fallback)
{
    const QString t = text.trimmed();
    if (t.compare(u"true"_s, Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(u"false"_s, Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = QLocale::c().toDouble(t, &ok);
    if (ok)
        return number != 0;
    return fallback.toBool();
}

// The form SetVal writes first, then the user's own locale, short and long.
QDateTime toDateTime(const QString &text)
{
    QDateTime result = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    const QLocale locale = QLocale::system();
    for (auto format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        if (result.isValid())
            break;
        result = locale.toDateTime(text.trimmed(), format);
        if (!result.isValid()) {
            const QDate date = locale.toDate(text.trimmed(), format);
            if (date.isValid())
                result = date.startOfDay();
        }
    }
    if (!result.isValid()) {
        const QDate date = QDate::fromString(text.trimmed(), Qt::ISODate);
        if (date.isValid())
            result = date.startOfDay();
    }
    return result;
}

QString withSeparator(QString path)
{
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path;
}

// The first character after an opening tag's line break (CR LF as written, or a lone LF).
qsizetype afterLineBreak(const QString &text, qsizetype at)
{
    if (at + 1 < text.size() && text[at] == u'\r' && text[at + 1] == u'\n')
        return at + 2;
    if (at < text.size() && text[at] == u'\n')
        return at + 1;
    return at;
}

// Where the indentation in front of a closing tag begins, not going back before floor.
qsizetype indentStart(const QString &text, qsizetype tag, qsizetype floor)
{
    while (tag > floor && (text[tag - 1] == u' ' || text[tag - 1] == u'\t'))
        --tag;
    return tag;
}

bool isDrive(const QString &prefix)
{
    return prefix.size() == 2 && prefix[1] == u':' && prefix[0].isLetter();
}

} // namespace

void yIni::Install(const yIniServices &services)
{
    installed() = services;
}

const yIniServices &yIni::InstalledServices()
{
    return installed();
}

yIni &yIni::Shared()
{
    if (!sharedSlot())
        sharedSlot() = std::make_unique<yIni>();
    return *sharedSlot();
}

void yIni::ReleaseShared()
{
    sharedSlot().reset();
}

yIni::yIni() : yIni(installed()) {}

yIni::yIni(const yIniServices &services) : m_services(services)
{
    if (m_services.exePath.isEmpty() && QCoreApplication::instance())
        m_services.exePath = QCoreApplication::applicationFilePath();
}

const QString &yIni::RootName()
{
    static const QString name = u"運用"_s;
    return name;
}

QString yIni::Skeleton()
{
    return BuildElement(0, RootName(), kCrLf);
}

void yIni::showMessage(const QString &text) const
{
    if (m_services.msgBox)
        m_services.msgBox->show(text);
}

// ---------------------------------------------------------------------------------------------
// User data folder

QString yIni::ProgramFolder() const
{
    return withSeparator(QDir::toNativeSeparators(QFileInfo(m_services.exePath).absolutePath()));
}

QString yIni::ProgramPath() const
{
    // Named after ExeBaseName, so that a development build (Tool_DV) records and links the program
    // it stands for.
    const QString suffix = QFileInfo(m_services.exePath).suffix();
    return ProgramFolder() + Program::ExeBaseName + (suffix.isEmpty() ? QString() : u'.' + suffix);
}

void yIni::W_UserData(qintptr ownerWnd)
{
    OwnerWnd = ownerWnd;
    const QChar sep = QDir::separator();
    const QString programFolder = ProgramFolder();
    FileSystem &fso = EnsureFso();

    if (!Program::ExeBaseName.isEmpty()) {
        const auto record = pathRecord();
        const QString exePath = ProgramPath();
        if (record->value(Program::ExeBaseName).toString().compare(exePath, kPathCase) != 0)
            record->setValue(Program::ExeBaseName, exePath);
    }

    const QString subPath = sep + u"Norvane"_s + sep + Program::ExeBaseName + sep;
    const QString defaultFolder = FsGtSpFld(26) + subPath;
    const QString choiceFile = programFolder + u"UserData.ini"_s;

    QString choice = u"%applicaion data%"_s;
    if (fso.fileExists(choiceFile)) {
        // A choice file that cannot be read or decoded defines no folder, like an empty one.
        const auto text = fso.readText(choiceFile);
        if (!text || text->isEmpty() || isLineBreak(text->front()))
            showMessage(u" ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞが定義されていません\r"_s + defaultFolder + u" を使用します"_s);
        else
            choice = *text;
    } else {
        showMessage(choiceFile + u" が見つかりません\rﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　"_s + defaultFolder +
                    u" を使用します"_s);
    }

    // Keywords match in any letter case; a folder path keeps its own, since on a case-sensitive
    // file system the lower-cased path names another folder.
    const QString keyword = choice.toLower();
    QString folder;
    if (keyword == u"%app%"_s) {
        folder = programFolder + u"usData"_s + sep;
    } else if (keyword == u"%usr%"_s || keyword == u"%applicaion data%"_s) {
        folder = defaultFolder;
    } else if (keyword == u"%doc"_s || keyword == u"%my document%"_s) {
        folder = FsGtSpFld(5) + subPath;
    } else if (keyword.startsWith(u'%')) {
        folder = defaultFolder;
    } else if (fso.folderExists(choice)) {
        folder = withSeparator(QDir::toNativeSeparators(choice));
    } else {
        showMessage(u"ﾌｫﾙﾀﾞ "_s + choice + u" が見つかりません\rﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　"_s + defaultFolder +
                    u" を使用します"_s);
        folder = defaultFolder;
    }

    Program::UserDataFolder = folder;
    if (!fso.folderExists(folder))
        F_CreateFld(folder);
}

QString yIni::FsGtSpFld(int id)
{
    return m_services.folders ? m_services.folders->path(id, OwnerWnd) : QString();
}

void yIni::F_CreateFld(const QString &path)
{
    FileSystem &fso = EnsureFso();
    if (fso.folderExists(path))
        return;
    const QChar sep = QDir::separator();
    const QString full = withSeparator(QDir::toNativeSeparators(path));
    // Every level from the outermost inwards. A drive ("C:") or the root is never created, and a
    // level that cannot be created is passed over: the folder then fails where it is used.
    for (qsizetype at = full.indexOf(sep); at >= 0; at = full.indexOf(sep, at + 1)) {
        const QString level = full.left(at);
        if (level.isEmpty() || isDrive(level) || level == sep)
            continue;
        if (!fso.folderExists(level))
            fso.createFolder(level);
    }
}

void yIni::F_ChkSb(const QString &base, const QStringList &names)
{
    FileSystem &fso = EnsureFso();
    for (const QString &name : names) {
        const QString folder = base + name;
        if (!fso.folderExists(folder) && !fso.createFolder(folder))
            return; // the base folder is missing or not writable: the others would fail alike
    }
}

// ---------------------------------------------------------------------------------------------
// The settings file

bool yIni::GetTxt(const QString &fileName)
{
    DocText.clear();
    // A development build's "_DV.xml" shares the settings of the file it stands for.
    FilePath = fileName;
    const qsizetype dv = FilePath.indexOf(u"_DV.xml"_s, 0, Qt::CaseInsensitive);
    if (dv >= 0)
        FilePath.replace(dv, 7, u".xml"_s);

    FileSystem &fso = EnsureFso();
    if (fso.fileExists(FilePath)) {
        const auto text = fso.readText(FilePath);
        if (!text)
            return false;
        if (!text->isEmpty() && !isLineBreak(text->front()))
            DocText = *text;
    } else if (!fso.createEmptyFile(FilePath)) {
        return false;
    }
    if (DocText.isEmpty())
        DocText = Skeleton();
    return true;
}

bool yIni::SetTxt()
{
    if (FilePath.isEmpty())
        return false;
    // Written whole through a temporary file; a text CP932 cannot store is refused, not damaged.
    return EnsureFso().writeText(FilePath, DocText);
}

QString yIni::ReadElement(int level, const QString &name)
{
    const QString &source = level == 0 ? DocText : GroupText;
    if (source.isEmpty())
        return {};
    const QString open = u'<' + name + u'>';
    const QString close = u"</"_s + name + u'>';
    const qsizetype p1 = level == 0 ? findLineTag(source, open) : source.indexOf(open);
    const qsizetype p2 = level == 0 ? findLineTag(source, close) : source.indexOf(close);
    if (p1 < 0 && p2 < 0)
        return {};
    if (p1 >= 0 && p2 >= 0 && p1 <= p2) {
        const qsizetype start = p1 + open.size();
        if (level != 0)
            return source.mid(start, p2 - start);
        // A group's keys start after the line break that ends its opening tag and stop before the
        // indentation of its closing tag. In the writer's layout that is CR LF and three spaces;
        // measuring them instead of counting keeps LF files and other indentation readable, and tags
        // closer together than the layout allows simply hold no keys.
        const qsizetype first = afterLineBreak(source, start);
        return source.mid(first, indentStart(source, p2, first) - first);
    }
    showMessage(u'<' + name + u"> の設定が読み込めません\rﾕｰｻﾞｰ環境ﾌｧｲﾙ("_s + FilePath +
                u") が破損しています"_s);
    return {};
}

QString yIni::BuildElement(int level, const QString &name, const QVariant &content)
{
    const QString text = textOf(content);
    QString built;
    switch (level) {
    case 0:
        built = u"<?xml version='1.0' encoding='Shift-JIS' ?>"_s + kLineMark + u'<' + name + u'>' + text +
                u"</"_s + name + u'>';
        break;
    case 1:
        built = kIndentGroup + u'<' + name + u'>' + kLineMark + text + kIndentGroup + u"</"_s + name + u'>' +
                kLineMark;
        break;
    case 2:
        built = kIndentKey + u'<' + name + u'>' + text + u"</"_s + name + u'>' + kLineMark;
        break;
    default:
        return {};
    }
    return built.replace(kLineMark, kCrLf);
}

// ---------------------------------------------------------------------------------------------
// Groups and keys

void yIni::GetGtx(const QString &groupName)
{
    GroupName = groupName;
    GroupText = ReadElement(0, groupName);
}

QVariant yIni::vGtVal(const QString &key, const QVariant &defaultValue)
{
    const QString t = ReadElement(1, key);
    switch (defaultValue.typeId()) {
    case QMetaType::QString:
        return t.isEmpty() ? defaultValue : QVariant(t);
    case QMetaType::Bool:
        return t.isEmpty() ? QVariant(defaultValue.toBool()) : toBool(t, defaultValue);
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        const QDateTime when = toDateTime(t);
        if (!when.isValid())
            return defaultValue;
        return defaultValue.typeId() == QMetaType::QDate ? QVariant(when.date()) : QVariant(when);
    }
    default:
        return t.isEmpty() ? defaultValue : QVariant(LeadingNumber(t));
    }
}

void yIni::SetVal(const QString &key, const QVariant &value)
{
    const QString open = u'<' + key + u'>';
    const qsizetype a = GroupText.indexOf(open);
    if (a >= 0) {
        const qsizetype b = a + open.size();
        const qsizetype q = GroupText.indexOf(u"</"_s + key + u'>', b);
        if (q >= 0) {
            GroupText = GroupText.left(b) + textOf(value) + GroupText.mid(q);
            return;
        }
    }
    GroupText += BuildElement(2, key, value);
}

void yIni::SetGtx()
{
    if (DocText.isEmpty())
        DocText = Skeleton();
    // Without GetGtx there is no group to put back; a nameless element would never be read.
    if (GroupName.isEmpty())
        return;
    const QString open = u'<' + GroupName + u'>';
    const qsizetype p = findLineTag(DocText, open);
    if (p >= 0) {
        // Keep everything up to the line break that ends the opening tag, and from the closing tag's
        // indentation on: exactly the part GetGtx did not take.
        const qsizetype b = afterLineBreak(DocText, p + open.size());
        const qsizetype q = findLineTag(DocText, u"</"_s + GroupName + u'>', b);
        if (q >= b) {
            DocText = DocText.left(b) + GroupText + DocText.mid(indentStart(DocText, q, b));
            return;
        }
    }
    const QString group = BuildElement(1, GroupName, GroupText);
    const qsizetype r = findLineTag(DocText, u"</"_s + RootName() + u'>');
    if (r >= 0) {
        DocText = DocText.left(r) + group + DocText.mid(r);
        return;
    }
    // A text without the root's closing tag (damaged, or not ours): the group goes last and the
    // document is closed again, so that the next read finds it.
    if (!DocText.endsWith(u'\n'))
        DocText += kCrLf;
    DocText += group + u"</"_s + RootName() + u'>';
}

// ---------------------------------------------------------------------------------------------
// Shell operations

QVariant yIni::W_Help(const QString &pageName)
{
    return yIniShell(m_services, OwnerWnd).W_Help(pageName);
}

QVariant yIni::W_HtmView(const QString &target)
{
    return yIniShell(m_services, OwnerWnd).W_HtmView(target);
}

void yIni::W_SendTo()
{
    yIniShell(m_services, OwnerWnd).W_SendTo(FsGtSpFld(9), ProgramPath());
}

void yIni::W_ExpFd(const QString &folder, bool open)
{
    yIniShell(m_services, OwnerWnd).W_ExpFd(folder, open);
}
