#include "qt/qt_host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "qt/form_view.h"

namespace qt {

namespace {

// Work shorter than this passes unnoticed; longer work shows its dialog.
constexpr qint64 kNoticedMs = 500;
// How often long work lets the window system paint.
constexpr qint64 kPaintEveryMs = 50;

}  // namespace

QtHost::QtHost(std::optional<std::filesystem::path> folder) : folder_(std::move(folder)) {}

void QtHost::showModal(forms::Form& form) {
  // The work of the event that opens the window waits while the operator answers: its busy
  // window closes now, and what the window's own events do is work of their own.
  std::vector<std::string> waiting;
  waiting.swap(work_);
  progress_.reset();
  last_pump_.invalidate();
  {
    FormView view(form, *this, QApplication::activeWindow());
    view.setModal(true);
    view.forward([&] { form.load(); });
    if (!form.unloaded()) view.exec();
  }
  work_ = std::move(waiting);
  // The time the operator took to answer is no part of the work around it.
  if (!work_.empty()) work_clock_.restart();
  for (FormView* view : views_) view->form().focusReturned();
}

void QtHost::beep() {
  QApplication::beep();
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

void QtHost::beginWork(const std::string& doing) {
  if (work_.empty()) work_clock_.start();
  work_.push_back(doing);
  if (progress_) progress_->setLabelText(QString::fromStdString(doing));
}

void QtHost::stillWorking() {
  if (work_.empty() || pumping_) return;
  if (last_pump_.isValid() && last_pump_.elapsed() < kPaintEveryMs) return;
  if (!progress_ && work_clock_.elapsed() >= kNoticedMs) {
    progress_ = std::make_unique<QProgressDialog>(QString::fromStdString(work_.back()), QString(),
                                                  0, 0, QApplication::activeWindow());
    progress_->setWindowTitle(QStringLiteral("TARVEL"));
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setMinimumDuration(0);
    progress_->setMinimumWidth(420);
    progress_->show();
  }
  if (progress_) {
    // Only painting and the window system's own events: operator input waits, and any
    // queued operator event is held back until the work is done.
    pumping_ = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    pumping_ = false;
  }
  last_pump_.start();
}

void QtHost::endWork() {
  if (work_.empty()) return;
  work_.pop_back();
  if (!work_.empty()) {
    if (progress_) progress_->setLabelText(QString::fromStdString(work_.back()));
    return;
  }
  progress_.reset();
  last_pump_.invalidate();
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

}  // namespace qt
