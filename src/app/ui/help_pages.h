#pragma once

#include <QStringList>

namespace sondrel {

// One page of the help window: its panel's name, its heading and its paragraphs.
struct HelpPage {
    const char* panel;
    QString heading;
    QStringList paragraphs;
};

// The nine pages in their order.
QList<HelpPage> HelpPages();

// The note on the ping page about keeping the computer awake: text items 20 and 21, then how
// to do it.
QStringList HibernationNote();

}  // namespace sondrel
