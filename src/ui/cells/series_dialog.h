#pragma once

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

// A push button with its caption and, when given, its hint.
QPushButton* DialogButton(const QString& caption, const char* hint, QWidget* parent);

}  // namespace tavel
