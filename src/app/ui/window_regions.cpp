#include "app/ui/window_regions.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>

#include "common/ui/twips.h"
#include "scan/ui/scan_pane.h"

namespace sondrel {

namespace {

// A caption-less strip: a place for the pointer, nothing to see.
void AddStrip(QWidget* parent, const QString& name, QRect place) {
    auto* strip = new QLabel(parent);
    strip->setObjectName(name);
    strip->setGeometry(place);
    strip->lower();
}

}  // namespace

WindowRegions AddWindowRegions(QWidget* client) {
    WindowRegions r{};
    AddStrip(client, QStringLiteral("Label1_18"), TwipsRect(4200, 120, 375, 2055));
    AddStrip(client, QStringLiteral("Label1_19"), TwipsRect(3360, 2160, 8415, 135));

    r.picture3 = new ScanPane(client);
    r.picture3->setGeometry(TwipsRect(120, 2760, 11720, 5535));
    for (QFrame* hidden : {r.picture3})
        hidden->hide();
    return r;
}

}  // namespace sondrel
