// File services: whole-file reads, and atomic replacement with permissions and symbolic
// links kept, pipes written in place. Path helpers are pinned through backup names
// (tests/core/text/files_test.cpp), a read error's file name by tests/cli/cli_test.sh.
#include "../temp_dir.h"
#include "core/error.h"
#include "core/platform/atomic_file_writer.h"
#include "core/platform/file_system.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace marlo::test {
namespace {

namespace fs = std::filesystem;
namespace pf = marlo::platform;
using Names = std::vector<std::string>;

TEST(FileSystem, ReadWholeFileKeepsEveryByteAndEndsWithANul) {
  TempDir d;
  for (const std::string& bytes : {std::string("a\0b\r\nc\xff", 7), std::string()}) {
    WriteFile(d / "f", bytes);
    pf::TFileBuffer buf = pf::ReadWholeFile(d / "f");
    EXPECT_EQ(std::string(buf.data.get(), buf.size), bytes);
    EXPECT_EQ(buf.data[buf.size], '\0'); // the readers scan up to it
  }
  EXPECT_THROW(pf::ReadWholeFile(d.Path()), Error);
}

TEST(FileSystem, ReplaceWritesTheBytesKeepsPermissionsAndLeavesNoTemporaryFile) {
  TempDir d;
  for (unsigned mode : {0600u, 0755u, 0444u}) {
    const std::string path = d / ("f" + std::to_string(mode));
    WriteFile(path, std::string(5000, 'o'));
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    pf::ReplaceFileAtomically(path, std::string("ne\0w", 4));
    EXPECT_EQ(Mode(path), mode);
    EXPECT_EQ(ReadFile(path), std::string("ne\0w", 4));
  }
  // A new file gets what the umask the program started with allows.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  pf::ReplaceFileAtomically(d / "new", "");
  EXPECT_EQ(Mode(d / "new"), 0666u & ~mask);
  EXPECT_EQ(d.Names(), (Names{"f292", "f384", "f493", "new"})); // the modes in decimal
}

TEST(FileSystem, ReplaceWritesThroughSymbolicLinks) {
  TempDir d;
  fs::create_directory(d / "real");
  WriteFile(d / "real/target.txt", "old");
  ASSERT_EQ(::chmod((d / "real/target.txt").c_str(), 0640), 0);
  ASSERT_EQ(::symlink("real/target.txt", (d / "rel").c_str()), 0);
  ASSERT_EQ(::symlink((d / "rel").c_str(), (d / "abs").c_str()), 0);
  pf::ReplaceFileAtomically(d / "abs", "through two links");
  EXPECT_TRUE(IsSymlink(d / "abs") && IsSymlink(d / "rel"));
  EXPECT_EQ(ReadFile(d / "real/target.txt"), "through two links");
  EXPECT_EQ(Mode(d / "real/target.txt"), 0640u);
  EXPECT_EQ(d.Names("real"), (Names{"target.txt"}));

  // A link to a file that does not exist yet creates that file.
  ASSERT_EQ(::symlink("real/later.txt", (d / "dangling").c_str()), 0);
  pf::ReplaceFileAtomically(d / "dangling", "made");
  EXPECT_TRUE(IsSymlink(d / "dangling"));
  EXPECT_EQ(ReadFile(d / "real/later.txt"), "made");

  // A loop of links ends the search instead of hanging.
  ASSERT_EQ(::symlink("loop2", (d / "loop1").c_str()), 0);
  ASSERT_EQ(::symlink("loop1", (d / "loop2").c_str()), 0);
  EXPECT_FALSE(pf::ResolveWriteTarget(d / "loop1").empty());
}

TEST(FileSystem, AFailedReplaceLeavesTheOldFileWhole) {
  TempDir d;
  EXPECT_THROW(pf::ReplaceFileAtomically(d / "missing/f", "x"), Error);
  EXPECT_FALSE(fs::exists(d / "missing"));

  // A folder is refused, not renamed over.
  fs::create_directory(d / "dir");
  WriteFile(d / "dir/inside", "kept");
  EXPECT_THROW(pf::ReplaceFileAtomically(d / "dir", "x"), Error);
  EXPECT_EQ(ReadFile(d / "dir/inside"), "kept");

  // A folder the user may not write into, though the file itself is writable.
  fs::create_directory(d / "ro");
  const std::string target = d / "ro/f";
  WriteFile(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0666), 0);
  const auto write = [&] { pf::ReplaceFileAtomically(target, "new"); };
  EXPECT_EQ(RunInReadOnlyFolder(d, "ro", [&] { return Raised<Error>(write) ? 0 : 1; }), 0);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(d.Names("ro"), (Names{"f"}));
  EXPECT_EQ(d.Names(), (Names{"dir", "ro"})); // no temporary file is left behind

  // A read-only file in a folder anyone may write into: not replaced by a rename.
  fs::create_directory(d / "open");
  const std::string locked = d / "open/f";
  WriteFile(locked, "old");
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  ASSERT_EQ(::chmod((d / "open").c_str(), 0777), 0);
  ASSERT_EQ(::chmod(d.Path().c_str(), 0755), 0);
  const auto overwrite = [&] { pf::ReplaceFileAtomically(locked, "new"); };
  EXPECT_EQ(RunUnprivileged([&] { return Raised<Error>(overwrite) ? 0 : 1; }), 0);
  EXPECT_EQ(ReadFile(locked), "old");
  EXPECT_EQ(d.Names("open"), (Names{"f"}));
}

// Renaming over a pipe (or a device, the same case) would put a regular file in its place:
// it is written in place. A socket cannot be opened, which is told.
TEST(FileSystem, PipesAreWrittenInPlaceAndSocketsRefused) {
  TempDir d;
  ASSERT_EQ(::mkfifo((d / "fifo").c_str(), 0600), 0);
  // The reading end is open first, so that the write neither waits for a reader nor, if it
  // missed the pipe, leaves a reader waiting; what fits in the pipe is read back after it.
  const int fd = ::open((d / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  const std::string bytes(4096, 'p');
  pf::ReplaceFileAtomically(d / "fifo", bytes);
  std::string got(bytes.size() + 1, '\0');
  got.resize(static_cast<size_t>(std::max<ssize_t>(0, ::read(fd, got.data(), got.size()))));
  ::close(fd);
  EXPECT_TRUE(got == bytes) << got.size() << " bytes read";
  EXPECT_TRUE(fs::is_fifo(d / "fifo"));

  const std::string sock = d / "sock";
  ASSERT_EQ(::mknod(sock.c_str(), S_IFSOCK | 0600, 0), 0);
  EXPECT_THROW(pf::ReplaceFileAtomically(sock, "x"), Error);
  EXPECT_TRUE(fs::is_socket(sock));
  EXPECT_EQ(d.Names(), (Names{"fifo", "sock"}));
}

} // namespace
} // namespace marlo::test
