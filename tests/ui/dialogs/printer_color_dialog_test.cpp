#include "ui/dialogs/printer_color_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/series/series_options.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/series_builder.h"

namespace tavel {
namespace {

TEST(PrinterColorDialogTest, StoredOnlyByOkAndNext) {
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  Series& series = testing::AddSeries(ws, {{1, 1}});
  TPrintCF dlg(ws, prompts);
  dlg.Hooks.ActiveSeries = [&] { return &series; };
  const struct {
    QPushButton* button;
    std::int32_t stored;
    bool next;
  } cases[] = {
      {dlg.CancelBtn, 7, false}, {dlg.OKBtn, kPrinterRed, false}, {dlg.Button6, kPrinterRed, true}};
  for (const auto& c : cases) {
    series.PrinterColor = 7;  // a code the dialog does not offer
    ws.Settings.NextSeriesRequested = false;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Printer Color  Dialog");
    EXPECT_EQ(dlg.RadioGroup1Items->checkedId(), kItemDefault);
    dlg.RadioGroup1Items->button(kItemRed)->click();
    QTest::mouseClick(c.button, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(series.PrinterColor, c.stored) << c.button->text().toStdString();
    EXPECT_EQ(ws.Settings.NextSeriesRequested, c.next);
  }
}

}  // namespace
}  // namespace tavel
