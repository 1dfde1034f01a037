#include "console/command_words.h"

namespace sondrel {

namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool EscapableInDoubleQuotes(QChar c) {
    return c == u'"' || c == u'\\' || c == u'$' || c == u'`' || c == u'\n';
}

}  // namespace

std::optional<QStringList> SplitCommandWords(const QString& line) {
    enum class Quote { None, Single, Double };
    QStringList words;
    QString word;
    bool inWord = false;
    Quote quote = Quote::None;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quote == Quote::Single) {
            if (c == u'\'')
                quote = Quote::None;
            else
                word += c;
        } else if (quote == Quote::Double) {
            if (c == u'"') {
                quote = Quote::None;
            } else if (c == u'\\' && i + 1 < line.size() && EscapableInDoubleQuotes(line[i + 1])) {
                word += line[++i];
            } else {
                word += c;
            }
        } else if (IsBlank(c)) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == u'\'') {
                quote = Quote::Single;
            } else if (c == u'"') {
                quote = Quote::Double;
            } else if (c == u'\\') {
                if (i + 1 >= line.size())
                    return std::nullopt;
                word += line[++i];
            } else {
                word += c;
            }
        }
    }
    if (quote != Quote::None)
        return std::nullopt;
    if (inWord)
        words << word;
    return words;
}

}  // namespace sondrel
