#include "ui/platform/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

namespace tavel {

void QtClipboard::SetText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string QtClipboard::GetText() {
  return QGuiApplication::clipboard()->text().toStdString();
}

}  // namespace tavel
