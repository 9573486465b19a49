#include "ui/graph/graph_window.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPageLayout>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/files/export_choices.h"
#include "core/graph/draw_graph.h"
#include "core/series/number_text.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "ui/graph/export_dialog.h"
#include "ui/graph/graph_host.h"
#include "ui/graph/graph_mouse.h"
#include "ui/graph/graph_output.h"

namespace tavel {
namespace {

// A frame that writes down what the graph window handed on to it.
class RecordingGraphHost : public GraphHost {
 public:
  std::vector<std::string> calls;
  bool closing = false;
  int destroyed = 0;
  QImage bitmap{1280, 1000, QImage::Format_RGB32};
  QPrinter printer;

  int Count(const std::string& name) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
  }

  void NewData() override { calls.push_back("NewData"); }
  void NewText() override { calls.push_back("NewText"); }
  void Open() override { calls.push_back("Open"); }
  void Exit() override { calls.push_back("Exit"); }
  void TrackActiveChild() override { calls.push_back("TrackActiveChild"); }
  void PrintData() override { calls.push_back("PrintData"); }
  void ShowScaleDialog() override { calls.push_back("ShowScaleDialog"); }
  void ShowGridDialog() override { calls.push_back("ShowGridDialog"); }
  void ShowLogScaleDialog() override { calls.push_back("ShowLogScaleDialog"); }
  void ShowGraphTypeDialog() override { calls.push_back("ShowGraphTypeDialog"); }
  void ShowFitDialog() override { calls.push_back("ShowFitDialog"); }
  void ShowMainTitleDialog() override { calls.push_back("ShowMainTitleDialog"); }
  void ShowXTitleDialog() override { calls.push_back("ShowXTitleDialog"); }
  void ShowYTitleDialog() override { calls.push_back("ShowYTitleDialog"); }
  void ShowSeriesTitleDialog() override { calls.push_back("ShowSeriesTitleDialog"); }
  void ShowFloatingTitlesDialog() override { calls.push_back("ShowFloatingTitlesDialog"); }
  bool FrameClosing() const override { return closing; }
  QImage& GraphImage() override { return bitmap; }
  int MenuBarHeight() const override { return 20; }
  bool CondensedFontAvailable() const override { return false; }
  QPrinter& Printer() override { return printer; }
  void GraphWindowDestroyed(QWidget*) override { ++destroyed; }
};

QStringList ActionTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    if (!action->isSeparator()) texts << action->text();
  }
  return texts;
}

class GraphWindowTest : public ::testing::Test {
 protected:
  GraphWindowTest() {
    area.resize(1000, 800);
    area.show();
    area.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&area));
    ws.Settings.ScreenClass = ScreenClassFor(area.screen()->geometry().width());
  }
  ~GraphWindowTest() override {
    for (QMdiSubWindow* s : area.subWindowList()) delete s;
  }

  // One series of points (x, 2x) for x = 0..count-1, on fixed scales so tests know where
  // each point lands.
  Series& AddSeries(int count) {
    ws.Settings.NextDataSize = count;
    Series& series = ws.CreateSeries();
    for (int i = 0; i < count; ++i) {
      series.Cells.SetNumber(i + 1, kXColumn, i);
      series.Cells.SetNumber(i + 1, kYColumn, 2 * i);
    }
    ws.SortDataWindows();
    GraphSettings& s = ws.Settings;
    s.MultiScaleX = s.MultiScaleYL = s.MultiScaleYR = false;
    s.XScaleMin = 0;
    s.XScaleMax = 50;
    s.YLScaleMin = 0;
    s.YLScaleMax = 400;
    s.XTicks = 5;
    s.YLTicks = 4;
    s.XDecimals = s.YLDecimals = 0;
    return series;
  }

  TGraphF* OpenWindow(bool activate = true) {
    sub = TGraphF::CreateSubWindow(ws, prompts, host, &area);
    sub->show();
    if (activate) area.setActiveSubWindow(sub);
    w = qobject_cast<TGraphF*>(sub->widget());
    return w;
  }

  void CloseWindow() {
    QPointer<QMdiSubWindow> closing = sub;
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(closing.isNull());
    sub = nullptr;
    w = nullptr;
  }

  // Where the point (x, y) of the data lands in the screen picture of the window as it is.
  QPoint ScreenPointOf(Real x, Real y) const {
    DrawTarget target;
    target.width = sub->width();
    target.height = sub->height();
    target.menuBarHeight = host.MenuBarHeight();
    const PlotLayout L = ComputeLayout(ws, target);
    AxisMap xMap{ws.Settings.XScaleMin, ws.Settings.XScaleMax - ws.Settings.XScaleMin};
    AxisMap yMap{ws.Settings.YLScaleMin, ws.Settings.YLScaleMax - ws.Settings.YLScaleMin};
    std::int64_t column = 0, row = 0;
    MapColumn(L, xMap, x, column);
    MapRow(L, yMap, y, row);
    return QPoint(static_cast<int>(column), static_cast<int>(row));
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  RecordingGraphHost host;
  QMdiArea area;
  QMdiSubWindow* sub = nullptr;
  TGraphF* w = nullptr;
  QTemporaryDir dir;
};

TEST_F(GraphWindowTest, ResizeRedrawsOnlyOnceActivatedAndNeverWhileTheFrameCloses) {
  AddSeries(10);
  ws.Settings.GraphJustCreated = false;
  sub = TGraphF::CreateSubWindow(ws, prompts, host, &area);
  w = qobject_cast<TGraphF*>(sub->widget());
  EXPECT_TRUE(ws.Settings.GraphJustCreated);
  // Another child is active while a graph file load still has the graph "just created" and
  // tiles the windows.
  QMdiSubWindow* other = area.addSubWindow(new QWidget);
  other->show();
  sub->show();
  area.setActiveSubWindow(other);
  ws.Settings.GraphJustCreated = true;
  sub->resize(420, 330);
  EXPECT_TRUE(w->Image1->Picture().isNull()) << "redrawn while just created";
  EXPECT_EQ(ws.Settings.GraphWidth, 350);

  host.calls.clear();
  area.setActiveSubWindow(sub);
  EXPECT_FALSE(ws.Settings.GraphJustCreated);
  EXPECT_EQ(host.Count("TrackActiveChild"), 1);
  sub->resize(500, 400);
  EXPECT_FALSE(w->Image1->Picture().isNull());
  EXPECT_EQ(ws.Settings.GraphWidth, 500);
  EXPECT_EQ(ws.Settings.GraphHeight, 400);

  host.closing = true;
  sub->resize(520, 410);
  EXPECT_EQ(ws.Settings.GraphWidth, 500) << "redrawn while the frame closes";
}

TEST_F(GraphWindowTest, TooSmallAWindowGrowsToTheSmallestGraph) {
  AddSeries(3);
  OpenWindow();
  sub->setMinimumSize(1, 1);
  sub->resize(120, 100);
  EXPECT_GE(sub->width(), 160);
  EXPECT_GE(sub->height(), 120);
  EXPECT_EQ(ws.Settings.GraphWidth, sub->width());
}

TEST_F(GraphWindowTest, AnotherScreenClassRecreatesTheOffScreenImage) {
  AddSeries(3);
  OpenWindow();
  const QSize screen = area.screen()->geometry().size();
  w->Redraw();
  EXPECT_EQ(host.bitmap.size(), QSize(1280, 1000)) << "same class: the image stays";
  ws.Settings.ScreenClass = ScreenClassFor(screen.width()) == 640 ? 1600 : 640;
  w->Redraw();
  EXPECT_EQ(host.bitmap.size(), GraphBitmapSize(screen, host.MenuBarHeight()));
  EXPECT_EQ(ws.Settings.ScreenClass, ScreenClassFor(screen.width()));
  EXPECT_EQ(w->Image1->Picture().size(), host.bitmap.size());
}

TEST_F(GraphWindowTest, ReopensWhereItWasClosed) {
  AddSeries(3);
  OpenWindow();
  EXPECT_EQ(sub->geometry(), QRect(100, 100, 350, 300));
  sub->setGeometry(30, 40, 410, 330);
  CloseWindow();
  EXPECT_EQ(host.destroyed, 1);
  EXPECT_EQ(ws.Settings.GraphLeft, 30);
  EXPECT_EQ(ws.Settings.GraphTop, 40);
  EXPECT_EQ(ws.Settings.GraphWidth, 410);
  EXPECT_EQ(ws.Settings.GraphHeight, 330);

  OpenWindow();
  EXPECT_EQ(sub->geometry(), QRect(30, 40, 410, 330));
  // Minimized, it still remembers where it stood before.
  sub->showMinimized();
  CloseWindow();
  EXPECT_EQ(QRect(ws.Settings.GraphLeft, ws.Settings.GraphTop, ws.Settings.GraphWidth,
                  ws.Settings.GraphHeight),
            QRect(30, 40, 410, 330));
}

TEST_F(GraphWindowTest, CaptionNamesTheGraphFileInCapitals) {
  const struct {
    const char* file;
    const char* caption;
  } cases[] = {
      {"NoName.gra", "Graph"},
      // Only the exact start-up name is "no name".
      {"noname.gra", "Graph   -   NONAME.GRA"},
      {"/home/user/graphs/MyData.gra", "Graph   -   MYDATA.GRA"},
      {"plain", "Graph   -   PLAIN"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TGraphF::CaptionFor(c.file).toStdString(), c.caption) << c.file;
  }

  AddSeries(3);
  OpenWindow();
  EXPECT_EQ(sub->windowTitle(), "Graph");
  // What saving a graph file under a new name does to the open window.
  ws.Settings.GraphFileName = (dir.path() + "/mydata.gra").toStdString();
  w->UpdateCaption();
  EXPECT_EQ(sub->windowTitle(), "Graph   -   MYDATA.GRA");
  // A saved bitmap leaves the caption alone.
  prompts.fileNames.push_back((dir.path() + "/picture.bmp").toStdString());
  w->SaveBitmap();
  EXPECT_EQ(sub->windowTitle(), "Graph   -   MYDATA.GRA");
}

TEST_F(GraphWindowTest, MenusHaveEveryItemAndHandTheDialogsToTheFrame) {
  OpenWindow();
  const QList<MenuGroup> groups = w->MenuGroups();
  ASSERT_EQ(groups.size(), 3);
  EXPECT_EQ(groups[0].first, 1);
  EXPECT_EQ(groups[1].first, 2);
  EXPECT_EQ(groups[2].first, 7);
  EXPECT_EQ(ActionTexts(w->EditMenu), QStringList({"&Undo", "&Redo"}));
  EXPECT_EQ(ActionTexts(w->FileMenu),
            QStringList({"&New  Data", "New  &Text", "&Open", "&Save Graph", "Save &Bitmap",
                         "&Export Graph...", "&Close Graph", "Print &Data", "&Print Graph",
                         "P&rint Setup...", "E&xit"}));
  EXPECT_EQ(ActionTexts(w->GraphMenu),
            QStringList({"&Auto Scale", "Zoom &Out", "Zoom &Back", "&Scale", "&Grid", "&Log Scale",
                         "Graph &Type", "L&egend"}));
  EXPECT_EQ(ActionTexts(w->LegendMenu),
            QStringList({"&Main", "&X Axis", "&Y Axis", "&Series", "&Floating"}));
  EXPECT_EQ(ActionTexts(w->PopupMenu1),
            QStringList({"&Auto Scale", "Zoom &Out", "Zoom &Back", "&Scale", "&Grid", "&Log Scale",
                         "Graph &Type", "&Fit", "&Legend", "Sa&ve Graph", "Save &Bitmap",
                         "&Copy Graph"}));
  const QMenu* popupLegend = w->PopupMenu1->actions().at(8)->menu();
  ASSERT_NE(popupLegend, nullptr);
  EXPECT_EQ(ActionTexts(popupLegend),
            QStringList({"&Main", "&X Axis", "&Y Axis", "S&eries", "&Floating"}));

  host.calls.clear();
  for (QMenu* menu : {w->FileMenu, w->GraphMenu, w->LegendMenu, w->PopupMenu1}) {
    for (QAction* action : menu->actions()) {
      // Those that leave the window or open a real dialog are tried elsewhere.
      const QString text = action->text();
      if (action->menu() || text == "&Close Graph" || text == "&Print Graph" ||
          text == "P&rint Setup..." || text.contains("Bitmap") || text == "&Auto Scale" ||
          text.contains("Export") || text.contains("Copy Graph")) {
        continue;
      }
      // The wiring is what is tried here, whether or not the command is ready yet.
      action->setEnabled(true);
      action->trigger();
    }
  }
  for (const char* call : {"NewData", "NewText", "Open", "PrintData", "Exit", "ShowScaleDialog",
                           "ShowGridDialog", "ShowLogScaleDialog", "ShowGraphTypeDialog"}) {
    EXPECT_GE(host.Count(call), 1) << call;
  }
  EXPECT_EQ(host.Count("ShowFitDialog"), 1);  // only the context menu has it
  for (QAction* action : w->PopupMenu1->actions().at(8)->menu()->actions()) {
    action->setEnabled(true);
    action->trigger();
  }
  for (const char* call : {"ShowMainTitleDialog", "ShowXTitleDialog", "ShowYTitleDialog",
                           "ShowSeriesTitleDialog", "ShowFloatingTitlesDialog"}) {
    EXPECT_EQ(host.Count(call), 2) << call;
  }
  // "&Save Graph" and "Sa&ve Graph" each open the graph file's save dialog (cancelled here).
  ASSERT_EQ(prompts.dialogs.size(), 2u);
  for (const FileDialogOptions& dialog : prompts.dialogs) {
    EXPECT_EQ(dialog.defaultExtension, "gra");
  }

  QPointer<QMdiSubWindow> closing = sub;
  w->Close1->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(closing.isNull());
  sub = nullptr;
}

TEST_F(GraphWindowTest, AutoScaleRoundsXAndLeftYAndLeavesTheRightScale) {
  AddSeries(10);  // x 0..9, y 0..18
  ws.Settings.YRScaleMin = -7;
  ws.Settings.YRScaleMax = 7;
  OpenWindow();
  w->AutoScale();
  EXPECT_LE(ws.Settings.XScaleMax, 10);
  EXPECT_GE(ws.Settings.XScaleMax, 9);
  EXPECT_LE(ws.Settings.YLScaleMax, 20);
  EXPECT_GE(ws.Settings.YLScaleMax, 18);
  EXPECT_EQ(ws.Settings.YRScaleMin, -7);
  EXPECT_EQ(ws.Settings.YRScaleMax, 7);
  EXPECT_FALSE(w->Image1->Picture().isNull());
}

TEST_F(GraphWindowTest, SaveBitmapAsksForEveryExistingFileAndNoAsksForAnotherName) {
  AddSeries(3);
  OpenWindow();
  w->Redraw();
  const std::string first = (dir.path() + "/first.bmp").toStdString();
  const std::string second = (dir.path() + "/second.bmp").toStdString();
  for (const std::string& path : {first, second}) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep");
  }
  ws.Settings.GraphFileName = (dir.path() + "/mine.gra").toStdString();
  prompts.fileNames = {first, second};
  prompts.answers = {Answer::No, Answer::Yes};
  w->SaveBitmap();

  ASSERT_EQ(prompts.dialogs.size(), 2u);
  EXPECT_EQ(prompts.dialogs[0].fileName, (dir.path() + "/mine").toStdString());
  EXPECT_EQ(prompts.dialogs[0].defaultExtension, "bmp");
  ASSERT_EQ(prompts.dialogs[0].filters.size(), 1u);
  EXPECT_EQ(prompts.dialogs[0].filters[0].patterns, "*.bmp");
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(prompts.questions,
            std::vector<std::string>({"The File  " + first + "  already exists overwrite it?",
                                      "The File  " + second + "  already exists overwrite it?"}));
  QFile kept(QString::fromStdString(first));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "keep");
  EXPECT_FALSE(QImage(QString::fromStdString(second), "BMP").isNull());

  // Cancel ends the command; a new name is written without a question.
  prompts.questions.clear();
  prompts.fileNames = {std::nullopt};
  w->SaveBitmap();
  const std::string fresh = (dir.path() + "/fresh.bmp").toStdString();
  prompts.fileNames = {fresh};
  w->SaveBitmap();
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_TRUE(QFile::exists(QString::fromStdString(fresh)));

  // A file that cannot be written goes to the general error report.
  prompts.fileNames = {(dir.path() + "/no/such/folder/x.bmp").toStdString()};
  w->SaveBitmap();
  EXPECT_EQ(prompts.reports.size(), 1u);
}

TEST_F(GraphWindowTest, BitmapIsTheWindowsPictureWithTheSeriesWhereItsPointsAre) {
  Series& series = AddSeries(11);  // (0,0) .. (10,20)
  series.GraphType = kGraphNone;   // markers only
  OpenWindow();
  sub->resize(600, 450);
  const std::string path = (dir.path() + "/graph.bmp").toStdString();
  prompts.fileNames = {path};
  w->SaveBitmap();

  const QImage saved(QString::fromStdString(path), "BMP");
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), QSize(600, 450));
  EXPECT_EQ(saved.size(), QSize(ws.Settings.GraphWidth, ws.Settings.GraphHeight));
  EXPECT_EQ(saved.pixelColor(1, 1), QColor(Qt::black));

  const Rgb colour = SeriesColor(series.SeriesNumber);
  const auto seriesPixelsNear = [&](QPoint at) {
    int found = 0;
    for (int dx = -3; dx <= 3; ++dx) {
      for (int dy = -3; dy <= 3; ++dy) {
        if (saved.pixelColor(at + QPoint(dx, dy)) == QColor(colour.r, colour.g, colour.b)) ++found;
      }
    }
    return found;
  };
  EXPECT_GT(seriesPixelsNear(ScreenPointOf(10, 20)), 4);
  EXPECT_GT(seriesPixelsNear(ScreenPointOf(5, 10)), 4);
  // Where there is no point there is no series colour.
  EXPECT_EQ(seriesPixelsNear(ScreenPointOf(40, 300)), 0);
}

std::string PdfText(const QString& path) {
  QProcess pdftotext;
  pdftotext.start("pdftotext", {"-layout", path, "-"});
  if (!pdftotext.waitForFinished(20000)) return {};
  return pdftotext.readAllStandardOutput().toStdString();
}

QSizeF PdfPageSize(const QString& path) {
  QProcess pdfinfo;
  pdfinfo.start("pdfinfo", {path});
  if (!pdfinfo.waitForFinished(20000)) return {};
  for (const QString& line : QString(pdfinfo.readAllStandardOutput()).split('\n')) {
    if (!line.startsWith("Page size:")) continue;
    const QStringList words = line.simplified().split(' ');  // Page size: W x H pts ...
    if (words.size() >= 5) return QSizeF(words[2].toDouble(), words[4].toDouble());
  }
  return {};
}

TEST_F(GraphWindowTest, PrintsOnePdfPageWithTheScaleNumbersInEitherOrientation) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  AddSeries(20);
  ws.Settings.MainTitles[1] = "Printed Tavel";
  OpenWindow();
  for (const auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
    const QString path = dir.path() + (orientation == QPageLayout::Portrait ? "/p.pdf" : "/l.pdf");
    QPrinter printer(QPrinter::HighResolution);
    UsePdfOutput(printer, path);
    printer.setPageOrientation(orientation);
    ASSERT_TRUE(w->PrintGraph(printer));

    const std::string text = PdfText(path);
    for (const char* number : {"10", "20", "30", "40", "50", "100", "200", "300", "400"}) {
      EXPECT_NE(text.find(number), std::string::npos) << number << " missing from\n" << text;
    }
    EXPECT_NE(text.find("Printed Tavel"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 1) << "one page";
    const QSizeF page = PdfPageSize(path);
    EXPECT_EQ(page.width() > page.height(), orientation == QPageLayout::Landscape);
  }
  EXPECT_TRUE(prompts.reports.empty());
}

TEST_F(GraphWindowTest, APrintJobThatCannotStartIsReported) {
  AddSeries(3);
  OpenWindow();
  QPrinter printer;
  UsePdfOutput(printer, dir.path() + "/no/such/folder/x.pdf");
  EXPECT_FALSE(w->PrintGraph(printer));
  EXPECT_EQ(prompts.reports.size(), 1u);
}

TEST(GraphOutputTest, PrinterColourFollowsTheColourModeAndNoPrinterMeansAPdfFile) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setColorMode(QPrinter::Color);
  EXPECT_TRUE(IsColourPrinter(printer));
  printer.setColorMode(QPrinter::GrayScale);
  EXPECT_FALSE(IsColourPrinter(printer));

  GraphSettings settings;
  settings.GraphFileName = "/data/run7.gra";
  QPrinter fresh;
  fresh.setOutputFormat(QPrinter::PdfFormat);
  PreparePrinter(fresh, settings.GraphFileName);
  EXPECT_EQ(fresh.outputFormat(), QPrinter::PdfFormat);
  EXPECT_EQ(fresh.outputFileName(), "/data/run7.pdf");
  EXPECT_EQ(fresh.resolution(), kPdfResolution);
  // The next job proposes its own document's name, not the last printout's.
  PreparePrinter(fresh, "/data/notes.txt");
  EXPECT_EQ(fresh.outputFileName(), "/data/notes.pdf");
  // A file the user chose stays chosen.
  fresh.setOutputFileName("/elsewhere/mine.pdf");
  PreparePrinter(fresh, settings.GraphFileName);
  EXPECT_EQ(fresh.outputFileName(), "/elsewhere/mine.pdf");
}

// The PDF writer keeps its write errors (a full disk) to itself: a printout that did not come
// out whole is a failure, and the old file stays.
TEST(GraphOutputTest, APrintoutNotWrittenWholeIsAFailure) {
  QTemporaryDir dir;
  const QString path = dir.filePath("graph.pdf");
  std::ofstream(path.toStdString()) << "old";
  testing::ScriptedPrompts prompts;
  Workspace workspace(prompts);
  QPrinter printer(QPrinter::HighResolution);
  UsePdfOutput(printer, path);
  for (const bool cut : {true, false}) {
    const bool printed = PrintSafely(printer, prompts, [&](QPrinter& target) {
      const bool ok = PrintGraphPage(workspace, target, prompts);
      return ok && (!cut || ::truncate(target.outputFileName().toStdString().c_str(), 200) == 0);
    });
    EXPECT_EQ(printed, !cut);
    EXPECT_EQ(prompts.reports.size(), 1u);
    std::ifstream now(path.toStdString());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(now), {}) == "old", cut);
  }
}

TEST(GraphOutputTest, OffScreenImageIsTheScreenLessTwoMenuBars) {
  EXPECT_EQ(GraphBitmapSize(QSize(1280, 1024), 20), QSize(1280, 984));
  EXPECT_EQ(GraphBitmapSize(QSize(100, 30), 20), QSize(100, 1));
}

}  // namespace
}  // namespace tavel

namespace tavel {
namespace {

// Answers the next Export Graph dialog: the choices `set` makes, then OK.
void ScriptExportDialog(std::function<void(TExportF&)> set, int tries = 400) {
  QTimer::singleShot(tries == 400 ? 0 : 5, [=] {
    auto* dlg = qobject_cast<TExportF*>(QApplication::activeModalWidget());
    if (dlg == nullptr) {
      if (tries > 0) ScriptExportDialog(set, tries - 1);
      return;
    }
    set(*dlg);
    dlg->accept();
  });
}

TEST_F(GraphWindowTest, ExportWritesTheFormatOfTheNameAndCopyPutsThePictureOnTheClipboard) {
  AddSeries(3);
  OpenWindow();
  w->Redraw();
  const std::string svg = (dir.path() + "/drawing.svg").toStdString();
  const std::string png = (dir.path() + "/picture.png").toStdString();
  const std::string odd = (dir.path() + "/picture.jpg").toStdString();
  prompts.fileNames = {svg, png, odd};
  const std::filesystem::path kept = (dir.path() + "/choices.cfg").toStdString();
  TExportF::KeepChoicesIn(kept);
  ScriptExportDialog([](TExportF&) {});
  w->ExportGraphCommand();
  // A figure for paper: 50 x 40 mm at 300 dpi, white, smooth.
  ScriptExportDialog([](TExportF& d) {
    d.MillimetresButton->setChecked(true);
    d.DpiBox->setValue(300);
    d.WidthBox->setValue(50);
    d.HeightBox->setValue(40);
    d.ColoursBox->setCurrentIndex(1);
    d.SmoothBox->setChecked(true);
  });
  w->ExportGraphCommand();
  ScriptExportDialog([](TExportF&) {});
  w->ExportGraphCommand();
  QFile drawing(QString::fromStdString(svg));
  ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
  EXPECT_TRUE(drawing.readAll().contains("<svg"));
  const QImage picture(QString::fromStdString(png), "PNG");
  EXPECT_EQ(picture.size(), QSize(591, 472));
  EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(std::lround(picture.dotsPerMeterX() * 0.0254), 300);
  // A name of another kind is refused with a clear message, nothing written.
  ASSERT_EQ(prompts.reports.size(), 1u);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(odd)));

  // The copy is what the last export wrote, as a picture and as a drawing.
  w->CopyGraph();
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(591, 472));
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->data("image/svg+xml").contains("<svg"));

  // The next run starts from the same choices.
  const std::optional<ExportChoices> next = ReadExportChoices(kept);
  ASSERT_TRUE(next.has_value());
  EXPECT_TRUE(next->millimetres && next->dpi == 300 && next->width == 50 && next->paper &&
              next->smooth);
  TExportF::KeepChoicesIn({});
}

// A rectangle dragged over the plot, the wheel and "Zoom Out" each fix nice scales and are one
// step each; "Zoom Back" and Undo return; the readout names the values and the point there.
TEST_F(GraphWindowTest, ZoomingWithTheMouseAndTheMenu) {
  AddSeries(50);
  OpenWindow();
  w->Redraw();
  const GraphSettings& s = ws.Settings;
  const ScaleView full = TakeScaleView(s);
  const QPoint a = ScreenPointOf(10, 20), b = ScreenPointOf(20, 40);
  QTest::mousePress(w->Image1, Qt::LeftButton, {}, a);
  QTest::mouseMove(w->Image1, (a + b) / 2);
  QTest::mouseMove(w->Image1, b);
  QTest::mouseRelease(w->Image1, Qt::LeftButton, {}, b);
  EXPECT_EQ(ws.history().UndoName(), "Zoom");
  EXPECT_EQ(s.XScaleMin, 10);
  EXPECT_EQ(s.XScaleMax, 20);
  EXPECT_EQ(s.YLScaleMin, 20);
  EXPECT_EQ(s.YLScaleMax, 40);
  EXPECT_FALSE(s.MultiScaleX || s.MultiScaleYL);
  const QString readout = w->Mouse->ReadoutText(ScreenPointOf(15, 30));
  EXPECT_TRUE(readout.startsWith("Series #1, row 16:  X = 15   Y = 30\nX = "))
      << readout.toStdString();

  w->ZoomOut();
  EXPECT_EQ(s.XScaleMax - s.XScaleMin, 20);
  w->ZoomBack();
  EXPECT_EQ(s.XScaleMin, 10);
  ws.history().Undo();  // the Zoom Back
  ws.history().Undo();  // the Zoom Out
  ws.history().Undo();  // the drag
  EXPECT_EQ(TakeScaleView(s), full);

  w->Redraw();
  const QPoint centre = ScreenPointOf(25, 200);
  QWheelEvent wheel(centre, w->Image1->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(w->Image1, &wheel);
  EXPECT_EQ(ws.history().UndoName(), "Zoom In");
  EXPECT_LT(s.XScaleMax - s.XScaleMin, 50);
  EXPECT_LE(s.XScaleMin, 25);
  EXPECT_GE(s.XScaleMax, 25);
}

}  // namespace
}  // namespace tavel
