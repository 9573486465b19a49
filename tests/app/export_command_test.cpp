#include "app/export_command.h"

#include "app/command_line.h"
#include "app/input_file.h"
#include "core/files/graph_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QXmlStreamReader>
#include <QTemporaryDir>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/pdf_text.h"

namespace tavel {
namespace {

class GraphExportTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return (dir.path() + "/" + name).toStdString(); }

  std::string Write(const char* name, const std::string& content) const {
    QFile file(dir.path() + "/" + name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content.data(), static_cast<qint64>(content.size()));
    return Path(name);
  }

  // A data file of two series: y = x and y = 10 - x for x = 0..10.
  std::string DataFile() const {
    std::string text;
    for (int x = 0; x <= 10; ++x) {
      text += std::to_string(x) + " " + std::to_string(x) + " " + std::to_string(10 - x) + "\r\n";
    }
    return Write("data.prn", text);
  }

  int Export(const std::vector<std::string>& args) {
    err.str({});
    std::ostringstream out;
    return RunExportCommand(args, out, err);
  }

  QTemporaryDir dir;
  std::ostringstream err;
};

TEST_F(GraphExportTest, WritesThePictureAtTheAskedSizeInTheFormatOfItsName) {
  const std::string data = DataFile();
  const struct {
    const char* out;
    std::vector<std::string> size;
    QSize expected;
    const char* format;
  } cases[] = {
      {"a.bmp", {}, {350, 300}, "BMP"},
      {"b.png", {"--size", "640x480"}, {640, 480}, "PNG"},
      {"C.PNG", {"--size", "160x120"}, {160, 120}, "PNG"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {Path(c.out)};
    args.insert(args.end(), c.size.begin(), c.size.end());
    args.push_back(data);
    EXPECT_EQ(Export(args), 0) << c.out << ": " << err.str();
    EXPECT_EQ(err.str(), "");
    const QImage image(QString::fromStdString(Path(c.out)), c.format);
    ASSERT_FALSE(image.isNull()) << c.out;
    EXPECT_EQ(image.size(), c.expected) << c.out;
    // The screen picture: black, with both series' colours somewhere.
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
  }
  // --size may also come first.
  EXPECT_EQ(Export({"--size", "200x150", Path("d.bmp"), data}), 0) << err.str();
  EXPECT_EQ(QImage(QString::fromStdString(Path("d.bmp"))).size(), QSize(200, 150));
}

// The texts of an SVG drawing, read as XML (which also proves it well formed).
QStringList SvgTexts(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  QStringList texts;
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text") {
      texts << xml.readElementText().trimmed();
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return texts;
}

TEST_F(GraphExportTest, VectorDrawingsKeepTheScaleNumbersAsTextAndAutoScaleBringsThem) {
  const std::string data = DataFile();
  // A data file alone has no scales yet: no numbers.
  ASSERT_EQ(Export({Path("plain.svg"), data}), 0) << err.str();
  EXPECT_TRUE(SvgTexts(QString::fromStdString(Path("plain.svg"))).isEmpty());

  ASSERT_EQ(Export({"--auto-scale", "--size", "600x400", Path("g.svg"), data}), 0) << err.str();
  const QStringList texts = SvgTexts(QString::fromStdString(Path("g.svg")));
  for (const char* number : {"0", "2", "8", "10"}) EXPECT_TRUE(texts.contains(number)) << number;
  EXPECT_TRUE(QFile(QString::fromStdString(Path("g.svg"))).size() > 0);

  ASSERT_EQ(Export({"--auto-scale", "--size", "600x400", Path("g.pdf"), data}), 0) << err.str();
  QProcess pdftotext;
  pdftotext.start("pdftotext", {QString::fromStdString(Path("g.pdf")), "-"});
  if (!pdftotext.waitForFinished(20000)) GTEST_SKIP() << "pdftotext is not installed";
  const QString words = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
  EXPECT_TRUE(words.contains("10 8 6 4 2 0")) << words.toStdString();
}

TEST_F(GraphExportTest, FailuresSayWhatWentWrongInOneLineAndWriteNothing) {
  const std::string data = DataFile();
  QDir(dir.path()).mkdir("folder.prn");
  const std::string oneColumn = Write("xonly.prn", "1\r\n2\r\n3\r\n");
  const std::string empty = Write("empty.prn", "");
  const std::string out = Path("out.bmp");
  QFile::link(QString::fromStdString(Path("loop.prn")), QString::fromStdString(Path("loop.prn")));
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{out, Path("missing.prn")}, 1, "no such file"},
      {{out, Write("words.txt", "no numbers here\r\n")}, 1, "holds no numbers"},
      {{out, Write("graph.gra", "1\r\n")}, 1, "cannot be read as a graph file"},
      {{out, Path("missing.gra")}, 1, "no such file"},
      {{out, Path("folder.prn")}, 1, "is a folder"},
      {{out, oneColumn}, 1, "holds no series"},
      {{out, empty}, 1, "holds no series"},
      {{out, Path("loop.prn")}, 1, "Too many levels of symbolic links"},
      {{Path("out.jpg"), data}, 2, "must end in .bmp, .png, .svg or .pdf"},
      {{out, "--size", "100x100", data}, 2, "--size 100x100"},
      {{out, "--size", "wide", data}, 2, "--size wide"},
      {{out, data, "--size"}, 2, "--size needs"},
      {{out}, 2, "usage:"},
      {{out, data, data}, 2, "usage:"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Export(c.args), c.status) << c.says;
    const std::string message = err.str();
    EXPECT_NE(message.find(c.says), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out))) << c.says;
  }

  // A file the user may not read (only meaningful when not running as root).
  if (geteuid() != 0) {
    const std::string locked = Write("locked.prn", "1 2\r\n");
    QFile::setPermissions(QString::fromStdString(locked), QFileDevice::Permissions());
    EXPECT_EQ(Export({out, locked}), 1);
    EXPECT_NE(err.str().find("cannot be read"), std::string::npos) << err.str();
  }

  // An output that cannot be written, named once.
  EXPECT_EQ(Export({Path("no/such/folder/out.png"), data}), 1);
  const std::string said = err.str();
  const std::size_t at = said.find("no/such/folder/out.png");
  EXPECT_NE(at, std::string::npos) << said;
  EXPECT_EQ(said.find("no/such/folder/out.png", at + 1), std::string::npos) << said;

  // Plain text of any name is data.
  EXPECT_EQ(Export({Path("dat.png"), Write("run.dat", "# run\n1 2\n2 3 <- odd\n")}), 0) << err.str();

  // What the window would show in a box, the command line says on stderr.
  std::string wide;
  for (int column = 0; column < 24; ++column) wide += std::to_string(column) + " ";
  EXPECT_EQ(Export({Path("wide.png"), Write("wide.prn", wide + "\r\n")}), 0);
  EXPECT_NE(err.str().find("LIMITED to 21"), std::string::npos) << err.str();
}

TEST_F(GraphExportTest, GraphFileInputBringsItsSettings) {
  // The same series as a data file and as a graph file whose main title and X ticks differ from
  // the defaults: the pictures differ, so the file's settings were drawn.
  const std::string data = DataFile();
  QuietPrompts prompts;
  Workspace workspace(prompts);
  ASSERT_TRUE(ReadInputFile(workspace, data, err));
  workspace.Settings.MainTitles[1] = "Graph file title";
  workspace.Settings.XTicks = 5;
  const std::string graph = Write("graph.gra", GraphFileText(workspace));
  Workspace empty(prompts);
  const std::string none = Write("none.gra", GraphFileText(empty));

  ASSERT_EQ(Export({Path("data.png"), data}), 0) << err.str();
  ASSERT_EQ(Export({Path("graph.png"), graph}), 0) << err.str();
  EXPECT_NE(QImage(QString::fromStdString(Path("data.png"))),
            QImage(QString::fromStdString(Path("graph.png"))));
  std::ostringstream pout, perr;
  EXPECT_EQ(RunPrintPdfCommand({Path("graph.pdf"), graph}, pout, perr), 0) << perr.str();
  EXPECT_EQ(Export({Path("none.png"), none}), 1);
  EXPECT_NE(err.str().find("holds no series"), std::string::npos) << err.str();
}

TEST_F(GraphExportTest, PrintPdfWritesOnePageAndLeavesNothingBehindOnFailure) {
  const std::string data = DataFile();
  std::ostringstream pout, perr;
  EXPECT_EQ(RunPrintPdfCommand({Path("graph.pdf"), data}, pout, perr), 0) << perr.str();
  EXPECT_EQ(perr.str(), "");
  QFile pdf(QString::fromStdString(Path("graph.pdf")));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.read(5) == "%PDF-");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "the data and the PDF, nothing else";

  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{Path("x.pdf"), Path("missing.prn")}, 1, "no such file"},
      {{Path("x.png"), data}, 2, "must end in .pdf"},
      {{Path("x.pdf")}, 2, "usage:"},
      {{Path("no/such/folder/x.pdf"), data}, 1, "no/such/folder/x.pdf"},
  };
  for (const auto& c : cases) {
    perr.str({});
    EXPECT_EQ(RunPrintPdfCommand(c.args, pout, perr), c.status) << c.says;
    EXPECT_NE(perr.str().find(c.says), std::string::npos) << perr.str();
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("x.pdf"))));
}

TEST_F(GraphExportTest, PrintDataPdfWritesTheTablesAndRefusesWhatItCannotRead) {
  const std::string data = DataFile();
  std::ostringstream pout, perr;
  EXPECT_EQ(RunPrintDataPdfCommand({Path("data.pdf"), data}, pout, perr), 0) << perr.str();
  EXPECT_EQ(perr.str(), "");
  EXPECT_EQ(pout.str(), "");
  if (testing::HavePdfToText()) {
    const std::string text = testing::PdfText(QString::fromStdString(Path("data.pdf")));
    for (const char* word : {"NoName.gra", "Series #1", "Series #2", "Index"}) {
      EXPECT_NE(text.find(word), std::string::npos) << word << " in\n" << text;
    }
  }
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{Path("x.pdf"), Path("missing.prn")}, 1, "no such file"},
      {{Path("x.txt"), data}, 2, "must end in .pdf"},
      {{Path("x.pdf"), data, data}, 2, "usage:"},
      {{Path("no/such/folder/x.pdf"), data}, 1, "no/such/folder/x.pdf"},
  };
  for (const auto& c : cases) {
    perr.str({});
    EXPECT_EQ(RunPrintDataPdfCommand(c.args, pout, perr), c.status) << c.says;
    EXPECT_NE(perr.str().find(c.says), std::string::npos) << perr.str();
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("x.pdf"))));
}

TEST(ExportSizeTest, AcceptsOnlyWholeSizesWithinTheLimits) {
  const struct {
    const char* text;
    bool ok;
    int width, height;
  } cases[] = {
      {"1024x768", true, 1024, 768},
      {"160X120", true, 160, 120},
      {"16384x16384", true, 16384, 16384},
      {"159x120", false, 0, 0},
      {"160x119", false, 0, 0},
      {"16385x200", false, 0, 0},
      {"1024*768", false, 0, 0},
      {"x768", false, 0, 0},
      {"1024x", false, 0, 0},
      {"+300x200", false, 0, 0},
      {"300x200x1", false, 0, 0},
      {"99999999999x200", false, 0, 0},
  };
  for (const auto& c : cases) {
    const auto size = ParseExportSize(c.text);
    EXPECT_EQ(size.has_value(), c.ok) << c.text;
    if (size && c.ok) {
      EXPECT_EQ(size->width, c.width) << c.text;
      EXPECT_EQ(size->height, c.height) << c.text;
    }
  }
}

TEST(CommandLineHelpTest, NamesEveryOption) {
  std::ostringstream out;
  WriteCommandLineHelp(out);
  for (const char* option :
       {"--export", "--size", "--print-pdf", "--print-data-pdf", "--fit", "--help"}) {
    EXPECT_NE(out.str().find(option), std::string::npos) << option;
  }
}

TEST(CommandLineTest, AnUnknownOptionIsAWrongCommandLine) {
  const struct {
    std::vector<std::string> args;
    std::optional<int> status;
    std::string says;
  } cases[] = {{{"--bogus", "x"}, 2, "tavel: unknown option --bogus\nusage: tavel"},
               {{"file.gra", "--size"}, 2, "tavel: unknown option --size\nusage: tavel"},
               {{"file.gra"}, std::nullopt, ""}, {{"-"}, std::nullopt, ""}};
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine(c.args, out, err), c.status);
    EXPECT_EQ(err.str().substr(0, c.says.size()), c.says);
  }
}

}  // namespace
}  // namespace tavel
