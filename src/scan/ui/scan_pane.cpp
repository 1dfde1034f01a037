#include "scan/ui/scan_pane.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>

#include "common/ui/twips.h"

namespace sondrel {

namespace {

struct Column {
    const char* name;
    const char* header;
    int left;
    int width;
};

// Left to right, twips inside the pane.
const Column Columns[] = {
    {"ssTYPE", " 否.", 120, 600},    {"ssIP", " IP", 735, 2100},       {"sMS", " 侦测", 2850, 1500},
    {"sHOST", "主机名", 4365, 3450}, {"sMAC", "MAC 地址", 7830, 2250}, {"sTTL", "TTL", 10095, 900},
};

constexpr int HeaderTop = 480;
constexpr int FirstRowTop = 750;
constexpr int RowHeight = 225;
constexpr int CellHeight = 210;

const char* const ViewFilters[] = {"全部", "活动", "非活动"};
const char* const ViewCaptions[] = {"全部", "活动", "非活动", "+"};

QLabel* AddLabel(QWidget* parent, const QString& name, const QString& text, QRect place) {
    auto* label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

void Paint(QLabel* label, unsigned colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, ColourOfValue(colour));
    palette.setColor(QPalette::WindowText, colour == ScanColour::Cleared ? Qt::white : Qt::black);
    label->setPalette(palette);
}

}  // namespace

QColor ColourOfValue(unsigned value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

ScanPane::ScanPane(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Picture3"));
    setFrameShape(QFrame::StyledPanel);
    text2_ = new QLineEdit(this);
    text2_->setObjectName(QStringLiteral("Text2"));
    text2_->setReadOnly(true);
    text2_->setFocusPolicy(Qt::NoFocus);
    text2_->setGeometry(TwipsRect(120, 90, 3200, 300));
    AddLabel(this, {}, QStringLiteral("总数："), TwipsRect(3450, 120, 700, 240));
    total_ = AddLabel(this, QStringLiteral("LabelTotal"), {}, TwipsRect(4150, 120, 700, 240));
    AddLabel(this, {}, QStringLiteral("活动:"), TwipsRect(4900, 120, 550, 240));
    active_ = AddLabel(this, QStringLiteral("LabelActive"), {}, TwipsRect(5450, 120, 600, 240));
    separator_ =
        AddLabel(this, QStringLiteral("LabelSeparator"), {}, TwipsRect(6050, 120, 150, 240));
    AddLabel(this, {}, QStringLiteral("非活动:"), TwipsRect(6250, 120, 750, 240));
    inactive_ = AddLabel(this, QStringLiteral("LabelInactive"), {}, TwipsRect(7000, 120, 600, 240));
    addHeader();
    addRows();
    addButtons();
}

void ScanPane::addHeader() {
    for (const Column& c : Columns)
        AddLabel(this, {}, QString::fromUtf8(c.header), TwipsRect(c.left, HeaderTop, c.width, 240));
}

void ScanPane::addRows() {
    for (int row = 0; row < ScanRowCount; ++row) {
        for (size_t col = 0; col < std::size(Columns); ++col) {
            const Column& c = Columns[col];
            QLabel* label = AddLabel(
                this, QStringLiteral("%1_%2").arg(QLatin1String(c.name)).arg(row), {},
                TwipsRect(c.left, FirstRowTop + row * RowHeight, c.width - 15, CellHeight));
            label->setAutoFillBackground(true);
            Paint(label, ScanColour::Cleared);
            cells_[size_t(row)][col] = label;
        }
    }
    vScroll2_ = new QScrollBar(Qt::Vertical, this);
    vScroll2_->setObjectName(QStringLiteral("VScroll2"));
    vScroll2_->setRange(0, 0);
    vScroll2_->setGeometry(TwipsRect(11010, FirstRowTop, 255, ScanRowCount * RowHeight));
    connect(vScroll2_, &QScrollBar::valueChanged, this, &ScanPane::scrolled);
}

void ScanPane::addButtons() {
    for (int item = 0; item < 4; ++item) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("CmdShowScan_%1").arg(item));
        b->setText(QString::fromUtf8(ViewCaptions[item]));
        b->setGeometry(TwipsRect(7800 + item * 780, 90, 750, 300));
        b->hide();
        cmdShowScan_[size_t(item)] = b;
        if (item < 3) {
            const QString filter = QString::fromUtf8(ViewFilters[item]);
            connect(b, &QToolButton::clicked, this,
                    [this, filter] { Q_EMIT viewRequested(filter); });
        }
    }
    cmdShowScan_[3]->setToolTip(QStringLiteral("这些 IP 地址添加到新的 IP 组"));
    connect(cmdShowScan_[3], &QToolButton::clicked, this, &ScanPane::addGroupRequested);
    auto* image1 = new QToolButton(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setToolTip(QStringLiteral("最小化 IP 扫描窗口"));
    image1->setIcon(style()->standardIcon(QStyle::SP_TitleBarMinButton));
    image1->setAutoRaise(true);
    image1->setGeometry(TwipsRect(11130, 90, 300, 300));
    connect(image1, &QToolButton::clicked, this, &ScanPane::minimiseClicked);
}

QLabel* ScanPane::cell(const QString& column, int row) const {
    for (size_t col = 0; col < std::size(Columns); ++col) {
        if (column == QLatin1String(Columns[col].name) && row >= 0 && row < ScanRowCount)
            return cells_[size_t(row)][col];
    }
    return nullptr;
}

void ScanPane::showRows(const ScanRowViews& rows) {
    for (size_t row = 0; row < rows.size(); ++row) {
        const ScanRowView& v = rows[row];
        const QString texts[] = {v.number, v.address, v.ping, v.host, v.mac, v.ttl};
        for (size_t col = 0; col < std::size(texts); ++col) {
            cells_[row][col]->setText(texts[col]);
            Paint(cells_[row][col], v.colour);
        }
    }
}

void ScanPane::showTexts(const QString& text2, const QString& total, const QString& active,
                         const QString& inactive, const QString& separator) {
    text2_->setText(text2);
    total_->setText(total);
    active_->setText(active);
    inactive_->setText(inactive);
    separator_->setText(separator);
}

void ScanPane::setScroll(int minimum, int maximum, int value) {
    const QSignalBlocker quiet(vScroll2_);
    vScroll2_->setRange(minimum, maximum);
    vScroll2_->setValue(value);
}

void ScanPane::setViewButtonsShown(bool shown) {
    for (QToolButton* b : cmdShowScan_)
        b->setVisible(shown);
}

}  // namespace sondrel
