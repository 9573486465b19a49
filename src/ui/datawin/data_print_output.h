#pragma once

#include <string>

#include "core/platform/prompts.h"
#include "core/print/data_print.h"

class QPrinter;

namespace tavel {

class Workspace;

// "Print &Data" on a printer: the page the layout is made for, and the one print job holding
// every page.

// The printer's drawable page in device units, its orientation and resolution.
PrintPage PrintPageOf(const QPrinter& printer);

// Prints every series onto the printer in one job. False, after prompts.ReportError, when the
// job could not start or a page could not be made; a job that failed part way is aborted
// rather than printed short.
bool PrintDataJob(const Workspace& workspace, QPrinter& printer, Prompts& prompts);

// The same pages as one PDF file, written through the safe replace. False with the reason in
// `why` when the pages could not be made or written.
bool PrintDataPdf(const Workspace& workspace, const std::string& path, std::string& why);

}  // namespace tavel
