#pragma once
// Watches a document's file for changes by other programs: a version-control checkout, a
// second editor, the core writing beside the source. It remembers what the file was when
// the document last read or wrote it, and tells a change of the bytes (not a touch) or the
// file's going away. Other programs and our own saves replace the file by a rename, after
// which a watcher has lost the path: the folder is watched too and the path added again.
// Watchers miss changes on some file systems, so it also looks whenever the program is
// activated, and the window asks it before every save.
#include "core/platform/file_identity.h"

#include <QObject>
#include <QTimer>

#include <string>

class QFileSystemWatcher;

namespace marlo {

class TDiskWatch : public QObject {
  Q_OBJECT

public:
  explicit TDiskWatch(QObject* parent = nullptr);

  // Watches `fileName`, whose bytes the document now holds as `identity` describes.
  void Watch(const std::string& fileName, const platform::TFileIdentity& identity);
  void Stop();
  bool Watching() const { return !fileName_.empty(); }
  const std::string& FileName() const { return fileName_; }
  // What the document holds: the file as it was last read or written.
  const platform::TFileIdentity& Base() const { return base_; }
  // The file as last seen on disk, told or not.
  const platform::TFileIdentity& Seen() const { return seen_; }

  // The document holds the file's bytes again (saved or reloaded).
  void Remember(const platform::TFileIdentity& identity);
  // Whether a save would overwrite bytes the document never held: the file changed since
  // it was read or written. A missing file has nothing to lose. Raises Error when the file
  // cannot be read.
  bool ChangedSinceBase();
  // Looks at the file now: a change is told at once, a missing file only when it is still
  // missing once the folder has settled, since a replace removes it for a moment.
  void Check();

  // How long after an event of the watcher the file is looked at.
  static inline int SettleMs = 200;

signals:
  // The file holds other bytes than when last seen.
  void changed();
  // The file was deleted or moved away.
  void removed();
  // A look after the watcher's events is done, told or not.
  void settled();

private:
  void Rearm();
  void Settled();
  // Looks at the file; with `decide`, a missing file is told as removed.
  void Look(bool decide);

  QFileSystemWatcher* watcher_ = nullptr;
  QTimer settle_;
  std::string fileName_;
  platform::TFileIdentity base_;
  platform::TFileIdentity seen_;
};

} // namespace marlo
