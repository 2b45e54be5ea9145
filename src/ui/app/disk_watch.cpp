#include "ui/app/disk_watch.h"

#include "ui/qt_text.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>

#include <cstdio>
#include <exception>

namespace marlo {

namespace {

bool SameBytes(const platform::TFileIdentity& a, const platform::TFileIdentity& b) {
  return a.Exists && b.Exists && a.Size == b.Size && a.Hash == b.Hash;
}

} // namespace

TDiskWatch::TDiskWatch(QObject* parent) : QObject(parent) {
  settle_.setSingleShot(true);
  connect(&settle_, &QTimer::timeout, this, [this] { Settled(); });
  // Back from another program, whose work may have been a change of the file.
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
      if (s == Qt::ApplicationActive) Check();
    });
}

void TDiskWatch::Watch(const std::string& fileName, const platform::TFileIdentity& identity) {
  // The same file again (a save) keeps its watches: the events of the save still come, and
  // are looked at against what the save left.
  if (fileName != fileName_) Stop();
  fileName_ = fileName;
  base_ = seen_ = identity;
  if (!watcher_) {
    watcher_ = new QFileSystemWatcher(this);
    // The first event starts the wait; those that follow it while it runs add nothing, so
    // that a folder written to all the time still gets its file looked at.
    auto event = [this] {
      Rearm();
      if (!settle_.isActive()) settle_.start(SettleMs);
    };
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, event);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, event);
  }
  Rearm();
}

void TDiskWatch::Stop() {
  settle_.stop();
  if (watcher_) {
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
  }
  fileName_.clear();
  base_ = seen_ = {};
}

void TDiskWatch::Rearm() {
  if (fileName_.empty() || !watcher_) return;
  const QString file = PathToQString(fileName_);
  const QString folder = QFileInfo(file).absolutePath();
  if (!watcher_->directories().contains(folder) && QFileInfo(folder).isDir())
    watcher_->addPath(folder);
  // A rename over the file leaves the watcher with the old one, which is gone.
  if (!watcher_->files().contains(file) && QFileInfo::exists(file)) watcher_->addPath(file);
}

void TDiskWatch::Remember(const platform::TFileIdentity& identity) {
  base_ = seen_ = identity;
}

bool TDiskWatch::ChangedSinceBase() {
  if (fileName_.empty()) return false;
  platform::TFileIdentity now;
  if (platform::FileChangedSince(fileName_, base_, &now)) return now.Exists;
  if (now.Exists) {
    // A touch: its stat is kept, so that the bytes need not be read again.
    if (SameBytes(seen_, base_)) seen_ = now;
    base_ = now;
  }
  return false;
}

void TDiskWatch::Check() {
  Look(false);
}

void TDiskWatch::Settled() {
  Look(true);
  emit settled();
}

void TDiskWatch::Look(bool decide) {
  if (fileName_.empty()) return;
  Rearm();
  platform::TFileIdentity now;
  bool differs = false;
  try {
    differs = platform::FileChangedSince(fileName_, seen_, &now);
  } catch (const std::exception& e) {
    // Not readable now (its rights changed, or it is half replaced): nothing is decided,
    // the next event or activation looks again.
    std::fprintf(stderr, "marlo: %s\n", e.what());
    return;
  }
  if (!differs) {
    if (now.Exists) {
      if (SameBytes(now, base_)) base_ = now;
      seen_ = now;
    }
    return;
  }
  if (!now.Exists && !decide) {
    if (!settle_.isActive()) settle_.start(SettleMs);
    return;
  }
  seen_ = now;
  if (now.Exists)
    emit changed();
  else
    emit removed();
}

} // namespace marlo
