#include "report/ui/dialog_rpt.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

#include "common/ui/cjk_font.h"
#include "common/ui/twips.h"
#include "report/ping_export.h"
#include "report/report_export.h"
#include "report/ui/dialog_export.h"

namespace sondrel {

namespace {

constexpr int ListTop = 1320;
constexpr int ListHeight = 5400;
// Left and width of each list, twips.
constexpr std::array<std::pair<int, int>, 7> Columns{
    {{120, 3960}, {4080, 720}, {4800, 840}, {5640, 840}, {6480, 1080}, {7560, 1080}, {8640, 1800}}};
const char* const HeaderTexts[] = {
    "从        -        到", "TTL", "发送", "丢失", "时间", "丢失率-图表"};

bool printerFromDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

int columnsOf(QChar c) {
    return c.unicode() >= 0x1100 ? 2 : 1;
}

}  // namespace

QStringList ExpandTabs(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines) {
        QString expanded;
        int column = 0;
        for (QChar c : line) {
            if (c == QLatin1Char('\t')) {
                const int spaces = 8 - column % 8;
                expanded += QString(spaces, QLatin1Char(' '));
                column += spaces;
            } else {
                expanded += c;
                column += columnsOf(c);
            }
        }
        out << expanded;
    }
    return out;
}

DialogRpt::DialogRpt(Sources sources, QWidget* parent)
    : QDialog(parent), sources_(std::move(sources)), chooser_(printerFromDialog) {
    setObjectName(QStringLiteral("DialogRpt"));
    setWindowTitle(QStringLiteral("侦测测试摘要报告"));
    setFont(CjkFont());
    setFixedSize(Twips(10560), Twips(7560));
    buildControls();
    addLists();
    addButtons();
}

DialogRpt::~DialogRpt() = default;

void DialogRpt::buildControls() {
    const char* captions[] = {"时间段", "发送缓冲大小"};
    for (int i = 0; i < 2; ++i) {
        option1_[size_t(i)] = new QRadioButton(QString::fromUtf8(captions[i]), this);
        option1_[size_t(i)]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        PlaceTwips(option1_[size_t(i)], 240 + 1800 * i, 240, 1700, 300);
    }
    option1_[0]->setChecked(true);
    auto* before = new QLabel(QStringLiteral("通过分组"), this);
    PlaceTwips(before, 4080, 240, 900, 300);
    comboGroupBy_ = new QComboBox(this);
    comboGroupBy_->setObjectName(QStringLiteral("ComboGroupBy"));
    comboGroupBy_->setEditable(true);
    PlaceTwips(comboGroupBy_, 5000, 200, 900, 345);
    for (int m = 1; m <= 60; ++m)
        comboGroupBy_->addItem(QString::number(m));
    for (int m = 90; m <= 300; m += 30)
        comboGroupBy_->addItem(QString::number(m));
    connect(comboGroupBy_, &QComboBox::editTextChanged, this, &DialogRpt::ComboGroupBy_Change);
    auto* after = new QLabel(QStringLiteral("分钟"), this);
    PlaceTwips(after, 6000, 240, 600, 300);
    text2_ = new QLabel(QStringLiteral("计算..."), this);
    text2_->setObjectName(QStringLiteral("Text2"));
    PlaceTwips(text2_, 6840, 240, 1200, 300);
    text2_->hide();
    text4_ = new QLineEdit(this);
    text4_->setObjectName(QStringLiteral("Text4"));
    PlaceTwips(text4_, 120, 7800, 300, 300);  // below the visible area: holds the focus
}

void DialogRpt::addLists() {
    for (size_t i = 0; i < 7; ++i) {
        if (i < 6) {
            auto* header = new QLineEdit(QString::fromUtf8(HeaderTexts[i]), this);
            header->setObjectName(QStringLiteral("Text3_%1").arg(i));
            header->setReadOnly(true);
            header->setFocusPolicy(Qt::NoFocus);
            const int width = i == 5 ? Columns[5].second + Columns[6].second : Columns[i].second;
            PlaceTwips(header, Columns[i].first, ListTop - 330, width, 330);
            headers_[i] = header;
        }
        auto* list = new QListWidget(this);
        list->setObjectName(QStringLiteral("List1_%1").arg(i));
        list->setFont(CjkFont());
        list->setVerticalScrollBarPolicy(i == 6 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        PlaceTwips(list, Columns[i].first, ListTop, Columns[i].second, ListHeight);
        connect(list, &QListWidget::currentRowChanged, this, &DialogRpt::selectRow);
        lists_[i] = list;
    }
    connect(lists_[6]->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &DialogRpt::followScroll);
}

void DialogRpt::addButtons() {
    struct Button {
        const char* name;
        const char* caption;
        int left;
        void (DialogRpt::*command)();
    };
    const Button buttons[] = {{"CommandBUild", "生成", 240, &DialogRpt::BuildReport},
                              {"CommandExport", "导出", 1560, &DialogRpt::ExportReport},
                              {"CommandOpen", "打开", 2880, nullptr},
                              {"CommandPrint", "打印", 4200, &DialogRpt::PrintReport},
                              {"Command3", "", 5640, &DialogRpt::BuildReport},
                              {"Command5", "", 6120, &DialogRpt::ExportReport},
                              {"Command6", "", 6600, nullptr},
                              {"Command4", "", 7080, &DialogRpt::PrintReport}};
    const QStyle::StandardPixmap icons[] = {QStyle::SP_BrowserReload, QStyle::SP_DialogSaveButton,
                                            QStyle::SP_DialogOpenButton,
                                            QStyle::SP_FileDialogDetailedView};
    int picture = 0;
    for (const Button& b : buttons) {
        QAbstractButton* button = nullptr;
        if (*b.caption) {
            button = new QPushButton(QString::fromUtf8(b.caption), this);
            PlaceTwips(button, b.left, 6840, 1200, 420);
        } else {
            button = new QToolButton(this);
            button->setIcon(style()->standardIcon(icons[picture++]));
            PlaceTwips(button, b.left, 6840, 420, 420);
        }
        button->setObjectName(QString::fromLatin1(b.name));
        if (b.command)
            connect(button, &QAbstractButton::clicked, this, b.command);
        else
            connect(button, &QAbstractButton::clicked, this,
                    [this] { sources_.frame.OpenResultFile(); });
        commands_ << button;
    }
}

bool DialogRpt::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

// The lists are empty again when the dialog is opened the next time, however it was closed.
void DialogRpt::done(int result) {
    clearLists();
    QDialog::done(result);
}

void DialogRpt::Form_Activate() {
    CentreAboveMiddle(this);
    comboGroupBy_->setEditText(PeriodForRun(sources_.run()));
    text4_->setFocus(Qt::OtherFocusReason);
}

// A period that reads 0 or less (or no number) becomes 1: a negative one would never close a
// group.
void DialogRpt::ComboGroupBy_Change(const QString& text) {
    if (PeriodTextRefused(text))
        comboGroupBy_->setEditText(QStringLiteral("1"));
}

void DialogRpt::BeginReportWork() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (QWidget* command : commands_)
        command->setEnabled(false);
    text2_->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void DialogRpt::EndReportWork() {
    for (QWidget* command : commands_)
        command->setEnabled(true);
    text2_->hide();
    QApplication::restoreOverrideCursor();
}

void DialogRpt::clearLists() {
    for (QListWidget* list : lists_)
        list->clear();
}

void DialogRpt::BuildReport() {
    clearLists();
    BeginReportWork();
    const RunResults run = sources_.run();
    const QString refusal = ReportRefusal(run);
    if (!refusal.isEmpty()) {
        EndReportWork();
        sources_.frame.prompts().message(refusal, MessageIcon::Critical);
        return;
    }
    StampFormatter stamps;
    if (option1_[0]->isChecked())
        report_ = BuildPeriodReport(run, PeriodOf(comboGroupBy_->currentText()), stamps);
    else
        report_ = BuildSizeReport(run, stamps);
    fillLists();
    EndReportWork();
    text4_->setFocus(Qt::OtherFocusReason);
}

void DialogRpt::fillLists() {
    const ReportColumns columns = ReportListColumns(*report_, sources_.run().targets);
    headers_[0]->setText(columns.spanHeading);
    for (size_t i = 0; i < 7; ++i)
        lists_[i]->addItems(columns.rows[i]);
}

void DialogRpt::ExportReport() {
    BeginReportWork();
    const std::optional<ExportFormat> format =
        sources_.frame.dialogs().chooseExportFormat(ExportSource::Report);
    if (format) {
        const RunResults run = sources_.run();
        sondrel::ExportReport(sources_.frame, report_ ? &*report_ : nullptr, run.targets,
                              FilledRecordCount(run.records) > 0,
                              ExportStamp(run.statistics.lastReplyLine), *format);
    }
    EndReportWork();
}

void DialogRpt::PrintReport() {
    if (!report_) {
        sources_.frame.prompts().message(NoReportBuiltError + QStringLiteral("    "),
                                         MessageIcon::Exclamation);
        return;
    }
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!chooser_(printer))
        return;
    BeginReportWork();
    printOn(printer);
    EndReportWork();
}

// The text report in a fixed-pitch face with the Chinese glyphs, page after page.
void DialogRpt::printOn(QPrinter& printer) {
    const QStringList lines = ExpandTabs(ReportTextLines(*report_, sources_.run().targets));
    QPainter painter;
    if (!painter.begin(&printer)) {
        sources_.frame.prompts().message(QStringLiteral("无法打印。    "),
                                         MessageIcon::Exclamation);
        return;
    }
    QFont face(QStringLiteral("Noto Sans Mono CJK SC"));
    face.setStyleHint(QFont::Monospace);
    face.setPointSizeF(7.5);
    painter.setFont(face);
    const QFontMetrics metrics(face, &printer);
    const int height = metrics.lineSpacing();
    const int page = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    int y = metrics.ascent();
    for (const QString& line : lines) {
        if (y + metrics.descent() > page) {
            printer.newPage();
            y = metrics.ascent();
        }
        painter.drawText(0, y, line);
        y += height;
    }
    painter.end();
}

void DialogRpt::selectRow(int row) {
    if (linking_)
        return;
    linking_ = true;
    for (QListWidget* list : lists_)
        if (row >= 0 && row < list->count())
            list->setCurrentRow(row);
    linking_ = false;
}

void DialogRpt::followScroll(int top) {
    for (size_t i = 0; i < 6; ++i)
        lists_[i]->verticalScrollBar()->setValue(top);
}

}  // namespace sondrel
