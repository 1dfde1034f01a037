#pragma once

class QCheckBox;
class QFrame;
class QListWidget;
class QWidget;

namespace sondrel {

// Regions of the main window that later versions fill in place: each is present at its place
// with its control name, empty, so that the layout stays whole.
struct WindowRegions {
    QFrame* picture1_0;     // target list panel (the target list controller's)
    QListWidget* listIP;    // the target list, inside the panel
    QCheckBox* checkReset;  // above the panel
    QFrame* picture3;       // scan pane, at the place of the results pane; hidden
    QFrame* pictureDOS;     // console pane over the lower band (the console page's); hidden
    QFrame* pictureShowIP;  // members pop-up over the lower band (the controller's); hidden
};

// Creates the regions in the client area `client`; the two strips `Label1_18`/`Label1_19` go
// to the back.
WindowRegions AddWindowRegions(QWidget* client);

}  // namespace sondrel
