#pragma once

#include "ui/app/command_host.h"

class QPrinter;
class QWidget;

namespace tavel {

// What a text window needs from its frame: the shared commands of its "&File" menu, the
// printer, and the list of text windows it joins when made and leaves when destroyed.
class TextWindowHost : public virtual CommandHost {
 public:
  // The printer kept for the whole run, so "P&rint Setup..." choices hold for the next print.
  virtual QPrinter& Printer() = 0;
  virtual void PrintSetup() = 0;
  // The platform's print dialog on the printer; true when the user confirmed it.
  virtual bool ConfirmPrintJob(QPrinter& printer) = 0;

  virtual void TextWindowCreated(QWidget* window) = 0;
  // Once its close went ahead, and again when it is destroyed.
  virtual void TextWindowClosed(QWidget* window) = 0;
};

}  // namespace tavel
