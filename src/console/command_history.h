#pragma once

#include <QString>
#include <QStringList>

namespace sondrel {

class UserPrompts;

inline const QString HistoryFileName = QStringLiteral("Quibbet_DB2.txt");

// The commands of the console run before, kept in "Quibbet_DB2.txt" of the data folder: one
// trimmed command a line, no duplicates, the newest last, and the terminating " " line. A
// missing file is created with the default history; an emptied file stays empty. Every change
// replaces the file in one step and reloads it.
class CommandHistory {
  public:
    CommandHistory(QString dataFolder, UserPrompts& prompts);

    QString filePath() const { return path_; }
    // HistoryLines: file order. HistoryDisplay: file order or sorted, as shown.
    const QStringList& lines() const { return lines_; }
    const QStringList& display() const { return display_; }
    bool sorted() const { return sorted_; }

    // LoadCommandHistory: the file read again, in file order (the default history written
    // first when it is missing).
    void LoadCommandHistory();
    // Appends a trimmed command unless it is empty or already shown. False when nothing was
    // added; a failed write is reported with "   Dos Add".
    bool AddCommandToHistory(const QString& command);
    // The questions and rewrites of the history menu; each returns whether the file changed.
    bool DeleteSelectedHistory(const QStringList& selected);
    bool KeepLastHistory(int count);
    bool ClearHistory();
    // Sorted by the first 30 characters, or file order again.
    void ToggleHistoryOrder();

  private:
    bool rewrite(const QStringList& commands, const QString& label);

    QString path_;
    UserPrompts& prompts_;
    QStringList lines_;
    QStringList display_;
    bool sorted_ = false;
};

}  // namespace sondrel
