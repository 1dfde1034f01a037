#include "common/text_file.h"

#include <QByteArray>
#include <QFile>
#include <QLatin1Char>
#include <QSaveFile>
#include <QStringDecoder>
#include <utility>

namespace sondrel {

namespace {

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is dropped), else GB18030.
QString DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GB18030", QStringDecoder::Flag::Stateless);
    if (!gbk.isValid())
        return text;  // no GB18030 codec: keep UTF-8 with replacement marks
    return gbk.decode(bytes);
}

QStringList SplitLines(const QString& text) {
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();  // the file ended with a line end
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

void SetError(QString* error, const QString& text) {
    if (error != nullptr)
        *error = text;
}

}  // namespace

QStringList ReadTextLines(const QString& path, bool* ok) {
    if (ok != nullptr)
        *ok = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    if (ok != nullptr)
        *ok = true;
    return SplitLines(DecodeText(bytes));
}

QString TrimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

bool WriteTextFileAtomically(const QString& path, const QStringList& lines, QString* error) {
    QByteArray data;
    for (const QString& line : lines) {
        data += line.toUtf8();
        data += "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    if (file.write(data) != data.size()) {
        SetError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}

TrimmedLineReader::TrimmedLineReader(const QString& path) {
    lines_ = ReadTextLines(path, &open_);
}

TrimmedLineReader::TrimmedLineReader(QStringList lines) : lines_(std::move(lines)), open_(true) {}

QString TrimmedLineReader::readTrimmedLine() {
    if (atEnd())
        return {};
    return TrimSpaces(lines_.at(next_++));
}

}  // namespace sondrel
