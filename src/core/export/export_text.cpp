#include "core/export/export_text.h"

#include "core/export/code_html_exporter.h"
#include "core/export/code_rtf_exporter.h"
#include "core/platform/atomic_file_writer.h"
#include "core/platform/file_system.h"
#include "core/text/char_case.h"
#include "core/text/line_color_reader.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <utility>
#include <vector>

namespace marlo {

namespace {

// How a style byte's characters are painted outside a selection.
struct TLook {
  const TTextFont* Font;
  TColor Back;
  bool Upper;
  int Points; // Font's size, worked out once
  int NameId; // equal for equal font names

  bool PaintedLike(const TLook& o) const {
    return *Font == *o.Font && Back == o.Back && Upper == o.Upper;
  }
};

// The look of every style byte, and for each byte the first byte that looks the same:
// neighbouring characters of one class form one run.
class TLookTable {
public:
  // Characters past the end of a short style string get this index.
  static constexpr int kNoStyle = 256;

  TLookTable(const TTextStyles& styles, const TMemoColors& control) {
    for (int b = 0; b <= kNoStyle; ++b) {
      const TTextStyle* s = b < kNoStyle ? styles.Find(b) : nullptr;
      looks_[b] = s ? TLook{&s->Font(), s->Color(), s->UpperCase(), 0, 0}
                    : TLook{&control.Font, control.Color, false, 0, 0};
      looks_[b].Points = looks_[b].Font->Size();
      looks_[b].NameId = NameId(looks_[b].Font->Name);
      class_[b] = static_cast<uint16_t>(b);
      for (int e = 0; e < b; ++e) {
        if (class_[e] == e && looks_[e].PaintedLike(looks_[b])) {
          class_[b] = static_cast<uint16_t>(e);
          break;
        }
      }
    }
  }

  const TLook& Look(int style) const { return looks_[style]; }
  uint16_t Class(int style) const { return class_[style]; }
  const TLook& Control() const { return looks_[kNoStyle]; }

private:
  int NameId(const std::string& name) {
    for (size_t i = 0; i < names_.size(); ++i)
      if (*names_[i] == name) return static_cast<int>(i);
    names_.push_back(&name);
    return static_cast<int>(names_.size() - 1);
  }

  std::vector<const std::string*> names_;
  std::array<TLook, kNoStyle + 1> looks_;
  std::array<uint16_t, kNoStyle + 1> class_;
};

// The attributes one run opened, to be closed in the reverse order.
struct TOpened {
  bool Name = false, Size = false, Bold = false, Italic = false, Underline = false,
       StrikeOut = false, TextColor = false, BackColor = false;
};

TOpened OpenRun(TCodeExporter& ex, const TLook& look, const TLook* prev, const TLook& control,
                TColor prevBack) {
  const TTextFont& f = *look.Font;
  TOpened o;
  o.Name = !prev || look.NameId != prev->NameId || look.NameId != control.NameId;
  o.Size = !prev || look.Points != prev->Points || look.Points != control.Points;
  o.TextColor = !prev || f.Color != prev->Font->Color || f.Color != control.Font->Color;
  o.BackColor = look.Back != prevBack || look.Back != control.Back;
  o.Bold = f.Style.Has(fsBold);
  o.Italic = f.Style.Has(fsItalic);
  o.Underline = f.Style.Has(fsUnderline);
  o.StrikeOut = f.Style.Has(fsStrikeOut);
  if (o.Name) ex.BeginFontName(f.Name, f.CharSet);
  if (o.Size) ex.BeginFontSize(f.Size());
  if (o.Bold) ex.BeginBold();
  if (o.Italic) ex.BeginItalic();
  if (o.Underline) ex.BeginUnderline();
  if (o.StrikeOut) ex.BeginStrikeOut();
  if (o.TextColor) ex.BeginTextColor(f.Color);
  if (o.BackColor) ex.BeginBackColor(look.Back);
  return o;
}

void CloseRun(TCodeExporter& ex, const TOpened& o) {
  if (o.BackColor) ex.EndBackColor();
  if (o.TextColor) ex.EndTextColor();
  if (o.StrikeOut) ex.EndStrikeOut();
  if (o.Underline) ex.EndUnderline();
  if (o.Italic) ex.EndItalic();
  if (o.Bold) ex.EndBold();
  if (o.Size) ex.EndFontSize();
  if (o.Name) ex.EndFontName();
}

// Writes the runs of line `line` and returns the last line it took care of: the empty
// lines right after it are written inside its last run.
int ExportColoredLine(TCodeExporter& ex, const TCustomMemoSource& source, std::string_view colors,
                      const TLookTable& table, int line) {
  std::string_view text = source.StoredLine(line);
  const size_t length = text.size();
  const size_t colored = std::min(colors.size(), length);
  auto styleAt = [&](size_t i) {
    return i < colored ? static_cast<int>(static_cast<unsigned char>(colors[i]))
                       : TLookTable::kNoStyle;
  };

  const TLook* prev = nullptr;
  TColor prevBack = table.Control().Back;
  for (size_t from = 0; from < length;) {
    const int style = styleAt(from);
    const uint16_t cls = table.Class(style);
    size_t to = from + 1;
    while (to < colored && table.Class(static_cast<unsigned char>(colors[to])) == cls) ++to;
    if (to >= colored) {
      while (to < length && table.Class(TLookTable::kNoStyle) == cls) ++to;
    }

    const TLook& look = table.Look(style);
    TOpened opened = OpenRun(ex, look, prev, table.Control(), prevBack);
    ex.WriteText(text.substr(from, to - from));
    if (to == length) {
      while (line + 1 < source.LineCount() && source.StoredLine(line + 1).empty()) {
        ex.NewLine();
        ++line;
      }
    }
    CloseRun(ex, opened);
    prev = &look;
    prevBack = look.Back;
    from = to;
  }
  return line;
}

// A text exported in pieces: one thread colours the lines from the top (states flow down)
// into one buffer of styles, and the pieces it has coloured are formatted by both threads,
// each with a fork of the exporter that holds its piece until the pieces before it are
// written. Pieces start at non-empty lines: a line's run takes the empty lines after it,
// so no piece starts inside another.
class TPieceExport {
public:
  TPieceExport(TCodeExporter& ex, TCustomMemoSource& source, const TLookTable& table)
      : ex_(ex), source_(source), table_(table) {
    const int count = source.LineCount();
    size_t bytes = 0;
    for (int i = 0; i < count; ++i) bytes += source.StoredLine(i).size();
    // Fixed sizes: the colouring thread fills them while the other reads what is done.
    styles_ = std::make_unique<char[]>(std::max<size_t>(bytes, 1));
    pieces_.resize(static_cast<size_t>(count / ExportPieceLines) + 2);
  }

  void Run() {
    ex_.Flush();
    std::unique_ptr<TCodeExporter> forks[2];
    std::thread helper([&] { Work(forks[1], false); });
    Work(forks[0], true);
    helper.join();
    if (failure_) std::rethrow_exception(failure_);
    if (lastWriter_) ex_.Continue(*lastWriter_);
  }

private:
  struct TPiece {
    int First = 0, End = 0;
    size_t Offset = 0;                         // of the first line's styles
    std::vector<std::pair<int, size_t>> Short; // lines with fewer styles than characters
  };

  void Work(std::unique_ptr<TCodeExporter>& fork, bool colors) {
    try {
      if (colors) ColorAll();
      fork = ex_.Fork(ex_.Stream());
      for (;;) {
        size_t piece;
        {
          std::unique_lock lock(mutex_);
          piece = next_++;
          changed_.wait(lock, [&] { return piece < colored_ || done_ || failed_; });
          if (failed_ || piece >= colored_) return;
        }
        Format(*fork, pieces_[piece]);
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return turn_ == piece || failed_; });
        if (failed_) return;
        fork->Flush();
        lastWriter_ = fork.get();
        ++turn_;
        changed_.notify_all();
      }
    } catch (...) {
      std::lock_guard lock(mutex_);
      failed_ = true;
      if (!failure_) failure_ = std::current_exception();
      changed_.notify_all();
    }
  }

  void ColorAll() {
    TLineColorReader reader(source_); // the cache is read, not filled
    const int count = source_.LineCount();
    size_t filled = 0, open = 0;
    long long nextPiece = ExportPieceLines;
    auto publish = [&](int end) {
      pieces_[open].End = end;
      std::lock_guard lock(mutex_);
      colored_ = open + 1;
      changed_.notify_all();
    };
    for (int i = 0; i < count; ++i) {
      std::string_view text = source_.StoredLine(i);
      if (i >= nextPiece && !text.empty()) {
        publish(i);
        pieces_[++open].First = i;
        pieces_[open].Offset = filled;
        nextPiece = static_cast<long long>(i) + ExportPieceLines;
      }
      std::string_view colors = reader.Colors(i);
      if (colors.size() < text.size()) pieces_[open].Short.emplace_back(i, colors.size());
      size_t n = std::min(colors.size(), text.size());
      std::memcpy(styles_.get() + filled, colors.data(), n);
      filled += n;
    }
    publish(count);
    std::lock_guard lock(mutex_);
    done_ = true;
    changed_.notify_all();
  }

  void Format(TCodeExporter& ex, const TPiece& p) {
    size_t offset = p.Offset, shortIndex = 0;
    for (int i = p.First; i < p.End; ++i) {
      if (i > 0) ex.NewLine();
      size_t n = source_.StoredLine(i).size();
      if (shortIndex < p.Short.size() && p.Short[shortIndex].first == i)
        n = p.Short[shortIndex++].second;
      std::string_view colors(styles_.get() + offset, n);
      offset += n;
      i = ExportColoredLine(ex, source_, colors, table_, i); // the lines it took are empty
    }
  }

  TCodeExporter& ex_;
  TCustomMemoSource& source_;
  const TLookTable& table_;
  std::unique_ptr<char[]> styles_;
  std::vector<TPiece> pieces_;

  std::mutex mutex_;
  std::condition_variable changed_;
  size_t colored_ = 0; // pieces coloured and ready to be formatted
  bool done_ = false;  // every piece is coloured
  size_t next_ = 0;    // the next piece a thread takes
  size_t turn_ = 0;    // the next piece to be written
  bool failed_ = false;
  std::exception_ptr failure_;
  TCodeExporter* lastWriter_ = nullptr;
};

bool FormatsSideBySide(TCodeExporter& ex, const TCustomMemoSource& source) {
  return ExportPieceLines > 0 && source.LineCount() >= 2LL * ExportPieceLines &&
         std::thread::hardware_concurrency() >= 2 && ex.CanFork();
}

template <class TExporter>
void SaveExport(const std::string& fileName, TCustomMemoSource& source, const TTextStyles& styles,
                const TMemoColors& control, bool colorSyntax) {
  platform::TAtomicFileWriter file(fileName);
  {
    TExporter exporter(file.Stream());
    ExportText(exporter, source, styles, control, colorSyntax);
  }
  file.Commit();
}

} // namespace

void ExportText(TCodeExporter& ex, TCustomMemoSource& source, const TTextStyles& styles,
                const TMemoColors& control, bool colorSyntax, const std::string& title) {
  const bool coloring = colorSyntax && source.SyntaxParser() != nullptr;
  const TTextFont& font = control.Font;

  ex.BeginDocument(title);
  ex.BeginBody(control.Color);
  // The control's own font is around the whole text; without colouring it carries the
  // font styles too, as the control paints plain text in it.
  TOpened outer;
  outer.Name = outer.Size = outer.TextColor = true;
  if (!coloring) {
    outer.Bold = font.Style.Has(fsBold);
    outer.Italic = font.Style.Has(fsItalic);
    outer.Underline = font.Style.Has(fsUnderline);
    outer.StrikeOut = font.Style.Has(fsStrikeOut);
  }
  ex.BeginFontName(font.Name, font.CharSet);
  ex.BeginFontSize(font.Size());
  if (outer.Bold) ex.BeginBold();
  if (outer.Italic) ex.BeginItalic();
  if (outer.Underline) ex.BeginUnderline();
  if (outer.StrikeOut) ex.BeginStrikeOut();
  ex.BeginTextColor(font.Color);

  if (coloring) {
    const TLookTable table(styles, control);
    if (FormatsSideBySide(ex, source)) {
      TPieceExport(ex, source, table).Run();
    } else {
      TLineColorReader reader(source);
      for (int i = 0; i < source.LineCount(); ++i) {
        if (i > 0) ex.NewLine();
        i = ExportColoredLine(ex, source, reader.Colors(i), table, i);
      }
    }
  } else {
    for (int i = 0; i < source.LineCount(); ++i) {
      if (i > 0) ex.NewLine();
      std::string_view text = source.StoredLine(i);
      if (!text.empty()) ex.WriteText(text);
    }
  }

  CloseRun(ex, outer);
  ex.EndBody();
  ex.EndDocument();
  ex.Flush();
}

void SaveToHTML(const std::string& fileName, TCustomMemoSource& source, const TTextStyles& styles,
                const TMemoColors& control, bool colorSyntax) {
  SaveExport<TCodeHTMLExporter>(fileName, source, styles, control, colorSyntax);
}

void SaveToRTF(const std::string& fileName, TCustomMemoSource& source, const TTextStyles& styles,
               const TMemoColors& control, bool colorSyntax) {
  SaveExport<TCodeRTFExporter>(fileName, source, styles, control, colorSyntax);
}

TExportFormat ExportFormatOfName(const std::string& fileName) {
  std::string ext = UpperCaseText(platform::ExtractFileExt(fileName));
  if (ext == ".RTF") return TExportFormat::RTF;
  if (ext == ".HTM" || ext == ".HTML") return TExportFormat::HTML;
  return TExportFormat::None;
}

} // namespace marlo
