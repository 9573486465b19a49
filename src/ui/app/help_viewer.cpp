#include "ui/app/help_viewer.h"

#include <filesystem>

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QVariant>

namespace tavel {

namespace {

struct Topic {
  int context;
  const char* description;
};

constexpr Topic kTopics[] = {
    {100, "Contents"},
    {150, "The RPN calculator"},
    {200, "Overview"},
    {300, "Getting Started"},
    {400, "The data window: typing, editing, cutting, copying and pasting numbers"},
    {500, "Files: new data and text windows, opening, saving and printing files"},
    {550, "The graph window"},
    {600, "Graph type, point markers and axis side of a series"},
    {700, "Grid lines and scale numbers"},
    {800, "Arranging, closing and clearing windows"},
    {900, "Titles, series legend and floating titles"},
    {1000, "Logarithmic scales"},
    {1100, "The Math menu: calculator and sorting"},
    {1120, "Operations on cells"},
    {1140, "Filling cells"},
    {1160, "X and Y operations"},
    {1200, "Preferences"},
    {1300, "Printing and printer colours"},
    {1400, "Regression fit"},
    {1500, "Axis scales"},
};

constexpr char kTopicScheme[] = "topic";

}  // namespace

void SetHelpContext(QObject* object, int context) {
  object->setProperty(kHelpContextProperty, context);
}

int HelpContextOf(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    const int context = w->property(kHelpContextProperty).toInt();
    if (context > 0) return context;
  }
  return 0;
}

QString HelpFilePath(const QString& executable) {
  std::filesystem::path path(executable.toStdString());
  path.replace_extension(".hlp");
  return QString::fromStdString(path.string());
}

QString HelpTopicDescription(int context) {
  for (const Topic& t : kTopics) {
    if (t.context == context) return QString::fromLatin1(t.description);
  }
  return {};
}

HelpViewer::HelpViewer(const QString& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), HelpFile(helpFile), browser_(new QTextBrowser(this)) {
  setWindowTitle("Tavel Graphics Help");
  setAttribute(Qt::WA_DeleteOnClose, false);
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::LinkClicked);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(480, 360);
}

void HelpViewer::ShowTopic(int context) {
  currentTopic_ = context;
  const QString description = HelpTopicDescription(context);
  QString html = "<h2>Tavel Graphics Help</h2>";
  html += QString("<p><b>Topic %1</b></p>").arg(context);
  html += description.isEmpty() ? QString("<p>No help is available for this topic.</p>")
                                : "<p>" + description.toHtmlEscaped() + "</p>";
  if (context == 100) {
    html += "<ul>";
    for (const Topic& t : kTopics) {
      if (t.context == 100) continue;
      html += QString("<li><a href=\"%1:%2\">%3</a></li>")
                  .arg(kTopicScheme)
                  .arg(t.context)
                  .arg(QString::fromLatin1(t.description).toHtmlEscaped());
    }
    html += "</ul>";
  } else {
    html += QString("<p><a href=\"%1:100\">Contents</a></p>").arg(kTopicScheme);
  }
  browser_->setHtml(html);
  if (!placed_ && parentWidget() != nullptr) {
    // First time up: beside the frame's centre rather than wherever the system puts it.
    const QRect frame = parentWidget()->window()->frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
  }
  placed_ = true;
  show();
  raise();
  activateWindow();
}

QString HelpViewer::PageText() const {
  return browser_->toPlainText();
}

void HelpViewer::LinkClicked(const QUrl& url) {
  if (url.scheme() != kTopicScheme) return;
  bool ok = false;
  const int context = url.path().toInt(&ok);
  if (ok) ShowTopic(context);
}

}  // namespace tavel
