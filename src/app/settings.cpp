#include "app/settings.h"

#include <QDir>
#include <QFileInfo>

#include "common/text_file.h"

namespace sondrel {

namespace {

const std::array<const char*, SettingCount> Names = {
    "Default_Interval", "Default_Buffer",   "Default_TimeOut",       "Default_Number",
    "Default_Path",     "Default_IPtoName", "Default_Hop_Number",    "Default_Host_List",
    "Default_TimeOut2", "Default_CmdType",  "Default_TraceFileName", "Default_IPQty",
    "Default_RepeatIP", "Default_IfDB"};

// The file is the INI form QSettings used to write for these values: a [General] section
// with key=value lines. Values are always plain texts; a value that looks like one of
// QSettings' typed values (@Variant(...), @ByteArray(...)) is taken as the text it shows.

int HexDigit(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// A value as written after "key=": quoted parts and backslash escapes are undone, a ';'
// outside quotes starts a comment, and commas outside quotes separate list items, which are
// stripped of surrounding blanks and joined again by a bare comma.
QString UnescapeValue(const QString& raw) {
    QStringList items;
    QString item;
    bool quoted = false;
    // The part of `item` that came from quotes or escapes keeps its blanks when trimming.
    qsizetype keepFrom = -1;
    qsizetype keepTo = 0;
    auto keep = [&] {
        if (keepFrom < 0)
            keepFrom = item.size() - 1;
        keepTo = item.size();
    };
    auto finishItem = [&] {
        qsizetype first = 0;
        qsizetype last = item.size();
        while (first < last && (keepFrom < 0 || first < keepFrom) && item.at(first).isSpace())
            ++first;
        while (last > first && last > keepTo && item.at(last - 1).isSpace())
            --last;
        items << item.mid(first, last - first);
        item.clear();
        keepFrom = -1;
        keepTo = 0;
    };
    const qsizetype size = raw.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = raw.at(i);
        if (c == u'"') {
            quoted = !quoted;
            if (quoted && keepFrom < 0)
                keepFrom = item.size();
            keepTo = item.size();
            continue;
        }
        if (c == u'\\' && i + 1 < size) {
            const QChar e = raw.at(++i);
            switch (e.unicode()) {
                case u'a':
                    item += QChar(u'\a');
                    break;
                case u'b':
                    item += QChar(u'\b');
                    break;
                case u'f':
                    item += QChar(u'\f');
                    break;
                case u'n':
                    item += QChar(u'\n');
                    break;
                case u'r':
                    item += QChar(u'\r');
                    break;
                case u't':
                    item += QChar(u'\t');
                    break;
                case u'v':
                    item += QChar(u'\v');
                    break;
                case u'x':
                case u'X': {
                    char16_t code = 0;
                    while (i + 1 < size && HexDigit(raw.at(i + 1)) >= 0)
                        code = char16_t((code << 4) | HexDigit(raw.at(++i)));
                    item += QChar(code);
                    break;
                }
                default:
                    if (e >= u'0' && e <= u'7') {
                        char16_t code = char16_t(e.unicode() - u'0');
                        for (int n = 0; n < 2 && i + 1 < size && raw.at(i + 1) >= u'0' &&
                                        raw.at(i + 1) <= u'7';
                             ++n)
                            code = char16_t((code << 3) | (raw.at(++i).unicode() - u'0'));
                        item += QChar(code);
                    } else {
                        item += e;  // \" \' \\ \? \; \, and anything else stand for themselves
                    }
            }
            keep();
            continue;
        }
        if (!quoted && c == u';')
            break;
        if (!quoted && c == u',') {
            finishItem();
            continue;
        }
        item += c;
        if (quoted)
            keep();
    }
    finishItem();
    for (QString& text : items) {
        if (text.startsWith(QLatin1String("@@")))
            text.remove(0, 1);  // how a text starting with '@' is written
    }
    return items.join(QLatin1Char(','));
}

// The value as QSettings would write it, so that older builds still read it alike.
QString EscapeValue(const QString& text) {
    QString out;
    bool needsQuotes = text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    bool escapeNextIfHex = false;
    if (text.startsWith(QLatin1Char('@')))
        out += QLatin1Char('@');
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (escapeNextIfHex && HexDigit(c) >= 0) {
            out += QStringLiteral("\\x") + QString::number(u, 16);
            continue;
        }
        escapeNextIfHex = false;
        switch (u) {
            case u'\a':
                out += QLatin1String("\\a");
                break;
            case u'\b':
                out += QLatin1String("\\b");
                break;
            case u'\f':
                out += QLatin1String("\\f");
                break;
            case u'\n':
                out += QLatin1String("\\n");
                break;
            case u'\r':
                out += QLatin1String("\\r");
                break;
            case u'\t':
                out += QLatin1String("\\t");
                break;
            case u'\v':
                out += QLatin1String("\\v");
                break;
            case u'"':
                out += QLatin1String("\\\"");
                break;
            case u'\\':
                out += QLatin1String("\\\\");
                break;
            case u';':
            case u',':
            case u'=':
                needsQuotes = true;
                out += c;
                break;
            default:
                if (u < 0x20 || u == 0x7f) {
                    out += QStringLiteral("\\x") + QString::number(u, 16);
                    escapeNextIfHex = true;
                } else {
                    out += c;
                }
        }
    }
    return needsQuotes ? QLatin1Char('"') + out + QLatin1Char('"') : out;
}

}  // namespace

QString SettingName(Setting setting) {
    return QString::fromLatin1(Names[size_t(setting)]);
}

QString Settings::DefaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + "/.config";
    return base + QStringLiteral("/Sondrel/Sondrel.conf");
}

Settings::Settings(QString path) : path_(std::move(path)) {}

void Settings::ReadSettings() {
    if (path_.isEmpty())
        return;
    values_ = {};
    bool inGeneral = true;  // keys before any section header belong to [General]
    for (const QString& line : ReadTextLines(path_)) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) ||
            trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
            const QString section = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inGeneral = section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGeneral || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        for (int i = 0; i < SettingCount; ++i) {
            if (key == QLatin1String(Names[size_t(i)])) {
                // Hand-edited files may hold lists or numbers; all are read as their text.
                values_[size_t(i)] = UnescapeValue(line.mid(equals + 1)).remove(QChar(u'\0'));
                break;
            }
        }
    }
}

QString Settings::WriteSettings() {
    if (path_.isEmpty())
        return {};
    QStringList lines{QStringLiteral("[General]")};
    for (int i = 0; i < SettingCount; ++i)
        lines << QLatin1String(Names[size_t(i)]) + QLatin1Char('=') +
                     EscapeValue(values_[size_t(i)]);
    QString error;
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()) ||
        !WriteTextFileAtomically(path_, lines, &error))
        return QStringLiteral("无法写入设置文件 ") + path_;
    return {};
}

}  // namespace sondrel
