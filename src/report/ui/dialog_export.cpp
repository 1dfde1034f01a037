#include "report/ui/dialog_export.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "common/ui/twips.h"

namespace sondrel {

void CentreAboveMiddle(QWidget* dialog) {
    const QScreen* screen = dialog->screen();
    if (screen == nullptr)
        return;
    const QRect free = screen->availableGeometry();
    const QSize size = dialog->frameGeometry().size();
    const int top =
        std::max(free.top(), free.top() + (free.height() - size.height()) / 2 - Twips(100));
    dialog->move(free.left() + (free.width() - size.width()) / 2, top);
}

DialogExport::DialogExport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DialogExport"));
    setWindowTitle(QStringLiteral(" 导出"));
    setFixedSize(Twips(4680), Twips(2295));
    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    PlaceTwips(label1_, 240, 180, 4200, 300);
    auto* label2 = new QLabel(QStringLiteral("使用以下格式："), this);
    label2->setObjectName(QStringLiteral("Label2"));
    PlaceTwips(label2, 240, 600, 3000, 300);
    option1_ = new QRadioButton(QStringLiteral("文本"), this);
    option1_->setObjectName(QStringLiteral("Option1"));
    option1_->setChecked(true);
    PlaceTwips(option1_, 480, 960, 2400, 300);
    option2_ = new QRadioButton(QStringLiteral("CSV / Excel"), this);
    option2_->setObjectName(QStringLiteral("Option2"));
    PlaceTwips(option2_, 480, 1320, 2400, 300);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    PlaceTwips(ok, 3360, 840, 1095, 375);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    PlaceTwips(cancel, 3360, 1320, 1095, 375);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<ExportFormat> DialogExport::choose(ExportSource source) {
    if (source == ExportSource::Ping)
        label1_->setText(QStringLiteral("导出侦测测试结果"));
    else if (source == ExportSource::Report)
        label1_->setText(QStringLiteral("导出摘要报告"));
    else
        label1_->setText(QStringLiteral("导出 ip 扫描测试结果"));
    CentreAboveMiddle(this);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return option1_->isChecked() ? ExportFormat::Text : ExportFormat::Csv;
}

}  // namespace sondrel
