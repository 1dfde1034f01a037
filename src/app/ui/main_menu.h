#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <initializer_list>

class QAction;
class QMenu;
class QMenuBar;

namespace sondrel {

// The menu bar of the main window: every menu and item with its caption, shortcut key and
// separators. Items are named as the window's menu controls (`mnuStart`, array items
// "mnuExpImp_1"); items whose commands do not exist yet are shown disabled.
class MainMenu : public QObject {
    Q_OBJECT
  public:
    explicit MainMenu(QMenuBar* bar);

    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;

  private:
    struct Item;
    void addFileMenus(QMenuBar* bar);
    void addListMenus(QMenuBar* bar);
    QMenu* addMenu(QMenuBar* bar, const QString& name, const QString& caption);
    void addItems(QMenu* menu, std::initializer_list<Item> items);
    QMenu* addSubmenu(QMenu* parent, const QString& name, const QString& caption);

    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
};

}  // namespace sondrel
