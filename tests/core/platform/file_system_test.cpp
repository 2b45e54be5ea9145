// File services: whole-file reads, temporary names, atomic replacement with permissions
// and symbolic links, and the path helpers.
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

TEST(FileSystem, ReadWholeFile) {
  TempDir d;
  const std::string bytes("a\0b\r\nc\xff", 7);
  WriteFile(d / "f", bytes);
  pf::TFileBuffer buf = pf::ReadWholeFile(d / "f");
  ASSERT_EQ(buf.size, bytes.size());
  EXPECT_EQ(std::string(buf.data.get(), buf.size), bytes);
  EXPECT_EQ(buf.data[buf.size], '\0');

  WriteFile(d / "empty", "");
  pf::TFileBuffer none = pf::ReadWholeFile(d / "empty");
  EXPECT_EQ(none.size, 0u);
  ASSERT_TRUE(none.data);
  EXPECT_EQ(none.data[0], '\0');

  std::string big(300000, 'q');
  WriteFile(d / "big", big);
  pf::TFileBuffer b = pf::ReadWholeFile(d / "big");
  EXPECT_EQ(std::string(b.data.get(), b.size), big);

  try {
    pf::ReadWholeFile(d / "missing");
    ADD_FAILURE() << "no error for a missing file";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("missing"), std::string::npos) << e.what();
  }
  EXPECT_THROW(pf::ReadWholeFile(d.Path()), Error);
}

TEST(FileSystem, SmallFileOperations) {
  TempDir d;
  EXPECT_FALSE(pf::FileExists(d / "a"));
  WriteFile(d / "a", "1");
  EXPECT_TRUE(pf::FileExists(d / "a"));
  EXPECT_TRUE(pf::RenameFile(d / "a", d / "b"));
  EXPECT_FALSE(pf::FileExists(d / "a"));
  EXPECT_EQ(ReadFile(d / "b"), "1");
  EXPECT_FALSE(pf::RenameFile(d / "a", d / "c"));
  EXPECT_TRUE(pf::LinkFile(d / "b", d / "c"));
  EXPECT_EQ(ReadFile(d / "c"), "1");
  EXPECT_TRUE(pf::DeleteFile(d / "b"));
  EXPECT_FALSE(pf::DeleteFile(d / "b"));
  EXPECT_EQ(ReadFile(d / "c"), "1");
}

TEST(FileSystem, TemporaryNamesAreNewFilesInTheFolder) {
  TempDir d;
  std::string a = pf::CreateTempFileName(d.Path() + "/", "prog.zba");
  std::string b = pf::CreateTempFileName(d.Path() + "/", "prog.zba");
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(d.Path() + "/prog.zba", 0), 0u) << a;
  EXPECT_TRUE(fs::is_regular_file(a));
  EXPECT_EQ(fs::file_size(a), 0u);
  EXPECT_EQ(pf::CreateTempFileName(d / "missing/", "x"), "");
}

TEST(FileSystem, ReplaceWritesTheBytesAndLeavesNoTemporaryFile) {
  TempDir d;
  pf::ReplaceFileAtomically(d / "new.txt", "first");
  EXPECT_EQ(ReadFile(d / "new.txt"), "first");
  WriteFile(d / "old.txt", std::string(5000, 'o'));
  pf::ReplaceFileAtomically(d / "old.txt", std::string("se\0cond", 7));
  EXPECT_EQ(ReadFile(d / "old.txt"), std::string("se\0cond", 7));
  pf::ReplaceFileAtomically(d / "old.txt", "");
  EXPECT_EQ(ReadFile(d / "old.txt"), "");
  EXPECT_EQ(d.Names(), (Names{"new.txt", "old.txt"}));
}

TEST(FileSystem, ReplaceKeepsPermissions) {
  TempDir d;
  for (unsigned mode : {0600u, 0640u, 0755u, 0444u}) {
    SCOPED_TRACE(mode);
    std::string path = d / ("f" + std::to_string(mode));
    WriteFile(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    pf::ReplaceFileAtomically(path, "new");
    EXPECT_EQ(Mode(path), mode);
    EXPECT_EQ(ReadFile(path), "new");
  }

  // A new file gets what the umask the program started with allows.
  mode_t mask = ::umask(0);
  ::umask(mask);
  pf::ReplaceFileAtomically(d / "masked", "x");
  EXPECT_EQ(Mode(d / "masked"), 0666u & ~mask);
}

TEST(FileSystem, ReplaceWritesThroughSymbolicLinks) {
  TempDir d;
  fs::create_directory(d / "real");
  WriteFile(d / "real/target.txt", "old");
  ASSERT_EQ(::chmod((d / "real/target.txt").c_str(), 0640), 0);
  ASSERT_EQ(::symlink("real/target.txt", (d / "rel").c_str()), 0);
  ASSERT_EQ(::symlink((d / "rel").c_str(), (d / "abs").c_str()), 0);

  pf::ReplaceFileAtomically(d / "abs", "through two links");
  EXPECT_TRUE(IsSymlink(d / "abs"));
  EXPECT_TRUE(IsSymlink(d / "rel"));
  EXPECT_EQ(ReadFile(d / "real/target.txt"), "through two links");
  EXPECT_EQ(Mode(d / "real/target.txt"), 0640u);
  EXPECT_EQ(d.Names("real"), (Names{"target.txt"}));

  EXPECT_EQ(pf::ResolveWriteTarget(d / "abs"), d / "real/target.txt");
  EXPECT_EQ(pf::ResolveWriteTarget(d / "real/target.txt"), d / "real/target.txt");

  // A link to a file that does not exist yet creates that file.
  ASSERT_EQ(::symlink("real/later.txt", (d / "dangling").c_str()), 0);
  EXPECT_EQ(pf::ResolveWriteTarget(d / "dangling"), d / "real/later.txt");
  pf::ReplaceFileAtomically(d / "dangling", "made");
  EXPECT_TRUE(IsSymlink(d / "dangling"));
  EXPECT_EQ(ReadFile(d / "real/later.txt"), "made");

  // A loop of links ends the search instead of hanging.
  ASSERT_EQ(::symlink("loop2", (d / "loop1").c_str()), 0);
  ASSERT_EQ(::symlink("loop1", (d / "loop2").c_str()), 0);
  std::string resolved = pf::ResolveWriteTarget(d / "loop1");
  EXPECT_FALSE(resolved.empty());
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

  // A folder the user may not write into.
  ASSERT_EQ(::chmod(d.Path().c_str(), 0755), 0);
  fs::create_directory(d / "ro");
  WriteFile(d / "ro/f", "old");
  ASSERT_EQ(::chmod((d / "ro/f").c_str(), 0666), 0);
  ASSERT_EQ(::chmod((d / "ro").c_str(), 0555), 0);
  std::string target = d / "ro/f";
  int outcome = RunUnprivileged([&] {
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
  std::string got;
  std::thread reader([&] { got = ReadFile(d / "fifo"); });
  pf::ReplaceFileAtomically(d / "fifo", "through the pipe");
  reader.join();
  EXPECT_EQ(got, "through the pipe");
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

TEST(FileSystem, PathHelpers) {
  EXPECT_EQ(pf::ExtractFilePath("/a/b/c.txt"), "/a/b/");
  EXPECT_EQ(pf::ExtractFilePath("c.txt"), "");
  EXPECT_EQ(pf::ExtractFilePath("/c"), "/");
  EXPECT_EQ(pf::ExtractFileName("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(pf::ExtractFileName("c.txt"), "c.txt");
  EXPECT_EQ(pf::ExtractFileName("/a/b/"), "");

  EXPECT_EQ(pf::ExtractFileExt("/a/b/c.txt"), ".txt");
  EXPECT_EQ(pf::ExtractFileExt("c.tar.gz"), ".gz");
  EXPECT_EQ(pf::ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(pf::ExtractFileExt("c."), ".");
  EXPECT_EQ(pf::ExtractFileExt(".profile"), ".profile");
  EXPECT_EQ(pf::ExtractFileExt(""), "");

  EXPECT_EQ(pf::ChangeFileExt("a/b.zba", ".~zb"), "a/b.~zb");
  EXPECT_EQ(pf::ChangeFileExt("a.b/c", ".x"), "a.b/c.x");
  EXPECT_EQ(pf::ChangeFileExt("c.tar.gz", ""), "c.tar");
  EXPECT_EQ(pf::ChangeFileExt("c", ""), "c");
}

} // namespace
} // namespace marlo::test
