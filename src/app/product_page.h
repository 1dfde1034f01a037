#pragma once

#include <QString>
#include <QUrl>

namespace sondrel {

// The product page the window's web commands open: the help page that ships with the
// program, beside it in the build tree or under share/doc/sondrel when installed.
QUrl ProductWebAddressIn(const QString& programFolder);
QUrl ProductWebAddress();

}  // namespace sondrel
