#include "app/ui/dialog_help.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ui/help_pages.h"
#include "common/ui/cjk_font.h"
#include "common/ui/twips.h"

namespace sondrel {

namespace {

constexpr int DialogWidth = 8700;
constexpr int DialogHeight = 6300;
constexpr int PageLeft = 140;
constexpr int PageTop = 120;
constexpr int PageWidth = 8420;
constexpr int PageHeight = 5280;
constexpr int ControlTop = 5580;
constexpr int ControlHeight = 375;
// The hibernation note on the ping page carries the text items 20 and 21.
constexpr int NoteFirstItem = 20;

QLabel* Paragraph(QWidget* page, const QString& text, int item) {
    auto* label = new QLabel(text, page);
    label->setObjectName(QStringLiteral("Text1_%1").arg(item));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

DialogHelp::DialogHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DialogHelp"));
    setWindowTitle(QStringLiteral("如何使用？"));
    setModal(false);
    setFont(CjkFont());
    setFixedSize(Twips(DialogWidth), Twips(DialogHeight));
    buildPages();
    buildControls();
    showPage(1);
}

// Every paragraph is a text item of its own, numbered across the pages; the two lines of the
// hibernation note keep their numbers 20 and 21.
void DialogHelp::buildPages() {
    const QList<HelpPage> pages = HelpPages();
    const QStringList note = HibernationNote();
    const int noteEnd = NoteFirstItem + int(note.size());
    int item = 0;
    for (int index = 0; index < PageCount; ++index) {
        auto* page = new QFrame(this);
        page->setObjectName(QString::fromLatin1(pages[index].panel));
        page->setGeometry(TwipsRect(PageLeft, PageTop, PageWidth, PageHeight));
        auto* column = new QVBoxLayout(page);
        auto* heading = new QLabel(pages[index].heading, page);
        QFont bold = heading->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.3);
        heading->setFont(bold);
        column->addWidget(heading);
        for (const QString& text : pages[index].paragraphs) {
            if (item >= NoteFirstItem && item < noteEnd)
                item = noteEnd;  // the note's numbers
            column->addWidget(Paragraph(page, text, item++));
        }
        if (index == 1) {
            for (int line = 0; line < note.size(); ++line)
                column->addWidget(Paragraph(page, note[line], NoteFirstItem + line));
        }
        column->addStretch();
        pages_[size_t(index)] = page;
    }
}

void DialogHelp::buildControls() {
    auto* previous = new QToolButton(this);
    previous->setObjectName(QStringLiteral("CommandPre"));
    previous->setArrowType(Qt::LeftArrow);
    previous->setGeometry(TwipsRect(PageLeft, ControlTop, 600, ControlHeight));
    auto* next = new QToolButton(this);
    next->setObjectName(QStringLiteral("CommandNext"));
    next->setArrowType(Qt::RightArrow);
    next->setGeometry(TwipsRect(PageLeft + 660, ControlTop, 600, ControlHeight));
    counter_ = new QLabel(this);
    counter_->setObjectName(QStringLiteral("Label1"));
    counter_->setGeometry(TwipsRect(PageLeft + 1500, ControlTop, 1500, ControlHeight));
    auto* close = new QPushButton(QStringLiteral("退出("), this);
    close->setObjectName(QStringLiteral("Command1"));
    close->setGeometry(TwipsRect(PageLeft + PageWidth - 1200, ControlTop, 1200, ControlHeight));
    connect(previous, &QToolButton::clicked, this, &DialogHelp::CommandPre_Click);
    connect(next, &QToolButton::clicked, this, &DialogHelp::CommandNext_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void DialogHelp::showPage(int page) {
    page_ = std::clamp(page, 1, PageCount);
    for (QFrame* panel : pages_)
        panel->hide();
    QFrame* shown = pages_[size_t(page_ - 1)];
    shown->move(Twips(PageLeft), Twips(PageTop));
    shown->show();
    shown->raise();
    counter_->setText(QStringLiteral("%1 of %2").arg(page_).arg(PageCount));
}

void DialogHelp::CommandNext_Click() {
    showPage(page_ + 1);
}

void DialogHelp::CommandPre_Click() {
    showPage(page_ - 1);
}

}  // namespace sondrel
