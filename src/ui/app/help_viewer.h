#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <vector>

class QLineEdit;
class QObject;
class QPushButton;
class QResizeEvent;
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

// The help pages are built into the program: one Markdown page per help context number,
// ":/help/NNN.md", with its pictures under ":/help/images/". The same files are the help
// a reader of the source finds in docs/help/.
QList<int> HelpTopics();
// The page's Markdown; empty for a number the help does not know.
QString HelpPageMarkdown(int context);
// The page as a reader sees it, without the Markdown marks.
QString HelpPagePlainText(int context);
// The title of a help topic (its page's first heading); empty for a number the help does not
// know.
QString HelpTopicDescription(int context);

struct HelpSearchHit {
  int context = 0;
  QString title;
  // The passage around the first place where the first word stands.
  QString excerpt;
};
// The pages that hold every word of `words`, whatever their case, those with the most
// occurrences first.
QList<HelpSearchHit> SearchHelp(const QString& words);

// The help window: a page per topic with links between them, a contents page, Back, and a
// search over all pages.
class HelpViewer : public QWidget {
  Q_OBJECT

 public:
  explicit HelpViewer(const QString& helpFile, QWidget* parent = nullptr);

  void ShowTopic(int context);
  // The topic with the first place of `word` selected and scrolled into view.
  void ShowTopicAt(int context, const QString& word);
  // A page listing the topics that hold every word, each linked to where it stands.
  void Search(const QString& words);
  // The page shown before this one; false when there is none.
  bool Back();

  // The topic on show; 0 while the search results are.
  int CurrentTopic() const { return current_.topic; }
  QString PageText() const;
  QString SelectedText() const;

  // The path a help file beside the executable would have; the pages themselves are built in.
  const QString HelpFile;

  QLineEdit* SearchField = nullptr;
  QPushButton* ContentsButton = nullptr;
  QPushButton* BackButton = nullptr;

 private:
  struct Place {
    int topic = 0;
    QString query;  // the words searched for, on the results page
    QString find;   // the word to select on a topic
  };
  void Show(const Place& place, bool remember);
  void Render(const Place& place);
  // Pictures wider than the window are shown at the window's width.
  void FitPictures();
  void LinkClicked(const QUrl& url);
  void resizeEvent(QResizeEvent* event) override;

  QTextBrowser* browser_;
  Place current_;
  bool showing_ = false;
  std::vector<Place> history_;
  bool placed_ = false;
};

}  // namespace tavel
