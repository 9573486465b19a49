#pragma once

#include <initializer_list>

class QDialog;
class QPushButton;
class QString;
class QWidget;

namespace tavel {

class Series;
class TSpreadF;

// The dialogs of one series open alike: a minimised data window comes back to normal size,
// the dialog takes the series colour as its background and sits 30 pixels inside the frame's
// bottom-right corner.
void PrepareSeriesDialog(QDialog* dialog, TSpreadF& window);

// The series the window shows; null once it is gone.
Series* SeriesOf(const TSpreadF* window);

// The fixed-size layout of the X & Y operations and fill dialogs: the controls in a column on
// the left, the buttons in a column on the right.
void LayOutWithButtonColumn(QDialog* dialog, std::initializer_list<QWidget*> controls,
                            std::initializer_list<QPushButton*> buttons);

// A push button with its caption and, when given, its hint.
QPushButton* DialogButton(const QString& caption, const char* hint, QWidget* parent);

}  // namespace tavel
