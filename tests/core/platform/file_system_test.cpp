// File services: whole-file reads, and atomic replacement with permissions and symbolic
// links kept, devices and pipes written in place. The extension rules of the path helpers
// are pinned through backup names (tests/core/text/files_test.cpp).
#include "../temp_dir.h"
#include "core/error.h"
#include "core/platform/atomic_file_writer.h"
#include "core/platform/file_system.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
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
  try {
    pf::ReadWholeFile(d / "missing");
    ADD_FAILURE() << "no error for a missing file";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(d / "missing"), std::string::npos) << e.what();
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

  // Renaming over a folder fails after the temporary file was written: it is removed again.
  fs::create_directory(d / "dir");
  WriteFile(d / "dir/inside", "kept");
  EXPECT_THROW(pf::ReplaceFileAtomically(d / "dir", "x"), Error);
  EXPECT_EQ(ReadFile(d / "dir/inside"), "kept");
  EXPECT_EQ(d.Names(), (Names{"dir"}));

  // A folder the user may not write into, though the file itself is writable.
  ASSERT_EQ(::chmod(d.Path().c_str(), 0755), 0);
  fs::create_directory(d / "ro");
  const std::string target = d / "ro/f";
  WriteFile(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0666), 0);
  ASSERT_EQ(::chmod((d / "ro").c_str(), 0555), 0);
  const int outcome = RunUnprivileged([&] {
    try {
      pf::ReplaceFileAtomically(target, "new");
    } catch (const Error&) {
      return 0;
    }
    return 1;
  });
  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(d.Names("ro"), (Names{"f"}));
}

// Renaming over a device or a pipe would put a regular file in its place: they are written
// in place. A socket cannot be opened, which is told.
TEST(FileSystem, DevicesAndPipesAreWrittenInPlace) {
  TempDir d;
  ASSERT_EQ(::mkfifo((d / "fifo").c_str(), 0600), 0);
  // More than one read step, so that reading a pipe grows its buffer.
  const std::string bytes(200000, 'p');
  std::string got;
  std::thread reader([&] {
    try {
      pf::TFileBuffer buf = pf::ReadWholeFile(d / "fifo");
      got.assign(buf.data.get(), buf.size);
    } catch (const Error& e) {
      got = e.what();
    }
  });
  pf::ReplaceFileAtomically(d / "fifo", bytes);
  reader.join();
  EXPECT_TRUE(got == bytes) << got.size() << " bytes read";
  EXPECT_TRUE(fs::is_fifo(d / "fifo"));

  // The null device's numbers, where this user may make a node and the folder allows it.
  const std::string null = d / "null";
  if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    const int fd = ::open(null.c_str(), O_WRONLY);
    if (fd >= 0) {
      ::close(fd);
      pf::ReplaceFileAtomically(null, "into the device");
      EXPECT_TRUE(fs::is_character_file(null));
    }
    ::unlink(null.c_str());
  }

  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sock = d / "sock";
  ASSERT_LT(sock.size(), sizeof(addr.sun_path));
  std::memcpy(addr.sun_path, sock.c_str(), sock.size() + 1);
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  EXPECT_THROW(pf::ReplaceFileAtomically(sock, "x"), Error);
  EXPECT_TRUE(fs::is_socket(sock));
  ::close(s);
  EXPECT_EQ(d.Names(), (Names{"fifo", "sock"}));
}

} // namespace
} // namespace marlo::test
