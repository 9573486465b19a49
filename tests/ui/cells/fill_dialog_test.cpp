#include "ui/cells/fill_dialog.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "support/frame_fixture.h"

namespace tavel {
namespace {

using FillDialogTest = testing::FrameFixture;

TEST_F(FillDialogTest, DefaultsGoIntoEmptyEditsAndOperateFillsTheColumn) {
  Series& series = NewSeries({});
  TFillF* dlg = frame->FillF;
  WhileModal([&] { frame->FillCells(); }, {[&](QDialog*) {
               EXPECT_EQ(dlg->windowTitle(), "Math Fill Cells");
               EXPECT_EQ(dlg->Label1->text(), "Series # 1");
               EXPECT_EQ(dlg->Edit1->text(), "1");
               EXPECT_EQ(dlg->Edit2->text(), QString::number(series.MaxIndex));
               EXPECT_EQ(dlg->Edit3->text(), "1");
               EXPECT_EQ(dlg->Edit4->text(), "1");
               dlg->OperateOnBoxItems->button(1)->click();
               dlg->Edit2->setText("3");
               dlg->Edit3->setText("0");
               dlg->Edit4->setText(".1");
               dlg->ButtonOperate->click();
               dlg->Edit4->clear();
               dlg->ButtonOK->click();
             }});
  // What the user typed stays; only the emptied edit takes its default again.
  WhileModal([&] { frame->FillCells(); }, {[&](QDialog*) {
               EXPECT_EQ(dlg->Edit2->text(), "3");
               EXPECT_EQ(dlg->Edit3->text(), "0");
               EXPECT_EQ(dlg->Edit4->text(), "1");
             }});
  EXPECT_EQ(Cell(series, 1, kYColumn), "0");
  EXPECT_EQ(Cell(series, 2, kYColumn), ".1");
  EXPECT_EQ(Cell(series, 3, kYColumn), ".2");
  EXPECT_EQ(Cell(series, 4, kYColumn), "");
  EXPECT_EQ(Cell(series, 1, kXColumn), "");
}

TEST_F(FillDialogTest, TheFirstBadEditShowsItsErrorTextSelectedWithABeep) {
  Series& series = NewSeries({});
  TFillF* dlg = frame->FillF;
  const struct {
    const char* texts[4];
    int field;
    const char* error;
  } cases[] = {
      {{"a", "x", "1", "1"}, 0, "Enter integer"}, {{"1", "2.5", "1", "1"}, 1, "Enter integer"},
      {{"1", "2", "1,5", "1"}, 2, "Enter value"}, {{"1", "2", "1", ""}, 3, "Enter value"},
      {{"11", "12", "1", "1"}, 0, "Too Large"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    prompts.beeps = 0;
    WhileModal([&] { frame->FillCells(); }, {[&](QDialog*) {
                 QLineEdit* edits[] = {dlg->Edit1, dlg->Edit2, dlg->Edit3, dlg->Edit4};
                 for (int i = 0; i < 4; ++i) edits[i]->setText(c.texts[i]);
                 dlg->ButtonOperate->click();
                 EXPECT_EQ(edits[c.field]->text(), c.error);
                 EXPECT_TRUE(edits[c.field]->hasFocus());
                 EXPECT_EQ(edits[c.field]->selectedText(), c.error);
               }});
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(Cell(series, 1, kXColumn), "");
  }
}

}  // namespace
}  // namespace tavel
