#include "engine/ui/results_pane.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include "common/run_state.h"
#include "common/ui/cjk_font.h"
#include "common/ui/twips.h"
#include "engine/ping_test.h"
#include "engine/reply_record.h"
#include "engine/run_statistics.h"

namespace sondrel {

namespace {

constexpr int PaneWidth = 11720;
constexpr int PaneHeight = 5535;
constexpr int TitleTop = 30;
constexpr int LineHeight = 240;
constexpr int RowTop = 300;  // rows end at 5,100, above the web address line of the window
constexpr int TypeLeft = 60;
constexpr int TypeWidth = 740;
constexpr int AddressLeft = 800;
constexpr int AddressWidth = 4000;
constexpr int DetailShortLeft = 4715;
constexpr int DetailLongLeft = 4815;
constexpr int DetailRight = 8400;
constexpr int ScrollLeft = 8430;
constexpr int ScrollWidth = 255;
constexpr int HeadingLeft = 8760;
constexpr int HeadingWidth = 1080;
constexpr int ValueLeft = 9870;
constexpr int ValueWidth = 1500;
constexpr int ReportRow = 10;
constexpr int ReportWidth = 600;

constexpr int RowY(int row) {
    return RowTop + row * LineHeight;
}

const QColor Black(0, 0, 0);
const QColor Grey(0x80, 0x80, 0x80);
const QColor Green(0, 0xFF, 0);
const QColor Silver(0xC0, 0xC0, 0xC0);
const QColor White(0xFF, 0xFF, 0xFF);
const QColor Yellow(0xFF, 0xFF, 0);

const char* const ColumnNames[] = {"sTYPE", "sIP", "sIP2", "sIP3", "sIP4"};
const QColor ColumnColours[] = {Silver, Green, Green, Yellow, White};

// sIP3 items that carry the summary headings, in the order of the summary values.
constexpr int SummaryItems[] = {0, 1, 2, 3, 5, 6, 7, 8};

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void SetBackground(QWidget* widget, const QColor& colour) {
    SetColour(widget, QPalette::Window, colour);
    widget->setAutoFillBackground(true);
}

}  // namespace

ResultsPane::ResultsPane(PingTest& test, RunState& state, QWidget* parent)
    : QFrame(parent), test_(test), state_(state) {
    setObjectName(QStringLiteral("Picture2"));
    setFixedSize(Twips(PaneWidth), Twips(PaneHeight));
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    // Sixteen pixels a row: a face of 11 pixels keeps Chinese and digits unclipped.
    setFont(CjkFont(11));
    buildTitles();
    buildRows();
    buildScrollBar();
    buildReportLink();
    setBackground(Grey);  // until the first test or reload

    connect(&test, &PingTest::resultsReset, this, &ResultsPane::ResetForTest);
    connect(&test, &PingTest::statusLineChanged, this, &ResultsPane::showStatus);
    connect(&test, &PingTest::detailColumnPlaced, this, &ResultsPane::placeDetailColumn);
    connect(&test, &PingTest::replyShown, this, &ResultsPane::showReply);
    connect(&test, &PingTest::statisticsChanged, this, &ResultsPane::showSummary);
    connect(&test, &PingTest::scrollSetup, this, &ResultsPane::setupScroll);
    connect(&test, &PingTest::reportLinkShown, report_, &QLabel::setVisible);
    connect(&test, &PingTest::summaryLabelsShown, this, &ResultsPane::showSummaryLabels);
}

QLabel* ResultsPane::addLabel(const QString& name, const QRect& twips) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->installEventFilter(this);
    return label;
}

void ResultsPane::buildTitles() {
    const QRect places[] = {{AddressLeft, TitleTop, DetailRight - AddressLeft, LineHeight},
                            {TypeLeft, TitleTop, TypeWidth, LineHeight},
                            {5600, TitleTop, 2800, LineHeight},
                            {HeadingLeft, TitleTop, 2400, LineHeight}};
    for (int item = 0; item < 4; ++item) {
        QLabel* label = addLabel(QStringLiteral("LabelTittle_%1").arg(item), places[item]);
        SetColour(label, QPalette::WindowText, White);
        titles_[size_t(item)] = label;
    }
    titles_[2]->hide();  // the countdown of a reload
    titles_[3]->setText(QStringLiteral("跳转到主机："));
    titles_[3]->hide();  // the jump caption of a trace
}

void ResultsPane::buildRows() {
    const int lefts[] = {TypeLeft, AddressLeft, DetailShortLeft, HeadingLeft, ValueLeft};
    const int widths[] = {TypeWidth, AddressWidth, DetailRight - DetailShortLeft, HeadingWidth,
                          ValueWidth};
    for (int column = 0; column < 5; ++column) {
        for (int item = 0; item < RowCount; ++item) {
            const QString name =
                QStringLiteral("%1_%2").arg(QLatin1String(ColumnNames[column])).arg(item);
            QLabel* label =
                addLabel(name, QRect(lefts[column], RowY(item), widths[column], LineHeight));
            SetColour(label, QPalette::WindowText, ColumnColours[column]);
            columns_[size_t(column)][size_t(item)] = label;
        }
    }
    const QStringList& headings = SummaryHeadings();
    for (int i = 0; i < 8; ++i)
        row(HeadingColumn, SummaryItems[i])->setText(headings.value(i));
    row(HeadingColumn, ReportRow)->setText(QStringLiteral("报告："));
}

void ResultsPane::buildScrollBar() {
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName(QStringLiteral("VScroll1"));
    scrollBar_->setGeometry(TwipsRect(ScrollLeft, RowTop, ScrollWidth, RowCount * LineHeight));
    scrollBar_->setRange(0, 0);
    scrollBar_->setSingleStep(1);
    scrollBar_->setPageStep(ResultScroll::PageRows);
    // The rows follow the thumb once it is let go; a drag is told apart from arrow and page
    // clicks because a dragged thumb moves in proportion on a scaled bar.
    scrollBar_->setTracking(false);
    connect(scrollBar_, &QScrollBar::sliderPressed, this, [this] { thumbDragged_ = true; });
    connect(scrollBar_, &QScrollBar::sliderReleased, this, [this] {
        if (scrollBar_->sliderPosition() == scrollBar_->value())
            thumbDragged_ = false;
    });
    connect(scrollBar_, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            thumbDragged_ = false;
    });
    connect(scrollBar_, &QScrollBar::valueChanged, this, &ResultsPane::scrollMoved);
}

void ResultsPane::buildReportLink() {
    report_ = addLabel(QStringLiteral("PingReport"),
                       QRect(ValueLeft, RowY(ReportRow), ReportWidth, LineHeight));
    report_->setText(QStringLiteral("打开"));
    report_->setToolTip(QStringLiteral("打开摘要报告"));
    report_->setCursor(Qt::PointingHandCursor);
    QFont underlined = report_->font();
    underlined.setUnderline(true);
    report_->setFont(underlined);
    SetColour(report_, QPalette::WindowText, Silver);
    report_->hide();
}

void ResultsPane::setBackground(const QColor& colour) {
    SetBackground(this, colour);
    SetBackground(titles_[0], colour);
    SetBackground(titles_[1], colour);
    for (auto& column : columns_)
        for (QLabel* label : column)
            SetBackground(label, colour);
}

void ResultsPane::ResetForTest() {
    if (textRows_) {
        textRows_ = false;
        for (int item = 0; item < RowCount; ++item)
            row(AddressColumn, item)->setFont(QFont());  // the pane's face again
    }
    setBackground(Black);
    for (int item = 0; item < RowCount; ++item) {
        row(AddressColumn, item)
            ->setGeometry(TwipsRect(AddressLeft, RowY(item), AddressWidth, LineHeight));
        for (QLabel* label :
             {row(TypeColumn, item), row(AddressColumn, item), row(DetailColumn, item),
              row(HeadingColumn, item), row(ValueColumn, item)})
            label->show();
        row(ValueColumn, item)->clear();
    }
    emptyRows();
    titles_[0]->move(Twips(AddressLeft), titles_[0]->y());
    titles_[3]->hide();
}

void ResultsPane::emptyRows() {
    for (int item = 0; item < RowCount; ++item) {
        row(TypeColumn, item)->clear();
        row(AddressColumn, item)->clear();
        row(DetailColumn, item)->clear();
    }
}

void ResultsPane::showTextRows(const QStringList& rows, int firstRow, int totalRows) {
    if (!textRows_)
        layOutTextRows();
    for (int item = 0; item < RowCount; ++item)
        row(AddressColumn, item)->setText(rows.value(item));
    scroll_.setup(totalRows - 1, firstRow + RowCount - 1);
    syncScrollBar();
}

// One wide column from the left edge to the scroll bar, in a fixed-pitch face so that the
// columns of the lines stay aligned.
void ResultsPane::layOutTextRows() {
    textRows_ = true;
    QFont fixed = CjkFont(11);
    fixed.setFamily(QStringLiteral("Noto Sans Mono CJK SC"));
    fixed.setStyleHint(QFont::Monospace);
    for (int item = 0; item < RowCount; ++item) {
        for (const Column hidden : {TypeColumn, DetailColumn, HeadingColumn, ValueColumn})
            row(hidden, item)->hide();
        QLabel* text = row(AddressColumn, item);
        text->setGeometry(TwipsRect(TypeLeft, RowY(item), DetailRight - TypeLeft, LineHeight));
        text->setFont(fixed);
        text->show();
    }
    report_->hide();
}

void ResultsPane::showStatus(int item, const QString& text) {
    if (item < 0 || item >= int(titles_.size()))
        return;
    titles_[size_t(item)]->setText(text);
    if (item == 2)
        titles_[2]->setVisible(!text.isEmpty());
}

void ResultsPane::placeDetailColumn(bool longAddresses) {
    const int left = longAddresses ? DetailLongLeft : DetailShortLeft;
    for (int item = 0; item < RowCount; ++item)
        row(DetailColumn, item)
            ->setGeometry(TwipsRect(left, RowY(item), DetailRight - left, LineHeight));
}

// During a test the rows fill page by page; the first reply of a page empties the page.
void ResultsPane::showReply(qint32 index, const QString& prefix, const QString& detail) {
    const int item = index % RowCount;
    if (item == 0)
        emptyRows();
    row(TypeColumn, item)->setText(QString::number(index + 1) + QLatin1Char('.'));
    row(AddressColumn, item)->setText(prefix);
    row(DetailColumn, item)->setText(detail);
}

void ResultsPane::showSummary() {
    const SummaryTexts values = test_.summary();
    for (size_t i = 0; i < values.size(); ++i)
        row(ValueColumn, SummaryItems[i])->setText(values[i]);
}

void ResultsPane::showSummaryLabels() {
    for (int item = 0; item < RowCount; ++item) {
        row(HeadingColumn, item)->show();
        row(ValueColumn, item)->show();
    }
}

void ResultsPane::setupScroll(qint32 lastIndex, qint32 lastShown) {
    scroll_.setup(lastIndex, lastShown);
    syncScrollBar();
}

// Moves the bar without handling the change.
void ResultsPane::syncScrollBar() {
    const QSignalBlocker quiet(scrollBar_);
    scrollBar_->setRange(0, scroll_.maximum());
    scrollBar_->setValue(scroll_.value());
}

void ResultsPane::scrollMoved(int value) {
    const bool dragged = thumbDragged_;
    thumbDragged_ = false;
    const qint32 first = scroll_.moved(value, dragged);
    syncScrollBar();
    if (textRows_) {
        Q_EMIT textRowsScrolled(first);
        return;
    }
    // While a test runs the rows stay as the probes wrote them.
    if (state_.runningActivity == Activity::Ping && !state_.activityBusy() &&
        test_.records().index() > RowCount && first >= 0)
        showRecordWindow(first);
}

void ResultsPane::showRecordWindow(qint32 first) {
    emptyRows();
    const ReplyRecords& records = test_.records();
    for (int item = 0; item < RowCount && first + item < records.size(); ++item) {
        const qint32 index = first + item;
        const ReplyLine line = ReplyLineFromRecord(records.at(index));
        row(TypeColumn, item)->setText(QString::number(index + 1) + QLatin1Char('.'));
        row(AddressColumn, item)->setText(line.prefix);
        row(DetailColumn, item)->setText(line.detail);
    }
}

// A click on a label of the pane: each kind closes its own set of panels.
bool ResultsPane::rowClicked(QObject* watched) {
    if (watched == titles_[0] || watched == titles_[1] || watched == titles_[2] ||
        watched == titles_[3]) {
        Q_EMIT popupsDismissed(PopupTraceIP | PopupShowIP);
        return true;
    }
    for (int item = 0; item < RowCount; ++item) {
        if (watched == row(AddressColumn, item)) {
            Q_EMIT popupsDismissed(PopupTraceIP | PopupShowIP);
        } else if (watched == row(DetailColumn, item)) {
            Q_EMIT popupsDismissed(PopupShowIP);
            Q_EMIT focusRestRequested();
        } else if (watched == row(HeadingColumn, item) || watched == row(ValueColumn, item)) {
            Q_EMIT focusRestRequested();
        } else if (watched != row(TypeColumn, item)) {
            continue;
        }
        return true;
    }
    return false;
}

bool ResultsPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == report_) {
        if (event->type() == QEvent::Enter)
            SetColour(report_, QPalette::WindowText, Green);
        if (event->type() == QEvent::Leave)
            SetColour(report_, QPalette::WindowText, Silver);
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            report_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
            Q_EMIT reportRequested();
        return event->type() == QEvent::MouseButtonPress ||
               event->type() == QEvent::MouseButtonRelease;
    }
    if (event->type() == QEvent::MouseButtonPress)
        return rowClicked(watched);
    if (event->type() == QEvent::Enter) {
        for (int item = 0; item < RowCount; ++item) {
            if (watched == row(AddressColumn, item))
                Q_EMIT rowHovered(false);
            if (watched == row(DetailColumn, item))
                Q_EMIT rowHovered(true);
        }
    }
    return QFrame::eventFilter(watched, event);
}

void ResultsPane::mousePressEvent(QMouseEvent* event) {
    Q_EMIT popupsDismissed(PopupFrameTime | PopupShowIP | PopupTraceIP);
    Q_EMIT focusRestRequested();
    event->accept();
}

// Moves over the labels reach the pane too; only the pane's own background counts.
void ResultsPane::mouseMoveEvent(QMouseEvent* event) {
    if (!childAt(event->position().toPoint())) {
        SetColour(report_, QPalette::WindowText, Silver);
        Q_EMIT pointerOverPane();
    }
    QFrame::mouseMoveEvent(event);
}

void ResultsPane::focusInEvent(QFocusEvent* event) {
    Q_EMIT popupsDismissed(PopupFrameTime);
    QFrame::focusInEvent(event);
}

}  // namespace sondrel
