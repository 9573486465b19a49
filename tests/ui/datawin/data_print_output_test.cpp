#include "ui/datawin/data_print_output.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/fit/fit_engine.h"
#include "core/series/workspace.h"
#include "support/pdf_text.h"
#include "support/scripted_prompts.h"
#include "ui/graph/graph_output.h"

namespace tavel {
namespace {

// The lines with text on each page of pdftotext's output.
std::vector<int> LinesPerPage(const std::string& text) {
  std::vector<int> counts{0};
  bool blank = true;
  for (const char c : text) {
    if (c == '\f') {
      counts.push_back(0);
    } else if (c == '\n') {
      if (!blank) ++counts.back();
      blank = true;
    } else if (c != ' ') {
      blank = false;
    }
  }
  return counts;
}

class DataPrintOutputTest : public ::testing::Test {
 protected:
  DataPrintOutputTest() {
    // Series 1: rows 3 and 5 only, as typed.
    ws.Settings.NextDataSize = 6;
    Series& typed = ws.CreateSeries();
    typed.Cells.SetText(3, kXColumn, "1,5");
    typed.Cells.SetText(3, kYColumn, "2");
    typed.Cells.SetText(5, kYColumn, "7e1");
    // Series 2: a power fit over enough points to need a second page.
    ws.Settings.NextDataSize = 70;
    Series& fitted = ws.CreateSeries();
    for (int r = 1; r <= 70; ++r) {
      fitted.Cells.SetNumber(r, kXColumn, r);
      fitted.Cells.SetNumber(r, kYColumn, 3.0L * r * r);
    }
    fitted.Fit.FitKind = kFitPower;
    TFitObj(fitted).RunFit();
    ws.SortDataWindows();
    ws.Settings.GraphFileName = "/data/run7.gra";
  }

  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
};

TEST_F(DataPrintOutputTest, PdfHoldsTheHeadingTheTypedRowsTheFitBlockAndItsContinuation) {
  if (!testing::HavePdfToText()) GTEST_SKIP() << "no pdftotext";
  const std::string path = dir.filePath("data.pdf").toStdString();
  std::string why;
  ASSERT_TRUE(PrintDataPdf(ws, path, why)) << why;
  const std::string text = testing::PdfText(QString::fromStdString(path));

  const std::size_t page2 = text.find('\f');
  ASSERT_NE(page2, std::string::npos);
  const std::string first = text.substr(0, page2);
  EXPECT_NE(first.find("/data/run7.gra"), std::string::npos) << first;
  EXPECT_EQ(first.find("Page "), std::string::npos);
  EXPECT_NE(first.find("1,5"), std::string::npos);
  EXPECT_NE(first.find("7e1"), std::string::npos);
  const std::string rest = text.substr(page2);
  EXPECT_NE(rest.find("Page 2"), std::string::npos);
  // pdftotext lays out the blanks between words as it sees fit.
  for (const char* line :
       {"Series #2 +\\(continued\\)", "\\bA +=", "\\bB +=", "R\\^2 +=", "Y += A\\*X\\^B"}) {
    EXPECT_TRUE(std::regex_search(rest, std::regex(line))) << line << " in\n" << rest;
  }
}

TEST_F(DataPrintOutputTest, AHigherResolutionPrintsTheSamePages) {
  if (!testing::HavePdfToText()) GTEST_SKIP() << "no pdftotext";
  std::string texts[2];
  int i = 0;
  for (const int dpi : {300, 1200}) {
    const QString path = dir.filePath(QString("p%1.pdf").arg(dpi));
    QPrinter printer(QPrinter::HighResolution);
    UsePdfOutput(printer, path);
    printer.setResolution(dpi);
    EXPECT_EQ(PrintPageOf(printer).dotsPerInch, dpi);
    ASSERT_TRUE(PrintDataJob(ws, printer, prompts));
    texts[i++] = testing::PdfText(path);
  }
  EXPECT_GE(testing::PageCount(texts[0]), 2);
  EXPECT_EQ(testing::PageCount(texts[0]), testing::PageCount(texts[1]));
  // The same lines on each page.
  EXPECT_EQ(LinesPerPage(texts[0]), LinesPerPage(texts[1]));
  EXPECT_TRUE(prompts.reports.empty());
}

TEST_F(DataPrintOutputTest, APdfThatCannotBeWrittenSaysWhyAndLeavesNothing) {
  const std::string path = dir.filePath("no/such/folder/data.pdf").toStdString();
  std::string why;
  EXPECT_FALSE(PrintDataPdf(ws, path, why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace tavel
