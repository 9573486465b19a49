#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <string>

namespace tavel::testing {

inline bool HavePdfToText() {
  return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

// The text of a PDF as pdftotext lays it out; pages end with a form feed.
inline std::string PdfText(const QString& path) {
  QProcess pdftotext;
  pdftotext.start("pdftotext", {"-layout", path, "-"});
  if (!pdftotext.waitForFinished(20000)) return {};
  return pdftotext.readAllStandardOutput().toStdString();
}

inline int PageCount(const std::string& pdfText) {
  return static_cast<int>(std::count(pdfText.begin(), pdfText.end(), '\f'));
}

}  // namespace tavel::testing
