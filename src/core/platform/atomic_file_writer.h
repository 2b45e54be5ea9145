#pragma once
// The one way the program writes a file. A regular file (or a name not taken yet) is
// written piece by piece to a temporary file beside it, which replaces it only when
// everything has been written and synced: a failure at any point leaves the old file whole.
// Symbolic links are written through and the old file's permissions are kept. A device, a
// pipe or a socket is written in place, since renaming over it would put a regular file in
// its stead; a folder is refused. Every error names the file and the system's reason.
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace marlo::platform {

class TAtomicFileWriter {
public:
  // Creates the temporary file (or opens the device in place). Raises Error.
  explicit TAtomicFileWriter(const std::string& path);
  // Removes the temporary file unless Commit succeeded.
  ~TAtomicFileWriter();
  TAtomicFileWriter(const TAtomicFileWriter&) = delete;
  TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

  // The file that is replaced: the path with its symbolic links followed.
  const std::string& Target() const { return target_; }
  // Whether the target is written in place (it is not a regular file).
  bool InPlace() const { return inPlace_; }

  // Before the new contents replace an existing regular file, the old file is kept under
  // `backup` (which is deleted first when it exists). A backup equal to the target is none.
  void KeepBackup(const std::string& backup) { backup_ = backup; }

  // The stream to write the new contents to.
  std::ostream& Stream();
  // Flushes the contents to disk, keeps the backup and renames the temporary file over
  // the target. Raises Error.
  void Commit();

private:
  class TBuffer;
  void MakeBackup();

  std::string path_;
  std::string target_;
  std::string temp_;
  std::string backup_;
  bool inPlace_ = false;
  std::unique_ptr<TBuffer> buffer_;
  std::unique_ptr<std::ostream> stream_;
  bool committed_ = false;
};

// Writes `bytes` as the whole new contents of `path` through an TAtomicFileWriter.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Write errors become errors of the write rather than a signal that ends the program: a
// file-size limit then fails the save and leaves the old file whole. Called at start-up.
void IgnoreFileSizeSignal();

} // namespace marlo::platform
