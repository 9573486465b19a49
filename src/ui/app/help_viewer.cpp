#include "ui/app/help_viewer.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHash>
#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QShortcut>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <QVariant>
#include <algorithm>
#include <filesystem>

namespace tavel {

namespace {

constexpr char kPageFolder[] = ":/help";
constexpr int kContentsTopic = 100;
constexpr int kExcerptReach = 70;

QString PagePath(int context) {
  return QString("%1/%2.md").arg(kPageFolder).arg(context);
}

// The topic a link names: "400.md", "docs/help/400.md" or "400.md?find=word".
int TopicOfLink(const QUrl& url) {
  static const QRegularExpression page("^(\\d+)\\.md$");
  const QRegularExpressionMatch match = page.match(url.fileName());
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// Plain texts of the pages, made once: searching reads every page on every search.
const QHash<int, QString>& PlainTexts() {
  static const QHash<int, QString> texts = [] {
    QHash<int, QString> made;
    for (int context : HelpTopics()) {
      QTextDocument document;
      document.setMarkdown(HelpPageMarkdown(context));
      made.insert(context, document.toPlainText());
    }
    return made;
  }();
  return texts;
}

QString Excerpt(const QString& text, qsizetype at, qsizetype length) {
  qsizetype from = std::max<qsizetype>(0, at - kExcerptReach);
  qsizetype to = std::min<qsizetype>(text.size(), at + length + kExcerptReach);
  // Whole words at both ends.
  while (from > 0 && !text.at(from - 1).isSpace()) --from;
  while (to < text.size() && !text.at(to).isSpace()) ++to;
  QString excerpt = text.mid(from, to - from).simplified();
  if (from > 0) excerpt.prepend("... ");
  if (to < text.size()) excerpt.append(" ...");
  return excerpt;
}

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

QList<int> HelpTopics() {
  QList<int> topics;
  for (const QString& name : QDir(kPageFolder).entryList({"*.md"}, QDir::Files)) {
    bool ok = false;
    const int context = name.chopped(3).toInt(&ok);
    if (ok && context > 0) topics << context;
  }
  std::sort(topics.begin(), topics.end());
  return topics;
}

QString HelpPageMarkdown(int context) {
  QFile file(PagePath(context));
  if (context <= 0 || !file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QString HelpPagePlainText(int context) {
  return PlainTexts().value(context);
}

QString HelpTopicDescription(int context) {
  const QString page = HelpPageMarkdown(context);
  const qsizetype end = page.indexOf('\n');
  const QString first = page.left(end < 0 ? page.size() : end).trimmed();
  return first.startsWith("# ") ? first.mid(2).trimmed() : QString();
}

QList<HelpSearchHit> SearchHelp(const QString& words) {
  const QStringList wanted = words.simplified().split(' ', Qt::SkipEmptyParts);
  if (wanted.isEmpty()) return {};
  struct Scored {
    HelpSearchHit hit;
    qsizetype count;
  };
  std::vector<Scored> found;
  for (int context : HelpTopics()) {
    const QString& text = PlainTexts()[context];
    qsizetype count = 0;
    bool all = true;
    for (const QString& word : wanted) {
      const qsizetype n = text.count(word, Qt::CaseInsensitive);
      if (n == 0) {
        all = false;
        break;
      }
      count += n;
    }
    if (!all) continue;
    const qsizetype at = text.indexOf(wanted.first(), 0, Qt::CaseInsensitive);
    found.push_back(
        {{context, HelpTopicDescription(context), Excerpt(text, at, wanted.first().size())},
         count});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Scored& a, const Scored& b) { return a.count > b.count; });
  QList<HelpSearchHit> hits;
  for (const Scored& s : found) hits << s.hit;
  return hits;
}

HelpViewer::HelpViewer(const QString& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), HelpFile(helpFile), browser_(new QTextBrowser(this)) {
  setWindowTitle("Tavel Graphics Help");
  setAttribute(Qt::WA_DeleteOnClose, false);
  SetHelpContext(this, kContentsTopic);

  ContentsButton = new QPushButton("Contents", this);
  BackButton = new QPushButton("Back", this);
  BackButton->setEnabled(false);
  SearchField = new QLineEdit(this);
  SearchField->setPlaceholderText("Search the help");
  SearchField->setClearButtonEnabled(true);
  connect(ContentsButton, &QPushButton::clicked, this, [this] { ShowTopic(kContentsTopic); });
  connect(BackButton, &QPushButton::clicked, this, [this] { Back(); });
  connect(SearchField, &QLineEdit::returnPressed, this, [this] { Search(SearchField->text()); });
  auto* back = new QShortcut(QKeySequence::Back, this);
  connect(back, &QShortcut::activated, this, [this] { Back(); });

  // Pictures on the pages are named as in docs/help/, relative to the page.
  browser_->setSearchPaths({kPageFolder});
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::LinkClicked);

  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(4, 4, 4, 4);
  bar->addWidget(ContentsButton);
  bar->addWidget(BackButton);
  bar->addWidget(SearchField, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(bar);
  layout->addWidget(browser_, 1);
  resize(680, 560);
}

void HelpViewer::ShowTopic(int context) {
  Show({context, {}, {}}, true);
}

void HelpViewer::ShowTopicAt(int context, const QString& word) {
  Show({context, {}, word}, true);
}

void HelpViewer::Search(const QString& words) {
  if (words.trimmed().isEmpty()) return;
  Show({0, words.simplified(), {}}, true);
}

bool HelpViewer::Back() {
  if (history_.empty()) return false;
  const Place previous = history_.back();
  history_.pop_back();
  Show(previous, false);
  return true;
}

void HelpViewer::Show(const Place& place, bool remember) {
  if (remember && showing_) history_.push_back(current_);
  current_ = place;
  showing_ = true;
  BackButton->setEnabled(!history_.empty());
  Render(place);
  if (!placed_ && parentWidget() != nullptr) {
    // First time up: over the frame's centre rather than wherever the system puts it.
    const QRect frame = parentWidget()->window()->frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
  }
  placed_ = true;
  show();
  raise();
  activateWindow();
}

void HelpViewer::Render(const Place& place) {
  if (place.topic == 0) {
    const QList<HelpSearchHit> hits = SearchHelp(place.query);
    QString html = "<h1>Search: " + place.query.toHtmlEscaped() + "</h1>";
    if (hits.isEmpty()) {
      html += "<p>No page holds all of these words.</p>";
    }
    const QString first = place.query.split(' ').first();
    for (const HelpSearchHit& hit : hits) {
      QUrl link(QString("%1.md").arg(hit.context));
      QUrlQuery query;
      query.addQueryItem("find", first);
      link.setQuery(query);
      html += QString("<p><a href=\"%1\">%2</a><br>%3</p>")
                  .arg(link.toString(QUrl::FullyEncoded).toHtmlEscaped(), hit.title.toHtmlEscaped(),
                       hit.excerpt.toHtmlEscaped());
    }
    browser_->setHtml(html);
    setWindowTitle("Tavel Graphics Help - Search");
    return;
  }
  const QString page = HelpPageMarkdown(place.topic);
  if (page.isEmpty()) {
    browser_->setMarkdown(QString("# Tavel Graphics Help\n\nNo help is available for this "
                                  "topic.\n\nSee the [Contents](%1.md).\n")
                              .arg(kContentsTopic));
    setWindowTitle("Tavel Graphics Help");
    return;
  }
  browser_->setMarkdown(page);
  FitPictures();
  setWindowTitle("Tavel Graphics Help - " + HelpTopicDescription(place.topic));
  browser_->moveCursor(QTextCursor::Start);
  if (!place.find.isEmpty()) browser_->find(place.find);
  browser_->ensureCursorVisible();
}

void HelpViewer::FitPictures() {
  QTextDocument* document = browser_->document();
  // From the window's own width: the browser may not have its final size before the first
  // show.
  const int room = width() - 2 * static_cast<int>(document->documentMargin()) -
                   style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2 * browser_->frameWidth() -
                   4;
  if (room <= 0) return;
  struct Picture {
    int position;
    int length;
    QTextImageFormat format;
  };
  std::vector<Picture> pictures;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.charFormat().isImageFormat()) {
        pictures.push_back(
            {fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
      }
    }
  }
  QTextCursor cursor(document);
  for (Picture& picture : pictures) {
    const QVariant resource =
        browser_->loadResource(QTextDocument::ImageResource, QUrl(picture.format.name()));
    const QImage image = resource.typeId() == QMetaType::QImage
                             ? resource.value<QImage>()
                             : QImage::fromData(resource.toByteArray());
    if (image.isNull()) continue;
    const int shown = std::min(image.width(), room);
    picture.format.setWidth(shown);
    picture.format.setHeight(static_cast<qreal>(image.height()) * shown / image.width());
    cursor.setPosition(picture.position);
    cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
    cursor.setCharFormat(picture.format);
  }
}

void HelpViewer::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (showing_ && current_.topic != 0) FitPictures();
}

QString HelpViewer::PageText() const {
  return browser_->toPlainText();
}

QString HelpViewer::SelectedText() const {
  return browser_->textCursor().selectedText();
}

void HelpViewer::LinkClicked(const QUrl& url) {
  const int context = TopicOfLink(url);
  if (context == 0) return;
  const QString find = QUrlQuery(url).queryItemValue("find", QUrl::FullyDecoded);
  Show({context, {}, find}, true);
}

}  // namespace tavel
