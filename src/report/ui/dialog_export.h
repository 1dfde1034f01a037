#pragma once

#include <QDialog>
#include <optional>

#include "report/export_frame.h"

class QLabel;
class QRadioButton;

namespace sondrel {

// DialogExport: the format of the next export. Kept between uses, so the chosen option stays.
class DialogExport final : public QDialog {
    Q_OBJECT
  public:
    explicit DialogExport(QWidget* parent = nullptr);

    // Shows the dialog modally with the title line of `source`; none when cancelled.
    std::optional<ExportFormat> choose(ExportSource source);

  private:
    QLabel* label1_;
    QRadioButton* option1_;
    QRadioButton* option2_;
};

// Centres a dialog on its screen, 100 twips above the centre.
void CentreAboveMiddle(QWidget* dialog);

}  // namespace sondrel
