#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

namespace sondrel {

class ExportFrame;

// The list copies of the file menu: the target list and the console's command history copied
// out to a chosen file, or in from one. A copy in must be a readable text file; it replaces the
// list in one step (a temporary file and a rename), so a failed copy leaves the list whole, and
// the list is reloaded.
class ListCopies {
  public:
    struct List {
        QString path;                  // the list file in the data folder
        std::function<void()> reload;  // Fill_IP_List_2, LoadCommandHistory
    };
    ListCopies(ExportFrame& frame, List targets, List history, std::function<QDateTime()> now);

    void ExportTargetList();
    void ImportTargetList();
    void ExportCommandHistory();
    void ImportCommandHistory();

  private:
    struct Texts {
        QString saveTitle, defaultName, exported, question, imported;
    };
    void exportList(const List& list, const Texts& texts);
    void importList(const List& list, const Texts& texts);

    ExportFrame& frame_;
    List targets_;
    List history_;
    std::function<QDateTime()> now_;
};

}  // namespace sondrel
