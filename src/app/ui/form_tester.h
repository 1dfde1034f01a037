#pragma once

#include <QMainWindow>

namespace sondrel {

// The main window.
class FormTester : public QMainWindow {
    Q_OBJECT
public:
    explicit FormTester(const QString& commandLineText, QWidget* parent = nullptr);
};

}  // namespace sondrel
