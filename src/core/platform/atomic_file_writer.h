#pragma once
// A file written piece by piece through a temporary file beside it, which replaces the
// file only when everything has been written: a failure at any point leaves the old file
// whole. Symbolic links are written through and the old file's permissions are kept.
#include <memory>
#include <ostream>
#include <string>

namespace marlo::platform {

class AtomicFileWriter {
public:
  // Creates the temporary file. Raises Error with the file name and the system's reason.
  explicit AtomicFileWriter(const std::string& path);
  // Removes the temporary file unless Commit succeeded.
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // The stream to write the new contents to.
  std::ostream& Stream();
  // Flushes the contents to disk and renames the temporary file over the target.
  // Raises Error with the file name and the system's reason.
  void Commit();

private:
  class TBuffer;
  std::string path_;
  std::string target_;
  std::string temp_;
  std::unique_ptr<TBuffer> buffer_;
  std::unique_ptr<std::ostream> stream_;
  bool committed_ = false;
};

} // namespace marlo::platform
