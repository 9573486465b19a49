#pragma once

#include <initializer_list>

class QButtonGroup;
class QDialog;
class QLayout;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QString;
class QPushButton;
class QWidget;

namespace tavel {

// Puts the dialog's bottom-right corner `inset` pixels inside the frame window's.
void MoveIntoFrameCorner(QWidget* dialog, int inset);

// Escape stands for "Cancel"; once an action has hidden that button there is nothing to
// cancel, and the key is swallowed. True when the key was taken.
bool SwallowEscapeWithoutCancel(QKeyEvent* event, const QPushButton* cancel);

// A captioned radio group, its items one under another, numbered from 0 in the group.
QGroupBox* RadioBox(const QString& caption, std::initializer_list<const char*> items,
                    QButtonGroup* group, QWidget* parent);

// The controls' layout on the left, the buttons down the right from the top, and the dialog's
// size fixed to what the layout needs.
void LayOutWithButtonColumn(QDialog* dialog, QLayout* left,
                            std::initializer_list<QPushButton*> buttons);

// A button that keeps its place while hidden, so the buttons beside it do not move under the
// mouse; HideButton and ShowButton hide and disable it, or bring it back.
QPushButton* KeptButton(const QString& caption, QWidget* parent);
void HideButton(QPushButton* button);
void ShowButton(QPushButton* button);

// "Series #" and the number, in the series' colour, as the per-series dialogs name their series.
void ShowSeriesLabel(QLabel* label, int seriesNumber);

}  // namespace tavel
