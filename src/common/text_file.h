#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringList>

namespace sondrel {

// The program's text files: written in UTF-8 with CR LF after every line; read with CR LF,
// LF or lone CR line ends. Each line is decoded on its own: a line that is valid UTF-8 is
// UTF-8, any other line GB18030 (lists and histories written on the old platform hold their
// Chinese texts in GBK, and hand-edited files may mix both).

// The largest text file read; anything bigger counts as unreadable.
inline constexpr qint64 MaxTextFileSize = qint64(64) << 20;  // 64 MiB

// One line's bytes (no line end) as text: UTF-8 when they are valid UTF-8, else GB18030.
QString DecodeTextLine(QByteArrayView bytes);

// All lines of the file; a last line without a line end is kept. `ok` is false (and the list
// empty) when the file cannot be opened or read, is no regular file (a folder, FIFO, device,
// or a link to one of these) or is larger than MaxTextFileSize. The open never blocks.
QStringList ReadTextLines(const QString& path, bool* ok = nullptr);

// Opens `path` for reading when it is a regular file, without blocking on the open (a FIFO
// without a writer, a device). Returns false, with `file` closed, for anything else.
bool OpenRegularFile(QFile& file, const QString& path);

// The text without leading and trailing spaces; tabs and other blanks stay.
QString TrimSpaces(const QString& text);

// The bytes of a regular file of at most MaxTextFileSize bytes, read without blocking on the
// open. False (with the system's reason in `error`, when given) for anything else.
bool ReadFileBytes(const QString& path, QByteArray* bytes, QString* error = nullptr);

// Replaces the file by `data` in one step, as WriteTextFileAtomically does with lines.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error);

// Replaces the file by the lines in one step: the lines go to a temporary file in the same
// folder, flushed to disk and then renamed over the old one, so a failed write (a full disk,
// say) leaves the old file as it was. A link is followed and its target replaced. On failure
// returns false and puts the system's reason in `error` (when given).
bool WriteTextFileAtomically(const QString& path, const QStringList& lines, QString* error);

// Hands out the lines of a text file one at a time, each trimmed of spaces. The file is read
// whole when the reader is made; a file that cannot be read reads as empty.
class TrimmedLineReader {
  public:
    explicit TrimmedLineReader(const QString& path);
    explicit TrimmedLineReader(QStringList lines);

    bool isOpen() const { return open_; }
    bool atEnd() const { return next_ >= lines_.size(); }
    // The next line trimmed of spaces; empty at the end of the file or when it was unreadable.
    QString readTrimmedLine();

  private:
    QStringList lines_;
    qsizetype next_ = 0;
    bool open_ = false;
};

// The next line of the reader, trimmed of spaces; empty at the end or on a read error.
inline QString ReadTrimmedLine(TrimmedLineReader& reader) {
    return reader.readTrimmedLine();
}

}  // namespace sondrel
