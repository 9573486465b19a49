#include "ui/app/menu_items.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "ui/app/command_host.h"
#include "ui/app/help_viewer.h"

namespace tavel {

bool CommandReady(Command command) {
  // Every command's window is part of the program now. A command added later is listed here,
  // returning false, until its window lands.
  switch (command) {
    default:
      return true;
  }
}

QAction* AddMenuItem(QMenu* menu, const QString& text, int helpContext,
                     const QKeySequence& shortcut) {
  QAction* action = menu->addAction(text);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (helpContext > 0) SetHelpContext(action, helpContext);
  return action;
}

QAction* AddCommandItem(QMenu* menu, const QString& text, int helpContext, Command command,
                        const QKeySequence& shortcut) {
  QAction* action = AddMenuItem(menu, text, helpContext, shortcut);
  action->setEnabled(CommandReady(command));
  return action;
}

QAction* LocalShortcut(QWidget* window, QAction* action) {
  action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  window->addAction(action);
  return action;
}

QMenu* AddEditMenu(QWidget* window, QAction*& cut, QAction*& copy, QAction*& paste) {
  auto* edit = new QMenu("&Edit", window);
  SetHelpContext(edit->menuAction(), 400);
  cut = LocalShortcut(window, AddMenuItem(edit, "Cu&t", 400, QKeySequence(Qt::CTRL | Qt::Key_X)));
  copy = LocalShortcut(window, AddMenuItem(edit, "&Copy", 400, QKeySequence(Qt::CTRL | Qt::Key_C)));
  paste =
      LocalShortcut(window, AddMenuItem(edit, "&Paste", 400, QKeySequence(Qt::CTRL | Qt::Key_V)));
  return edit;
}

void AddUndoItems(QWidget* window, QMenu* menu, QAction*& undo, QAction*& redo) {
  QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().first();
  undo = LocalShortcut(window, new QAction(HistoryItemText(true, {}), menu));
  undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo = LocalShortcut(window, new QAction(HistoryItemText(false, {}), menu));
  redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
  SetHelpContext(undo, 400);
  SetHelpContext(redo, 400);
  menu->insertAction(first, undo);
  menu->insertAction(first, redo);
  if (first != nullptr) menu->insertSeparator(first);
}

QString HistoryItemText(bool undo, const QString& name) {
  QString text = undo ? "&Undo" : "&Redo";
  if (!name.isEmpty()) text += " " + QString(name).replace("&", "&&");
  return text;
}

QAction* AddNewAndOpenItems(QMenu* menu, CommandHost& host, bool openShortcut) {
  QObject::connect(AddCommandItem(menu, "&New  Data", 500, Command::NewData), &QAction::triggered,
                   menu, [&host] { host.NewData(); });
  QObject::connect(AddCommandItem(menu, "New  &Text", 500, Command::NewText), &QAction::triggered,
                   menu, [&host] { host.NewText(); });
  QAction* open = AddCommandItem(menu, "&Open", 500, Command::Open,
                                 openShortcut ? QKeySequence(Qt::Key_F3) : QKeySequence());
  QObject::connect(open, &QAction::triggered, menu, [&host] { host.Open(); });
  return open;
}

void AddGraphDialogItems(QMenu* menu, CommandHost& host) {
  QObject::connect(AddCommandItem(menu, "&Scale", 1500, Command::Scale), &QAction::triggered, menu,
                   [&host] { host.ShowScaleDialog(); });
  QObject::connect(AddCommandItem(menu, "&Grid", 700, Command::Grid), &QAction::triggered, menu,
                   [&host] { host.ShowGridDialog(); });
  QObject::connect(AddCommandItem(menu, "&Log Scale", 1000, Command::LogScale), &QAction::triggered,
                   menu, [&host] { host.ShowLogScaleDialog(); });
  QObject::connect(AddCommandItem(menu, "Graph &Type", 600, Command::GraphType),
                   &QAction::triggered, menu, [&host] { host.ShowGraphTypeDialog(); });
}

QMenu* AddLegendMenu(QMenu* parent, const LegendTexts& texts, CommandHost& host) {
  QMenu* legend = parent->addMenu(texts.title);
  SetHelpContext(legend->menuAction(), 900);
  QObject::connect(AddCommandItem(legend, "&Main", 900, Command::Titles), &QAction::triggered,
                   legend, [&host] { host.ShowMainTitleDialog(); });
  QObject::connect(AddCommandItem(legend, texts.xAxis, 900, Command::Titles), &QAction::triggered,
                   legend, [&host] { host.ShowXTitleDialog(); });
  QObject::connect(AddCommandItem(legend, "&Y Axis", 900, Command::Titles), &QAction::triggered,
                   legend, [&host] { host.ShowYTitleDialog(); });
  QObject::connect(AddCommandItem(legend, texts.series, 900, Command::Titles), &QAction::triggered,
                   legend, [&host] { host.ShowSeriesTitleDialog(); });
  QObject::connect(AddCommandItem(legend, "&Floating", texts.floatingHelp, Command::Titles),
                   &QAction::triggered, legend, [&host] { host.ShowFloatingTitlesDialog(); });
  return legend;
}

}  // namespace tavel
