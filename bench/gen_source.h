#pragma once
// Deterministic Zorbic sources of any length for the benchmarks and the fuzz seeds: indented
// blocks, remarks, strings, numbers and the odd tab, about 30 bytes a line with CR LF ends.
// The same line count and seed always give the same bytes.
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace marlo::bench {

// splitmix64: fast, and the same on every platform.
class Random {
public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // A number from 0 to n - 1.
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
  uint64_t state_;
};

class SourceGenerator {
public:
  explicit SourceGenerator(uint64_t seed) : random_(seed) {}

  // Appends `lines` lines to `out`, each ended by CR LF.
  void Generate(int lines, std::string& out) {
    for (int i = 0; i < lines; ++i) {
      Line(out);
      out += "\r\n";
    }
  }

private:
  int Below(int n) { return random_.Below(n); }
  template <size_t N> const char* Pick(const char* const (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }

  void Indent(std::string& out) {
    // Most blocks are indented by three spaces a level; some authors use tabs.
    if (depth_ > 0 && Below(16) == 0) {
      out.append(static_cast<size_t>(depth_), '\t');
    } else {
      out.append(static_cast<size_t>(depth_) * 3, ' ');
    }
  }

  void Variable(std::string& out) {
    static const char* const names[] = {"x",     "y",     "z",    "score", "lives",
                                        "speed", "angle", "ammo", "frame", "level",
                                        "hit",   "obj",   "cam"};
    static const char* const suffixes[] = {"", "", "#", "#", "$"};
    out += Pick(names);
    out += Pick(suffixes);
  }

  void Number(std::string& out) {
    out += std::to_string(Below(1000));
    if (Below(3) == 0) {
      out += '.';
      out += std::to_string(Below(100));
    }
  }

  void OpenBlock(std::string& out) {
    Indent(out);
    const int kind = Below(5);
    switch (kind) {
    case 0:
      out += "for i = 1 to ";
      Number(out);
      break;
    case 1:
      out += "do";
      break;
    case 2:
      out += "while ";
      Variable(out);
      out += " < ";
      Number(out);
      break;
    case 3:
      out += "if ";
      Variable(out);
      out += " > ";
      Number(out);
      break;
    default:
      out += "repeat";
      break;
    }
    closers_[depth_] = static_cast<char>(kind);
    ++depth_;
  }

  void CloseBlock(std::string& out) {
    --depth_;
    Indent(out);
    static const char* const closers[] = {"next i", "loop", "endwhile", "endif", "until hit = 1"};
    out += closers[static_cast<int>(closers_[depth_])];
  }

  void Statement(std::string& out) {
    static const char* const commands[] = {"position object", "rotate object", "make object cube",
                                           "color object",    "move object",   "scale object"};
    static const char* const words[] = {"the",   "player", "moves",     "enemy", "camera", "update",
                                        "score", "check",  "collision", "draw",  "sprite"};
    Indent(out);
    switch (Below(10)) {
    case 0:
      out += "rem ";
      out += Pick(words);
      out += ' ';
      out += Pick(words);
      out += ' ';
      out += Pick(words);
      break;
    case 1:
    case 2:
      Variable(out);
      out += " = ";
      Variable(out);
      out += " + ";
      Number(out);
      break;
    case 3:
      out += "print \"";
      out += Pick(words);
      out += ' ';
      out += Pick(words);
      out += "\"";
      break;
    case 4:
    case 5:
      out += Pick(commands);
      out += ' ';
      out += std::to_string(Below(50) + 1);
      out += ", ";
      Number(out);
      break;
    case 6:
      out += "text 10, ";
      Number(out);
      out += ", \"";
      out += Pick(words);
      out += ": \" + str$(";
      Variable(out);
      out += ')';
      break;
    case 7:
      out += "if keystate(";
      out += std::to_string(Below(60));
      out += ") = 1 then ";
      Variable(out);
      out += " = 0";
      break;
    case 8:
      out += "sync";
      if (Below(2) == 0) {
        out += "\t` ";
        out += Pick(words);
      }
      break;
    default:
      Variable(out);
      out += " = rnd(";
      Number(out);
      out += ") ` ";
      out += Pick(words);
      break;
    }
  }

  void Line(std::string& out) {
    if (inRemark_ > 0) {
      if (--inRemark_ == 0) {
        out += "remend";
      } else {
        out += "   notes on the ";
        out += std::to_string(Below(100000));
        out += " frame";
      }
      return;
    }
    const int r = Below(100);
    if (r < 6) return; // an empty line
    if (r < 9 && depth_ == 0) {
      out += "remstart";
      inRemark_ = 2 + Below(4);
      return;
    }
    if (r < 20 && depth_ < kMaxDepth) return OpenBlock(out);
    if (r < 31 && depth_ > 0) return CloseBlock(out);
    Statement(out);
  }

  static constexpr int kMaxDepth = 6;
  Random random_;
  int depth_ = 0;
  int inRemark_ = 0;
  char closers_[kMaxDepth] = {};
};

inline std::string GenerateSource(int lines, uint64_t seed = 20240501) {
  std::string out;
  out.reserve(static_cast<size_t>(lines) * 31);
  SourceGenerator(seed).Generate(lines, out);
  return out;
}

// Writes the source to `path` in pieces, so that no copy of the whole text is needed.
inline void WriteSourceFile(const std::string& path, int lines, uint64_t seed = 20240501) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create " + path);
  SourceGenerator gen(seed);
  std::string chunk;
  for (int done = 0; done < lines;) {
    const int n = lines - done < 65536 ? lines - done : 65536;
    chunk.clear();
    gen.Generate(n, chunk);
    done += n;
    if (std::fwrite(chunk.data(), 1, chunk.size(), f) != chunk.size()) {
      std::fclose(f);
      throw std::runtime_error("cannot write " + path);
    }
  }
  if (std::fclose(f) != 0) throw std::runtime_error("cannot write " + path);
}

} // namespace marlo::bench
