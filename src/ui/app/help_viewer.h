#pragma once

#include <QString>
#include <QWidget>

class QObject;
class QTextBrowser;
class QUrl;

namespace tavel {

// Every window, dialog, menu and menu item carries its help context number in this property.
inline constexpr char kHelpContextProperty[] = "helpContext";
void SetHelpContext(QObject* object, int context);
// The help context of a widget: its own, else the nearest parent's; 0 when none carries one.
int HelpContextOf(const QWidget* widget);

// The help file sits beside the executable with the extension ".hlp".
QString HelpFilePath(const QString& executable);

// The one-line description of a help topic; empty for a number the help does not know.
QString HelpTopicDescription(int context);

// The help window: shows the topic of a help context number. The old help file cannot be read
// on this platform, so the pages are built in; the file's path is kept for the day a real help
// file ships.
class HelpViewer : public QWidget {
  Q_OBJECT

 public:
  explicit HelpViewer(const QString& helpFile, QWidget* parent = nullptr);

  void ShowTopic(int context);
  int CurrentTopic() const { return currentTopic_; }
  QString PageText() const;

  const QString HelpFile;

 private:
  void LinkClicked(const QUrl& url);

  QTextBrowser* browser_;
  int currentTopic_ = 0;
  bool placed_ = false;
};

}  // namespace tavel
