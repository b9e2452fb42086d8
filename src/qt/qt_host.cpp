#include "qt/qt_host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "qt/form_view.h"

namespace qtview {

QtHost::QtHost(std::optional<std::filesystem::path> folder) : folder_(std::move(folder)) {}

void QtHost::showModal(forms::Form& form) {
  FormView view(form, *this, QApplication::activeWindow());
  view.setModal(true);
  view.forward([&] { form.load(); });
  if (!form.unloaded()) view.exec();
}

void QtHost::beep() {
  QApplication::beep();
}

void QtHost::postTab(forms::Form& form) {
  FormView* view = viewOf(form);
  if (!view) return;
  QPointer<FormView> target(view);
  QTimer::singleShot(0, view, [target] {
    if (target && !target->form().unloaded()) target->forward([&] { target->form().tab(); });
  });
}

bool QtHost::openDocument(const std::filesystem::path& document) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(document.string())));
}

void QtHost::end(int status) {
  std::fflush(nullptr);
  // Every statement has already committed; nothing is left to write.
  std::_Exit(status);
}

forms::LocalDateTime QtHost::now() {
  const QDateTime now = QDateTime::currentDateTime();
  return forms::LocalDateTime{now.date().year(), now.date().month(),  now.date().day(),
                              now.time().hour(), now.time().minute(), now.time().second()};
}

std::filesystem::path QtHost::programFolder() {
  if (folder_) return *folder_;
  return QCoreApplication::applicationDirPath().toStdString();
}

void QtHost::syncAll() {
  const std::vector<FormView*> views = views_;
  for (FormView* view : views) view->sync();
}

void QtHost::addView(FormView& view) {
  views_.push_back(&view);
}

void QtHost::removeView(FormView& view) {
  views_.erase(std::remove(views_.begin(), views_.end(), &view), views_.end());
}

FormView* QtHost::viewOf(const forms::Form& form) const {
  const auto found = std::find_if(views_.begin(), views_.end(),
                                  [&](const FormView* view) { return &view->form() == &form; });
  return found == views_.end() ? nullptr : *found;
}

}  // namespace qtview
